#pragma once

#include "nutaccount.h"
#include "nutthrottle.h"

#include <QHash>
#include <QString>

#include <mutex>

// Who may send UPS commands from the web page: a network account with the admin role logs in
// with its password and gets a token, which the page sends with each command in a header of its
// own (never a cookie, so no other site can make a browser send it). Wrong passwords are held
// back per (address, account) and per address (NutThrottle), but a right password is answered at
// once: guesses from the admin's own address (a proxy, NAT) never lock the admin out. Tokens
// lapse after an hour without use; a few dozen live at most, the oldest going first. Any thread.
class WebSessions
{
public:
    enum Verdict { Granted, Denied, NotAdmin };
    struct Login
    {
        Verdict verdict = Denied;
        QByteArray token; // when granted
        qint64 delayMs = 0; // how long the verdict must wait
    };

    static constexpr int maxSessions = 32;
    static constexpr qint64 lifetimeMs = 60 * 60 * 1000;

    void setAccounts(const NutAccountList &accounts);
    void setThrottleBase(int ms);

    // Checks the password (slow by design: run it off the threads that serve many clients).
    Login login(const QString &address, const QByteArray &user, const QByteArray &password,
                qint64 nowMs);
    // The account name of a live token (used now), empty for none.
    QByteArray user(const QByteArray &token, qint64 nowMs);
    void logout(const QByteArray &token);

private:
    struct Session
    {
        QByteArray user;
        QByteArray passwordHash; // the one it was granted under: a new password ends it
        qint64 lastUse = 0;
    };

    std::mutex m_mutex; // seen by the thread sanitizer, unlike the system Qt's QMutex
    NutAccountList m_accounts;
    NutThrottle m_throttle;
    QHash<QByteArray, Session> m_sessions;
};
