#pragma once

#include <QHash>
#include <QObject>

class QSocketNotifier;

// The clients' sockets of the network server, watched as one: a wake-up costs in proportion to
// the sockets that are ready, not to all those open, so a crowd of quiet clients costs the busy
// ones nothing. Where the system has no such set, each socket gets notifiers of its own.
// Lives on the server's thread; the set is made at the first socket, not before.
class NutSocketWatch : public QObject
{
    Q_OBJECT
public:
    // What a watched socket calls while it is ready and watched for that.
    class Client
    {
    public:
        virtual void socketReadable() = 0;
        virtual void socketWritable() = 0;

    protected:
        ~Client() = default;
    };

    explicit NutSocketWatch(QObject *parent = nullptr);
    ~NutSocketWatch() override;

    // Watches `socket` for reading. False when the system would not watch it.
    bool add(qintptr socket, Client *client);
    void setReading(qintptr socket, bool on);
    void setWriting(qintptr socket, bool on);
    // Forgets it; a readiness already taken for it is dropped. Before the socket is closed.
    void remove(qintptr socket);

private:
    struct Entry
    {
        Client *client = nullptr;
        quint32 serial = 0; // tells a socket apart from a later one on the same descriptor
        bool reading = true;
        bool writing = false;
        QSocketNotifier *readable = nullptr; // without a set only
        QSocketNotifier *writable = nullptr;
    };
    void update(qintptr socket, Entry &entry);
    void dispatch();

    long long m_set = -1;
    bool m_tried = false;
    QSocketNotifier *m_setNotifier = nullptr;
    QHash<qintptr, Entry> m_entries;
    quint32 m_serial = 0;
};
