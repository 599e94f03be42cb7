#pragma once

#include "nutclient.h"
#include "upsstate.h"
#include "watchlist.h"

#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVariantList>

class RecordWriter;
class Settings;
class WatchedUps;

// The UPSes watched beside this computer's own ("watch/N/..."): one connection per server,
// shared by all its UPSes, each polled with one LIST VAR per poll; a whole server's list is
// followed as it changes. Each UPS is a WatchedUps under its shown name. The list is followed
// as it is written (the settings page, the command line, an import).
class WatchService : public QObject
{
    Q_OBJECT
    // The watched UPSes (WatchedUps), in the order of the list.
    Q_PROPERTY(QVariantList units READ unitList NOTIFY unitsChanged)
    // The entries of the list for the settings page, passwords left out (only "passwordSet").
    Q_PROPERTY(QVariantList entries READ entryList NOTIFY entriesChanged)

public:
    WatchService(Settings *settings, RecordWriter *writer, QObject *parent = nullptr);
    ~WatchService() override;

    // Reads the list and connects; follows it from now on.
    void start();
    void setTiming(const NutClient::Timing &timing); // tests, the bench: before start()

    QList<WatchedUps *> units() const { return m_units; }
    WatchedUps *find(const QString &name) const;
    int serverCount() const { return m_servers.size(); }
    QVariantList unitList() const;
    QVariantList entryList() const;

    // From the settings page: a map with the fields of WatchEntry ("name", "host", "port",
    // "ups", "user", "password", "caFile", "allowPlain"). False, and a log line, when it names
    // no server or the file could not be written.
    Q_INVOKABLE bool addEntry(const QVariantMap &entry);
    Q_INVOKABLE bool removeEntry(int index);

signals:
    void unitsChanged();
    void entriesChanged();
    // A watched UPS has a new data set (also the emptied one of a lost UPS).
    void unitStateChanged(WatchedUps *unit, const UpsState &state);
    // An alarm of a watched UPS entered its list: the text with the UPS's name before it.
    void alarmRaised(const QString &text);

private:
    struct Server
    {
        NutClient *client = nullptr;
        QStringList named; // explicit UPS names on it
        int wholeEntry = -1; // the entry that takes every UPS the server lists
    };

    void rebuild();
    void follow(const QString &key, const QStringList &listed);
    WatchedUps *add(const QString &name, NutClient *client, const QString &ups);

    Settings *m_settings;
    RecordWriter *m_writer;
    NutClient::Timing m_timing;
    bool m_started = false;
    QTimer m_reread; // the writes of one edit are taken together
    QList<WatchEntry> m_entries;
    QMap<QString, Server> m_servers;
    QList<WatchedUps *> m_units;
};
