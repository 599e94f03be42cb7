#include "poolqueue.h"

PoolQueue::PoolQueue(int threads) : m_runner(this)
{
    m_pool.setMaxThreadCount(threads);
}

PoolQueue::~PoolQueue()
{
    m_pool.waitForDone();
}

void PoolQueue::post(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    // One start per job: each run takes exactly one.
    m_pool.start(&m_runner);
}

void PoolQueue::waitForDone()
{
    m_pool.waitForDone();
}

void PoolQueue::Runner::run()
{
    std::function<void()> job;
    {
        std::lock_guard<std::mutex> lock(m_queue->m_mutex);
        job = std::move(m_queue->m_jobs.front());
        m_queue->m_jobs.pop_front();
    }
    job();
}
