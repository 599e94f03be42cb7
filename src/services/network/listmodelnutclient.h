#pragma once

#include "nutclientinfo.h"

#include <QAbstractListModel>

// The clients connected to the network server now, for the settings page: role 256 "address",
// 257 "user", 258 "loggedIn", 259 "encrypted".
class ListModelNutClient : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setClients(const NutClientList &clients);

private:
    NutClientList m_clients;
};
