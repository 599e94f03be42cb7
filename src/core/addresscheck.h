#pragma once

#include <QHostAddress>
#include <QPair>
#include <QString>

// What an address or a network given as text is: the one reading the key table, the network
// server's allow list and the listeners share, so a value the table takes is one they can use.
namespace AddressCheck {

// An IP address (IPv4 or IPv6, no brackets); null when the text is none.
QHostAddress ip(const QString &text);
// A network as CIDR ("192.168.1.0/24", "fd00::/8") or a single address (a /32 or /128);
// the address null and the length -1 when the text is none.
QPair<QHostAddress, int> network(const QString &text);
// An IP address or a host name (letters, digits, "-" and "_" in dot-separated labels).
bool isHost(const QString &text);

} // namespace AddressCheck
