#include "nutlink.h"

#include "logcategories.h"
#include "nutclient.h"
#include "nutcommand.h"
#include "nutport.h"
#include "nutreading.h"
#include "settings.h"

#include <QTimer>

#include <cmath>

class NutLinkPrivate
{
public:
    NutLinkPrivate(NutLink *owner, Settings *store, NutClient *shared, const QString &name);
    QStringList commands() const { return client->commandsOf(ups()); }
    QString ups() const { return watched.isEmpty() ? client->endpoint().ups : watched; }

    void readSettings();
    void received(const QHash<QString, QString> &variables);
    void lost(const QString &reason);
    void send(NutCommand::Request request, int minutes = 0);
    QString reasonFor(NutCommand::Request request) const;
    void setProblem(const QString &text);

    NutLink *q;
    Settings *settings;
    NutClient *client;
    QString watched; // a UPS of a shared server connection; empty: the link of this computer
    UpsState state;
    NutReading reading;
    QStringList refusedLogged;
    QString problem;
    bool leaving = false; // this computer powers off: no login any more
    QTimer settingsTimer; // the fields of one edit are taken together
};

namespace {

// The request numbers of the control page, as UpsLink names them.
std::optional<NutCommand::Request> requestOf(int request)
{
    switch (request) {
    case UpsLink::ControlSelfTest10S:
        return NutCommand::SelfTestQuick;
    case UpsLink::ControlSelfTestEOD:
        return NutCommand::SelfTestDeep;
    case UpsLink::ControlSelfTestCustom:
        return NutCommand::SelfTestMinutes;
    case UpsLink::ControlSelfTestCancel:
        return NutCommand::SelfTestCancel;
    case UpsLink::ControlOutputOff:
        return NutCommand::OutputOff;
    case UpsLink::ControlOutputOffCancel:
        return NutCommand::OutputOffCancel;
    case UpsLink::ControlBeeper:
        return NutCommand::BeeperToggle;
    default:
        return std::nullopt;
    }
}

} // namespace

NutLinkPrivate::NutLinkPrivate(NutLink *owner, Settings *store, NutClient *shared,
                               const QString &name)
    : q(owner), settings(store), client(shared ? shared : new NutClient(owner)), watched(name)
{
}

void NutLinkPrivate::readSettings()
{
    NutClient::Endpoint endpoint;
    endpoint.host = settings->text(Settings::UpsNutHost).trimmed();
    // The key table holds it to a port (1 to 65535): another value reads as the default.
    endpoint.port = quint16(settings->number(Settings::UpsNutPort));
    endpoint.ups = settings->text(Settings::UpsNutUps).trimmed();
    endpoint.user = settings->text(Settings::UpsNutUser);
    endpoint.password = settings->text(Settings::UpsNutPassword);
    endpoint.caFile = settings->text(Settings::UpsNutCaFile).trimmed();
    endpoint.allowPlain = settings->getSettings(Settings::UpsNutAllowPlain).toBool();
    const NutClient::Endpoint before = client->endpoint();
    if (endpoint.host != before.host || endpoint.port != before.port || endpoint.ups != before.ups)
        lost(QString()); // another UPS: what the last one said no longer holds
    client->setEndpoint(endpoint);
    // Never a login without protection: the primary would wait for a computer that stays up.
    client->setLoginWanted(!leaving && settings->getSettings(Settings::ShutdownEnable).toBool());
}

void NutLinkPrivate::received(const QHash<QString, QString> &variables)
{
    const NutReading next = NutReading::fromVariables(variables);
    if (!next.statusKnown) {
        // A driver that is starting says WAIT: no status is no data.
        const QString reason =
            QStringLiteral("The server has no status for the UPS (ups.status \"%1\")")
                .arg(variables.value(QStringLiteral("ups.status")));
        if (reason != problem)
            qCWarning(lcDevice).noquote()
                << (watched.isEmpty() ? reason : QStringLiteral("%1: %2").arg(watched, reason));
        lost(reason);
        return;
    }
    setProblem(QString());
    for (const QString &name : next.refused) {
        if (!refusedLogged.contains(name)) {
            refusedLogged.append(name);
            qCWarning(lcDevice).noquote()
                << QStringLiteral("Network UPS variable %1 = \"%2\" is not a value Quelta can "
                                  "use; shown as absent")
                       .arg(name, variables.value(name));
        }
    }
    const UpsState previous = state;
    state = next.toState();
    reading = next;
    const bool cameOnline = previous.link != UpsState::Link::Online;
    const bool identity = previous.manufacturer != state.manufacturer ||
        previous.model != state.model || previous.firmware != state.firmware ||
        previous.serialNumber != state.serialNumber ||
        previous.ratedOutputVoltage != state.ratedOutputVoltage ||
        previous.ratedBatteryVoltage != state.ratedBatteryVoltage ||
        previous.ratedCurrent != state.ratedCurrent ||
        previous.ratedFrequency != state.ratedFrequency;
    if (identity)
        emit q->identityChanged();
    if (cameOnline)
        emit q->onlineChanged(true);
    emit q->stateChanged();
    if (cameOnline)
        emit q->controlsChanged();
}

void NutLinkPrivate::setProblem(const QString &text)
{
    if (text == problem)
        return;
    problem = text;
    emit q->problemChanged();
}

