#pragma once

#include <QByteArray>
#include <QSet>

#include <functional>
#include <mutex>

struct MHD_Connection;

// The open event streams (Server-Sent Events) of the web service. Each holds the events not yet
// sent to its client; while it has none its connection is suspended, so an idle stream costs no
// work, and an event resumes it. A client that does not read is dropped once a bounded backlog
// has piled up. Any thread.
class WebEventStreams
{
public:
    struct Stream;

    static constexpr int backlogLimit = 32 * 1024;

    // A new stream for `connection` in `language`; `first` (made under the streams' lock, so no
    // event can come before it) is what it sends first.
    Stream *open(MHD_Connection *connection, int language,
                 const std::function<QByteArray()> &first);
    // The HTTP library is done with the stream's reply.
    void close(Stream *stream);
    // The content reader of a stream's reply: the backlog, or 0 after suspending the connection.
    long read(Stream *stream, char *buffer, size_t max);

    // One event to every stream, in the stream's language (`text` is called once per language).
    void broadcast(const std::function<QByteArray(int language)> &text);
    // Every stream ends (the server stops): each sends what it holds, then closes.
    void closeAll();
    int count() const;

private:
    void wake(Stream *stream);

    mutable std::mutex m_mutex; // seen by the thread sanitizer, unlike the system Qt's QMutex
    QSet<Stream *> m_streams;
};
