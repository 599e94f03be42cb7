#include "bus.h"

#include "logcategories.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const char *const busAddressVariable = "QUELTA_LOGIN1_BUS";
// logind answers at once; one that hangs gets this long before the call counts as failed.
constexpr int callTimeoutMs = 10000;

platform::PowerOffResult classify(const QDBusError &error)
{
    using platform::PowerOffResult;
    const QString name = error.name();
    if (bus::nobodyAnswers(name)) {
        qCWarning(lcPlatform) << "Power-off unavailable: no login manager on the bus:" << name
                              << error.message();
        return PowerOffResult::Unavailable;
    }
    if (name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
        name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired") ||
        name.startsWith(QLatin1String("org.freedesktop.PolicyKit1"))) {
        qCWarning(lcPlatform) << "Power-off refused by the system (polkit):" << name
                              << error.message();
        return PowerOffResult::Refused;
    }
    qCWarning(lcPlatform) << "Power-off failed:" << name << error.message();
    return PowerOffResult::Failed;
}

} // namespace

namespace bus {

using platform::PowerOffResult;

void powerOff(std::function<void(PowerOffResult)> done)
{
    const QString address = qEnvironmentVariable(busAddressVariable);
    // A connection of its own per call on a named bus, so a changed address is honoured and a
    // call left hanging never holds up the next one.
    static QAtomicInt calls;
    const QString name = QStringLiteral("quelta-login1-%1").arg(calls.fetchAndAddRelaxed(1));
    QDBusConnection bus = address.isEmpty() ? QDBusConnection::systemBus()
                                            : QDBusConnection::connectToBus(address, name);
    const auto finish = [address, name, done](PowerOffResult result) {
        if (!address.isEmpty())
            QDBusConnection::disconnectFromBus(name);
        if (done)
            done(result);
    };
    if (!bus.isConnected()) {
        qCWarning(lcPlatform) << "Power-off unavailable: cannot reach the system bus:"
                              << bus.lastError().message();
        finish(PowerOffResult::Unavailable);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false; // not interactive: nobody may be there to answer a password prompt
    // Asynchronous: the poll and the countdown go on while the login manager answers.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [finish](QDBusPendingCallWatcher *pending) {
                         const QDBusPendingReply<> reply = *pending;
                         pending->deleteLater();
                         if (!reply.isError()) {
                             qCInfo(lcPlatform) << "Power-off accepted by the login manager";
                             finish(PowerOffResult::Requested);
                             return;
                         }
                         finish(classify(reply.error()));
                     });
}

} // namespace bus
