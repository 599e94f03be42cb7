#pragma once

#include <QHash>
#include <QObject>

#include <functional>

class QLocalServer;
class QLockFile;

// Knows whether another instance already runs on the same root, and passes it a message; works
// beside any application object, with a window or without. The guard is a lock file in the root
// (a lock left by a crashed process is taken over). A local socket beside it carries the
// messages of a second start and the requests of the command line (the state of the UPS), so
// whoever may enter the root reaches the program, also a service with a private temporary
// folder; both go when the object does.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    // What a request gets back: the document for its text, read on the event loop.
    using Answer = std::function<QByteArray()>;

    explicit SingleInstance(QObject *parent = nullptr);
    ~SingleInstance() override;

    bool isRunning();
    bool sendMessage(const QString &message, int timeout = 5000);
    // A line `request` is answered with what `answer` gives, not taken as a message.
    void setAnswer(const QByteArray &request, const Answer &answer);

    // The socket's name: "quelta.sock" in the root, or where that path is too long for a
    // socket, a name per user and root in the temporary folder.
    static QString socketName();
    static QString lockFile();
    // The process that holds the lock when isRunning() found one; 0 when not known.
    qint64 owner() const;

    enum class Reply { Answered, NotRunning, Refused, NoAnswer };
    // Asks the instance running on the root and waits for the whole answer (at most `timeout`
    // ms). NotRunning: no program listens there; Refused: one does, but this user may not ask.
    static Reply ask(const QByteArray &request, int timeout, QByteArray *answer);

signals:
    void messageReceived(const QString &message);

private:
    void onNewConnection();

    QLockFile *m_lock = nullptr;
    QLocalServer *m_server = nullptr;
    bool m_checked = false;
    bool m_running = false;
    qint64 m_owner = 0;
    QHash<QByteArray, Answer> m_answers;
};
