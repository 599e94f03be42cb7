#include "snmpupstree.h"

#include "nutupspublisher.h"

#include <algorithm>
#include <cmath>

namespace {

using Oid = SnmpUpsTree::Oid;
using Value = SnmpUpsTree::Value;
using Type = SnmpUpsTree::Type;

// upsObjects, 1.3.6.1.2.1.33.1, and below it the groups.
Oid object(std::initializer_list<quint32> tail)
{
    Oid out {1, 3, 6, 1, 2, 1, 33, 1};
    out.insert(out.end(), tail);
    return out;
}

Oid trap(quint32 n)
{
    return {1, 3, 6, 1, 2, 1, 33, 2, n};
}

Oid wellKnownAlarm(int n)
{
    return object({6, 3, quint32(n)});
}

// upsWellKnownTests: none initiated (1), a general systems test (3).
Oid wellKnownTest(quint32 n)
{
    return object({7, 7, n});
}

Value number(const Oid &oid, qint64 v, Type type = Type::Integer)
{
    Value out;
    out.oid = oid;
    out.type = type;
    out.number = v;
    return out;
}

// DisplayString of at most `size` bytes.
Value text(const Oid &oid, const QString &v, int size)
{
    Value out;
    out.oid = oid;
    out.type = Type::Text;
    out.text = v.simplified().toUtf8().left(size);
    return out;
}

Value objectId(const Oid &oid, const Oid &v)
{
    Value out;
    out.oid = oid;
    out.type = Type::ObjectId;
    out.objectId = v;
    return out;
}

template<typename T> bool known(const std::optional<T> &v)
{
    return v && std::isfinite(double(*v));
}

template<typename T> qint64 rounded(const std::optional<T> &v, double scale = 1)
{
    return qint64(std::lround(double(*v) * scale));
}

int batteryStatus(const UpsState &s)
{
    if (!s.online())
        return SnmpUpsTree::BatteryUnknown;
    if (!s.batteryLow)
        return SnmpUpsTree::BatteryNormal;
    // Low and the load already without power on battery: the battery ran flat.
    return s.onBattery && s.outputOff() ? SnmpUpsTree::BatteryDepleted : SnmpUpsTree::BatteryLow;
}

int outputSource(const UpsState &s)
{
    if (!s.online())
        return SnmpUpsTree::SourceOther;
    if (s.outputOff())
        return SnmpUpsTree::SourceNone;
    if (s.onBattery)
        return SnmpUpsTree::SourceBattery;
    if (s.onBypass())
        return SnmpUpsTree::SourceBypass;
    // Boost or trim by the network server's rule, which says which only where it can tell.
    const NutStatusFlags::Flags flags = NutUpsPublisher::statusFlags(s);
    if (flags.testFlag(NutStatusFlags::Boost))
        return SnmpUpsTree::SourceBooster;
    if (flags.testFlag(NutStatusFlags::Trim))
        return SnmpUpsTree::SourceReducer;
    return SnmpUpsTree::SourceNormal;
}

// The well-known alarms standing for the entry. A UPS that does not answer shows only that it
// does not (and what the program knows without it): its flags are from before.
QList<int> alarmsOf(const UpsEntry &e)
{
    const UpsState &s = e.state;
    QList<int> out;
    if (e.batteryReplacementDue)
        out << SnmpUpsTree::AlarmBatteryBad;
    if (s.link == UpsState::Link::Offline)
        out << SnmpUpsTree::AlarmCommunicationsLost;
    if (!s.online())
        return out;
    if (s.onBattery)
        out << SnmpUpsTree::AlarmOnBattery;
    if (s.batteryLow)
        out << SnmpUpsTree::AlarmLowBattery;
    if (batteryStatus(s) == SnmpUpsTree::BatteryDepleted)
        out << SnmpUpsTree::AlarmDepletedBattery;
    if (s.onBypass())
        out << SnmpUpsTree::AlarmOnBypass;
    if (s.outputOff()) {
        out << SnmpUpsTree::AlarmUpsOutputOff;
        if (s.shutdownActive)
            out << SnmpUpsTree::AlarmOutputOffAsRequested;
    }
    if (s.faulted() || !e.faults.isEmpty())
        out << SnmpUpsTree::AlarmGeneralFault;
    if (s.testVerdict == UpsState::TestVerdict::Failed)
        out << SnmpUpsTree::AlarmDiagnosticTestFailed;
    if (e.outputOffSeconds >= 0)
        out << SnmpUpsTree::AlarmShutdownPending;
    if (s.selfTest)
        out << SnmpUpsTree::AlarmTestInProgress;
    return out;
}

} // namespace

const Oid &SnmpUpsTree::upsMib()
{
    static const Oid oid {1, 3, 6, 1, 2, 1, 33};
    return oid;
}

