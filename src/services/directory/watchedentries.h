#pragma once

#include "upsdirectory.h"

#include <QObject>
#include <QSet>

class WatchService;
class WatchedUps;

// The watched UPSes as entries of the directory, each by its shown name, with its history (the
// rows of this computer's database that carry that name); the directory's commands for one go
// to its NUT server.
class WatchedEntries : public QObject
{
    Q_OBJECT
public:
    WatchedEntries(UpsDirectory *directory, WatchService *watch, QObject *parent = nullptr);

public slots:
    void unitStateChanged(WatchedUps *unit, const UpsState &state);
    // Entries of UPSes no longer watched go.
    void unitsChanged();

private:
    UpsDirectory *m_directory;
    WatchService *m_watch;
    QSet<QString> m_listed;
};
