#include "nutthrottle.h"

#include <algorithm>

namespace {

const qint64 forgetAfterMs = 15 * 60 * 1000;
const int maxEntries = 8192; // counts remembered at most

} // namespace

NutThrottle::NutThrottle(int baseMs, int maxMs)
    : m_baseMs(std::max(1, baseMs)), m_maxMs(std::max(m_baseMs, maxMs))
{
}

qint64 NutThrottle::verdictDelay(const QString &address, const QByteArray &user, bool success,
                                 qint64 nowMs)
{
    forgetOld(nowMs);
    const QString nameKey = address + QLatin1Char('\n') + QString::fromLatin1(user.toHex());
    if (success) {
        const auto it = m_entries.find(nameKey);
        if (it == m_entries.end())
            return 0;
        const qint64 wait = std::max<qint64>(0, it->blockedUntil - nowMs);
        it->failures = 0;
        return wait;
    }
    const qint64 byName = fail(entry(nameKey, nowMs), nowMs);
    const qint64 byAddress = fail(entry(address, nowMs), nowMs);
    return std::max(byName, byAddress) - nowMs;
}

NutThrottle::Entry &NutThrottle::entry(const QString &key, qint64 nowMs)
{
    auto it = m_entries.find(key);
    if (it != m_entries.end())
        return it.value();
    if (m_entries.size() >= maxEntries) {
        // Many names or addresses failing at once: the one that failed longest ago goes.
        auto oldest = std::min_element(
            m_entries.begin(), m_entries.end(),
            [](const Entry &a, const Entry &b) { return a.lastFailure < b.lastFailure; });
        m_entries.erase(oldest);
    }
    Entry fresh;
    fresh.lastFailure = nowMs;
    return m_entries.insert(key, fresh).value();
}

// Counts one wrong password; returns when its verdict may go out.
qint64 NutThrottle::fail(Entry &entry, qint64 nowMs) const
{
    ++entry.failures;
    const int shift = std::min(entry.failures - 1, 20);
    const qint64 delay = std::min<qint64>(qint64(m_baseMs) << shift, m_maxMs);
    // Bounded, so parallel guessing cannot push a name out for good.
    entry.blockedUntil =
        std::min(std::max(nowMs, entry.blockedUntil) + delay, nowMs + 10 * qint64(m_maxMs));
    entry.lastFailure = nowMs;
    return entry.blockedUntil;
}

void NutThrottle::forgetOld(qint64 nowMs)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        const bool quiet = nowMs - it->lastFailure > forgetAfterMs && it->blockedUntil <= nowMs;
        if (quiet || (it->failures == 0 && it->blockedUntil <= nowMs))
            it = m_entries.erase(it);
        else
            ++it;
    }
}
