#include "servicenetwork.h"

#include "listmodelnutclient.h"
#include "listmodelnutuser.h"
#include "logcategories.h"
#include "nutallowlist.h"
#include "nutline.h"
#include "nutserverthread.h"
#include "settings.h"

#include <QHostAddress>

namespace {

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

NutServerConfig ServiceNetworkPrivate::config() const
{
    // The key table bounds each number; a value it refuses already reads as the default.
    NutServerConfig c;
    c.enabled = settings->flag(Settings::NetworkEnable);
    c.listen = settings->list(Settings::NetworkListen);
    c.port = quint16(settings->number(Settings::NetworkPort));
    c.allow = settings->list(Settings::NetworkAllow);
    c.upsName = q->servedUpsName().toUtf8();
    const QString upsName = settings->text(Settings::NetworkUpsName);
    if (c.upsName != upsName.trimmed().toUtf8())
        qCWarning(lcNetwork) << "UPS name" << upsName << "is not a plain name; serving it as ups";
    for (const QString &alias : settings->list(Settings::NetworkAliases)) {
        if (NutLine::isPlainName(alias.toUtf8()))
            c.aliases << alias.toUtf8();
        else
            qCWarning(lcNetwork) << "UPS alias" << alias << "is not a plain name; left out";
    }
    c.hostSyncSeconds = settings->number(Settings::NetworkHostSync);
    c.maxClients = settings->number(Settings::NetworkMaxClients);
    c.certFile = settings->text(Settings::NetworkCertFile);
    c.keyFile = settings->text(Settings::NetworkKeyFile);
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

QString ServiceNetwork::servedUpsName() const
{
    const QString name = d->settings->text(Settings::NetworkUpsName).trimmed();
    return NutLine::isPlainName(name.toUtf8()) ? name : QStringLiteral("ups");
}

bool ServiceNetwork::serving() const
{
    return d->serving;
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
    if (!d->started || !d->serving || listeningPort() == 0) {
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
