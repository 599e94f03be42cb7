#pragma once

#include "upsdirectory.h"

#include <QByteArray>
#include <QVector>

struct UpsEntry;
class WebTexts;

// The UPSes in Prometheus' text exposition format: a gauge per reading in base units, NUT's
// status flags as 0/1 series, the shutdown countdown, whether the link is up, the alarms raised
// as counters, every series labelled with the UPS's name; this computer's own countdown and
// supplies; and the build.
class WebMetrics
{
public:
    static constexpr const char *contentType = "text/plain; version=0.0.4; charset=utf-8";

    // `texts` gives the alarms' English words for their labels.
    static QByteArray render(const QVector<UpsEntry> &entries, const WebTexts &texts,
                             const UpsDirectory::Computer &computer = {});
    // A label value as the format wants it: backslash, quote and line feed escaped.
    static QByteArray labelValue(const QString &value);
};
