#include "recordwriter.h"

#include "database.h"
#include "diskreserve.h"
#include "historynotice.h"
#include "logcategories.h"
#include "summaryfill.h"

#include <QLocale>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Row
{
    const char *statement;
    int table;
    QVariantList values;
    const char *what;
};

QString timeText(const QDateTime &when)
{
    return QLocale(QLocale::English).toString(when, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

} // namespace

class RecordWriterPrivate
{
public:
    void queue(Row row);
    void run();
    std::deque<Row> writeBatch(QSqlDatabase &db, std::deque<Row> &batch);
    void keep(std::deque<Row> &kept);
    void tellWaitingWritten(size_t written);

    std::mutex mutex;
    std::condition_variable wake; // rows queued, stop asked, or held no longer
    std::condition_variable written; // a batch was written
    std::deque<Row> rows;
    std::deque<Row> waiting; // rows that found no room, oldest first (the writer's own)
    std::thread thread;
    bool stopping = false;
    bool held = false;
    bool released = false; // held no longer: write what waits at once
    quint64 queued = 0; // rows handed in since construction
    quint64 done = 0; // rows written, failed or set waiting since construction
    std::atomic<quint64> committed {0};
    quint64 dropped[2] = {0, 0}; // samples and other rows dropped from a full queue
    bool droppingTold = false;
    QString connection;
    RecordWriter *q = nullptr;
    HistoryNotice *notice = nullptr;
    QSet<int> failing; // tables whose last write failed (the writer thread's own)
    // A full disk gave up its reserve, or damaged summaries were made anew: the batch goes
    // again at once.
    bool again = false;
    bool summariesMadeAnew = false; // once: a second damage is the samples' own
    unsigned releasesSeen = 0;

    bool failed(int table, const QSqlError &error, const QString &path, const char *what);
    void stored(int table);
};

// History is stored again once every table that failed took a row again (one table of the wrong
// shape keeps the notice up), and once a row is stored while the notice tells of a cause found
// before any row was written. The notice may be told from any thread.
void RecordWriterPrivate::stored(int table)
{
    failing.remove(table);
    if (failing.isEmpty() && notice && notice->isTelling())
        notice->recovered();
}

// True when the row should wait for another try: the disk is full or the file cannot be
// written now, which may pass.
bool RecordWriterPrivate::failed(int table, const QSqlError &error, const QString &path,
                                 const char *what)
{
    failing.insert(table);
    const int cause = HistoryNotice::causeOf(error, path);
    // The reserve given up makes the room: nothing to tell unless that is not enough.
    if (cause == HistoryNotice::DiskFull &&
        DiskReserve::release(&releasesSeen) != DiskReserve::Release::NoRoom) {
        again = true;
        return true;
    }
    if (notice)
        notice->report(cause, error.text());
    else
        qCWarning(lcRecords) << "Cannot store" << what << ":" << error.text();
    return cause == HistoryNotice::DiskFull || cause == HistoryNotice::Failed ||
        cause == HistoryNotice::CannotOpen || cause == HistoryNotice::ReadOnly;
}

void RecordWriterPrivate::queue(Row row)
{
    // start() and stop() run on the thread that queues, so the thread's state holds meanwhile.
    if (!thread.joinable()) {
        // Not started (or stopped): written at once, on the caller's default connection.
        QSqlDatabase db = QSqlDatabase::database();
        std::deque<Row> one;
        one.push_back(std::move(row));
        std::deque<Row> kept = writeBatch(db, one);
        if (again) {
            again = false;
            writeBatch(db, kept);
        }
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        rows.push_back(std::move(row));
        ++queued;
    }
    wake.notify_one();
}

// Rows that found no room wait, at most RecordWriter::maxWaiting: beyond it the oldest sample
// gives way (the oldest row when only alarms and self-tests wait). Called with the lock held.
void RecordWriterPrivate::keep(std::deque<Row> &kept)
{
    waiting.insert(waiting.end(), std::make_move_iterator(kept.begin()),
                   std::make_move_iterator(kept.end()));
    while (waiting.size() > RecordWriter::maxWaiting) {
        auto sample = std::find_if(waiting.begin(), waiting.end(), [](const Row &row) {
            return row.table == Database::TableDeviceData;
        });
        const bool isSample = sample != waiting.end();
        waiting.erase(isSample ? sample : waiting.begin());
        ++dropped[isSample ? 0 : 1];
        if (!droppingTold) {
            droppingTold = true;
            qCWarning(lcRecords).noquote()
                << QStringLiteral("More than %1 rows wait for room in the database: the oldest "
                                  "samples are dropped from now on (counted once there is room)")
                       .arg(RecordWriter::maxWaiting);
        }
    }
}

void RecordWriterPrivate::tellWaitingWritten(size_t count)
{
    if (dropped[0] + dropped[1] > 0)
        qCWarning(lcRecords).noquote()
            << QStringLiteral("%1 rows that waited for room in the database are written; %2 "
                              "were dropped as more than %3 waited (%4 samples, %5 alarms and "
                              "self-tests)")
                   .arg(count)
                   .arg(dropped[0] + dropped[1])
                   .arg(RecordWriter::maxWaiting)
                   .arg(dropped[0])
                   .arg(dropped[1]);
    else
        qCInfo(lcRecords) << count << "rows that waited for room in the database are written";
    dropped[0] = dropped[1] = 0;
    droppingTold = false;
}

void RecordWriterPrivate::run()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(Database::fileName());
        // The default connection may hold the write lock for a moment (a scheduled task saved).
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        // A file that cannot be opened fails every row, each told as it fails. Rows are only
        // appended here, to the ends of the tables and their indexes: a small page cache holds
        // what that touches, where SQLite's default would grow to 2 MB over the days.
        const auto open = [&db] {
            if (db.open())
                QSqlQuery(db).exec(QStringLiteral("pragma cache_size = -256"));
        };
        open();
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            const auto due = [this] { return stopping || released || !rows.empty(); };
            // Rows that found no room are tried again with the next row, or after a while.
            if (!waiting.empty() && !held)
                wake.wait_for(lock, std::chrono::milliseconds(RecordWriter::retryInterval), due);
            else
                wake.wait(lock, due);
            released = false;
            const size_t fresh = rows.size();
            std::deque<Row> batch;
            if (held && !stopping) {
                // The database cannot be read yet: nothing is tried.
                keep(rows);
                rows.clear();
            } else {
                batch.swap(waiting);
                batch.insert(batch.end(), std::make_move_iterator(rows.begin()),
                             std::make_move_iterator(rows.end()));
                rows.clear();
            }
            const size_t tried = batch.size();
            const size_t old = tried - std::min(tried, fresh);
            if (!batch.empty()) {
                if (!db.isOpen())
                    open();
                lock.unlock();
                std::deque<Row> kept = writeBatch(db, batch);
                if (again) {
                    // On a connection of its own again: one that failed a write may hold on
                    // to the failure.
                    again = false;
                    db.close();
                    open();
                    kept = writeBatch(db, kept);
                }
                lock.lock();
                if (stopping && !kept.empty()) {
                    qCWarning(lcRecords) << kept.size()
                                         << "rows that found no room in the database are lost "
                                            "as the program ends";
                } else {
                    if (old > 0 && kept.empty())
                        tellWaitingWritten(old);
                    keep(kept);
                }
            }
            done += fresh;
            written.notify_all();
            if (stopping && rows.empty())
                break; // everything written or told
        }
        lock.unlock();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

