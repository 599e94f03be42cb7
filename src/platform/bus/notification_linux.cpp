#include "bus.h"

#include "logcategories.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QString>
#include <QStringList>
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
    if (bus::nobodyAnswers(name)) {
        if (tellOnce(Told::NoServer))
            qCInfo(lcPlatform) << "No desktop notification server:" << name << error.message()
                               << "(said once while it lasts)";
        return NotificationResult::Unavailable;
    }
    qCWarning(lcPlatform) << "Desktop notification failed:" << name << error.message();
    return NotificationResult::Failed;
}

// Hears the server's ActionInvoked signal and hands it on.
class ActionListener : public QObject
{
    Q_OBJECT
public:
    std::function<void(unsigned int, const std::wstring &)> handler;

public slots:
    void actionInvoked(uint id, const QString &key)
    {
        if (handler)
            handler(id, key.toStdWString());
    }
};

ActionListener *actionListener()
{
    static ActionListener *listener = new ActionListener;
    return listener;
}

// Actions are heard from the first notice on: a program that never shows one (a service with
// no session) never connects to a bus for them.
void listenForActions(QDBusConnection &bus)
{
    static bool listening = false;
    if (listening || !actionListener()->handler)
        return;
    listening = true;
    // Any sender: the server's unique name may change while the program runs.
    if (!bus.connect(QString(), QStringLiteral("/org/freedesktop/Notifications"),
                     QStringLiteral("org.freedesktop.Notifications"),
                     QStringLiteral("ActionInvoked"), actionListener(),
                     SLOT(actionInvoked(uint, QString))))
        qCInfo(lcPlatform) << "Actions of desktop notices cannot be heard:"
                           << bus.lastError().message();
}

} // namespace

namespace bus {

using platform::NotificationResult;
using platform::Notice;

void showNotification(const Notice &notice,
                      std::function<void(NotificationResult, unsigned int)> done)
{
    QDBusConnection bus = notificationBus();
    if (!bus.isConnected()) {
        if (tellOnce(Told::NoBus))
            qCInfo(lcPlatform) << "No session bus for desktop notifications:"
                               << bus.lastError().message() << "(said once while it lasts)";
        if (done)
            done(NotificationResult::Unavailable, 0);
        return;
    }
    listenForActions(bus);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints {
        {QStringLiteral("urgency"), QVariant::fromValue(uchar(notice.urgent ? 2 : 1))},
        {QStringLiteral("desktop-entry"), QStringLiteral("quelta")}};
    QStringList actions;
    for (const auto &action : notice.actions)
        actions << QString::fromStdWString(action.first) << QString::fromStdWString(action.second);
    call << QStringLiteral("Quelta") << uint(notice.replaces)
         << QString(notice.urgent ? QStringLiteral("dialog-warning")
                                  : QStringLiteral("dialog-information"))
         << QString::fromStdWString(notice.title) << QString::fromStdWString(notice.body) << actions
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
                             done(result, reply.isError() ? 0u : reply.value());
                         call->deleteLater();
                     });
}

void closeNotification(unsigned int id)
{
    if (id == 0)
        return;
    QDBusConnection bus = notificationBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("CloseNotification"));
    call << uint(id);
    // No answer is awaited: a notice the user closed already is no fault.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, callTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

void setNotificationActionHandler(std::function<void(unsigned int, const std::wstring &)> handler)
{
    actionListener()->handler = std::move(handler);
}

} // namespace bus

#include "notification_linux.moc"
