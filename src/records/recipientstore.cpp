#include "recipientstore.h"

#include "database.h"
#include "logcategories.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace RecipientStore {

QStringList read()
{
    QStringList users;
    QSqlQuery query;
    if (!query.exec(QStringLiteral("select user from %1 order by id")
                        .arg(Database::tableName(Database::TableEMailUser)))) {
        qCWarning(lcRecords) << "Cannot read the e-mail recipients:" << query.lastError().text();
        return users;
    }
    while (query.next())
        users.append(query.value(0).toString());
    return users;
}

bool replace(const QStringList &users, QString *error)
{
    const QString table = Database::tableName(Database::TableEMailUser);
    QSqlDatabase db = QSqlDatabase::database();
    QString why;
    if (!db.transaction()) {
        why = db.lastError().text();
    } else {
        QSqlQuery query;
        bool done = query.exec(QStringLiteral("delete from %1").arg(table));
        if (done && !users.isEmpty()) {
            done = query.prepare(QStringLiteral("insert into %1(user) values(?)").arg(table));
            query.addBindValue(QVariantList(users.begin(), users.end()));
            done = done && query.execBatch();
        }
        if (!done)
            why = query.lastError().text();
        query.finish();
        if (done && db.commit())
            return true;
        if (why.isEmpty())
            why = db.lastError().text();
        db.rollback();
    }
    qCWarning(lcRecords) << "Cannot replace the e-mail recipients; the stored list is kept:" << why;
    if (error)
        *error = why;
    return false;
}

} // namespace RecipientStore
