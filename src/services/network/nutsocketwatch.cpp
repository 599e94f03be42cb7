#include "nutsocketwatch.h"

#include "platform.h"

#include <QSocketNotifier>

namespace {

// Ready sockets handled per wake-up: the rest wait for the next turn, after the timers.
const int readyPerWakeUp = 256;

} // namespace

NutSocketWatch::NutSocketWatch(QObject *parent) : QObject(parent) { }

NutSocketWatch::~NutSocketWatch()
{
    for (const Entry &e : qAsConst(m_entries)) {
        delete e.readable;
        delete e.writable;
    }
    delete m_setNotifier;
    platform::readySetClose(m_set);
}

bool NutSocketWatch::add(qintptr socket, Client *client)
{
    if (!m_tried) {
        m_tried = true;
        m_set = platform::readySetCreate();
        if (m_set >= 0) {
            m_setNotifier = new QSocketNotifier(qintptr(m_set), QSocketNotifier::Read, this);
            connect(m_setNotifier, &QSocketNotifier::activated, this, [this] { dispatch(); });
        }
    }
    Entry entry;
    entry.client = client;
    entry.serial = ++m_serial;
    if (m_set >= 0) {
        if (!platform::readySetWatch(m_set, socket, quint64(entry.serial) << 32 | quint32(socket),
                                     true, false))
            return false;
    } else {
        entry.readable = new QSocketNotifier(socket, QSocketNotifier::Read, this);
        connect(entry.readable, &QSocketNotifier::activated, this,
                [client] { client->socketReadable(); });
    }
    m_entries.insert(socket, entry);
    return true;
}

void NutSocketWatch::setReading(qintptr socket, bool on)
{
    auto it = m_entries.find(socket);
    if (it == m_entries.end() || it->reading == on)
        return;
    it->reading = on;
    update(socket, *it);
}

void NutSocketWatch::setWriting(qintptr socket, bool on)
{
    auto it = m_entries.find(socket);
    if (it == m_entries.end() || it->writing == on)
        return;
    it->writing = on;
    update(socket, *it);
}

void NutSocketWatch::update(qintptr socket, Entry &entry)
{
    if (m_set >= 0) {
        // Out of the set while nothing is wanted: a hang-up would be told over and over.
        if (!entry.reading && !entry.writing)
            platform::readySetForget(m_set, socket);
        else
            platform::readySetWatch(m_set, socket, quint64(entry.serial) << 32 | quint32(socket),
                                    entry.reading, entry.writing);
        return;
    }
    entry.readable->setEnabled(entry.reading);
    if (entry.writing && !entry.writable) {
        entry.writable = new QSocketNotifier(socket, QSocketNotifier::Write, this);
        Client *client = entry.client;
        connect(entry.writable, &QSocketNotifier::activated, this,
                [client] { client->socketWritable(); });
    }
    if (entry.writable)
        entry.writable->setEnabled(entry.writing);
}

void NutSocketWatch::remove(qintptr socket)
{
    auto it = m_entries.find(socket);
    if (it == m_entries.end())
        return;
    if (m_set >= 0)
        platform::readySetForget(m_set, socket);
    delete it->readable;
    delete it->writable;
    m_entries.erase(it);
}

void NutSocketWatch::dispatch()
{
    platform::ReadySocket ready[readyPerWakeUp];
    const int n = platform::readySetTake(m_set, ready, readyPerWakeUp);
    for (int i = 0; i < n; ++i) {
        const qintptr socket = qintptr(quint32(ready[i].tag));
        const quint32 serial = quint32(ready[i].tag >> 32);
        // Looked up again before each call: the one before may have closed it.
        auto it = m_entries.constFind(socket);
        if (ready[i].read && it != m_entries.cend() && it->serial == serial && it->reading)
            it->client->socketReadable();
        it = m_entries.constFind(socket);
        if (ready[i].write && it != m_entries.cend() && it->serial == serial && it->writing)
            it->client->socketWritable();
    }
}
