#include "recordwriter.h"

#include "database.h"
#include "historynotice.h"
#include "logcategories.h"

#include <QLocale>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

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
    void writeBatch(QSqlDatabase &db, std::deque<Row> &batch);

    std::mutex mutex;
    std::condition_variable wake; // rows queued, or stop asked
    std::condition_variable written; // a batch was written
    std::deque<Row> rows;
    std::thread thread;
    bool stopping = false;
    quint64 queued = 0; // rows handed in since construction
    quint64 done = 0; // rows written or failed since construction
    std::atomic<quint64> committed {0};
    QString connection;
    RecordWriter *q = nullptr;
    HistoryNotice *notice = nullptr;
    QSet<int> failing; // tables whose last write failed (the writer thread's own)

    void failed(int table, const QSqlError &error, const QString &path, const char *what);
    void stored(int table);
};

// History is stored again once every table that failed took a row again (one table of the wrong
// shape keeps the notice up). The notice may be told from any thread.
void RecordWriterPrivate::stored(int table)
{
    if (failing.remove(table) && failing.isEmpty() && notice)
        notice->recovered();
}

void RecordWriterPrivate::failed(int table, const QSqlError &error, const QString &path,
                                 const char *what)
{
    failing.insert(table);
    if (notice)
        notice->report(HistoryNotice::causeOf(error, path), error.text());
    else
        qCWarning(lcRecords) << "Cannot store" << what << ":" << error.text();
}

void RecordWriterPrivate::queue(Row row)
{
    // start() and stop() run on the thread that queues, so the thread's state holds meanwhile.
    if (!thread.joinable()) {
        // Not started (or stopped): written at once, on the caller's default connection.
        QSqlDatabase db = QSqlDatabase::database();
        std::deque<Row> one;
        one.push_back(std::move(row));
        writeBatch(db, one);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        rows.push_back(std::move(row));
        ++queued;
    }
    wake.notify_one();
}

void RecordWriterPrivate::run()
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(Database::fileName());
        // The default connection may hold the write lock for a moment (a scheduled task saved).
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        // A file that cannot be opened fails every row, each told as it fails.
        db.open();
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stopping || !rows.empty(); });
            if (rows.empty())
                break; // stopping, with everything written
            std::deque<Row> batch;
            batch.swap(rows);
            lock.unlock();
            writeBatch(db, batch);
            lock.lock();
            done += batch.size();
            written.notify_all();
        }
        lock.unlock();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

// One transaction for what queued up meanwhile: one sync of the log for them all.
void RecordWriterPrivate::writeBatch(QSqlDatabase &db, std::deque<Row> &batch)
{
    const bool transaction = batch.size() > 1 && db.transaction();
    std::vector<int> tables;
    for (const Row &row : batch) {
        QSqlQuery query(db);
        const QString sql = QString::fromLatin1(row.statement).arg(Database::tableName(row.table));
        bool done = query.prepare(sql);
        if (done) {
            for (const QVariant &value : row.values)
                query.addBindValue(value);
            done = query.exec();
        }
        if (done)
            tables.push_back(row.table);
        else
            failed(row.table, query.lastError(), db.databaseName(), row.what);
    }
    if (transaction && !db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        for (int table : tables)
            failed(table, error, db.databaseName(), "a batch of rows");
        return;
    }
    for (int table : tables)
        stored(table);
    committed += tables.size();
    if (!tables.empty())
        emit q->rowsCommitted();
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

void RecordWriter::insertAlarm(int code)
{
    d->queue({"insert into %1(dateTime, alarm) values(?, ?)",
              Database::TableAlarm,
              {timeText(QDateTime::currentDateTime()), code},
              "an alarm"});
}

namespace {

QVariant reading(const std::optional<float> &value)
{
    return value ? QVariant(*value) : QVariant(QVariant::Double);
}

} // namespace

void RecordWriter::insertSample(const Sample &sample)
{
    d->queue(
        {"insert into %1(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature) values(?, ?, ?, ?, ?, ?, ?)",
         Database::TableDeviceData,
         {timeText(QDateTime::currentDateTime()), reading(sample.inputVol),
          reading(sample.outputVol), sample.load ? QVariant(*sample.load) : QVariant(QVariant::Int),
          reading(sample.inputFreq), reading(sample.battVol), reading(sample.temperature)},
         "a measurement sample"});
}

void RecordWriter::insertSelfTest(const QDateTime &start, quint32 duration, int count,
                                  const QVariant &batteryDrop, SelfTestOutcome outcome)
{
    d->queue({"insert into %1(dateTime, duration, count, battVolDrop, result) values(?, ?, ?, ?, "
              "?)",
              Database::TableLogSelfTest,
              {timeText(start), duration, count,
               batteryDrop.isValid() ? batteryDrop : QVariant(QVariant::Double),
               outcome == SelfTestUnknown ? QVariant(QVariant::Int) : QVariant(int(outcome))},
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
