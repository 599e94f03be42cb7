#include "watchlist.h"

#include "logcategories.h"
#include "settings.h"

#include <QVariantMap>

QString WatchEntry::shownName(const QString &upsName) const
{
    const QString base = name.isEmpty() ? host : name;
    return wholeServer() ? base + QLatin1Char('/') + upsName : base;
}

QString WatchEntry::serverKey() const
{
    // Accounts and trust belong to the connection, so entries differing in them need their own.
    return QStringLiteral("%1:%2|%3|%4|%5|%6")
        .arg(host.toLower())
        .arg(port)
        .arg(user, QString::fromLatin1(password.toUtf8().toHex()), caFile,
             allowPlain ? QStringLiteral("1") : QStringLiteral("0"));
}

bool WatchEntry::operator==(const WatchEntry &o) const
{
    return name == o.name && host == o.host && port == o.port && ups == o.ups && user == o.user &&
        password == o.password && caFile == o.caFile && allowPlain == o.allowPlain;
}

namespace WatchList {

QList<WatchEntry> read(const Settings *settings)
{
    QList<WatchEntry> entries;
    const auto value = [settings](int index, const char *field) {
        return settings->getSettings(
            QStringLiteral("watch/%1/%2").arg(index).arg(QLatin1String(field)));
    };
    const int size = qBound(0, settings->getSettings(QStringLiteral("watch/size")).toInt(), 1000);
    for (int i = 1; i <= size; ++i) {
        WatchEntry entry;
        entry.host = value(i, "host").toString().trimmed();
        if (entry.host.isEmpty()) {
            qCWarning(lcDevice) << "Watched UPS" << i << "names no server; left out";
            continue;
        }
        entry.name = value(i, "name").toString().trimmed();
        bool numeric = false;
        const int port = value(i, "port").toInt(&numeric);
        entry.port = numeric && port > 0 && port <= 65535 ? port : nutDefaultPort;
        entry.ups = value(i, "ups").toString().trimmed();
        if (entry.ups.isEmpty())
            entry.ups = QStringLiteral("*");
        entry.user = value(i, "user").toString();
        entry.password = value(i, "password").toString();
        entry.caFile = value(i, "caFile").toString().trimmed();
        entry.allowPlain = value(i, "allowPlain").toBool();
        entries.append(entry);
    }
    return entries;
}

bool write(Settings *settings, const QList<WatchEntry> &entries)
{
    QVariantMap values;
    values.insert(QStringLiteral("size"), entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const WatchEntry &e = entries.at(i);
        const QString prefix = QString::number(i + 1) + QLatin1Char('/');
        values.insert(prefix + QStringLiteral("name"), e.name);
        values.insert(prefix + QStringLiteral("host"), e.host);
        values.insert(prefix + QStringLiteral("port"), e.port);
        values.insert(prefix + QStringLiteral("ups"), e.ups);
        values.insert(prefix + QStringLiteral("user"), e.user);
        values.insert(prefix + QStringLiteral("password"), Settings::encryptPassword(e.password));
        values.insert(prefix + QStringLiteral("caFile"), e.caFile);
        values.insert(prefix + QStringLiteral("allowPlain"), e.allowPlain);
    }
    return settings->writeGroup(QStringLiteral("watch"), values, {QString()});
}

} // namespace WatchList
