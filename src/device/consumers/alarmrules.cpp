#include "alarmrules.h"

#include "alarm.h"

namespace {

// The alarm calls of one status bit: on a change to 1 clear `setClears` and raise `setRaises`;
// on a change to 0 clear `setRaises` and raise `setClears` as a timed event.
struct BitAlarms
{
    int setClears;
    int setRaises;
    bool lasting; // setRaises stays listed until the bit clears
};

const BitAlarms statusAlarms[8] = {
    {Alarm::MainsNormal, Alarm::MainsFault, true},
    {Alarm::BattVolNormal, Alarm::BattVolLow, true},
    {Alarm::RecSupply, Alarm::BypassSupply, false}, // boost or buck on a standby type, below
    {Alarm::UPSNormal, Alarm::UPSFault, true},
    {-1, -1, false}, // the standby type raises nothing
    {Alarm::SelfTestFinished, Alarm::SelfTest, false},
    {Alarm::NotInPowerOff, Alarm::InPowerOff, false},
    {Alarm::BuzzerOff, Alarm::BuzzerOn, false},
};
const BitAlarms boostOrBuck = {Alarm::BoostOrBuckReturn, Alarm::BoostOrBuck, false};

} // namespace

AlarmRules::AlarmRules(Alarm *alarm, QObject *parent) : QObject(parent), m_alarm(alarm) { }

void AlarmRules::updateState(const UpsState &state)
{
    if (!state.online()) {
        forget();
        return;
    }
    const quint8 status = state.statusByte();
    for (int bit = 0; bit < 8; ++bit) {
        const bool set = (status >> bit) & 1;
        if (set == bool((m_status >> bit) & 1))
            continue;
        const BitAlarms &rule = bit == 2 && state.standbyType ? boostOrBuck : statusAlarms[bit];
        if (rule.setRaises < 0)
            continue;
        if (set) {
            m_alarm->delAlarm(rule.setClears);
            if (rule.lasting)
                m_alarm->addAlarm(rule.setRaises);
            else
                m_alarm->addEvent(rule.setRaises);
        } else {
            m_alarm->delAlarm(rule.setRaises);
            m_alarm->addEvent(rule.setClears);
        }
    }
    m_status = status;
    if (!m_online) {
        m_online = true;
        m_alarm->delAlarm(Alarm::CommLost);
        m_alarm->addEvent(Alarm::CommNormal);
    }
}

void AlarmRules::updateFaults(const UpsState &state)
{
    const int family = state.faultKind & 0xFF;
    if (family != m_kind) {
        m_kind = family;
        m_words.fill(0);
    }
    // Only the two fault families have texts; kind 0 would land on the event codes.
    const bool raises = family == 1 || family == 2;
    for (int i = 0; i < UpsState::FaultWordCount; ++i) {
        const quint16 word = state.faultWords[std::size_t(i)];
        const quint16 changed = word ^ m_words[std::size_t(i)];
        for (int bit = 0; raises && bit < 16; ++bit) {
            if (!((changed >> bit) & 1))
                continue;
            const int code = Alarm::faultCode(family, 16 * i + bit);
            if ((word >> bit) & 1) {
                m_alarm->addAlarm(code);
                m_alarm->delAlarm(Alarm::returnCode(code));
            } else {
                m_alarm->delAlarm(code);
                m_alarm->addEvent(Alarm::returnCode(code));
            }
        }
        m_words[std::size_t(i)] = word;
    }
}

void AlarmRules::linkLost()
{
    forget();
    m_alarm->clearAlarms();
    m_alarm->addAlarm(Alarm::CommLost);
}

void AlarmRules::upsCommFault()
{
    forget();
    m_alarm->addAlarm(Alarm::CommLost);
}

// What a UPS reports after its link was lost counts as new.
void AlarmRules::forget()
{
    m_status = 0;
    m_online = false;
    m_kind = -1;
    m_words.fill(0);
}
