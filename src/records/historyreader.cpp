#include "historyreader.h"

#include "threadinbox.h"

#include <QThread>

#include <atomic>
#include <memory>

class HistoryReaderPrivate
{
public:
    QThread thread;
    ThreadInbox *worker = nullptr; // lives on the thread; the jobs are its calls
    ThreadInbox *back = nullptr; // the owner's thread, for what is done
    int pending = 0;
    // Set when the owner goes: jobs still queued are skipped.
    std::shared_ptr<std::atomic_bool> gone = std::make_shared<std::atomic_bool>(false);
};

HistoryReader::HistoryReader(QObject *parent) : QObject(parent), d(new HistoryReaderPrivate)
{
    d->thread.setObjectName(QStringLiteral("history reader"));
}

HistoryReader::~HistoryReader()
{
    *d->gone = true;
    if (d->thread.isRunning()) {
        d->thread.quit();
        d->thread.wait();
    }
    delete d->worker;
    delete d;
}

void HistoryReader::run(std::function<void()> job, std::function<void()> done)
{
    if (!d->worker) {
        d->worker = new ThreadInbox;
        d->back = new ThreadInbox(this);
        d->worker->moveToThread(&d->thread);
        // Below the window and the poll: a long export yields the processor to them.
        d->thread.start(QThread::LowPriority);
    }
    ++d->pending;
    ThreadInbox *back = d->back;
    d->worker->post([this, back, job = std::move(job), done = std::move(done), gone = d->gone] {
        if (*gone)
            return;
        job();
        if (*gone)
            return;
        // Back to the owner (which waits for this job before it goes): a later `done` is
        // dropped with it.
        back->post([this, done] {
            if (done)
                done();
            if (--d->pending == 0)
                emit idle();
        });
    });
}

bool HistoryReader::busy() const
{
    return d->pending > 0;
}

