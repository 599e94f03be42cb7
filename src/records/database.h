#pragma once

#include <QObject>

// Owns the program's SQLite database: the one default connection every part uses, the five
// tables with their retention triggers and date indexes, and the table-number map.
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

    explicit Database(QObject *parent = nullptr);
    ~Database() override;

    // Opens "/data/quelta.db" as the default connection; a failure is logged and the program
    // runs on without stored history.
    void open();
    // Creates the schema; safe to run on an existing file.
    void init();

    // The table name of a TableType value; empty for any other value.
    static QString tableName(int type);

private:
    bool m_opened = false;
};
