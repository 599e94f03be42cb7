#include "readconnection.h"

#include <QAtomicInt>

ReadConnection::ReadConnection(const QString &file)
{
    static QAtomicInt counter;
    m_name = QStringLiteral("quelta-read-%1").arg(counter.fetchAndAddRelaxed(1));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    db.open();
}

ReadConnection::~ReadConnection()
{
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase ReadConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}
