#include "listmodelnutclient.h"

namespace {
enum Role { AddressRole = Qt::UserRole, UserRole, LoggedInRole, EncryptedRole };
}

int ListModelNutClient::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_clients.size();
}

QVariant ListModelNutClient::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_clients.size())
        return QVariant();
    const NutClientInfo &client = m_clients.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case AddressRole:
        return client.address;
    case UserRole:
        return client.username;
    case LoggedInRole:
        return client.loggedIn;
    case EncryptedRole:
        return client.encrypted;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ListModelNutClient::roleNames() const
{
    return {{AddressRole, "address"},
            {UserRole, "user"},
            {LoggedInRole, "loggedIn"},
            {EncryptedRole, "encrypted"}};
}

void ListModelNutClient::setClients(const NutClientList &clients)
{
    beginResetModel();
    m_clients = clients;
    endResetModel();
}
