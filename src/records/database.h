#pragma once

#include <QMap>
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

    static Database *instance();

    // Creates the schema; safe to run on an existing file.
    void init();

    // The table name of a TableType value; empty for any other value.
    static QString tableName(int type);

private:
    Database();

    static QMap<int, QString> s_tableNames;
};
