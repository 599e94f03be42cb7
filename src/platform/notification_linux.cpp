#include "platform.h"

#include "logcategories.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QString>
#include <QVariantMap>

namespace {

const char *const busAddressVariable = "QUELTA_NOTIFY_BUS";
const char *const privateConnectionName = "quelta-notify";
// A notification server answers at once; one that hangs only loses this notice.
constexpr int callTimeoutMs = 10000;

// Why notices cannot be shown is said once while it lasts (a service has no session at all),
// and again after a notice got through. Notices are shown from the main thread only.
enum class Told { Nothing, NoBus, NoServer };
Told told = Told::Nothing;

bool tellOnce(Told what)
{
    if (told == what)
        return false;
    told = what;
    return true;
}

QDBusConnection notificationBus()
{
    const QString address = qEnvironmentVariable(busAddressVariable);
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    QDBusConnection bus {QString::fromLatin1(privateConnectionName)};
    if (bus.isConnected())
        return bus;
    return QDBusConnection::connectToBus(address, QLatin1String(privateConnectionName));
}

platform::NotificationResult classify(const QDBusError &error)
{
    using platform::NotificationResult;
    const QString name = error.name();
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
        name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownObject") ||
        name == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
        name == QLatin1String("org.freedesktop.DBus.Error.Disconnected")) {
        if (tellOnce(Told::NoServer))
            qCInfo(lcPlatform) << "No desktop notification server:" << name << error.message()
                               << "(said once while it lasts)";
        return NotificationResult::Unavailable;
    }
    qCWarning(lcPlatform) << "Desktop notification failed:" << name << error.message();
    return NotificationResult::Failed;
}

} // namespace

namespace platform {

void showNotification(const std::wstring &title, const std::wstring &body, bool urgent,
                      std::function<void(NotificationResult)> done)
{
    QDBusConnection bus = notificationBus();
    if (!bus.isConnected()) {
        if (tellOnce(Told::NoBus))
            qCInfo(lcPlatform) << "No session bus for desktop notifications:"
                               << bus.lastError().message() << "(said once while it lasts)";
        if (done)
            done(NotificationResult::Unavailable);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints {
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(urgent ? 2 : 1))},
        {QStringLiteral("desktop-entry"), QStringLiteral("quelta")}};
    call << QStringLiteral("Quelta") << uint(0)
         << QString(urgent ? QStringLiteral("dialog-warning")
                           : QStringLiteral("dialog-information"))
         << QString::fromStdWString(title) << QString::fromStdWString(body) << QStringList()
         << hints << int(-1);
    // Asynchronous: the poll and the window go on while the server answers.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [done](QDBusPendingCallWatcher *call) {
                         const QDBusPendingReply<uint> reply = *call;
                         const NotificationResult result =
                             reply.isError() ? classify(reply.error()) : NotificationResult::Shown;
                         if (result == NotificationResult::Shown)
                             told = Told::Nothing;
                         if (done)
                             done(result);
                         call->deleteLater();
                     });
}

} // namespace platform
