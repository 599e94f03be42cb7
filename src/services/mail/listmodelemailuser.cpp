#include "listmodelemailuser.h"

#include "clock.h"
#include "database.h"
#include "logcategories.h"
#include "recipientstore.h"
#include "tablemodelhelper.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {
const QString userField = QStringLiteral("user");
}

ListModelEMailUser::ListModelEMailUser(QObject *parent) : QSqlTableModel(parent)
{
    setEditStrategy(QSqlTableModel::OnFieldChange);
}

bool ListModelEMailUser::select()
{
    if (tableName().isEmpty() || record().isEmpty())
        setTable(Database::tableName(Database::TableEMailUser));
    return QSqlTableModel::select();
}

QVariant ListModelEMailUser::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role < Qt::UserRole)
        return QSqlTableModel::data(index, role);
    return QSqlTableModel::data(this->index(index.row(), role - Qt::UserRole));
}

bool ListModelEMailUser::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    if (role < Qt::UserRole)
        return QSqlTableModel::setData(index, value, role);
    return QSqlTableModel::setData(this->index(index.row(), role - Qt::UserRole), value,
                                   Qt::EditRole);
}

QHash<int, QByteArray> ListModelEMailUser::roleNames() const
{
    return TableModelHelper::fieldRoleNames(record());
}

void ListModelEMailUser::addUser(const QString &user)
{
    if (tableName().isEmpty())
        select();
    QSqlRecord rec = record();
    rec.setGenerated(QStringLiteral("id"), false); // the database numbers the row
    rec.setValue(QStringLiteral("dateTime"),
                 Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    rec.setValue(userField, user);
    if (!insertRecord(-1, rec))
        qCWarning(lcServices) << "Cannot add the recipient" << user << ":" << lastError().text();
    refresh();
}

void ListModelEMailUser::updateUser(int row, const QString &user)
{
    if (row < 0 || row >= rowCount()) {
        qCWarning(lcServices) << "No recipient in row" << row;
        return;
    }
    QSqlRecord rec = record(row);
    rec.setValue(userField, user);
    if (!setRecord(row, rec))
        qCWarning(lcServices) << "Cannot change the recipient in row" << row << ":"
                              << lastError().text();
    refresh();
}

void ListModelEMailUser::delUser(int row)
{
    if (row < 0 || row >= rowCount()) {
        qCWarning(lcServices) << "No recipient in row" << row;
        return;
    }
    if (!removeRow(row))
        qCWarning(lcServices) << "Cannot delete the recipient in row" << row << ":"
                              << lastError().text();
    refresh();
}

QVariant ListModelEMailUser::get(int row) const
{
    if (row < 0 || row >= rowCount())
        return QVariant();
    return record(row).value(userField);
}

void ListModelEMailUser::removeAll()
{
    // The whole table at once, rows not fetched yet included.
    RecipientStore::replace({});
    refresh();
}

void ListModelEMailUser::refresh()
{
    if (!select())
        qCWarning(lcServices).noquote()
            << "Cannot read the recipient list:" << TableModelHelper::failure(this);
    TableModelHelper::fetchAll(this);
}
