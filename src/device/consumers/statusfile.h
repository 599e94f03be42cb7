#pragma once

#include "filesaver.h"
#include "statusfilerecord.h"

#include <QObject>

struct UpsState;

// Keeps "/log/output/upsstatus.txt", the one-line summary other programs read: rewritten when
// the summary of a data set differs from the last one. A summary that could not be written (a
// full disk) leaves the old line in place and is tried again with every data set until it is
// written.
class StatusFile : public QObject
{
    Q_OBJECT
public:
    explicit StatusFile(QObject *parent = nullptr);

public slots:
    void updateState(const UpsState &state);

private:
    // All zeros at first and after a lost link, so a first summary of all zeros is not written.
    StatusFileRecord m_last;
    FileSaver m_saver;
};