QVector<SnmpUpsTree::Notification> SnmpUpsTree::update(const UpsEntry &entry, quint32 uptime,
                                                       qint64 now)
{
    QVector<Notification> out;
    const UpsState was = m_entry.state;
    const UpsState &s = entry.state;
    const bool first = !m_haveEntry;
    const bool testing = m_testSummary == TestInProgress;

    // The self-test: started, running (what it met on the way), ended or cut off.
    if (s.online() && s.selfTest && (first || !was.selfTest || !was.online())) {
        ++m_testsStarted;
        m_testStart = uptime;
        m_testLow = m_testFailed = false;
        m_testSummary = TestInProgress;
        m_testDetail.clear();
    }
    if (m_testSummary == TestInProgress) {
        m_testElapsed = uptime - m_testStart;
        if (s.online()) {
            m_testLow = m_testLow || s.batteryLow;
            m_testFailed = m_testFailed || s.upsFailed;
        }
        if (!s.online()) {
            m_testSummary = TestAborted;
            m_testDetail = "The UPS stopped answering during the test";
        } else if (!s.selfTest) {
            // The UPS's own verdict where it gives one; else what it raised while testing.
            switch (s.testVerdict) {
            case UpsState::TestVerdict::Passed:
                m_testSummary = TestPassed;
                break;
            case UpsState::TestVerdict::Warning:
                m_testSummary = TestWarning;
                break;
            case UpsState::TestVerdict::Failed:
                m_testSummary = TestError;
                break;
            case UpsState::TestVerdict::None:
                m_testSummary = m_testFailed ? TestError : m_testLow ? TestWarning : TestPassed;
                break;
            }
            m_testDetail = m_testSummary == TestPassed ? "Passed"
                : m_testFailed                         ? "The UPS reported a fault during the test"
                : m_testLow                            ? "The battery ran low during the test"
                                                       : "The UPS reported the test failed";
        }
    }

    if (s.online() && s.onBattery) {
        if (m_onBatterySince < 0) {
            m_onBatterySince = now;
            m_nextOnBatteryTrap = now; // told below, once the tree is made
        }
    } else if (s.online() || s.link == UpsState::Link::Unknown) {
        m_onBatterySince = -1;
    }

    m_entry = entry;
    m_haveEntry = true;

    // The alarm table: an alarm keeps its number and time while it stands.
    const QList<int> standing = alarmsOf(entry);
    QVector<Notification> alarmTraps;
    for (auto it = m_alarms.begin(); it != m_alarms.end();) {
        if (standing.contains(it.key())) {
            ++it;
            continue;
        }
        if (it.key() != AlarmTestInProgress)
            alarmTraps << alarmTrap(it.key(), it->id, false);
        it = m_alarms.erase(it);
    }
    for (int which : standing) {
        if (m_alarms.contains(which))
            continue;
        m_lastAlarmId = m_lastAlarmId == INT_MAX ? 1 : m_lastAlarmId + 1;
        m_alarms.insert(which, {m_lastAlarmId, uptime});
        if (which != AlarmOnBattery && which != AlarmTestInProgress)
            alarmTraps << alarmTrap(which, m_lastAlarmId, true);
    }

    rebuild(now);
    if (testing && m_testSummary != TestInProgress)
        out << testTrap();
    out += alarmTraps;
    out += due(now);
    return out;
}

QVector<SnmpUpsTree::Notification> SnmpUpsTree::due(qint64 now)
{
    if (m_onBatterySince < 0)
        return {};
    if (now != m_builtAt)
        rebuild(now); // the seconds on battery go on by themselves
    if (now < m_nextOnBatteryTrap)
        return {};
    m_nextOnBatteryTrap = now + onBatteryRepeatSeconds;
    return {onBatteryTrap()};
}

