#include "nuteventlog.h"

#include "clock.h"
#include "logcategories.h"

namespace {

const qint64 windowMs = 60 * 1000;
const int maxEntries = 4096; // addresses and kinds remembered at most

qint64 nowMs()
{
    return Clock::now().toMSecsSinceEpoch();
}

} // namespace

void NutEventLog::note(const QString &address, const char *kind, Level level, const QString &text)
{
    const QString key = address + QLatin1Char(' ') + QLatin1String(kind);
    const qint64 now = nowMs();
    auto it = m_entries.find(key);
    if (it != m_entries.end() && now - it->since < windowMs && now >= it->since) {
        ++it->more;
        return;
    }
    if (it != m_entries.end()) {
        tell(*it);
        m_entries.erase(it);
    } else if (m_entries.size() >= maxEntries) {
        for (const Entry &entry : qAsConst(m_entries))
            tell(entry);
        m_entries.clear();
    }
    m_entries.insert(key, {now, 0, level, text});
    write(level, text);
}

void NutEventLog::flush()
{
    const qint64 now = nowMs();
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (now - it->since >= windowMs || now < it->since) {
            tell(*it);
            it = m_entries.erase(it);
        } else {
            ++it;
        }
    }
}

void NutEventLog::write(Level level, const QString &text)
{
    if (level == Warning)
        qCWarning(lcNetwork).noquote() << text;
    else
        qCInfo(lcNetwork).noquote() << text;
}

void NutEventLog::tell(const Entry &entry)
{
    if (entry.more == 0)
        return;
    write(entry.level, entry.more == 1
              ? QStringLiteral("Once more within a minute: %1").arg(entry.text)
              : QStringLiteral("%1 more times within a minute: %2").arg(entry.more).arg(entry.text));
}
