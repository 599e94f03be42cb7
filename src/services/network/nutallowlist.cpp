#include "nutallowlist.h"

#include "addresscheck.h"

NutAllowList NutAllowList::parse(const QStringList &entries, QStringList *bad)
{
    NutAllowList list;
    for (const QString &raw : entries) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        // The settings check entries by the same reading.
        const QPair<QHostAddress, int> subnet = AddressCheck::network(entry);
        if (subnet.first.isNull() || subnet.second < 0) {
            if (bad)
                bad->append(entry);
            continue;
        }
        list.m_subnets.append({plain(subnet.first), subnet.second});
    }
    return list;
}

bool NutAllowList::allows(const QHostAddress &address) const
{
    const QHostAddress peer = plain(address);
    if (peer.isLoopback())
        return true;
    for (const auto &subnet : m_subnets) {
        if (peer.isInSubnet(subnet))
            return true;
    }
    return false;
}

QHostAddress NutAllowList::plain(const QHostAddress &address)
{
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    if (mapped && address.protocol() == QAbstractSocket::IPv6Protocol)
        return QHostAddress(v4);
    QHostAddress out = address;
    out.setScopeId(QString());
    return out;
}
