#include "localups.h"

#include "alarm.h"
#include "batteryage.h"
#include "database.h"
#include "devcomm.h"
#include "logcategories.h"
#include "serviceshutdown.h"
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
    if (!state.online())
        return refused(QStringLiteral("the UPS does not answer"));
    const int request = command == UpsDirectory::Beeper ? UpsLink::ControlBeeper
        : command == UpsDirectory::SelfTest             ? UpsLink::ControlSelfTest10S
                                                        : UpsLink::ControlSelfTestCancel;
    const QString unavailable = m_devComm->controlUnavailable(request);
    if (!unavailable.isEmpty())
        return refused(unavailable);
    if (command == UpsDirectory::Beeper) {
        m_devComm->setBuzzer();
    } else if (command == UpsDirectory::SelfTest) {
        if (state.selfTest)
            return refused(QStringLiteral("a self-test is running"));
        m_devComm->setSelfTest(UpsLink::SelfTest10S, 0);
    } else {
        if (!state.selfTest)
            return refused(QStringLiteral("no self-test is running"));
        m_devComm->setSelfTest(UpsLink::SelfTestCancel, 0);
    }
    static const char *const names[] = {"cancel shutdown", "self-test", "self-test cancel",
                                        "beeper toggle"};
    qCInfo(lcServices).noquote() << "UPS" << m_name << ":" << names[command] << "asked by" << who;
    return {true, {}};
}
