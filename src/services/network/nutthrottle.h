#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// Slows down password guessing without locking out the clients that know their password.
//
// Every (address, user name) keeps its own count: each wrong password doubles the time its next
// verdicts wait (from baseMs up to maxMs), and its verdicts, right or wrong, come out no sooner
// than that and in turn, so neither parallel connections nor the time an answer takes tell a
// right password from a wrong one. Across names, the wrong passwords from one address are held
// back the same way, so trying many names gains nothing; unknown names count like known ones.
// A right password never waits for what other names at its address did: loopback, NAT and
// containers put many clients behind one address. A name is forgiven by its right password, any
// count after a quarter of an hour without a wrong password.
class NutThrottle
{
public:
    explicit NutThrottle(int baseMs = 1000, int maxMs = 60000);

    // How long from nowMs the verdict of one attempt must wait.
    qint64 verdictDelay(const QString &address, const QByteArray &user, bool success,
                        qint64 nowMs);

private:
    struct Entry
    {
        int failures = 0;
        qint64 blockedUntil = 0;
        qint64 lastFailure = 0;
    };
    Entry &entry(const QString &key, qint64 nowMs);
    qint64 fail(Entry &entry, qint64 nowMs) const;
    void forgetOld(qint64 nowMs);

    QHash<QString, Entry> m_entries; // "address" across names, "address\nname" per name
    int m_baseMs;
    int m_maxMs;
};
