#include "summaryfill.h"

#include "database.h"
#include "logcategories.h"
#include "samplesummary.h"
#include "schemamigration.h"
#include "schemastatements.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <condition_variable>
#include <mutex>

namespace {

// One fill runs in the program; whoever finds the summaries damaged wakes it.
std::mutex wakeMutex;
std::condition_variable woken;
quint64 wakeCount = 0; // under wakeMutex
std::atomic_bool distrusted {false};

void wake()
{
    {
        std::lock_guard<std::mutex> lock(wakeMutex);
        ++wakeCount;
    }
    woken.notify_all();
}

bool exec(QSqlDatabase &db, const QString &sql, QString *error)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    *error = sql.section(QLatin1Char(' '), 0, 2) + QStringLiteral(": ") + query.lastError().text();
    return false;
}

} // namespace

SummaryFill::SummaryFill(QObject *parent) : QObject(parent) { }

SummaryFill::~SummaryFill()
{
    stop();
}

void SummaryFill::start()
{
    if (m_thread.joinable())
        return;
    m_stop = false;
    m_thread = std::thread([this] { run(); });
}

void SummaryFill::stop()
{
    m_stop = true;
    wake();
    if (m_thread.joinable())
        m_thread.join();
}

void SummaryFill::distrust()
{
    if (!distrusted.exchange(true))
        wake();
}

bool SummaryFill::trusted()
{
    return !distrusted;
}

bool SummaryFill::whole(QSqlDatabase &db)
{
    if (!trusted())
        return false;
    QSqlQuery query(db);
    return query.exec(QStringLiteral("select count(*) from summary_fill")) && query.next() &&
        query.value(0).toInt() == 0;
}

bool SummaryFill::makeAnew(QSqlDatabase &db)
{
    distrusted = true;
    QString error;
    // Each step on its own: a statement that meets a damaged page spoils the transaction it is
    // in. Samples stored between the steps are summarised with the rest (the last step notes
    // every id).
    bool made = exec(db, QStringLiteral("drop trigger if exists device_data_summary"), &error);
    for (int t = 0; made && t < SampleSummary::TableCount; ++t) {
        const QString table = QLatin1String(SampleSummary::tableName(SampleSummary::Table(t)));
        // Dropping walks the damaged pages and may fail on them: the table is then set aside
        // under another name, its pages left as they are.
        QSqlQuery drop(db);
        if (drop.exec(QStringLiteral("drop table if exists %1").arg(table)))
            continue;
        drop.finish();
        QSqlQuery taken(db);
        int n = 1;
        if (taken.exec(QStringLiteral("select count(*) from sqlite_master where name like "
                                      "'%1_damaged_%'")
                           .arg(table)) &&
            taken.next())
            n += taken.value(0).toInt();
        taken.finish();
        made = exec(db, QStringLiteral("alter table %1 rename to %1_damaged_%2").arg(table).arg(n),
                    &error);
    }
    made = made && db.transaction();
    for (const QString &sql : SchemaMigration::summaryStatements()) {
        if (made)
            made = exec(db, sql, &error);
    }
    made = made && exec(db, QStringLiteral("delete from summary_fill"), &error) &&
        exec(db,
             QStringLiteral("insert into summary_fill(nextId, lastId) select min(id), max(id) "
                            "from device_data having count(*) > 0"),
             &error) &&
        db.commit();
    if (!made) {
        if (error.isEmpty())
            error = db.lastError().text();
        db.rollback();
        qCWarning(lcRecords) << "The sample summaries are damaged and could not be made anew:"
                             << error << "; charts read the samples themselves";
        return false;
    }
    qCWarning(lcRecords) << "The sample summaries were damaged: made anew, they are filled again "
                            "from the samples; charts read the samples themselves until then";
    distrusted = false;
    wake();
    return true;
}

bool SummaryFill::left(QSqlDatabase &db, qint64 *nextId, qint64 *lastId)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select nextId, lastId from summary_fill")) || !query.next())
        return false;
    *nextId = query.value(0).toLongLong();
    *lastId = query.value(1).toLongLong();
    return true;
}

