#include "watchservice.h"

#include "logcategories.h"
#include "settings.h"
#include "watchedups.h"

#include "alarm.h"

#include <algorithm>

WatchService::WatchService(Settings *settings, RecordWriter *writer, QObject *parent)
    : QObject(parent), m_settings(settings), m_writer(writer)
{
    m_reread.setSingleShot(true);
    m_reread.setInterval(0);
    connect(&m_reread, &QTimer::timeout, this, &WatchService::rebuild);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (m_started && (key == QLatin1String("watch") || key.startsWith(QLatin1String("watch/"))))
            m_reread.start();
    });
}

WatchService::~WatchService()
{
    m_serverOf.clear();
    qDeleteAll(m_units);
    for (const Server &server : qAsConst(m_servers))
        delete server.client;
}

void WatchService::start()
{
    m_started = true;
    rebuild();
}

void WatchService::setTiming(const NutClient::Timing &timing)
{
    m_timing = timing;
}

WatchedUps *WatchService::find(const QString &name) const
{
    for (WatchedUps *unit : m_units) {
        if (unit->name() == name)
            return unit;
    }
    return nullptr;
}

bool WatchService::mayWatch(const QString &name) const
{
    if (find(name))
        return true;
    for (const Server &server : m_servers) {
        if (server.wholeEntry < 0 || server.listed)
            continue;
        const QString prefix = m_entries.at(server.wholeEntry).shownName(QString());
        if (name.size() > prefix.size() && name.startsWith(prefix))
            return true;
    }
    return false;
}

QList<QPair<QString, QString>> WatchService::silentServers() const
{
    QList<QPair<QString, QString>> silent;
    for (auto it = m_servers.cbegin(); it != m_servers.cend(); ++it) {
        if (it->wholeEntry < 0 || m_serverOf.values().contains(it.key()))
            continue;
        const WatchEntry &entry = m_entries.at(it->wholeEntry);
        QString why = it->client->problem();
        if (why.isEmpty())
            why = it->listed ? QStringLiteral("the server lists no UPS")
                             : QStringLiteral("no answer from the server yet");
        silent.append({entry.shownName(QString()).chopped(1), why});
    }
    return silent;
}

QVariantList WatchService::unitList() const
{
    QVariantList list;
    for (WatchedUps *unit : m_units)
        list.append(QVariant::fromValue(static_cast<QObject *>(unit)));
    return list;
}

QVariantList WatchService::entryList() const
{
    QVariantList list;
    for (const WatchEntry &e : m_entries) {
        list.append(QVariantMap {{QStringLiteral("name"), e.name},
                                 {QStringLiteral("host"), e.host},
                                 {QStringLiteral("port"), e.port},
                                 {QStringLiteral("ups"), e.ups},
                                 {QStringLiteral("user"), e.user},
                                 {QStringLiteral("passwordSet"), !e.password.isEmpty()},
                                 {QStringLiteral("caFile"), e.caFile},
                                 {QStringLiteral("allowPlain"), e.allowPlain}});
    }
    return list;
}

bool WatchService::addEntry(const QVariantMap &map)
{
    WatchEntry e;
    e.name = map.value(QStringLiteral("name")).toString().trimmed();
    e.host = map.value(QStringLiteral("host")).toString().trimmed();
    bool numeric = false;
    const int port = map.value(QStringLiteral("port")).toInt(&numeric);
    e.port = numeric && port > 0 && port <= 65535 ? port : nutDefaultPort;
    e.ups = map.value(QStringLiteral("ups")).toString().trimmed();
    if (e.ups.isEmpty())
        e.ups = QStringLiteral("*");
    e.user = map.value(QStringLiteral("user")).toString();
    e.password = map.value(QStringLiteral("password")).toString();
    e.caFile = map.value(QStringLiteral("caFile")).toString().trimmed();
    e.allowPlain = map.value(QStringLiteral("allowPlain")).toBool();
    if (e.host.isEmpty() || e.host.contains(QLatin1Char(' '))) {
        qCWarning(lcServices) << "A watched UPS needs a server name without spaces; not added";
        return false;
    }
    QList<WatchEntry> entries = WatchList::read(m_settings);
    entries.append(e);
    return WatchList::write(m_settings, entries);
}

bool WatchService::removeEntry(int index)
{
    QList<WatchEntry> entries = WatchList::read(m_settings);
    if (index < 0 || index >= entries.size())
        return false;
    entries.removeAt(index);
    return WatchList::write(m_settings, entries);
}

NutClient *WatchService::connectServer(const QString &key, const WatchEntry &entry, int index)
{
    auto *client = new NutClient(this);
    NutClient::Endpoint endpoint;
    endpoint.host = entry.host;
    endpoint.port = quint16(entry.port);
    endpoint.user = entry.user;
    endpoint.password = entry.password;
    endpoint.caFile = entry.caFile;
    endpoint.allowPlain = entry.allowPlain;
    client->setEndpoint(endpoint);
    NutClient::Timing timing = m_timing;
    // Servers that went away together come back one after the other, not all at once.
    timing.retrySpreadMs = (index * 397) % qMax(1, m_timing.retryFirstMs);
    client->setTiming(timing);
    connect(client, &NutClient::upsListChanged, this, [this, key] { follow(key); });
    return client;
}

