#pragma once

#include "nutaccount.h"

#include <QAbstractListModel>

class ListModelNutUserPrivate;
class Settings;

// The accounts of the network server as the settings page lists and edits them (role 256
// "name", 257 "role"). They live in the configuration file, which the model watches: an account
// added from the command line while the program runs is listed, and served, at once.
class ListModelNutUser : public QAbstractListModel
{
    Q_OBJECT
public:
    // The accounts are read and written through `settings`, the one writer of the file.
    explicit ListModelNutUser(Settings *settings, QObject *parent = nullptr);
    ~ListModelNutUser() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Each returns an empty text when done, else what is wrong, for the page to show.
    Q_INVOKABLE QString addUser(const QString &name, const QString &role, const QString &password);
    // An empty password keeps the one stored.
    Q_INVOKABLE QString updateUser(int row, const QString &role, const QString &password);
    Q_INVOKABLE QString delUser(int row);
    Q_INVOKABLE QVariantMap get(int row) const;

    NutAccountList accounts() const;
    // Reads the file and watches it from then on; every change of it reads it again.
    void reload();
    // Settings import and restore: the accounts become exactly these (hashes as they are);
    // false when the file could not be written.
    bool replaceAll(const NutAccountList &accounts);

signals:
    void accountsChanged();

private:
    ListModelNutUserPrivate *d;
};
