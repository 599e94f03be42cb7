#include "watchedentries.h"

#include "database.h"
#include "logcategories.h"
#include "upscommands.h"
#include "upslink.h"
#include "watchedups.h"
#include "watchservice.h"

#include <QPointer>

namespace {

UpsDirectory::Outcome run(WatchedUps *unit, UpsDirectory::Command command, const QString &who)
{
    if (!unit)
        return {false, QStringLiteral("the UPS is no longer watched")};
    const QString refusal = UpsCommands::carryOut(command, unit->state(), unit);
    if (!refusal.isEmpty())
        return {false, refusal};
    qCInfo(lcServices) << "Command" << command << "for" << unit->name() << "from" << who;
    return {true, {}};
}

} // namespace

WatchedEntries::WatchedEntries(UpsDirectory *directory, WatchService *watch, QObject *parent)
    : QObject(parent), m_directory(directory), m_watch(watch)
{
}

void WatchedEntries::unitStateChanged(WatchedUps *unit, const UpsState &state)
{
    m_listed.insert(unit->name());
    UpsEntry entry;
    entry.name = unit->name();
    entry.state = state;
    entry.alarms = unit->alarm()->current();
    entry.faults = unit->alarm()->standingAlarmTexts();
    entry.selfTestOffered = unit->controlUnavailable(UpsLink::ControlSelfTest10S).isEmpty();
    entry.beeperOffered = unit->controlUnavailable(UpsLink::ControlBeeper).isEmpty();
    entry.recordFile = Database::fileName();
    entry.recordUps = unit->name();
    QPointer<WatchedUps> guarded(unit);
    m_directory->setEntry(entry, [guarded](UpsDirectory::Command command, const QString &who) {
        return run(guarded.data(), command, who);
    });
}

void WatchedEntries::unitsChanged()
{
    for (const QString &name : QSet<QString>(m_listed)) {
        if (!m_watch->find(name)) {
            m_directory->removeEntry(name);
            m_listed.remove(name);
        }
    }
}
