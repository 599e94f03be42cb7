#include "threadinbox.h"

#include <QMetaObject>

ThreadInbox::ThreadInbox(QObject *parent) : QObject(parent) { }

void ThreadInbox::post(std::function<void()> call)
{
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        wake = m_calls.empty();
        m_calls.push_back(std::move(call));
    }
    // One wake-up for all the calls waiting; by name, so that the event carries nothing.
    if (wake)
        QMetaObject::invokeMethod(this, "runPosted", Qt::QueuedConnection);
}

void ThreadInbox::runPosted()
{
    std::deque<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        calls.swap(m_calls);
    }
    for (const std::function<void()> &call : calls)
        call();
}
