#include "watchedups.h"

#include "alarm.h"
#include "alarmrules.h"
#include "nutlink.h"
#include "samplestore.h"
#include "selftestrecorder.h"

#include <QVariantList>

WatchedUps::WatchedUps(const QString &name, NutClient *server, const QString &upsName,
                       RecordWriter *writer, Settings *settings, QObject *parent)
    : QObject(parent),
      m_name(name),
      m_upsName(upsName),
      m_link(new NutLink(server, upsName, this)),
      m_alarm(new Alarm(writer, this)),
      m_rules(new AlarmRules(m_alarm, this)),
      m_selfTests(new SelfTestRecorder(writer, this)),
      m_samples(new SampleStore(writer, settings, this))
{
    m_alarm->setUps(name);
    m_selfTests->setUps(name);
    m_samples->setUps(name);
    // In the order of this computer's UPS: the alarm rules first, so a row is queued before
    // anyone acts, then the self-test recording and the samples.
    connect(m_link, &UpsLink::stateChanged, this, [this] {
        const UpsState &now = m_link->state();
        if (now.online())
            m_lastSeen = now;
        m_rules->updateState(now);
        m_selfTests->updateState(now);
        m_samples->updateState(now);
        emit stateChanged(now);
    });
    connect(m_link, &UpsLink::linkLost, m_rules, &AlarmRules::linkLost);
    connect(m_link, &UpsLink::commandRefused, this, &WatchedUps::commandRefused);
    connect(m_link, &UpsLink::controlsChanged, this, &WatchedUps::controlsChanged);
    connect(m_alarm, &Alarm::alarmNumChanged, this, &WatchedUps::alarmsChanged);
    connect(m_selfTests, &SelfTestRecorder::finished, this, &WatchedUps::selfTestFinished);
}

WatchedUps::~WatchedUps() = default;

const UpsState &WatchedUps::state() const
{
    return m_link->state();
}

void WatchedUps::completeSelfTests()
{
    m_selfTests->completeInterrupted();
}

QString WatchedUps::problem() const
{
    return m_link->problem();
}

int WatchedUps::alarmNum() const
{
    return m_alarm->alarmNum();
}

QVariantList WatchedUps::allAlarm() const
{
    return m_alarm->allAlarm();
}

void WatchedUps::setSelfTest(int type, int minutes)
{
    m_link->setSelfTest(type, minutes);
}

void WatchedUps::toggleBeeper()
{
    m_link->toggleBeeper();
}

QString WatchedUps::controlUnavailable(int request) const
{
    return m_link->controlUnavailable(request);
}
