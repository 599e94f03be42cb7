#pragma once

#include "nutaccount.h"
#include "nutsnapshot.h"

#include <QHash>
#include <QVector>

#include <functional>

struct NutSession;

// Everything the requests of all clients share: the UPS names, the published data, the forced
// shutdown flag, who is logged in, and the accounts. It lives on the server's thread; the
// dispatcher reads it and the server feeds it.
class NutServerState
{
public:
    NutServerState();

    void setNames(const QByteArray &upsName, const QByteArrayList &aliases);
    const QByteArray &upsName() const { return m_upsName; }
    // The main name for a name the client gave (any case, aliases included); empty if unknown.
    QByteArray canonicalName(const QByteArray &asked) const;
    // The name as configured that the client's name matched: the main name or an alias.
    QByteArray configuredName(const QByteArray &asked) const;

    void setSnapshot(const NutSnapshot &snapshot);
    const NutSnapshot &snapshot() const { return m_snapshot; }
    bool stale() const { return m_snapshot.stale; }
    // The variables as served: FSD first in ups.status while set, ALARM and ups.alarm while an
    // alarm is current; sorted by name.
    const QVector<NutVariable> &variables() const { return m_variables; }
    // The same for any snapshot: what a client of the server would be told.
    static QVector<NutVariable> served(const NutSnapshot &snapshot, bool fsd);
    const NutVariable *variable(const QByteArray &name) const;
    const NutOfferedCommand *command(const QByteArray &name) const;
    // The lines of LIST VAR for the name the client gave, kept until the data changes (for the
    // names as configured).
    const QByteArray &varLines(const QByteArray &asked);

    bool fsd() const { return m_fsd; }
    void setFsd(bool on);

    bool tlsReady() const { return m_tlsReady; }
    void setTlsReady(bool ready) { m_tlsReady = ready; }

    void addSession(NutSession *session);
    void removeSession(NutSession *session);
    const QVector<NutSession *> &sessions() const { return m_sessions; }
    int loginCount() const;

    void setAccounts(const NutAccountList &accounts);
    // Checks the session's user name and password (PBKDF2, remembered per account once right)
    // and stores the outcome in the session. True when the account exists and the password is
    // right. *checked tells whether a check was made now rather than taken from the session.
    bool authenticate(NutSession &session, bool *checked);

    // Called for an instant command the dispatcher accepted.
    std::function<void(const QByteArray &command, const QByteArray &parameter,
                       const NutSession &session)>
        runCommand;
    // Called when a session logs in (the count of logins changed).
    std::function<void()> loginsChanged;

private:
    void rebuild();

    QByteArray m_upsName = "ups";
    QByteArrayList m_aliases;
    NutSnapshot m_snapshot;
    QVector<NutVariable> m_variables;
    QHash<QByteArray, QByteArray> m_varLines;
    QByteArray m_otherVarLines; // for a name written otherwise than configured
    bool m_fsd = false;
    bool m_tlsReady = false;
    QVector<NutSession *> m_sessions;
    QHash<QByteArray, NutAccount> m_accounts;
    int m_generation = 0;
    QByteArray m_costLike; // an account's hash: unknown names are checked as costly
    QByteArray m_digestKey; // per process, for remembering right passwords
    QHash<QByteArray, QByteArray> m_rightDigests; // account name -> digest of its password
};
