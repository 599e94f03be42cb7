#include "upsdirectory.h"

UpsDirectory::UpsDirectory(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<UpsEntry>();
}

QVector<UpsEntry> UpsDirectory::entries() const
{
    QMutexLocker lock(&m_mutex);
    return m_entries;
}

bool UpsDirectory::find(const QString &name, UpsEntry *entry) const
{
    QMutexLocker lock(&m_mutex);
    for (const UpsEntry &e : m_entries) {
        if (e.name == name) {
            *entry = e;
            return true;
        }
    }
    return false;
}

void UpsDirectory::setEntry(const UpsEntry &entry, const Handler &handler)
{
    m_handlers.insert(entry.name, handler);
    {
        QMutexLocker lock(&m_mutex);
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const UpsEntry &e) { return e.name == entry.name; });
        if (it == m_entries.end())
            m_entries.append(entry);
        else if (*it == entry)
            return;
        else
            *it = entry;
    }
    emit entryChanged(entry);
}

void UpsDirectory::removeEntry(const QString &name)
{
    m_handlers.remove(name);
    {
        QMutexLocker lock(&m_mutex);
        const auto end = std::remove_if(m_entries.begin(), m_entries.end(),
                                        [&](const UpsEntry &e) { return e.name == name; });
        if (end == m_entries.end())
            return;
        m_entries.erase(end, m_entries.end());
    }
    emit entryRemoved(name);
}

UpsDirectory::Outcome UpsDirectory::run(const QString &name, Command command, const QString &who)
{
    const auto it = m_handlers.constFind(name);
    if (it == m_handlers.constEnd() || !*it)
        return {false, QStringLiteral("there is no UPS %1").arg(name)};
    return (*it)(command, who);
}
