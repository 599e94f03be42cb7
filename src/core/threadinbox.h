#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Calls handed to the thread this object lives on, run there in the order they were posted, at
// its event loop's next turn. The calls and what they carry pass under a std::mutex of our own;
// Qt's event only wakes the thread. A call queued through Qt alone (QMetaObject::invokeMethod)
// is ordered by a lock that the thread sanitizer does not see in the system's Qt, which then
// takes every copy the call carries for raced.
class ThreadInbox : public QObject
{
    Q_OBJECT
public:
    explicit ThreadInbox(QObject *parent = nullptr);

    // Any thread.
    void post(std::function<void()> call);

private slots:
    void runPosted();

private:
    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
};
