#include "servicenetwork.h"

#include "listmodelnutclient.h"
#include "listmodelnutuser.h"
#include "logcategories.h"
#include "nutallowlist.h"
#include "nutline.h"
#include "nutport.h"
#include "nutserverthread.h"
#include "settings.h"

#include <QHostAddress>

namespace {

// A list setting (the settings give it typed) as the one text the page shows.
QString listText(const QVariant &value)
{
    return value.toStringList().join(QLatin1Char(','));
}

QStringList items(const QString &text)
{
    QStringList out;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            out << part.trimmed();
    }
    return out;
}

} // namespace

class ServiceNetworkPrivate
{
public:
    ServiceNetworkPrivate(ServiceNetwork *q, Settings *settings)
        : q(q), settings(settings), users(settings)
    {
    }

    QVariant value(int type) const { return settings->getSettings(type); }
    int number(int type, int fallback, int low, int high) const;
    NutServerConfig config() const;
    void apply();

    ServiceNetwork *q;
    Settings *settings;
    NutServerThread server;
    ListModelNutUser users;
    ListModelNutClient clients;
    std::function<void()> pendingDone;
    NutServerConfig limits; // only the client limits are taken from it
    bool started = false;
    bool serving = false;
};

ServiceNetwork::ServiceNetwork(Settings *settings, QObject *parent)
    : QObject(parent), d(new ServiceNetworkPrivate(this, settings))
{
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        // The accounts under network/users are the account list's to follow.
        if (key.startsWith(QLatin1String("network/")) && key != QLatin1String("network/users"))
            d->apply();
    });
    connect(&d->users, &ListModelNutUser::accountsChanged, this,
            [this] { d->server.setAccounts(d->users.accounts()); });
    connect(&d->server, &NutServerThread::clientsChanged, this,
            [this] { d->clients.setClients(d->server.clients()); });
    connect(&d->server, &NutServerThread::portChanged, this, &ServiceNetwork::listeningPortChanged);
    connect(&d->server, &NutServerThread::listenAttempted, this, &ServiceNetwork::listenAttempted);
    connect(&d->server, &NutServerThread::commandRequested, this,
            [this](const QByteArray &command, const QByteArray &parameter) {
                emit commandRequested(command, parameter);
            });
    connect(&d->server, &NutServerThread::shutdownWaitFinished, this, [this] {
        if (!d->pendingDone)
            return;
        const std::function<void()> done = d->pendingDone;
        d->pendingDone = nullptr;
        done();
    });
}

ServiceNetwork::~ServiceNetwork()
{
    delete d;
}

void ServiceNetwork::start()
{
    d->started = true;
    d->users.reload();
    d->server.setAccounts(d->users.accounts());
    d->apply();
}

int ServiceNetworkPrivate::number(int type, int fallback, int low, int high) const
{
    bool ok = false;
    const int n = value(type).toInt(&ok);
    if (ok && n >= low && n <= high)
        return n;
    qCWarning(lcNetwork).noquote() << settings->keyName(type) << "=" << value(type).toString()
                                   << "is out of range; using" << fallback;
    return fallback;
}

NutServerConfig ServiceNetworkPrivate::config() const
{
    NutServerConfig c;
    c.enabled = value(Settings::NetworkEnable).toBool();
    c.listen = value(Settings::NetworkListen).toStringList();
    c.port = quint16(number(Settings::NetworkPort, nutDefaultPort, 0, 65535));
    c.allow = value(Settings::NetworkAllow).toStringList();
    c.upsName = q->servedUpsName().toUtf8();
    if (c.upsName != value(Settings::NetworkUpsName).toString().trimmed().toUtf8())
        qCWarning(lcNetwork) << "UPS name" << value(Settings::NetworkUpsName).toString()
                             << "is not a plain name; serving it as ups";
    for (const QString &alias : value(Settings::NetworkAliases).toStringList()) {
        if (NutLine::isPlainName(alias.toUtf8()))
            c.aliases << alias.toUtf8();
        else
            qCWarning(lcNetwork) << "UPS alias" << alias << "is not a plain name; left out";
    }
    c.hostSyncSeconds = number(Settings::NetworkHostSync, 15, 0, 3600);
    c.maxClients = number(Settings::NetworkMaxClients, 64, 1, 65535);
    c.certFile = value(Settings::NetworkCertFile).toString();
    c.keyFile = value(Settings::NetworkKeyFile).toString();
    c.idleMs = limits.idleMs;
    c.throttleBaseMs = limits.throttleBaseMs;
    c.outputLimit = limits.outputLimit;
    return c;
}

void ServiceNetworkPrivate::apply()
{
    if (!started)
        return;
    const NutServerConfig c = config();
    if (c.enabled != serving) {
        serving = c.enabled;
        emit q->servingChanged(serving);
    }
    server.setConfig(c);
    emit q->settingsChanged();
}

bool ServiceNetwork::enable() const
{
    return d->value(Settings::NetworkEnable).toBool();
}

void ServiceNetwork::setEnable(bool enable)
{
    if (enable != this->enable())
        d->settings->setSettings(Settings::NetworkEnable, enable);
}

QString ServiceNetwork::listen() const
{
    return listText(d->value(Settings::NetworkListen));
}

