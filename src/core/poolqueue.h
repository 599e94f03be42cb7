#pragma once

#include <QRunnable>
#include <QThreadPool>

#include <deque>
#include <functional>
#include <mutex>

// Work run on a few threads of a pool of its own, in the order it was posted. The work passes
// under a std::mutex of ours, and the pool is only ever handed the one runner made with this
// object: a job carried through Qt's queue would be ordered by a lock the thread sanitizer does
// not see in the system's Qt, which then takes everything the job carries for raced.
class PoolQueue
{
public:
    explicit PoolQueue(int threads);
    ~PoolQueue(); // runs what was posted, then returns
    PoolQueue(const PoolQueue &) = delete;
    PoolQueue &operator=(const PoolQueue &) = delete;

    // Any thread.
    void post(std::function<void()> job);
    void waitForDone();

private:
    class Runner : public QRunnable
    {
    public:
        explicit Runner(PoolQueue *queue) : m_queue(queue) { setAutoDelete(false); }
        void run() override;

    private:
        PoolQueue *m_queue;
    };

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_jobs;
    Runner m_runner;
    QThreadPool m_pool; // last: gone first, with its threads
};
