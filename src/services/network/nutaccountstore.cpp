#include "nutaccountstore.h"

#include "logcategories.h"
#include "nutpassword.h"

#include <QSettings>

#include <algorithm>

namespace {

const QString group = QStringLiteral("network/users");

QString key(const QByteArray &name, const char *field)
{
    return group + QLatin1Char('/') + QString::fromLatin1(name) + QLatin1Char('/') +
        QLatin1String(field);
}

bool written(QSettings &settings)
{
    settings.sync();
    if (settings.status() == QSettings::AccessError) {
        qCWarning(lcNetwork).noquote()
            << "Could not write the network accounts to" << settings.fileName();
        return false;
    }
    return true;
}

} // namespace

NutAccountStore::NutAccountStore(const QString &configPath) : m_path(configPath) { }

NutAccountList NutAccountStore::accounts() const
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(group);
    NutAccountList list;
    const QStringList names = settings.childGroups();
    for (const QString &text : names) {
        const QByteArray name = text.toLatin1();
        NutAccount account;
        account.name = name;
        const QByteArray role = settings.value(text + QStringLiteral("/role")).toByteArray();
        account.passwordHash = settings.value(text + QStringLiteral("/password")).toByteArray();
        if (!isValidName(name) || name != text.toUtf8() ||
            !NutAccount::roleFromName(role, &account.role) ||
            !NutPassword::isWellFormed(account.passwordHash)) {
            qCWarning(lcNetwork).noquote()
                << "Network account" << text << "in" << m_path << "is malformed and left out";
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
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key(name, "role"), QString::fromLatin1(NutAccount::roleName(role)));
    settings.setValue(key(name, "password"), QString::fromLatin1(hash));
    return written(settings) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::setRole(const QByteArray &name, NutAccount::Role role)
{
    if (!isValidName(name))
        return BadName;
    QSettings settings(m_path, QSettings::IniFormat);
    if (!settings.contains(key(name, "password")))
        return NoSuchAccount;
    settings.setValue(key(name, "role"), QString::fromLatin1(NutAccount::roleName(role)));
    return written(settings) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::remove(const QByteArray &name)
{
    if (!isValidName(name))
        return BadName;
    QSettings settings(m_path, QSettings::IniFormat);
    settings.beginGroup(group);
    if (!settings.childGroups().contains(QString::fromLatin1(name)))
        return NoSuchAccount;
    settings.remove(QString::fromLatin1(name));
    settings.endGroup();
    return written(settings) ? Done : WriteFailed;
}

NutAccountStore::Result NutAccountStore::replaceAll(const NutAccountList &accounts)
{
    QSettings settings(m_path, QSettings::IniFormat);
    settings.remove(group);
    for (const NutAccount &account : accounts) {
        if (!isValidName(account.name) || !NutPassword::isWellFormed(account.passwordHash)) {
            qCWarning(lcNetwork) << "Network account" << account.name << "is malformed; left out";
            continue;
        }
        settings.setValue(key(account.name, "role"),
                          QString::fromLatin1(NutAccount::roleName(account.role)));
        settings.setValue(key(account.name, "password"), QString::fromLatin1(account.passwordHash));
    }
    return written(settings) ? Done : WriteFailed;
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