void ServiceNetwork::setListen(const QString &addresses)
{
    if (addresses != listen())
        d->settings->setSettings(Settings::NetworkListen, items(addresses).join(QLatin1Char(',')));
}

int ServiceNetwork::port() const
{
    return d->value(Settings::NetworkPort).toInt();
}

void ServiceNetwork::setPort(int port)
{
    if (port != this->port())
        d->settings->setSettings(Settings::NetworkPort, port);
}

QString ServiceNetwork::allow() const
{
    return listText(d->value(Settings::NetworkAllow));
}

void ServiceNetwork::setAllow(const QString &networks)
{
    if (networks != allow())
        d->settings->setSettings(Settings::NetworkAllow, items(networks).join(QLatin1Char(',')));
}

QString ServiceNetwork::upsName() const
{
    return d->value(Settings::NetworkUpsName).toString();
}

void ServiceNetwork::setUpsName(const QString &name)
{
    if (name != upsName())
        d->settings->setSettings(Settings::NetworkUpsName, name.trimmed());
}

QString ServiceNetwork::aliases() const
{
    return listText(d->value(Settings::NetworkAliases));
}

void ServiceNetwork::setAliases(const QString &names)
{
    if (names != aliases())
        d->settings->setSettings(Settings::NetworkAliases, items(names).join(QLatin1Char(',')));
}

QString ServiceNetwork::servedUpsName() const
{
    const QString name = upsName().trimmed();
    return NutLine::isPlainName(name.toUtf8()) ? name : QStringLiteral("ups");
}

int ServiceNetwork::hostSync() const
{
    return d->value(Settings::NetworkHostSync).toInt();
}

void ServiceNetwork::setHostSync(int seconds)
{
    if (seconds != hostSync())
        d->settings->setSettings(Settings::NetworkHostSync, seconds);
}

int ServiceNetwork::maxClients() const
{
    return d->value(Settings::NetworkMaxClients).toInt();
}

void ServiceNetwork::setMaxClients(int clients)
{
    if (clients != maxClients())
        d->settings->setSettings(Settings::NetworkMaxClients, clients);
}

QString ServiceNetwork::certFile() const
{
    return d->value(Settings::NetworkCertFile).toString();
}

void ServiceNetwork::setCertFile(const QString &path)
{
    if (path != certFile())
        d->settings->setSettings(Settings::NetworkCertFile, path);
}

QString ServiceNetwork::keyFile() const
{
    return d->value(Settings::NetworkKeyFile).toString();
}

void ServiceNetwork::setKeyFile(const QString &path)
{
    if (path != keyFile())
        d->settings->setSettings(Settings::NetworkKeyFile, path);
}

int ServiceNetwork::listeningPort() const
{
    return d->server.port();
}

QString ServiceNetwork::listenProblem() const
{
    return d->server.problem();
}

QString ServiceNetwork::checkListen(const QString &text) const
{
    const QStringList addresses = items(text);
    if (addresses.isEmpty())
        return tr("Name at least one address to listen on (127.0.0.1 for this computer only, "
                  "0.0.0.0 and :: for every network).");
    QStringList bad;
    for (const QString &address : addresses) {
        if (QHostAddress(address).isNull())
            bad << address;
    }
    return bad.isEmpty() ? QString()
                         : tr("Not an IP address: %1").arg(bad.join(QStringLiteral(", ")));
}

QString ServiceNetwork::checkAllow(const QString &text) const
{
    QStringList bad;
    NutAllowList::parse(items(text), &bad);
    return bad.isEmpty() ? QString()
                         : tr("Not a network (such as 192.168.1.0/24 or fd00::/8): %1")
                               .arg(bad.join(QStringLiteral(", ")));
}

QString ServiceNetwork::checkNames(const QString &text) const
{
    QStringList bad;
    for (const QString &name : items(text)) {
        if (!NutLine::isPlainName(name.toUtf8()))
            bad << name;
    }
    return bad.isEmpty() ? QString()
                         : tr("A UPS name holds letters, digits and . _ - @ only: %1")
                               .arg(bad.join(QStringLiteral(", ")));
}

ListModelNutUser *ServiceNetwork::users() const
{
    return &d->users;
}

ListModelNutClient *ServiceNetwork::clients() const
{
    return &d->clients;
}

bool ServiceNetwork::shutdownWait(const std::function<void()> &done)
{
    // No server, no client to warn: the shutdown goes on at once.
    if (!d->started || !enable() || listeningPort() == 0) {
        d->pendingDone = nullptr;
        done();
        return false;
    }
    d->pendingDone = done;
    d->server.beginShutdownWait();
    return true;
}

void ServiceNetwork::clearFsd()
{
    d->pendingDone = nullptr;
    d->server.clearFsd();
}

void ServiceNetwork::setClientLimits(int idleMs, int throttleBaseMs, int outputLimit)
{
    d->limits.idleMs = idleMs;
    d->limits.throttleBaseMs = throttleBaseMs;
    d->limits.outputLimit = outputLimit;
    d->apply();
}

void ServiceNetwork::setSnapshot(const NutSnapshot &snapshot)
{
    d->server.setSnapshot(snapshot);
}
