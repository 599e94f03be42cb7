#include "webeventstreams.h"

#include "mhdlibrary.h"

#include <QMap>

#include <cstring>

struct WebEventStreams::Stream
{
    MHD_Connection *connection = nullptr;
    int language = 0;
    QByteArray backlog;
    bool suspended = false;
    bool closing = false;
};

WebEventStreams::Stream *WebEventStreams::open(MHD_Connection *connection, int language,
                                               const std::function<QByteArray()> &first)
{
    auto *stream = new Stream;
    stream->connection = connection;
    stream->language = language;
    std::lock_guard<std::mutex> lock(m_mutex);
    stream->backlog = first();
    m_streams.insert(stream);
    return stream;
}

void WebEventStreams::close(Stream *stream)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_streams.remove(stream);
    }
    delete stream;
}

long WebEventStreams::read(Stream *stream, char *buffer, size_t max)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!stream->backlog.isEmpty()) {
        const int n = int(qMin<size_t>(max, size_t(stream->backlog.size())));
        std::memcpy(buffer, stream->backlog.constData(), size_t(n));
        stream->backlog.remove(0, n);
        return n;
    }
    if (stream->closing)
        return MHD_CONTENT_READER_END_OF_STREAM;
    // Nothing to send: out of the HTTP library's loop until an event comes.
    stream->suspended = true;
    mhd().suspendConnection(stream->connection);
    return 0;
}

void WebEventStreams::wake(Stream *stream)
{
    if (!stream->suspended)
        return;
    stream->suspended = false;
    mhd().resumeConnection(stream->connection);
}

void WebEventStreams::broadcast(const std::function<QByteArray(int)> &text)
{
    QMap<int, QByteArray> made;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Stream *stream : qAsConst(m_streams)) {
        if (stream->closing)
            continue;
        auto it = made.find(stream->language);
        if (it == made.end())
            it = made.insert(stream->language, text(stream->language));
        if (stream->backlog.size() + it->size() > backlogLimit) {
            // A client that does not read: dropped.
            stream->backlog.clear();
            stream->closing = true;
        } else {
            stream->backlog += *it;
        }
        wake(stream);
    }
}

void WebEventStreams::closeAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Stream *stream : qAsConst(m_streams)) {
        stream->closing = true;
        wake(stream);
    }
}

int WebEventStreams::count() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_streams.size();
}