bool SummaryFill::step(QSqlDatabase &db, int rows, QString *error)
{
    error->clear();
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    qint64 next = 0, last = 0;
    if (!left(db, &next, &last)) {
        db.rollback();
        return false;
    }
    const qint64 end = std::min(next + rows, last + 1);
    for (int t = 0; t < SampleSummary::TableCount; ++t) {
        QSqlQuery fill(db);
        fill.prepare(SampleSummary::fill(SampleSummary::Table(t)));
        fill.bindValue(QStringLiteral(":first"), next);
        fill.bindValue(QStringLiteral(":end"), end);
        if (!fill.exec()) {
            *error = fill.lastError().text();
            db.rollback();
            return false;
        }
    }
    QSqlQuery mark(db);
    if (end > last) {
        mark.prepare(QStringLiteral("delete from summary_fill"));
    } else {
        mark.prepare(QStringLiteral("update summary_fill set nextId = ?"));
        mark.addBindValue(end);
    }
    if (!mark.exec() || !db.commit()) {
        *error = mark.lastError().isValid() ? mark.lastError().text() : db.lastError().text();
        db.rollback();
        return false;
    }
    return end <= last;
}

void SummaryFill::run()
{
    const QString name = QStringLiteral("quelta-summary-%1").arg(quintptr(this), 0, 16);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(Database::fileName());
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        quint64 seen = 0;
        {
            std::lock_guard<std::mutex> lock(wakeMutex);
            seen = wakeCount;
        }
        if (db.open())
            fill(db);
        // Closed while idle: its schema and cache pages would stay for a wake-up that may never
        // come.
        db.close();
        QMetaObject::invokeMethod(this, "finished", Qt::QueuedConnection);
        // Idle until the summaries are found damaged, or the end.
        while (!m_stop) {
            {
                std::unique_lock<std::mutex> lock(wakeMutex);
                woken.wait(lock, [&] { return m_stop || wakeCount != seen; });
                seen = wakeCount;
            }
            if (m_stop)
                break;
            if (!db.open())
                continue;
            const bool made = !distrusted || makeAnew(db);
            if (made)
                fill(db);
            db.close();
            if (made)
                QMetaObject::invokeMethod(this, "finished", Qt::QueuedConnection);
        }
    }
    QSqlDatabase::removeDatabase(name);
}

void SummaryFill::fill(QSqlDatabase &db)
{
    {
        qint64 first = 0, last = 0;
        // A sample table made anew by an older step, or a database from before the index,
        // gets it here rather than at the start, where it would hold the poll up.
        QElapsedTimer timer;
        timer.start();
        QSqlQuery index(db);
        if (!index.exec(QString::fromLatin1(SchemaStatements::upsIndex)))
            qCWarning(lcRecords) << "Cannot index the samples by UPS:" << index.lastError().text();
        if (timer.elapsed() > 1000)
            qCInfo(lcRecords) << "The samples are indexed by UPS, in" << timer.elapsed() / 1000
                              << "s";
        if (db.isOpen() && left(db, &first, &last)) {
            qCInfo(lcRecords) << "Summarising the samples stored before, ids" << first << "to"
                              << last << "; charts read the samples themselves until it is done";
            timer.restart();
            int told = 0;
            QString error;
            bool more = true;
            while (more && !m_stop) {
                more = step(db, chunkRows, &error);
                if (!error.isEmpty()) {
                    qCWarning(lcRecords) << "Summarising the samples stopped:" << error
                                         << "; it goes on at the next start";
                    break;
                }
                qint64 next = last + 1, end = last;
                if (more)
                    left(db, &next, &end);
                const int percent = last > first ? int(100 * (next - first) / (last - first + 1))
                                                 : 100;
                if (more && percent / 10 > told) {
                    told = percent / 10;
                    qCInfo(lcRecords) << "Summarising the samples:" << percent << "%";
                }
            }
            if (!more && error.isEmpty())
                qCInfo(lcRecords) << "The samples stored before are summarised, in"
                                  << timer.elapsed() / 1000 << "s";
        }
    }
}
