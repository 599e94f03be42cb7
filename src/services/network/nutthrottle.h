#pragma once

#include <QHash>
#include <QString>

// Slows down password guessing: every wrong password from an address doubles the time its
// next verdicts are held back (from baseMs up to maxMs), and verdicts from that address, right or
// wrong, are not given before the last one's time, so parallel connections gain nothing. An
// address is forgiven after a right password or a quarter of an hour without a wrong one.
class NutThrottle
{
public:
    explicit NutThrottle(int baseMs = 1000, int maxMs = 60000);

    // How long from nowMs the verdict of one attempt from the address must wait.
    qint64 verdictDelay(const QString &address, bool success, qint64 nowMs);
    int failures(const QString &address) const;

private:
    struct Entry
    {
        int failures = 0;
        qint64 blockedUntil = 0;
        qint64 lastFailure = 0;
    };
    void forgetOld(qint64 nowMs);

    QHash<QString, Entry> m_entries;
    int m_baseMs;
    int m_maxMs;
};
