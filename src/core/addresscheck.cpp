#include "addresscheck.h"

#include <QStringList>

namespace AddressCheck {

QHostAddress ip(const QString &text)
{
    const QString trimmed = text.trimmed();
    // QHostAddress takes "1" or "10.1" as IPv4 shorthand: no one means that by an address here.
    if (trimmed.isEmpty() ||
        (!trimmed.contains(QLatin1Char(':')) && trimmed.count(QLatin1Char('.')) != 3))
        return QHostAddress();
    return QHostAddress(trimmed);
}

QPair<QHostAddress, int> network(const QString &text)
{
    const QString trimmed = text.trimmed();
    const int slash = trimmed.indexOf(QLatin1Char('/'));
    const QHostAddress address = ip(slash < 0 ? trimmed : trimmed.left(slash));
    if (address.isNull())
        return {QHostAddress(), -1};
    if (slash < 0)
        return {address, address.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128};
    const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(trimmed);
    if (subnet.first.isNull() || subnet.second < 0)
        return {QHostAddress(), -1};
    return subnet;
}

bool isHost(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!ip(trimmed).isNull())
        return true;
    if (trimmed.isEmpty() || trimmed.size() > 253)
        return false;
    const QStringList labels = trimmed.split(QLatin1Char('.'));
    for (int i = 0; i < labels.size(); ++i) {
        const QString &label = labels.at(i);
        // A name given with its final dot ("nas.example.org.") is still one.
        if (label.isEmpty() && i == labels.size() - 1 && i > 0)
            continue;
        if (label.isEmpty() || label.size() > 63 || label.startsWith(QLatin1Char('-')) ||
            label.endsWith(QLatin1Char('-')))
            return false;
        for (const QChar c : label) {
            if (!(c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')))
                return false;
        }
    }
    // All digits and dots is a broken IPv4 address, not a name.
    bool numeric = true;
    for (const QChar c : trimmed)
        numeric = numeric && (c.isDigit() || c == QLatin1Char('.'));
    return !numeric;
}

} // namespace AddressCheck
