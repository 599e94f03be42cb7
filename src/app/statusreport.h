#pragma once

#include "nutsnapshot.h"
#include "upsentry.h"
#include "upsstate.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The state of every UPS the running program watches, as `status` asks for it over the
// single-instance socket: one JSON document,
//     {"ups": [{"name": "ups", "health": "on-mains",
//               "variables": {"battery.charge": "100", ...}, "alarms": [...]}, ...]}
// where health is how a monitoring plugin sees the UPS (UpsState::health) and the variables are
// what the network server would serve for it, texts exactly as upsc prints them; none while the
// data is stale.
namespace StatusReport {

struct Ups
{
    QString name; // as the network server names it
    UpsState state;
    NutSnapshot snapshot;
    QString problem; // why no UPS answers, where known
    UpsEntry::Learned learned; // what its discharges taught
};

// `settingsNotice`: what is wrong with the settings file ("settings" in the document), none
// while it reads whole.
QByteArray document(const QVector<Ups> &upses, const QString &settingsNotice = QString());

// The words of a health in the document, and back (NoUps for a word that is none of them).
QString healthName(UpsState::Health health);
UpsState::Health healthOf(const QString &name);

} // namespace StatusReport
