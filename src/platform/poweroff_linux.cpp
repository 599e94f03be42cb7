#include "platform.h"

#include "logcategories.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace {

const char *const busAddressVariable = "QUELTA_LOGIN1_BUS";
const char *const privateConnectionName = "quelta-login1";
// logind answers at once; a hung bus must not freeze the last seconds for long.
constexpr int callTimeoutMs = 10000;

platform::PowerOffResult classify(const QDBusMessage &reply)
{
    using platform::PowerOffResult;
    if (reply.type() == QDBusMessage::ReplyMessage) {
        qCInfo(lcPlatform) << "Power-off accepted by the login manager";
        return PowerOffResult::Requested;
    }
    const QString error = reply.errorName();
    if (error == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        error == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        error == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
        error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
        error == QLatin1String("org.freedesktop.DBus.Error.Disconnected")) {
        qCWarning(lcPlatform) << "Power-off unavailable: no login manager on the bus:" << error
                              << reply.errorMessage();
        return PowerOffResult::Unavailable;
    }
    if (error == QLatin1String("org.freedesktop.DBus.Error.AccessDenied") ||
        error == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired") ||
        error.startsWith(QLatin1String("org.freedesktop.PolicyKit1"))) {
        qCWarning(lcPlatform) << "Power-off refused by the system (polkit):" << error
                              << reply.errorMessage();
        return PowerOffResult::Refused;
    }
    qCWarning(lcPlatform) << "Power-off failed:" << error << reply.errorMessage();
    return PowerOffResult::Failed;
}

} // namespace

namespace platform {

PowerOffResult powerOff()
{
    const QString address = qEnvironmentVariable(busAddressVariable);
    const QString name = QLatin1String(privateConnectionName);
    PowerOffResult result;
    {
        QDBusConnection bus = address.isEmpty() ? QDBusConnection::systemBus()
                                                : QDBusConnection::connectToBus(address, name);
        if (!bus.isConnected()) {
            qCWarning(lcPlatform) << "Power-off unavailable: cannot reach the system bus:"
                                  << bus.lastError().message();
            result = PowerOffResult::Unavailable;
        } else {
            QDBusMessage call = QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
            call << false; // not interactive: nobody may be there to answer a password prompt
            result = classify(bus.call(call, QDBus::Block, callTimeoutMs));
        }
    }
    // A fresh connection each time, so a changed address is honoured.
    if (!address.isEmpty())
        QDBusConnection::disconnectFromBus(name);
    return result;
}

} // namespace platform
