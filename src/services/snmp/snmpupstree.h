#pragma once

#include "upsentry.h"

#include <QByteArray>
#include <QMap>
#include <QVector>

#include <vector>

// One UPS as the standard UPS MIB (1.3.6.1.2.1.33) shows it: every object instance of the
// groups upsIdent, upsBattery, upsInput, upsOutput, upsAlarm, upsTest and upsConfig made from the
// UPS's entry, in OID order, and the notifications its changes bring. A reading the UPS does not
// give is left out, never served as zero. Plain values: it knows nothing of the SNMP library, and
// lives on the agent's thread.
class SnmpUpsTree
{
public:
    using Oid = std::vector<quint32>;
    enum class Type { Integer, Gauge, Counter, TimeTicks, Text, ObjectId };
    struct Value
    {
        Oid oid;
        Type type = Type::Integer;
        qint64 number = 0;
        QByteArray text;
        Oid objectId;
    };
    struct Notification
    {
        Oid trap; // the notification's OID (upsTrapOnBattery ...)
        QVector<Value> objects;
    };

    // The MIB's own numbers.
    static const Oid &upsMib(); // 1.3.6.1.2.1.33
    enum BatteryStatus { BatteryUnknown = 1, BatteryNormal, BatteryLow, BatteryDepleted };
    enum OutputSource {
        SourceOther = 1,
        SourceNone,
        SourceNormal,
        SourceBypass,
        SourceBattery,
        SourceBooster,
        SourceReducer
    };
    enum TestSummary {
        TestPassed = 1,
        TestWarning,
        TestError,
        TestAborted,
        TestInProgress,
        TestNoneInitiated
    };
    // Numbers of upsWellKnownAlarms (1.3.6.1.2.1.33.1.6.3.N).
    enum WellKnownAlarm {
        AlarmBatteryBad = 1,
        AlarmOnBattery = 2,
        AlarmLowBattery = 3,
        AlarmDepletedBattery = 4,
        AlarmOnBypass = 9,
        AlarmOutputOffAsRequested = 11,
        AlarmUpsOutputOff = 14,
        AlarmGeneralFault = 18,
        AlarmDiagnosticTestFailed = 19,
        AlarmCommunicationsLost = 20,
        AlarmShutdownPending = 22,
        AlarmTestInProgress = 24
    };
    static constexpr int onBatteryRepeatSeconds = 60;

    // Takes the entry as it is now; `uptime` is the agent's sysUpTime in hundredths of a second
    // (the MIB's time stamps), `now` seconds since the epoch. Returns the notifications the change
    // brings, in the order they happened.
    QVector<Notification> update(const UpsEntry &entry, quint32 uptime, qint64 now);
    // The notifications due by time alone (upsTrapOnBattery once a minute on battery); the
    // seconds on battery are brought up to `now`.
    QVector<Notification> due(qint64 now);

    // Every instance, sorted by OID.
    const QVector<Value> &values() const { return m_values; }
    // The instance at `oid`, or the first after it; nullptr past the end.
    const Value *find(const Oid &oid) const;
    const Value *next(const Oid &oid) const;

private:
    struct Raised
    {
        int id;
        quint32 time;
    };
    void rebuild(qint64 now);
    Notification onBatteryTrap() const;
    Notification testTrap() const;
    Notification alarmTrap(int which, int id, bool added) const;

    UpsEntry m_entry;
    bool m_haveEntry = false;
    qint64 m_onBatterySince = -1; // seconds since the epoch; -1 on mains
    qint64 m_nextOnBatteryTrap = 0;
    QMap<int, Raised> m_alarms; // by well-known alarm
    int m_lastAlarmId = 0;
    // The last self-test, as seen here.
    int m_testSummary = TestNoneInitiated;
    QByteArray m_testDetail;
    int m_testsStarted = 0;
    quint32 m_testStart = 0;
    quint32 m_testElapsed = 0;
    bool m_testLow = false;
    bool m_testFailed = false;
    qint64 m_builtAt = -1;
    QVector<Value> m_values;
};
