#pragma once

#include <QObject>
#include <QString>
#include <QVector>

// A desktop notification server of our own on a private bus: owns
// org.freedesktop.Notifications and keeps every Notify call it gets.
class NotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Notice
    {
        QString appName;
        QString summary;
        QString body;
        int urgency = -1;
    };

    explicit NotificationServer(const QString &busAddress);
    ~NotificationServer() override;

    bool isReady() const { return m_ready; }
    const QVector<Notice> &notices() const { return m_notices; }
    void clear() { m_notices.clear(); }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int expireTimeout);
    QStringList GetCapabilities();
    void GetServerInformation(QString &name, QString &vendor, QString &version,
                              QString &specVersion);

signals:
    void received();

private:
    QString m_connectionName;
    QVector<Notice> m_notices;
    bool m_ready = false;
};
