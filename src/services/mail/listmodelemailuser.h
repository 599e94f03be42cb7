#pragma once

#include <QSqlTableModel>

// The e-mail recipients stored in email_user, editable from the e-mail settings page. Every
// change is written at once and followed by a fresh select, so the model shows what is stored.
class ListModelEMailUser : public QSqlTableModel
{
    Q_OBJECT
public:
    explicit ListModelEMailUser(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QHash<int, QByteArray> roleNames() const override;
    // The table is taken up at the first select, once the database is open.
    bool select() override;

    Q_INVOKABLE void addUser(const QString &user);
    Q_INVOKABLE void updateUser(int row, const QString &user);
    Q_INVOKABLE void delUser(int row);
    Q_INVOKABLE QVariant get(int row) const;

    // Empties the list (settings restore and import).
    void removeAll();
    // Reads the whole list again.
    void refresh();
};