// One transaction for what queued up meanwhile: one sync of the log for them all. Returns the
// rows to try again.
std::deque<Row> RecordWriterPrivate::writeBatch(QSqlDatabase &db, std::deque<Row> &batch)
{
    const bool transaction = batch.size() > 1 && db.transaction();
    std::vector<size_t> done;
    std::deque<Row> kept;
    for (size_t i = 0; i < batch.size(); ++i) {
        const Row &row = batch[i];
        QSqlQuery query(db);
        const QString sql = QString::fromLatin1(row.statement).arg(Database::tableName(row.table));
        bool ok = query.prepare(sql);
        if (ok) {
            for (const QVariant &value : row.values)
                query.addBindValue(value);
            ok = query.exec();
        }
        if (ok) {
            done.push_back(i);
        } else if (row.table == Database::TableDeviceData && !summariesMadeAnew &&
                   HistoryNotice::causeOf(query.lastError(), db.databaseName()) ==
                       HistoryNotice::Damaged) {
            // A sample goes through the summaries' trigger: damage there is made good from the
            // samples rather than cost the samples themselves.
            summariesMadeAnew = true;
            if (transaction)
                db.rollback();
            query.finish();
            // Made anew, the batch goes again at once; if not, after a while, as any other.
            again = SummaryFill::makeAnew(db);
            if (transaction)
                return batch;
            kept.insert(kept.end(), batch.begin() + std::ptrdiff_t(i), batch.end());
            return kept;
        } else if (failed(row.table, query.lastError(), db.databaseName(), row.what)) {
            kept.push_back(row);
            if (again) {
                // The rest of the batch goes again, whole and in its order, now that there is
                // room: in one transaction that is all of it.
                if (transaction) {
                    db.rollback();
                    kept = batch;
                } else {
                    kept.insert(kept.end(), batch.begin() + std::ptrdiff_t(i) + 1, batch.end());
                }
                return kept;
            }
        }
    }
    // Committed through a statement, whose error keeps SQLite's own code (a full disk).
    QSqlQuery commit(db);
    if (transaction && !commit.exec(QStringLiteral("commit"))) {
        const QSqlError error = commit.lastError();
        commit.finish();
        db.rollback();
        bool retry = false;
        for (size_t i : done) {
            retry = failed(batch[i].table, error, db.databaseName(), "a batch of rows") || retry;
            if (again)
                break; // all of it again, told only if that fails
        }
        if (retry) {
            // The rows kept so far and the rolled-back ones, in their order.
            kept.clear();
            for (const Row &row : batch)
                kept.push_back(row);
        }
        return kept;
    }
    for (size_t i : done)
        stored(batch[i].table);
    committed += done.size();
    if (!done.empty()) {
        emit q->rowsCommitted();
        DiskReserve::restore();
    }
    return kept;
}

