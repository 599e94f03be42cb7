#include "nutaccountstore.h"

#include "logcategories.h"
#include "nutpassword.h"
#include "settings.h"

#include <QSet>

#include <algorithm>

namespace {

const QString group = QStringLiteral("network/users");

QString key(const QByteArray &name, const char *field)
{
    return QString::fromLatin1(name) + QLatin1Char('/') + QLatin1String(field);
}

} // namespace

NutAccountStore::NutAccountStore(Settings *settings) : m_settings(settings) { }

NutAccountList NutAccountStore::accounts() const
{
    const QVariantMap keys = m_settings->readGroup(group);
    QSet<QString> names;
    for (auto it = keys.constBegin(); it != keys.constEnd(); ++it)
        names.insert(it.key().section(QLatin1Char('/'), 0, 0));
    NutAccountList list;
    for (const QString &text : qAsConst(names)) {
        const QByteArray name = text.toLatin1();
        NutAccount account;
        account.name = name;
        const QByteArray role = keys.value(text + QStringLiteral("/role")).toByteArray();
        account.passwordHash = keys.value(text + QStringLiteral("/password")).toByteArray();
        if (!isValidName(name) || name != text.toUtf8() ||
            !NutAccount::roleFromName(role, &account.role) ||
            !NutPassword::isWellFormed(account.passwordHash)) {
            qCWarning(lcNetwork).noquote() << "Network account" << text << "in"
                                           << m_settings->fileName() << "is malformed and left out";
            continue;
        }
        list.append(account);
    }
    std::sort(list.begin(), list.end(),
              [](const NutAccount &a, const NutAccount &b) { return a.name < b.name; });
    return list;
}

NutAccountStore::Result NutAccountStore::setAccount(const QByteArray &name, NutAccount::Role role,
                                                    const QByteArray &password)
{
    if (!isValidName(name))
        return BadName;
    if (!isValidPassword(password))
        return BadPassword;
    const QByteArray hash = NutPassword::hash(password);
    if (hash.isEmpty())
        return WriteFailed;
    const QVariantMap values {{key(name, "role"), QString::fromLatin1(NutAccount::roleName(role))},
                              {key(name, "password"), QString::fromLatin1(hash)}};
    return m_settings->writeGroup(group, values) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::setRole(const QByteArray &name, NutAccount::Role role)
{
    if (!isValidName(name))
        return BadName;
    if (!m_settings->readGroup(group).contains(key(name, "password")))
        return NoSuchAccount;
    const QVariantMap values {{key(name, "role"), QString::fromLatin1(NutAccount::roleName(role))}};
    return m_settings->writeGroup(group, values) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::remove(const QByteArray &name)
{
    if (!isValidName(name))
        return BadName;
    const QString prefix = QString::fromLatin1(name) + QLatin1Char('/');
    const QVariantMap keys = m_settings->readGroup(group);
    const bool exists = std::any_of(keys.keyBegin(), keys.keyEnd(),
                                    [&](const QString &k) { return k.startsWith(prefix); });
    if (!exists)
        return NoSuchAccount;
    return m_settings->writeGroup(group, {}, {QString::fromLatin1(name)}) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::replaceAll(const NutAccountList &accounts)
{
    QVariantMap values;
    for (const NutAccount &account : accounts) {
        if (!isValidName(account.name) || !NutPassword::isWellFormed(account.passwordHash)) {
            qCWarning(lcNetwork) << "Network account" << account.name << "is malformed; left out";
            continue;
        }
        values.insert(key(account.name, "role"),
                      QString::fromLatin1(NutAccount::roleName(account.role)));
        values.insert(key(account.name, "password"), QString::fromLatin1(account.passwordHash));
    }
    return m_settings->writeGroup(group, values, {QString()}) ? Done : WriteFailed;
}

bool NutAccountStore::isValidName(const QByteArray &name)
{
    if (name.isEmpty() || name.size() > 32)
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '.' || c == '_' || c == '-';
    });
}

bool NutAccountStore::isValidPassword(const QByteArray &password)
{
    if (password.isEmpty() || password.size() > 64)
        return false;
    // upsmon sends the password as it is, unquoted: a blank, quote, backslash or '#' in it would
    // change what the server reads.
    return std::none_of(password.begin(), password.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= 0x20 || u == 0x7f || c == '"' || c == '\\' || c == '#';
    });
}
