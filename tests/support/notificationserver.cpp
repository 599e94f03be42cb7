#include "notificationserver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

NotificationServer::NotificationServer(const QString &busAddress)
    : m_connectionName(QStringLiteral("test-notification-server"))
{
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, m_connectionName);
    m_ready = bus.isConnected() &&
        bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                           QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals) &&
        bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

NotificationServer::~NotificationServer()
{
    QDBusConnection::disconnectFromBus(m_connectionName);
}

uint NotificationServer::Notify(const QString &appName, uint replacesId, const QString &,
                                const QString &summary, const QString &body,
                                const QStringList &actions, const QVariantMap &hints, int)
{
    const QVariant urgency = hints.value(QStringLiteral("urgency"));
    // A notice replaced keeps its id; an unknown one to replace makes a new notice.
    const bool known = replacesId != 0 && replacesId <= m_lastId && !m_closed.contains(replacesId);
    const uint id = known ? replacesId : ++m_lastId;
    m_notices.append({appName, summary, body, urgency.isValid() ? urgency.toInt() : -1, id,
                      replacesId, actions});
    emit received();
    return id;
}

void NotificationServer::CloseNotification(uint id)
{
    m_closed.append(id);
    emit received();
}

QStringList NotificationServer::GetCapabilities()
{
    return {QStringLiteral("body"), QStringLiteral("actions")};
}

void NotificationServer::GetServerInformation(QString &name, QString &vendor, QString &version,
                                              QString &specVersion)
{
    name = QStringLiteral("test");
    vendor = QStringLiteral("test");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
}
