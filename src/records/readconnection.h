#pragma once

#include <QSqlDatabase>
#include <QString>

// A read-only connection to the database file for the calling thread, under a name of its own,
// removed again when the object goes: readers off the main thread (the history chart, the web
// service) each open one for the work at hand and wait for no other reader.
class ReadConnection
{
public:
    explicit ReadConnection(const QString &databaseFile);
    ~ReadConnection();
    ReadConnection(const ReadConnection &) = delete;
    ReadConnection &operator=(const ReadConnection &) = delete;

    QSqlDatabase database() const;

private:
    QString m_name;
};
