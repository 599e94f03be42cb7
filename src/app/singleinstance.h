#pragma once

#include <QObject>

class QLocalServer;
class QLockFile;

// Knows whether another instance already runs on the same root, and passes it a message; works
// beside any application object, with a window or without. The guard is a lock file in the root
// (a lock left by a crashed process is taken over), and a local socket named after the user and
// the root carries the message; both go when the object does.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    bool isRunning();
    bool sendMessage(const QString &message, int timeout = 5000);

    // Per user and per root, so test runs with different roots never meet.
    static QString instanceKey();
    static QString lockFile();
    // The process that holds the lock when isRunning() found one; 0 when not known.
    qint64 owner() const;

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();

    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
    bool m_checked = false;
    bool m_running = false;
    qint64 m_owner = 0;
};
