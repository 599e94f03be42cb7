#pragma once

#include "upsentry.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

// The AgentX subagent: on a thread of its own, it connects to the system's SNMP agent (the
// master) at the socket it is given, registers the UPS MIB for each UPS (this computer's in the
// default context, each watched one in the context of its shown name), answers the master's
// requests from its own copy of the entries, and sends the MIB's notifications through it. The
// library pings the master and connects again when it went (a restart of snmpd).
class SnmpAgent
{
public:
    // `folder`: where the library may keep its files.
    SnmpAgent(const QString &socket, const QString &folder);
    ~SnmpAgent(); // stops the thread and closes the session

    // Any thread: the UPSes as they are now, taken over on the agent's thread.
    void setEntries(const QVector<UpsEntry> &entries);
    // Serving the MIB, or not (its registrations withdrawn). The library cannot be set up twice
    // in one process, so a subagent switched off keeps its session and only stops serving.
    void setServing(bool serving);
    // Any thread: the master's socket from now on. The session moves to it at once (or, while
    // no master answers there, at the library's next attempt to connect).
    void setSocket(const QString &socket);
    // Whether the master has the subagent's session now.
    bool connected() const { return m_connected; }
    // The agent's thread's state, reached from the library's callbacks there.
    struct Private;

private:
    void run();
    void wake();

    QString m_folder;
    std::thread m_thread;
    int m_wake[2] = {-1, -1};
    std::mutex m_mutex;
    QVector<UpsEntry> m_pending;
    bool m_havePending = false;
    QString m_socket; // asked for; the agent's thread has the one it uses
    bool m_serving = true;
    bool m_stop = false;
    std::atomic<bool> m_connected {false};
};
