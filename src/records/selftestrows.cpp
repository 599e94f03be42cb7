#include "selftestrows.h"

#include "database.h"
#include "logcategories.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>

namespace SelfTestRows {

Last last()
{
    Last found;
    QSqlQuery query;
    if (!query.exec(QStringLiteral("select dateTime, duration from %1 order by id desc limit 1")
                        .arg(Database::tableName(Database::TableLogSelfTest)))) {
        qCWarning(lcRecords) << "Cannot read the last self-test:" << query.lastError().text();
        return found;
    }
    if (query.next()) {
        const QDateTime start =
            QLocale(QLocale::English)
                .toDateTime(query.value(0).toString(), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (start.isValid())
            found = {start, query.value(1).toInt()};
    }
    return found;
}

bool startTimes(QSet<QString> *times)
{
    times->clear();
    QSqlQuery query;
    if (!query.exec(QStringLiteral("select dateTime from %1")
                        .arg(Database::tableName(Database::TableLogSelfTest)))) {
        qCWarning(lcRecords) << "Cannot read the recorded self-tests:" << query.lastError().text();
        return false;
    }
    while (query.next())
        times->insert(query.value(0).toString());
    return true;
}

} // namespace SelfTestRows
