#include "database.h"

#include "historynotice.h"
#include "logcategories.h"
#include "paths.h"
#include "schemamigration.h"
#include "schemastatements.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

// History shows what the UPS feeds and when the house is empty: owner-only, as the settings. A
// new file is made so before SQLite opens it (its journal files take the file's mode); one of
// an older version loses the group's and others' rights, a read-only one stays read-only.
void keepPrivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::close(fd);
        return;
    }
    for (const char *suffix : {"", "-wal", "-shm"}) {
        QFile file(path + QLatin1String(suffix));
        const QFile::Permissions mode = file.permissions();
        const QFile::Permissions own = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        if (file.exists() && (mode & ~(own | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser)))
            file.setPermissions(mode & own);
    }
}

// The columns each table must have for the program's statements.
const QMap<int, QStringList> &columns()
{
    static const QMap<int, QStringList> names = {
        {Database::TableDeviceData,
         {"id", "dateTime", "inputVol", "outputVol", "load", "inputFreq", "battVol",
          "temperature"}},
        {Database::TableAlarm, {"id", "dateTime", "alarm"}},
        {Database::TableScheduleTask, {"id", "dateTime", "cycle", "time", "action", "enable"}},
        {Database::TableLogSelfTest, {"id", "dateTime", "duration", "count"}},
        {Database::TableEMailUser, {"id", "dateTime", "user"}},
    };
    return names;
}

} // namespace

Database::Database(HistoryNotice *notice, QObject *parent) : QObject(parent), m_notice(notice)
{
    m_retry.setObjectName(QStringLiteral("retryTimer"));
    m_retry.setInterval(retryInterval);
    connect(&m_retry, &QTimer::timeout, this, &Database::retry);
}

Database::~Database()
{
    // Whatever used the connections has gone before their owner.
    if (m_opened) {
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
        QSqlDatabase::removeDatabase(historyConnectionName());
    }
}

void Database::open()
{
    // Each connection (this one, the history pages', the record writer's, the summaries') would
    // take 20 pages for its page cache in one block on its first statement, 80 KB touched at once
    // whether it ever holds that many or not; without that block a page is allocated as it is
    // read. Process-wide, so before the first connection opens; once SQLite is in use it refuses,
    // which only costs the memory.
    static const bool noBulkPageCache = [] {
        return sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0) == SQLITE_OK;
    }();
    Q_UNUSED(noBulkPageCache)
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    m_opened = true;
    if (!db.isValid()) {
        tell(HistoryNotice::NoDriver, QStringLiteral("no QSQLITE driver"));
        return;
    }
    keepPrivate(fileName());
    db.setDatabaseName(fileName());
    if (!db.open()) {
        tell(HistoryNotice::causeOf(db.lastError(), db.databaseName()), db.lastError().text());
        return;
    }
    // The history pages read on a connection of their own. A selection they have not read to
    // its end holds its snapshot of the file; on the default connection that snapshot would
    // refuse the next write there (a scheduled task saved) once the record writer committed.
    QSqlDatabase history =
        QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), historyConnectionName());
    history.setDatabaseName(fileName());
    if (!history.open())
        qCWarning(lcRecords) << "The history pages read on the default connection:"
                             << history.lastError().text();
}

QString Database::historyConnectionName()
{
    return QStringLiteral("quelta-history");
}

QSqlDatabase Database::historyConnection()
{
    const QSqlDatabase history = QSqlDatabase::database(historyConnectionName());
    return history.isOpen() ? history : QSqlDatabase::database();
}

// Again after a failure that may pass: the file is opened anew where it could not be.
void Database::retry()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen())
        db.open();
    init();
}

void Database::init()
{
    m_cause = -1;
    initSchema();
    const bool wasReady = m_ready;
    m_ready = m_cause < 0 && QSqlDatabase::database().isOpen();
    // A damaged file, one of another shape or no driver wait for a person; a full disk, a file
    // that cannot be opened or written now, or an I/O error may pass by themselves.
    const bool mayPass = m_cause != HistoryNotice::Damaged &&
        m_cause != HistoryNotice::WrongShape && m_cause != HistoryNotice::NoDriver;
    if (m_ready) {
        m_retry.stop();
        if (!wasReady && m_everFailed) {
            qCInfo(lcRecords) << "The database" << fileName()
                              << "can be read and written again; what waited goes on";
            if (m_notice)
                m_notice->recovered();
            emit becameReadable();
        }
    } else {
        m_everFailed = true;
        if (mayPass && !m_retry.isActive())
            m_retry.start();
    }
}

