#pragma once

#include <QHostAddress>
#include <QPair>
#include <QStringList>
#include <QVector>

// The networks whose clients the server answers, written as CIDR ("192.168.1.0/24", "fd00::/8")
// or single addresses. Loopback is always allowed; an empty list allows loopback only.
class NutAllowList
{
public:
    // Entries that are no network are left out and returned in *bad.
    static NutAllowList parse(const QStringList &entries, QStringList *bad = nullptr);

    bool allows(const QHostAddress &address) const;
    int size() const { return m_subnets.size(); }

    // An IPv4 address reaching an IPv6 socket (::ffff:a.b.c.d) as plain IPv4.
    static QHostAddress plain(const QHostAddress &address);

private:
    QVector<QPair<QHostAddress, int>> m_subnets;
};
