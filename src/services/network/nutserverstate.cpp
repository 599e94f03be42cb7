#include "nutserverstate.h"

#include "cryptolibrary.h"
#include "nutline.h"
#include "nutpassword.h"
#include "nutsession.h"
#include "nutstatusflags.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

#include <algorithm>

namespace {

QByteArray randomKey()
{
    QByteArray key(32, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(key.data()), 8);
    return key;
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    return CryptoLibrary::sameBytes(a, b);
}

} // namespace

NutServerState::NutServerState() : m_digestKey(randomKey())
{
    rebuild();
}

void NutServerState::setNames(const QByteArray &upsName, const QByteArrayList &aliases)
{
    m_upsName = upsName;
    m_aliases = aliases;
    m_varLines.clear();
}

QByteArray NutServerState::canonicalName(const QByteArray &asked) const
{
    if (asked.compare(m_upsName, Qt::CaseInsensitive) == 0)
        return m_upsName;
    for (const QByteArray &alias : m_aliases) {
        if (asked.compare(alias, Qt::CaseInsensitive) == 0)
            return m_upsName;
    }
    return {};
}

QByteArray NutServerState::configuredName(const QByteArray &asked) const
{
    if (asked.compare(m_upsName, Qt::CaseInsensitive) == 0)
        return m_upsName;
    for (const QByteArray &alias : m_aliases) {
        if (asked.compare(alias, Qt::CaseInsensitive) == 0)
            return alias;
    }
    return {};
}

void NutServerState::setSnapshot(const NutSnapshot &snapshot)
{
    if (snapshot == m_snapshot)
        return;
    m_snapshot = snapshot;
    rebuild();
}

const NutVariable *NutServerState::variable(const QByteArray &name) const
{
    for (const NutVariable &v : m_variables) {
        if (v.name.compare(name, Qt::CaseInsensitive) == 0)
            return &v;
    }
    return nullptr;
}

const NutOfferedCommand *NutServerState::command(const QByteArray &name) const
{
    for (const NutOfferedCommand &c : m_snapshot.commands) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}

const QByteArray &NutServerState::varLines(const QByteArray &asked)
{
    // Kept for the names as configured only: every way of writing a name in other cases would
    // be one more copy, and a client could ask for them all.
    const bool configured = asked == m_upsName || m_aliases.contains(asked);
    auto it = configured ? m_varLines.find(asked) : m_varLines.end();
    if (it != m_varLines.end())
        return it.value();
    QByteArray lines;
    for (const NutVariable &v : m_variables)
        lines += "VAR " + asked + ' ' + v.name + ' ' + NutLine::quote(v.value) + '\n';
    if (!configured) {
        m_otherVarLines = lines;
        return m_otherVarLines;
    }
    return m_varLines.insert(asked, lines).value();
}

void NutServerState::setFsd(bool on)
{
    if (on == m_fsd)
        return;
    m_fsd = on;
    rebuild();
}

void NutServerState::addSession(NutSession *session)
{
    m_sessions.append(session);
}

void NutServerState::removeSession(NutSession *session)
{
    const bool wasLoggedIn = session->loggedIn;
    m_sessions.removeAll(session);
    if (wasLoggedIn && loginsChanged)
        loginsChanged();
}

int NutServerState::loginCount() const
{
    return int(std::count_if(m_sessions.begin(), m_sessions.end(),
                             [](const NutSession *s) { return s->loggedIn; }));
}

void NutServerState::setAccounts(const NutAccountList &accounts)
{
    QHash<QByteArray, NutAccount> next;
    for (const NutAccount &account : accounts)
        next.insert(account.name, account);
    bool same = next.size() == m_accounts.size();
    for (auto it = next.cbegin(); same && it != next.cend(); ++it) {
        const auto old = m_accounts.constFind(it.key());
        same = old != m_accounts.cend() && old->role == it->role &&
            old->passwordHash == it->passwordHash;
    }
    if (same)
        return;
    m_accounts = next;
    m_rightDigests.clear();
    m_costLike = accounts.isEmpty() ? QByteArray() : accounts.first().passwordHash;
    ++m_generation;
}

bool NutServerState::authenticate(NutSession &session, bool *checked)
{
    *checked = false;
    if (session.checkedGeneration == m_generation)
        return session.granted;
    *checked = true;
    session.checkedGeneration = m_generation;
    session.granted = false;
    const auto account = m_accounts.constFind(session.username);
    if (account == m_accounts.cend()) {
        NutPassword::checkUnknown(session.password, m_costLike);
        return false;
    }
    const QByteArray digest =
        QMessageAuthenticationCode::hash(session.password, m_digestKey, QCryptographicHash::Sha256);
    const auto remembered = m_rightDigests.constFind(account->name);
    bool right = remembered != m_rightDigests.cend() && sameBytes(*remembered, digest);
    if (!right) {
        right = NutPassword::verify(account->passwordHash, session.password);
        if (right)
            m_rightDigests.insert(account->name, digest);
    }
    session.granted = right;
    session.role = account->role;
    return right;
}

void NutServerState::rebuild()
{
    m_varLines.clear();
    m_variables = served(m_snapshot, m_fsd);
}

QVector<NutVariable> NutServerState::served(const NutSnapshot &snapshot, bool fsd)
{
    QVector<NutVariable> variables = snapshot.variables;
    const bool alarm = !snapshot.alarms.isEmpty();
    auto status = std::find_if(variables.begin(), variables.end(),
                               [](const NutVariable &v) { return v.name == "ups.status"; });
    if (status == variables.end() && (fsd || alarm)) {
        variables.append({"ups.status", QByteArray(), true});
        status = variables.end() - 1;
    }
    if (status != variables.end()) {
        // Words not known here stay as they are, in their place.
        const QByteArray fsdWord = NutStatusFlags::word(NutStatusFlags::ForcedShutdown);
        const QByteArray alarmWord = NutStatusFlags::word(NutStatusFlags::Alarm);
        QByteArrayList flags = status->value.split(' ');
        flags.removeAll(QByteArray());
        flags.removeAll(fsdWord);
        if (alarm && !flags.contains(alarmWord))
            flags.append(alarmWord);
        if (fsd)
            flags.prepend(fsdWord);
        status->value = flags.join(' ');
    }
    if (alarm) {
        variables.erase(
            std::remove_if(variables.begin(), variables.end(),
                           [](const NutVariable &v) { return v.name == "ups.alarm"; }),
            variables.end());
        variables.append(
            {"ups.alarm", snapshot.alarms.join(QStringLiteral("; ")).toUtf8(), true});
    }
    std::sort(variables.begin(), variables.end(),
              [](const NutVariable &a, const NutVariable &b) { return a.name < b.name; });
    return variables;
}
