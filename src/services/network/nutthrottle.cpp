#include "nutthrottle.h"

#include <algorithm>

namespace {

const qint64 forgetAfterMs = 15 * 60 * 1000;
const int maxEntries = 4096; // addresses remembered at most

} // namespace

NutThrottle::NutThrottle(int baseMs, int maxMs)
    : m_baseMs(std::max(1, baseMs)), m_maxMs(std::max(m_baseMs, maxMs))
{
}

qint64 NutThrottle::verdictDelay(const QString &address, bool success, qint64 nowMs)
{
    forgetOld(nowMs);
    auto it = m_entries.find(address);
    if (it == m_entries.end()) {
        if (success)
            return 0;
        if (m_entries.size() >= maxEntries) {
            // Many addresses failing at once: drop the one that failed longest ago.
            auto oldest = std::min_element(
                m_entries.begin(), m_entries.end(),
                [](const Entry &a, const Entry &b) { return a.lastFailure < b.lastFailure; });
            m_entries.erase(oldest);
        }
        it = m_entries.insert(address, Entry());
    }
    Entry &entry = it.value();
    const qint64 wait = std::max<qint64>(0, entry.blockedUntil - nowMs);
    if (success) {
        entry.failures = 0;
        return wait;
    }
    ++entry.failures;
    const int shift = std::min(entry.failures - 1, 20);
    const qint64 delay = std::min<qint64>(qint64(m_baseMs) << shift, m_maxMs);
    // Bounded, so parallel guessing cannot push an address out for good.
    entry.blockedUntil =
        std::min(std::max(nowMs, entry.blockedUntil) + delay, nowMs + 10 * m_maxMs);
    entry.lastFailure = nowMs;
    return entry.blockedUntil - nowMs;
}

int NutThrottle::failures(const QString &address) const
{
    return m_entries.value(address).failures;
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
