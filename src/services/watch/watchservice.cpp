#include "watchservice.h"

#include "logcategories.h"
#include "settings.h"
#include "watchedups.h"

#include "alarm.h"

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

// A changed list starts every connection afresh: edits are rare, and a half-kept server
// connection would carry the old accounts.
void WatchService::rebuild()
{
    const QList<WatchEntry> entries = WatchList::read(m_settings);
    if (entries == m_entries && (!m_servers.isEmpty() || entries.isEmpty()))
        return;
    m_entries = entries;
    emit entriesChanged();
    const bool had = !m_units.isEmpty();
    for (WatchedUps *unit : qAsConst(m_units))
        unit->deleteLater();
    m_units.clear();
    for (const Server &server : qAsConst(m_servers)) {
        server.client->disconnect(this);
        server.client->stop();
        server.client->deleteLater();
    }
    m_servers.clear();

    for (int i = 0; i < m_entries.size(); ++i) {
        const WatchEntry &e = m_entries.at(i);
        Server &server = m_servers[e.serverKey()];
        if (!server.client) {
            server.client = new NutClient(this);
            NutClient::Endpoint endpoint;
            endpoint.host = e.host;
            endpoint.port = quint16(e.port);
            endpoint.user = e.user;
            endpoint.password = e.password;
            endpoint.caFile = e.caFile;
            endpoint.allowPlain = e.allowPlain;
            server.client->setEndpoint(endpoint);
        }
        if (e.wholeServer()) {
            if (server.wholeEntry < 0)
                server.wholeEntry = i;
        } else if (!server.named.contains(e.ups)) {
            server.named.append(e.ups);
            add(e.name.isEmpty() ? e.ups : e.name, server.client, e.ups);
        }
    }
    int index = 0;
    for (auto it = m_servers.begin(); it != m_servers.end(); ++it, ++index) {
        NutClient::Timing timing = m_timing;
        // Servers that went away together come back one after the other, not all at once.
        timing.retrySpreadMs = (index * 397) % qMax(1, m_timing.retryFirstMs);
        it->client->setTiming(timing);
        it->client->setWatched(it->named, it->wholeEntry >= 0);
        const QString key = it.key();
        connect(it->client, &NutClient::upsListChanged, this,
                [this, key](const QStringList &listed) { follow(key, listed); });
        it->client->start();
    }
    qCInfo(lcServices).noquote() << QStringLiteral("Watching %1 UPS entries on %2 servers")
                                        .arg(m_entries.size())
                                        .arg(m_servers.size());
    if (had || !m_units.isEmpty())
        emit unitsChanged();
}

// The UPSes of a whole server as it lists them now: new ones join, gone ones leave.
void WatchService::follow(const QString &key, const QStringList &listed)
{
    const auto it = m_servers.constFind(key);
    if (it == m_servers.cend() || it->wholeEntry < 0)
        return;
    const WatchEntry &entry = m_entries.at(it->wholeEntry);
    bool changed = false;
    QStringList wanted;
    for (const QString &ups : listed) {
        if (!it->named.contains(ups))
            wanted.append(entry.shownName(ups));
    }
    for (int i = m_units.size() - 1; i >= 0; --i) {
        WatchedUps *unit = m_units.at(i);
        if (unit->link() && unit->parent() == this && unit->property("server").toString() == key &&
            !wanted.contains(unit->name())) {
            qCInfo(lcServices) << "Watched UPS" << unit->name()
                               << "is no longer listed by its server";
            m_units.removeAt(i);
            unit->deleteLater();
            changed = true;
        }
    }
    for (const QString &ups : listed) {
        if (it->named.contains(ups) || find(entry.shownName(ups)))
            continue;
        WatchedUps *unit = add(entry.shownName(ups), it->client, ups);
        unit->setProperty("server", key);
        changed = true;
    }
    if (changed)
        emit unitsChanged();
}

WatchedUps *WatchService::add(const QString &name, NutClient *client, const QString &ups)
{
    auto *unit = new WatchedUps(name, client, ups, m_writer, m_settings, this);
    connect(unit, &WatchedUps::stateChanged, this,
            [this, unit](const UpsState &state) { emit unitStateChanged(unit, state); });
    connect(unit->alarm(), &Alarm::alarmRaised, this,
            [this](int, const QString &text) { emit alarmRaised(text); });
    m_units.append(unit);
    return unit;
}