void SnmpUpsTree::rebuild(qint64 now)
{
    const UpsEntry &e = m_entry;
    const UpsState &s = e.state;
    const bool on = s.online();
    QVector<Value> &v = m_values;
    v.clear();
    m_builtAt = now;

    // upsIdent
    v << text(object({1, 1, 0}), s.manufacturer, 31) << text(object({1, 2, 0}), s.model, 63)
      << text(object({1, 3, 0}), s.firmware, 63)
      << text(object({1, 4, 0}), QStringLiteral("Quelta " QUELTA_APP_VERSION), 63)
      << text(object({1, 5, 0}), e.name, 63) << text(object({1, 6, 0}), QString(), 63);

    // upsBattery
    v << number(object({2, 1, 0}), batteryStatus(s))
      << number(object({2, 2, 0}),
                m_onBatterySince < 0 ? 0 : qMax<qint64>(0, now - m_onBatterySince));
    if (on) {
        if (const std::optional<int> seconds = e.runtimeSeconds())
            v << number(object({2, 3, 0}), qMax(0, *seconds) / 60);
        if (known(s.batteryCharge))
            v << number(object({2, 4, 0}), qBound<qint64>(0, rounded(s.batteryCharge), 100));
        if (known(s.batteryVoltage))
            v << number(object({2, 5, 0}), qMax<qint64>(0, rounded(s.batteryVoltage, 10)));
        if (known(s.temperature))
            v << number(object({2, 7, 0}), rounded(s.temperature));
    }

    // upsInput: a line bad is each input voltage fault raised (event 2), as the metrics count it.
    v << number(object({3, 1, 0}), qint64(quint32(e.raised.value(2))), Type::Counter)
      << number(object({3, 2, 0}), 1);
    if (on && known(s.inputFrequency))
        v << number(object({3, 3, 1, 2, 1}), qMax<qint64>(0, rounded(s.inputFrequency, 10)));
    if (on && known(s.inputVoltage))
        v << number(object({3, 3, 1, 3, 1}), qMax<qint64>(0, rounded(s.inputVoltage)));

    // upsOutput
    v << number(object({4, 1, 0}), outputSource(s)) << number(object({4, 3, 0}), 1);
    if (on && known(s.outputVoltage))
        v << number(object({4, 4, 1, 2, 1}), qMax<qint64>(0, rounded(s.outputVoltage)));
    if (on && known(s.load))
        v << number(object({4, 4, 1, 5, 1}), qBound<qint64>(0, *s.load, 200));

    // upsAlarm
    v << number(object({6, 1, 0}), m_alarms.size(), Type::Gauge);
    for (auto it = m_alarms.constBegin(); it != m_alarms.constEnd(); ++it) {
        const quint32 id = quint32(it->id);
        v << objectId(object({6, 2, 1, 2, id}), wellKnownAlarm(it.key()))
          << number(object({6, 2, 1, 3, id}), it->time, Type::TimeTicks);
    }

    // upsTest
    // The test running, as SNMP clients read it (NUT's driver among them): none between tests,
    // whose outcome the summary and detail keep.
    v << objectId(object({7, 1, 0}), wellKnownTest(m_testSummary == TestInProgress ? 3 : 1))
      << number(object({7, 2, 0}), m_testsStarted) << number(object({7, 3, 0}), m_testSummary)
      << text(object({7, 4, 0}), QString::fromUtf8(m_testDetail), 255)
      << number(object({7, 5, 0}), m_testsStarted ? m_testStart : 0, Type::TimeTicks)
      << number(object({7, 6, 0}), m_testElapsed);

    // upsConfig: the rated figures the UPS gives. Its one rated voltage is the output's.
    if (known(s.ratedFrequency))
        v << number(object({9, 2, 0}), qMax<qint64>(0, rounded(s.ratedFrequency, 10)));
    if (known(s.ratedOutputVoltage))
        v << number(object({9, 3, 0}), qMax<qint64>(0, rounded(s.ratedOutputVoltage)));
    if (known(s.ratedOutputVoltage) && known(s.ratedCurrent))
        v << number(object({9, 5, 0}),
                    qMax<qint64>(0,
                                 rounded(std::optional<double>(double(*s.ratedOutputVoltage) *
                                                               *s.ratedCurrent))));
    if (on)
        v << number(object({9, 8, 0}), s.beeper ? 2 : 1); // enabled (2), disabled (1)

    std::sort(v.begin(), v.end(), [](const Value &a, const Value &b) { return a.oid < b.oid; });
}

const SnmpUpsTree::Value *SnmpUpsTree::find(const Oid &oid) const
{
    const auto it = std::lower_bound(m_values.begin(), m_values.end(), oid,
                                     [](const Value &a, const Oid &b) { return a.oid < b; });
    return it != m_values.end() && it->oid == oid ? &*it : nullptr;
}

const SnmpUpsTree::Value *SnmpUpsTree::next(const Oid &oid) const
{
    const auto it = std::upper_bound(m_values.begin(), m_values.end(), oid,
                                     [](const Oid &a, const Value &b) { return a < b.oid; });
    return it != m_values.end() ? &*it : nullptr;
}

SnmpUpsTree::Notification SnmpUpsTree::onBatteryTrap() const
{
    Notification n;
    n.trap = trap(1);
    // upsEstimatedMinutesRemaining, upsSecondsOnBattery, upsConfigLowBattTime: those served.
    for (const Oid &oid : {object({2, 3, 0}), object({2, 2, 0}), object({9, 7, 0})}) {
        if (const Value *v = find(oid))
            n.objects << *v;
    }
    return n;
}

SnmpUpsTree::Notification SnmpUpsTree::testTrap() const
{
    Notification n;
    n.trap = trap(2);
    for (quint32 i = 1; i <= 6; ++i) {
        if (const Value *v = find(object({7, i, 0})))
            n.objects << *v;
    }
    return n;
}

SnmpUpsTree::Notification SnmpUpsTree::alarmTrap(int which, int id, bool added) const
{
    Notification n;
    n.trap = trap(added ? 3 : 4);
    n.objects << number(object({6, 2, 1, 1, quint32(id)}), id)
              << objectId(object({6, 2, 1, 2, quint32(id)}), wellKnownAlarm(which));
    return n;
}