void NutLinkPrivate::lost(const QString &reason)
{
    setProblem(reason);
    if (state.link != UpsState::Link::Online)
        return; // never reached or already lost: nothing more to say
    state = UpsState();
    state.link = UpsState::Link::Offline;
    reading = NutReading();
    emit q->onlineChanged(false);
    emit q->stateChanged();
    emit q->linkLost();
    emit q->controlsChanged();
}

void NutLinkPrivate::send(NutCommand::Request request, int minutes)
{
    const std::optional<NutCommand> command =
        NutCommand::forRequest(request, commands(), reading, minutes);
    if (!command) {
        const QString reason = reasonFor(request);
        qCWarning(lcDevice).noquote() << "Control request not sent:" << reason;
        emit q->commandRefused(reason);
        return;
    }
    client->instantCommandTo(ups(), command->name, command->parameter);
}

NutLink::NutLink(NutClient *server, const QString &ups, QObject *parent)
    : UpsLink(parent), d(new NutLinkPrivate(this, nullptr, server, ups))
{
    connect(server, &NutClient::upsVariablesReceived, this,
            [this](const QString &name, const QHash<QString, QString> &variables) {
                if (name == d->watched)
                    d->received(variables);
            });
    connect(server, &NutClient::upsUnavailable, this,
            [this](const QString &name, const QString &reason) {
                if (name == d->watched)
                    d->lost(reason);
            });
    connect(server, &NutClient::upsCommandsChanged, this, [this](const QString &name) {
        if (name == d->watched)
            emit controlsChanged();
    });
    connect(server, &NutClient::upsCommandFinished, this,
            [this](const QString &name, const QString &command, const QString &error) {
                if (name == d->watched && !error.isEmpty())
                    emit commandRefused(
                        tr("The UPS server refused the command %1: %2").arg(command, error));
            });
}

NutLink::NutLink(Settings *settings, QObject *parent)
    : UpsLink(parent), d(new NutLinkPrivate(this, settings, nullptr, QString()))
{
    connect(d->client, &NutClient::variablesReceived, this,
            [this](const QHash<QString, QString> &variables) { d->received(variables); });
    connect(d->client, &NutClient::unavailable, this,
            [this](const QString &reason) { d->lost(reason); });
    connect(d->client, &NutClient::commandsChanged, this, &UpsLink::controlsChanged);
    connect(d->client, &NutClient::commandFinished, this,
            [this](const QString &name, const QString &error) {
                if (!error.isEmpty())
                    emit commandRefused(
                        tr("The UPS server refused the command %1: %2").arg(name, error));
            });
    d->settingsTimer.setSingleShot(true);
    d->settingsTimer.setInterval(0);
    connect(&d->settingsTimer, &QTimer::timeout, this, [this] {
        if (d->client->isRunning())
            d->readSettings();
    });
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("ups/nut")) || key == QLatin1String("shutdown/enable"))
            d->settingsTimer.start();
    });
}

NutLink::~NutLink() = default;

bool NutLink::start()
{
    if (!d->watched.isEmpty())
        return true; // the server's connection runs for all its UPSes
    d->leaving = false;
    d->readSettings();
    d->client->start();
    return true;
}

void NutLink::stop()
{
    if (d->watched.isEmpty())
        d->client->logout();
    d->lost(QString());
}

// LOGOUT, so the primary stops waiting; the UPS is still watched (a refused power-off leaves
// the computer running) through a connection without login.
void NutLink::leave()
{
    if (!d->watched.isEmpty())
        return; // a watched UPS is never logged in to
    d->leaving = true;
    d->client->setLoginWanted(false);
}

const UpsState &NutLink::state() const
{
    return d->state;
}

void NutLink::switchOutputOff(int minutes)
{
    d->send(NutCommand::OutputOff, minutes);
}

void NutLink::cancelOutputOff()
{
    d->send(NutCommand::OutputOffCancel, 0);
}

void NutLink::powerCycle(int minutes)
{
    d->send(NutCommand::OutputCycle, minutes);
}

void NutLink::setSelfTest(int type, int minutes)
{
    switch (type) {
    case SelfTestCancel:
        d->send(NutCommand::SelfTestCancel);
        break;
    case SelfTest10S:
        d->send(NutCommand::SelfTestQuick);
        break;
    case SelfTestEOD:
        d->send(NutCommand::SelfTestDeep);
        break;
    case SelfTestCustom:
        d->send(NutCommand::SelfTestMinutes, minutes);
        break;
    default:
        break;
    }
}

void NutLink::toggleBeeper()
{
    d->send(NutCommand::BeeperToggle);
}

QString NutLinkPrivate::reasonFor(NutCommand::Request request) const
{
    if (state.link != UpsState::Link::Online)
        return NutLink::tr("The UPS server is not connected.");
    if (NutCommand::forRequest(request, commands(), reading, 1))
        return QString();
    return NutLink::tr("The UPS server does not offer %1 for this UPS.")
        .arg(NutCommand::candidates(request).join(QStringLiteral(" / ")));
}

QString NutLink::controlUnavailable(int request) const
{
    const std::optional<NutCommand::Request> r = requestOf(request);
    return r ? d->reasonFor(*r) : QString();
}

QString NutLink::problem() const
{
    return d->problem;
}

NutClient *NutLink::client() const
{
    return d->client;
}
