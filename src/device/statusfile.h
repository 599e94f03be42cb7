#pragma once

#include "statusfilerecord.h"

#include <QObject>

struct UpsState;

// Keeps "/log/output/upsstatus.txt", the one-line summary other programs read: rewritten when
// the summary of a data set differs from the last one. A summary that could not be written is
// remembered all the same, so the file is tried again at the next change.
class StatusFile : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void updateState(const UpsState &state);

private:
    // All zeros at first and after a lost link, so a first summary of all zeros is not written.
    StatusFileRecord m_last;
};
