#pragma once

#include <QSqlDatabase>
#include <QString>

// A read-only connection of the calling thread to a database file, under a name of its own and
// removed again with the object: what a read off the thread that polls the UPS opens (a chart,
// an export, the daily report).
class ReadConnection
{
public:
    explicit ReadConnection(const QString &file);
    ~ReadConnection();
    ReadConnection(const ReadConnection &) = delete;
    ReadConnection &operator=(const ReadConnection &) = delete;

    // Open unless the file could not be opened (lastError() says why).
    QSqlDatabase database() const;

private:
    QString m_name;
};
