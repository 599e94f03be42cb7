#include "websessions.h"

#include "nutpassword.h"

#include <QRandomGenerator>

void WebSessions::setAccounts(const NutAccountList &accounts)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_accounts = accounts;
    // A removed account, a lost admin role or a new password keeps no token.
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        const auto account = std::find_if(accounts.cbegin(), accounts.cend(),
                                          [&](const NutAccount &a) { return a.name == it->user; });
        if (account == accounts.cend() || account->role != NutAccount::Admin ||
            account->passwordHash != it->passwordHash)
            it = m_sessions.erase(it);
        else
            ++it;
    }
}

void WebSessions::setThrottleBase(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_throttle = NutThrottle(ms);
}

WebSessions::Login WebSessions::login(const QString &address, const QByteArray &user,
                                      const QByteArray &password, qint64 nowMs)
{
    NutAccount account;
    bool known = false;
    QByteArray costLike;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_accounts.isEmpty())
            costLike = m_accounts.first().passwordHash;
        for (const NutAccount &a : qAsConst(m_accounts)) {
            if (a.name == user) {
                account = a;
                known = true;
            }
        }
    }
    const bool right = known && NutPassword::verify(account.passwordHash, password);
    if (!known)
        NutPassword::checkUnknown(password, costLike);
    Login out;
    std::lock_guard<std::mutex> lock(m_mutex);
    // The right password forgives its (address, account) and goes out at once, whatever
    // others guessed before it.
    const qint64 wait = m_throttle.verdictDelay(address, user, right, nowMs);
    out.delayMs = right ? 0 : wait;
    if (!right)
        return out;
    if (account.role != NutAccount::Admin) {
        out.verdict = NotAdmin;
        return out;
    }
    if (m_sessions.size() >= maxSessions) {
        auto oldest = m_sessions.begin();
        for (auto it = m_sessions.begin(); it != m_sessions.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        m_sessions.erase(oldest);
    }
    QByteArray token(32, Qt::Uninitialized);
    QRandomGenerator::system()->generate(reinterpret_cast<quint32 *>(token.data()),
                                         reinterpret_cast<quint32 *>(token.data() + token.size()));
    out.token = token.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    m_sessions.insert(out.token, {user, account.passwordHash, nowMs});
    out.verdict = Granted;
    return out;
}

QByteArray WebSessions::user(const QByteArray &token, qint64 nowMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_sessions.begin(); it != m_sessions.end();) {
        if (nowMs - it->lastUse > lifetimeMs)
            it = m_sessions.erase(it);
        else
            ++it;
    }
    const auto it = m_sessions.find(token);
    if (it == m_sessions.end())
        return {};
    it->lastUse = nowMs;
    return it->user;
}

void WebSessions::logout(const QByteArray &token)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.remove(token);
}
