#pragma once

#include <QObject>

#include <atomic>
#include <thread>

class QSqlDatabase;

// Summarises the samples stored before the summaries existed (a database from an older version),
// on a thread and a connection of its own, a chunk of rows per transaction, so the poll and the
// record writer never wait for it. Where it stopped is in the file (summary_fill): a program
// killed halfway goes on from there at its next start. Until it is done, charts read the
// samples themselves. Summaries found damaged (a read or a sample insert that meets a malformed
// page) are not trusted: they are made anew, empty, and filled again from the samples the same
// way; the thread waits for that, idle, once it is done.
class SummaryFill : public QObject
{
    Q_OBJECT
public:
    static constexpr int chunkRows = 50000;

    explicit SummaryFill(QObject *parent = nullptr);
    ~SummaryFill() override;

    // Returns at once.
    void start();
    // Ends the work after the chunk under way; it goes on at the next start.
    void stop();

    // Makes the summary tables and their trigger anew, empty, and notes every stored sample as
    // left to summarise; wakes the running fill. On `db`, which must be able to write; false
    // (logged) when that failed too.
    static bool makeAnew(QSqlDatabase &db);
    // Any thread, without a connection that can write (a chart that met damage): the summaries
    // are no longer read, and the running fill makes them anew.
    static void distrust();
    // Whether charts may read the summaries (none found damaged since they were made).
    static bool trusted();
    // Whether the summaries on `db` are trusted and hold every stored sample.
    static bool whole(QSqlDatabase &db);

    // Summarises the next chunk on `db`: true while rows are left after it. `*error` says why
    // nothing was done, empty when it went well.
    static bool step(QSqlDatabase &db, int rows, QString *error);
    // The rows left and the first and last ids to summarise; false when none are left.
    static bool left(QSqlDatabase &db, qint64 *nextId, qint64 *lastId);

signals:
    void finished();

private:
    void run();
    void fill(QSqlDatabase &db);

    std::thread m_thread;
    std::atomic_bool m_stop {false};
};