RecordWriter::RecordWriter(HistoryNotice *notice, QObject *parent)
    : QObject(parent), d(new RecordWriterPrivate)
{
    d->q = this;
    d->notice = notice;
    d->connection = QStringLiteral("quelta-writer-%1").arg(quintptr(this), 0, 16);
}

RecordWriter::~RecordWriter()
{
    stop();
}

void RecordWriter::start()
{
    if (d->thread.joinable())
        return;
    d->stopping = false;
    d->thread = std::thread([this] { d->run(); });
}

void RecordWriter::setHeld(bool held)
{
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->released = d->held && !held;
        d->held = held;
    }
    d->wake.notify_one();
}

void RecordWriter::stop()
{
    if (!d->thread.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stopping = true;
    }
    d->wake.notify_one();
    d->thread.join();
}

void RecordWriter::insertAlarm(int code, const QString &ups, const QString &detail)
{
    d->queue({"insert into %1(dateTime, alarm, ups, detail) values(?, ?, ?, ?)",
              Database::TableAlarm,
              {timeText(QDateTime::currentDateTime()), code, ups.isNull() ? QString("") : ups,
               detail.isEmpty() ? QVariant(QVariant::String) : QVariant(detail)},
              "an alarm"});
}

namespace {

QVariant reading(const std::optional<float> &value)
{
    return value ? QVariant(*value) : QVariant(QVariant::Double);
}

} // namespace

void RecordWriter::insertSample(const Sample &sample, const QString &ups)
{
    d->queue(
        {"insert into %1(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature, ups) values(?, ?, ?, ?, ?, ?, ?, ?)",
         Database::TableDeviceData,
         {timeText(QDateTime::currentDateTime()), reading(sample.inputVol),
          reading(sample.outputVol), sample.load ? QVariant(*sample.load) : QVariant(QVariant::Int),
          reading(sample.inputFreq), reading(sample.battVol), reading(sample.temperature),
          ups.isNull() ? QString("") : ups},
         "a measurement sample"});
}

void RecordWriter::insertSelfTest(const QDateTime &start, quint32 duration, int count,
                                  const QVariant &batteryDrop, SelfTestOutcome outcome,
                                  const QString &ups)
{
    d->queue({"insert into %1(dateTime, duration, count, battVolDrop, result, ups) values(?, ?, ?, "
              "?, ?, ?)",
              Database::TableLogSelfTest,
              {timeText(start), duration, count,
               batteryDrop.isValid() ? batteryDrop : QVariant(QVariant::Double),
               outcome == SelfTestUnknown ? QVariant(QVariant::Int) : QVariant(int(outcome)),
               ups.isNull() ? QString("") : ups},
              "the self-test row"});
}

bool RecordWriter::flush(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(d->mutex);
    const quint64 target = d->queued;
    if (!d->thread.joinable())
        return d->done >= target;
    return d->written.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [this, target] { return d->done >= target; });
}

quint64 RecordWriter::committedRows() const
{
    return d->committed;
}
