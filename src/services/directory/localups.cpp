#include "localups.h"

#include "alarm.h"
#include "batteryage.h"
#include "database.h"
#include "devcomm.h"
#include "logcategories.h"
#include "serviceshutdown.h"
#include "supplycount.h"
#include "upscommands.h"
#include "upslink.h"

LocalUps::LocalUps(UpsDirectory *directory, DevComm *devComm, Alarm *alarm,
                   ServiceShutdown *shutdown, BatteryAge *batteryAge, QObject *parent)
    : QObject(parent),
      m_directory(directory),
      m_devComm(devComm),
      m_alarm(alarm),
      m_shutdown(shutdown),
      m_batteryAge(batteryAge)
{
}

void LocalUps::setName(const QString &name)
{
    if (name == m_name)
        return;
    if (m_started && !m_name.isEmpty())
        m_directory->removeEntry(m_name);
    m_name = name;
    refresh();
}

void LocalUps::start()
{
    m_started = true;
    alarmsChanged();
    batteryChanged();
}

void LocalUps::alarmsChanged()
{
    m_alarms = m_alarm->current();
    m_faults = m_alarm->standingAlarmTexts();
    refresh();
}

void LocalUps::batteryChanged()
{
    m_batteryInstalled = m_batteryAge->installedDate();
    m_batteryDue = m_batteryAge->dueDate();
    m_batteryReplacementDue = m_batteryAge->due();
    refresh();
}

void LocalUps::alarmRaised(int code)
{
    ++m_raised[code];
    refresh();
}

void LocalUps::refresh()
{
    if (!m_started || m_name.isEmpty())
        return;
    UpsEntry e;
    e.name = m_name;
    e.state = m_devComm->state();
    e.outputOffSeconds = m_devComm->outputOffSeconds();
    e.linkBusy = m_devComm->linkBusy();
    e.countdown = m_shutdown->countdown();
    e.cancellable = m_shutdown->cancellable();
    UpsDirectory::Computer computer;
    computer.countdown = e.countdown;
    computer.cancellable = e.cancellable;
    if (m_supplies) {
        computer.suppliesLost = m_supplies->lost();
        computer.suppliesNeeded = m_supplies->minimum();
        computer.suppliesAble =
            qMax(0, m_supplies->chosen().size() - computer.suppliesLost.size());
    }
    m_directory->setComputer(computer);
    e.alarms = m_alarms;
    e.faults = m_faults;
    e.raised = m_raised;
    e.batteryInstalled = m_batteryInstalled;
    e.batteryDue = m_batteryDue;
    e.batteryReplacementDue = m_batteryReplacementDue;
    e.selfTestOffered = m_devComm->controlUnavailable(UpsLink::ControlSelfTest10S).isEmpty();
    e.beeperOffered = m_devComm->controlUnavailable(UpsLink::ControlBeeper).isEmpty();
    e.recordFile = Database::fileName();
    m_directory->setEntry(
        e, [this](UpsDirectory::Command command, const QString &who) { return run(command, who); });
}

UpsDirectory::Outcome LocalUps::run(UpsDirectory::Command command, const QString &who)
{
    const UpsState &state = m_devComm->state();
    const auto refused = [](const QString &why) {
        return UpsDirectory::Outcome {false, why};
    };
    switch (command) {
    case UpsDirectory::CancelShutdown:
        if (m_shutdown->countdown() <= 0)
            return refused(QStringLiteral("no shutdown countdown is running"));
        if (!m_shutdown->cancelCountdown(who))
            return refused(QStringLiteral("the shutdown can no longer be cancelled"));
        return {true, {}};
    case UpsDirectory::SelfTest:
    case UpsDirectory::SelfTestCancel:
    case UpsDirectory::Beeper:
        break;
    }
    const QString refusal = UpsCommands::carryOut(command, state, m_devComm);
    if (!refusal.isEmpty())
        return refused(refusal);
    static const char *const names[] = {"cancel shutdown", "self-test", "self-test cancel",
                                        "beeper toggle"};
    qCInfo(lcServices).noquote() << "UPS" << m_name << ":" << names[command] << "asked by" << who;
    return {true, {}};
}