// An edit reconnects only the servers whose connection (host, port, account, trust) changed:
// the others keep their connection, and the UPSes still asked for on them their state and
// alarms.
void WatchService::rebuild()
{
    const QList<WatchEntry> entries = WatchList::read(m_settings);
    if (m_built && entries == m_entries)
        return;
    m_built = true;
    m_entries = entries;
    // A kept connection may tell its list at once; it is taken below, with the new entries.
    m_rebuilding = true;

    QMap<QString, Server> wanted;
    for (int i = 0; i < m_entries.size(); ++i) {
        const WatchEntry &e = m_entries.at(i);
        Server &server = wanted[e.serverKey()];
        if (server.firstEntry < 0)
            server.firstEntry = i;
        if (e.wholeServer()) {
            if (server.wholeEntry < 0)
                server.wholeEntry = i;
        } else if (!server.named.contains(e.ups)) {
            server.named.append(e.ups);
            server.shown.append(e.name.isEmpty() ? e.ups : e.name);
            server.namedEntry.append(i);
        }
    }

    const QList<WatchedUps *> before = m_units;
    bool changed = false;
    for (auto it = m_servers.begin(); it != m_servers.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        // Its UPSes leave with it.
        it->named.clear();
        it->wholeEntry = -1;
        changed = sync(it.key()) || changed;
        it->client->disconnect(this);
        it->client->stop();
        it->client->deleteLater();
        it = m_servers.erase(it);
    }
    int index = 0;
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it, ++index) {
        Server &server = m_servers[it.key()];
        const bool fresh = !server.client;
        if (fresh)
            server.client = connectServer(it.key(), m_entries.at(it->firstEntry), index);
        server.firstEntry = it->firstEntry;
        server.named = it->named;
        server.shown = it->shown;
        server.namedEntry = it->namedEntry;
        if (it->wholeEntry < 0 || server.wholeEntry < 0)
            server.listed = false;
        server.wholeEntry = it->wholeEntry;
        // A kept connection takes the new names at its next poll.
        server.client->setWatched(server.named, server.wholeEntry >= 0);
        changed = sync(it.key()) || changed;
        if (fresh)
            server.client->start();
    }
    qCInfo(lcServices).noquote() << QStringLiteral("Watching %1 UPS entries on %2 servers")
                                        .arg(m_entries.size())
                                        .arg(m_servers.size());
    order();
    m_rebuilding = false;
    emit entriesChanged();
    if (changed || m_units != before)
        emit unitsChanged();
}

// The UPSes of a whole server as it lists them now: new ones join, gone ones leave.
void WatchService::follow(const QString &key)
{
    const auto it = m_servers.find(key);
    if (m_rebuilding || it == m_servers.end())
        return;
    bool changed = sync(key);
    if (it->wholeEntry >= 0 && !it->listed) {
        it->listed = true;
        changed = true;
    }
    if (changed) {
        order();
        emit unitsChanged();
    }
}

bool WatchService::sync(const QString &key)
{
    const Server &server = m_servers[key];
    QList<QPair<QString, QString>> wanted; // shown name, UPS name
    for (int i = 0; i < server.named.size(); ++i)
        wanted.append({server.shown.at(i), server.named.at(i)});
    if (server.wholeEntry >= 0) {
        const WatchEntry &entry = m_entries.at(server.wholeEntry);
        for (const QString &ups : server.client->units()) {
            if (!server.named.contains(ups))
                wanted.append({entry.shownName(ups), ups});
        }
    }
    bool changed = false;
    for (int i = m_units.size() - 1; i >= 0; --i) {
        WatchedUps *unit = m_units.at(i);
        if (m_serverOf.value(unit) != key)
            continue;
        const int at = wanted.indexOf({unit->name(), unit->upsName()});
        if (at >= 0) {
            wanted.removeAt(at);
            continue;
        }
        qCInfo(lcServices) << "No longer watching" << unit->name();
        m_units.removeAt(i);
        m_serverOf.remove(unit);
        unit->deleteLater();
        changed = true;
    }
    for (const auto &pair : qAsConst(wanted))
        add(pair.first, server.client, pair.second, key);
    return changed || !wanted.isEmpty();
}

// The units in the order of the entries that give them, a whole server's as it lists them.
void WatchService::order()
{
    QHash<const WatchedUps *, QPair<int, int>> rank;
    for (WatchedUps *unit : qAsConst(m_units)) {
        const Server &server = m_servers[m_serverOf.value(unit)];
        const int named = server.named.indexOf(unit->upsName());
        if (named >= 0 && server.shown.at(named) == unit->name())
            rank.insert(unit, {server.namedEntry.at(named), 0});
        else
            rank.insert(unit, {server.wholeEntry, server.client->units().indexOf(unit->upsName())});
    }
    std::stable_sort(m_units.begin(), m_units.end(),
                     [&rank](const WatchedUps *a, const WatchedUps *b) {
                         return rank.value(a) < rank.value(b);
                     });
}

WatchedUps *WatchService::add(const QString &name, NutClient *client, const QString &ups,
                              const QString &key)
{
    auto *unit = new WatchedUps(name, client, ups, m_writer, m_settings, this);
    connect(unit, &WatchedUps::stateChanged, this,
            [this, unit](const UpsState &state) { emit unitStateChanged(unit, state); });
    connect(unit->alarm(), &Alarm::alarmRaised, this,
            [this](int, const QString &text) { emit alarmRaised(text); });
    connect(unit, &WatchedUps::selfTestFinished, this, [this, unit](const SelfTestResult &result) {
        emit unitSelfTestFinished(unit, result);
    });
    m_units.append(unit);
    m_serverOf.insert(unit, key);
    // A test it ran while the program ended gets its row.
    unit->completeSelfTests();
    return unit;
}
