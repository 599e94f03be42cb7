#include "notificationserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

NotificationServer::NotificationServer(const QString &busAddress)
    : m_connectionName(QStringLiteral("test-notification-server"))
{
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, m_connectionName);
    m_ready = bus.isConnected() &&
        bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                           QDBusConnection::ExportAllSlots) &&
        bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

NotificationServer::~NotificationServer()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

uint NotificationServer::Notify(const QString &appName, uint, const QString &,
                                const QString &summary, const QString &body, const QStringList &,
                                const QVariantMap &hints, int)
{
    const QVariant urgency = hints.value(QStringLiteral("urgency"));
    m_notices.append({appName, summary, body, urgency.isValid() ? urgency.toInt() : -1});
    emit received();
    return uint(m_notices.size());
}

QStringList NotificationServer::GetCapabilities()
{
    return {QStringLiteral("body")};
}

void NotificationServer::GetServerInformation(QString &name, QString &vendor, QString &version,
                                              QString &specVersion)
{
    name = QStringLiteral("test");
    vendor = QStringLiteral("test");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
}
