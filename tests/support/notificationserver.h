#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// A desktop notification server of our own on a private bus: owns
// org.freedesktop.Notifications, keeps every Notify and CloseNotification call it gets, gives
// ids as a server does (a replaced notice keeps its id) and can play the user choosing an action.
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
        uint id = 0;
        uint replacesId = 0;
        QStringList actions; // key, label, key, label...
    };

    explicit NotificationServer(const QString &busAddress);
    ~NotificationServer() override;

    bool isReady() const { return m_ready; }
    const QVector<Notice> &notices() const { return m_notices; }
    const QVector<uint> &closed() const { return m_closed; }
    void clear()
    {
        m_notices.clear();
        m_closed.clear();
    }
    // The user clicks the action `key` of notice `id`.
    void invoke(uint id, const QString &key) { emit ActionInvoked(id, key); }

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &appIcon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int expireTimeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities();
    void GetServerInformation(QString &name, QString &vendor, QString &version,
                              QString &specVersion);

signals:
    void received();
    void ActionInvoked(uint id, const QString &actionKey);

private:
    QString m_connectionName;
    QVector<Notice> m_notices;
    QVector<uint> m_closed;
    uint m_lastId = 0;
    bool m_ready = false;
};
