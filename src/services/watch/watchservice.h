#pragma once

#include "nutclient.h"
#include "upsstate.h"
#include "watchlist.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QTimer>
#include <QVariantList>

class RecordWriter;
class Settings;
class WatchedUps;
struct SelfTestResult;

// The UPSes watched beside this computer's own ("watch/N/..."): one connection per server,
// shared by all its UPSes, each polled with one LIST VAR per poll; a whole server's list is
// followed as it changes. Each UPS is a WatchedUps under its shown name. The list is followed
// as it is written (the settings page, the command line, an import): an edit reconnects only
// the servers whose connection changed, and the UPSes it leaves as they were keep their state
// and alarms.
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
    // Whole servers that give no UPS now (refused, unreachable, or listing none): the entry's
    // shown name and why.
    QList<QPair<QString, QString>> silentServers() const;
    WatchedUps *find(const QString &name) const;
    // A shown name the list gives: a watched UPS, or one a whole server has not listed yet
    // because it has not answered yet.
    bool mayWatch(const QString &name) const;
    int serverCount() const { return m_servers.size(); }
    QVariantList unitList() const;
    QVariantList entryList() const;

    // From the settings page: a map with the fields of WatchEntry ("name", "host", "port",
    // "ups", "user", "password", "caFile", "allowPlain"). False, and a log line, when it names
    // no server or the file could not be written.
    Q_INVOKABLE bool addEntry(const QVariantMap &entry);
    Q_INVOKABLE bool removeEntry(int index);

signals:
    // Units joined or left, or a whole server told its list for the first time.
    void unitsChanged();
    void entriesChanged();
    // A watched UPS has a new data set (also the emptied one of a lost UPS).
    void unitStateChanged(WatchedUps *unit, const UpsState &state);
    // An alarm of a watched UPS entered its list: the text with the UPS's name before it.
    void alarmRaised(const QString &text);
    void unitSelfTestFinished(WatchedUps *unit, const SelfTestResult &result);

private:
    struct Server
    {
        NutClient *client = nullptr;
        int firstEntry = -1; // the entry its endpoint is taken from
        QStringList named; // explicit UPS names on it
        QStringList shown; // and their shown names
        QList<int> namedEntry; // and their entries
        int wholeEntry = -1; // the entry that takes every UPS the server lists
        bool listed = false; // the server has told its list since the whole entry came
    };

    void rebuild();
    void follow(const QString &key);
    // Makes the UPSes of a server what its entries and its list ask for; true when any
    // joined or left.
    bool sync(const QString &key);
    void order();
    NutClient *connectServer(const QString &key, const WatchEntry &entry, int index);
    WatchedUps *add(const QString &name, NutClient *client, const QString &ups, const QString &key);

    Settings *m_settings;
    RecordWriter *m_writer;
    NutClient::Timing m_timing;
    bool m_started = false;
    bool m_built = false;
    bool m_rebuilding = false;
    QTimer m_reread; // the writes of one edit are taken together
    QList<WatchEntry> m_entries;
    QMap<QString, Server> m_servers;
    QList<WatchedUps *> m_units;
    QHash<const WatchedUps *, QString> m_serverOf; // each unit's server key
};
