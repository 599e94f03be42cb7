#include "nutallowlist.h"

NutAllowList NutAllowList::parse(const QStringList &entries, QStringList *bad)
{
    NutAllowList list;
    for (const QString &raw : entries) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        QPair<QHostAddress, int> subnet;
        if (entry.contains(QLatin1Char('/'))) {
            subnet = QHostAddress::parseSubnet(entry);
        } else {
            const QHostAddress address(entry);
            if (!address.isNull())
                subnet = {address, address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128};
        }
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