void Database::initSchema()
{
    QSqlDatabase db = QSqlDatabase::database();
    if (!db.isOpen()) {
        if (m_cause < 0)
            m_cause = db.isValid() ? HistoryNotice::CannotOpen : HistoryNotice::NoDriver;
        return;
    }
    if (!writable())
        return;
    struct Step
    {
        int table;
        QList<const char *> statements;
    };
    const QList<Step> steps = {
        {TableDeviceData,
         {SchemaStatements::deviceDataTable, SchemaStatements::sizeTrigger,
          SchemaStatements::dateIndex}},
        {TableAlarm,
         {SchemaStatements::alarmTable, SchemaStatements::sizeTrigger,
          SchemaStatements::dateIndex}},
        {TableScheduleTask, {SchemaStatements::scheduleTaskTable}},
        {TableLogSelfTest, {SchemaStatements::logSelfTestTable}},
        {TableEMailUser, {SchemaStatements::emailUserTable}},
    };
    // A table of another shape means the file is not one the program made as it is now: it is
    // left as it is, rows still going to the tables that fit.
    bool fresh = true;
    for (const Step &step : steps) {
        if (!tableFits(step.table))
            return;
        fresh = fresh && !hasTable(step.table);
    }
    int version = SchemaMigration::storedVersion();
    if (version == 0 && !fresh) {
        // Made before the schema's version was kept: found once, and written down.
        version = SchemaMigration::inspect();
        qCInfo(lcRecords) << "The database predates schema versions; found at version" << version;
        SchemaMigration::stamp(version);
    }
    if (version > SchemaMigration::currentVersion)
        qCWarning(lcRecords) << "The database is of schema version" << version
                             << "(a newer Quelta); it is used as it is";
    for (const Step &step : steps) {
        for (const char *statement : step.statements) {
            // The table name comes from our own fixed map, never from outside.
            const QString sql = QString::fromLatin1(statement).arg(tableName(step.table));
            QSqlQuery query;
            if (query.exec(sql))
                continue;
            const int cause = HistoryNotice::causeOf(query.lastError(), db.databaseName());
            tell(cause, query.lastError().text());
            if (cause == HistoryNotice::Damaged)
                return; // every further statement would fail the same way
        }
    }
    if (fresh) {
        QStringList summaries = SchemaMigration::summaryStatements();
        summaries << QString::fromLatin1(SchemaStatements::upsIndex);
        for (const QString &sql : summaries) {
            QSqlQuery query;
            if (!query.exec(sql))
                tell(HistoryNotice::causeOf(query.lastError(), db.databaseName()),
                     query.lastError().text());
        }
        SchemaMigration::stamp(SchemaMigration::currentVersion);
    }
    else if (version >= 0 && version < SchemaMigration::currentVersion)
        SchemaMigration::migrate(version);
    // The record writer's thread writes beside the readers of this connection; in WAL mode
    // neither waits for the other. Every commit is still synced (SQLite's default, FULL).
    QSqlQuery mode;
    if (!mode.exec(QStringLiteral("pragma journal_mode=wal")) || !mode.next() ||
        mode.value(0).toString() != QLatin1String("wal"))
        qCInfo(lcRecords) << "The database keeps its rollback journal:" << mode.lastError().text();
}

void Database::tell(int cause, const QString &detail)
{
    if (m_cause < 0)
        m_cause = cause;
    if (m_notice)
        m_notice->report(cause, detail);
    else
        qCWarning(lcRecords) << "History cannot be stored:" << detail;
}

// A file or folder that cannot be written keeps history from being stored, though SQLite opens
// the file for reading without a word.
bool Database::writable()
{
    const QFileInfo file(QSqlDatabase::database().databaseName());
    const QFileInfo folder(file.absolutePath());
    // A folder that may not be written still serves a file whose journal files exist and may be
    // written (write-ahead logging keeps them).
    const auto beside = [&file](const char *suffix) {
        const QFileInfo journal(file.filePath() + QLatin1String(suffix));
        return journal.exists() && journal.isWritable();
    };
    const bool folderServes = folder.isWritable() || (beside("-wal") && beside("-shm"));
    if (folderServes && (!file.exists() || file.isWritable()))
        return true;
    tell(HistoryNotice::ReadOnly,
         QStringLiteral("%1 is read-only")
             .arg(folder.isWritable() ? file.filePath() : folder.filePath()));
    return false;
}

bool Database::hasTable(int table)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select 1 from sqlite_master where type = 'table' and name = ?"));
    query.addBindValue(tableName(table));
    return query.exec() && query.next();
}

// A missing table fits (it is made); one that lacks a column the program writes does not, and
// neither does one that cannot be read.
bool Database::tableFits(int table)
{
    QSqlQuery query;
    if (!query.exec(QStringLiteral("pragma table_info(%1)").arg(tableName(table)))) {
        tell(HistoryNotice::causeOf(query.lastError(), QSqlDatabase::database().databaseName()),
             query.lastError().text());
        return false;
    }
    QStringList found;
    while (query.next())
        found << query.value(1).toString();
    if (found.isEmpty())
        return true;
    for (const QString &column : columns().value(table)) {
        if (!found.contains(column, Qt::CaseInsensitive)) {
            tell(HistoryNotice::WrongShape,
                 QStringLiteral("the table %1 has no column %2").arg(tableName(table), column));
            return false;
        }
    }
    return true;
}

QString Database::fileName()
{
    return Paths::file(QStringLiteral("/data/quelta.db"));
}

QString Database::openedFile()
{
    return QSqlDatabase::database(QLatin1String(QSqlDatabase::defaultConnection), false)
        .databaseName();
}

QString Database::tableName(int type)
{
    static const QMap<int, QString> names = {{TableDeviceData, QStringLiteral("device_data")},
                                             {TableAlarm, QStringLiteral("alarm")},
                                             {TableScheduleTask, QStringLiteral("schedule_task")},
                                             {TableEMailUser, QStringLiteral("email_user")},
                                             {TableLogSelfTest, QStringLiteral("log_self_test")}};
    return names.value(type);
}
