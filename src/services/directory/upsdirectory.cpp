#include "upsdirectory.h"

#include "threadinbox.h"

UpsDirectory::UpsDirectory(QObject *parent) : QObject(parent), m_inbox(new ThreadInbox(this))
{
    qRegisterMetaType<UpsEntry>();
    qRegisterMetaType<UpsDirectory::Computer>();
}

UpsDirectory::Computer UpsDirectory::computer() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_computer;
}

void UpsDirectory::setComputer(const Computer &computer)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_computer == computer)
            return;
        m_computer = computer;
    }
    emit computerChanged(computer);
}

QVector<UpsEntry> UpsDirectory::entries() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A list of its own, not one sharing this one's buffer: a reader on another thread that
    // changed its copy would otherwise race with the next write here.
    QVector<UpsEntry> out;
    out.reserve(m_entries.size());
    for (const UpsEntry &entry : m_entries)
        out.append(entry);
    return out;
}

bool UpsDirectory::find(const QString &name, UpsEntry *entry) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const UpsEntry &e : m_entries) {
        if (e.name == name) {
            *entry = e;
            return true;
        }
    }
    return false;
}

void UpsDirectory::setEntry(const UpsEntry &given, const Handler &handler)
{
    m_handlers.insert(given.name, handler);
    UpsEntry entry = given;
    entry.learned = m_learned.value(entry.name);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
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

void UpsDirectory::setLearned(const QString &name, const UpsEntry::Learned &learned)
{
    m_learned.insert(name, learned);
    UpsEntry changed;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const UpsEntry &e) { return e.name == name; });
        if (it == m_entries.end() || it->learned == learned)
            return;
        it->learned = learned;
        changed = *it;
    }
    emit entryChanged(changed);
}

void UpsDirectory::removeEntry(const QString &name)
{
    m_handlers.remove(name);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
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

void UpsDirectory::runLater(const QString &name, Command command, const QString &who,
                            std::function<void(const Outcome &)> answer)
{
    m_inbox->post([this, name, command, who, answer = std::move(answer)] {
        answer(run(name, command, who));
    });
}
