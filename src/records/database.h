#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QTimer>

class HistoryNotice;

// Owns the program's SQLite database: the default connection every part reads with, the five
// tables with their retention triggers and date indexes, and the table-number map. The rows
// recorded while watching the UPS are written by the RecordWriter's own connection.
class Database : public QObject
{
    Q_OBJECT
public:
    enum TableType {
        TableDeviceData = 0,
        TableAlarm = 1,
        TableScheduleTask = 2,
        TableEMailUser = 3,
        TableLogSelfTest = 4
    };
    Q_ENUM(TableType)

    // What keeps history from being stored goes to `notice` (logged once per cause).
    explicit Database(HistoryNotice *notice = nullptr, QObject *parent = nullptr);
    ~Database() override;

    // Opens "/data/quelta.db" as the default connection; a failure is told and the program
    // runs on without stored history.
    void open();
    // Creates the schema, or brings an existing file to this version's (SchemaMigration); safe
    // to run again. A damaged or read-only file, or one with a table whose columns are not ours,
    // is told and left as it is. A file that cannot be read or written for a cause that may
    // pass (a full disk) is tried again every `retryInterval` ms until it can, then
    // becameReadable() is emitted.
    void init();
    // Whether the last init() found the schema complete, and whether it is tried again.
    bool isReady() const { return m_ready; }
    bool isRetrying() const { return m_retry.isActive(); }

    static constexpr int retryInterval = 10000;

    // The table name of a TableType value; empty for any other value.
    static QString tableName(int type);
    // The database file of the program folder.
    static QString fileName();
    // The file the default connection has open (the program's data), for the connections of
    // other threads; empty before open().
    static QString openedFile();
    // The connection the history pages and exports read on (the default one until opened).
    static QSqlDatabase historyConnection();
    static QString historyConnectionName();

signals:
    // The schema is complete after an init() that was not (a start on a full disk).
    void becameReadable();

private:
    void retry();
    void initSchema();
    void tell(int cause, const QString &detail);
    bool writable();
    bool tableFits(int table);
    bool hasTable(int table);

    HistoryNotice *m_notice;
    bool m_opened = false;
    bool m_ready = false;
    int m_cause = -1; // of the last failure in init()
    bool m_everFailed = false;
    QTimer m_retry {this};
};
