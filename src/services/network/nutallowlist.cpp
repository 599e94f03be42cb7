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
    // Only ::ffff:a.b.c.d: Qt would take "::" for 0.0.0.0 too, and "::/0" then allowed no IPv6
    // client at all.
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        const Q_IPV6ADDR a = address.toIPv6Address();
        bool mapped = a[10] == 0xff && a[11] == 0xff;
        for (int i = 0; i < 10; ++i)
            mapped = mapped && a[i] == 0;
        if (mapped)
            return QHostAddress(address.toIPv4Address());
    }
    QHostAddress out = address;
    out.setScopeId(QString());
    return out;
}
