#include "servicenetwork.h"

#include "listmodelnutclient.h"
#include "listmodelnutuser.h"
#include "logcategories.h"
#include "nutlineparser.h"
#include "nutservice.h"
#include "settings.h"

namespace {

// A list setting as one text: the settings facility reads an unquoted "a,b" as a list.
QString listText(const QVariant &value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
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
    ServiceNetworkPrivate(ServiceNetwork *q, Settings *settings, const QString &configPath)
        : q(q), settings(settings), users(configPath)
    {
    }

    QVariant value(int type) const { return settings->getSettings(type); }
    int number(int type, int fallback, int low, int high) const;
    NutServerConfig config() const;
    void apply();

    ServiceNetwork *q;
    Settings *settings;
    NutService service;
    ListModelNutUser users;
    ListModelNutClient clients;
    std::function<void()> pendingDone;
    NutServerConfig limits; // only the client limits are taken from it
    bool started = false;
};

ServiceNetwork::ServiceNetwork(Settings *settings, const QString &configPath, QObject *parent)
    : QObject(parent), d(new ServiceNetworkPrivate(this, settings, configPath))
{
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("network/")))
            d->apply();
    });
    connect(&d->users, &ListModelNutUser::accountsChanged, this,
            [this] { d->service.setAccounts(d->users.accounts()); });
    connect(&d->service, &NutService::clientsChanged, this,
            [this] { d->clients.setClients(d->service.clients()); });
    connect(&d->service, &NutService::portChanged, this, &ServiceNetwork::listeningPortChanged);
    connect(&d->service, &NutService::commandRequested, this,
            [this](const QByteArray &command, const QByteArray &parameter) {
                emit commandRequested(command, parameter);
            });
    connect(&d->service, &NutService::shutdownWaitFinished, this, [this] {
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
    d->service.setAccounts(d->users.accounts());
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
    c.listen = items(listText(value(Settings::NetworkListen)));
    c.port = quint16(number(Settings::NetworkPort, 3493, 0, 65535));
    c.allow = items(listText(value(Settings::NetworkAllow)));
    c.upsName = q->servedUpsName().toUtf8();
    if (c.upsName != value(Settings::NetworkUpsName).toString().trimmed().toUtf8())
        qCWarning(lcNetwork) << "UPS name" << value(Settings::NetworkUpsName).toString()
                             << "is not a plain name; serving it as ups";
    for (const QString &alias : items(listText(value(Settings::NetworkAliases)))) {
        if (NutLineParser::isPlainName(alias.toUtf8()))
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
    service.setConfig(config());
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
    return NutLineParser::isPlainName(name.toUtf8()) ? name : QStringLiteral("ups");
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
    return d->service.port();
}

ListModelNutUser *ServiceNetwork::users() const
{
    return &d->users;
}

ListModelNutClient *ServiceNetwork::clients() const
{
    return &d->clients;
}

void ServiceNetwork::shutdownWait(const std::function<void()> &done)
{
    // No server, no client to warn: the shutdown goes on at once.
    if (!d->started || !enable() || listeningPort() == 0) {
        d->pendingDone = nullptr;
        done();
        return;
    }
    d->pendingDone = done;
    d->service.beginShutdownWait();
}

void ServiceNetwork::clearFsd()
{
    d->pendingDone = nullptr;
    d->service.clearFsd();
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
    d->service.setSnapshot(snapshot);
}
