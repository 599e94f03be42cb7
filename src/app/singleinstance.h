#pragma once

#include <QObject>

class QLocalServer;
class QLockFile;

// Knows whether another instance already runs for the same user and the same root, and passes
// it a message; works beside any application object, with a window or without. The guard is a
// lock file (a lock left by a crashed process is taken over) and a local socket named after the
// user and the root; both go when the object does.
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

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();

    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
    bool m_checked = false;
    bool m_running = false;
};
