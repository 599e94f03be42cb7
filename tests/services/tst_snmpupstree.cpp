// The UPS MIB made from a UPS's entry, over many generated states: what any SNMP client relies
// on (instances in order, each once, a get-next walk that meets every one, values inside the
// MIB's ranges) and the rules that tie objects together (alarms present and the table, the
// battery's status and its alarms, notifications for each change of the table).
#include "snmpupstree.h"

#include <QtTest>

namespace {

using Oid = SnmpUpsTree::Oid;

Oid object(std::initializer_list<quint32> tail)
{
    Oid out {1, 3, 6, 1, 2, 1, 33, 1};
    out.insert(out.end(), tail);
    return out;
}

bool under(const Oid &oid, const Oid &prefix)
{
    return oid.size() > prefix.size() && std::equal(prefix.begin(), prefix.end(), oid.begin());
}

UpsEntry randomEntry(QRandomGenerator &r)
{
    UpsEntry e;
    e.name = QStringLiteral("ups");
    UpsState &s = e.state;
    s.link = UpsState::Link(r.bounded(3));
    const auto coin = [&r] {
        return r.bounded(2) == 1;
    };
    s.onBattery = coin();
    s.batteryLow = coin();
    s.bypass = coin();
    s.upsFailed = r.bounded(4) == 0;
    s.standbyType = coin();
    s.selfTest = r.bounded(4) == 0;
    s.shutdownActive = coin();
    s.beeper = coin();
    s.testVerdict = UpsState::TestVerdict(r.bounded(4));
    const auto maybe = [&](double low, double high) -> std::optional<float> {
        if (r.bounded(5) == 0)
            return std::nullopt;
        return float(low + r.generateDouble() * (high - low));
    };
    s.inputVoltage = maybe(0, 260);
    s.outputVoltage = maybe(0, 260);
    s.inputFrequency = maybe(45, 65);
    s.batteryVoltage = maybe(0, 60);
    s.temperature = maybe(-10, 70);
    s.batteryCharge = maybe(-5, 105);
    if (r.bounded(5))
        s.load = r.bounded(-5, 250);
    if (r.bounded(3))
        s.runtime = r.bounded(-1, 600);
    s.runtimeEstimated = coin();
    if (r.bounded(3) == 0)
        e.learned.predicted = r.bounded(0, 20000);
    s.ratedOutputVoltage = maybe(100, 240);
    s.ratedFrequency = maybe(50, 60);
    if (r.bounded(4))
        s.ratedCurrent = r.bounded(1, 40);
    s.manufacturer = QString(r.bounded(50), QLatin1Char('m'));
    e.outputOffSeconds = r.bounded(4) == 0 ? r.bounded(60) : -1;
    e.batteryReplacementDue = r.bounded(6) == 0;
    if (r.bounded(8) == 0)
        e.faults << QStringLiteral("Fan failure");
    e.raised.insert(2, r.bounded(10));
    return e;
}

} // namespace

class TestSnmpUpsTree : public QObject
{
    Q_OBJECT
private slots:
    void generatedStates();
};

void TestSnmpUpsTree::generatedStates()
{
    QRandomGenerator r(1628);
    SnmpUpsTree tree;
    QMap<quint32, Oid> table; // the alarm table as the notifications told it
    quint32 uptime = 100;
    qint64 now = 1700000000;
    for (int round = 0; round < 3000; ++round) {
        uptime += 50;
        now += r.bounded(3);
        const UpsEntry e = randomEntry(r);
        const QVector<SnmpUpsTree::Notification> told = tree.update(e, uptime, now);
        const QVector<SnmpUpsTree::Value> &values = tree.values();

        // In order, each once, all under the MIB, and a get-next walk from the MIB's root meets
        // every one of them in turn; a get finds each.
        QVERIFY(!values.isEmpty());
        Oid at = SnmpUpsTree::upsMib();
        for (const SnmpUpsTree::Value &v : values) {
            QVERIFY(under(v.oid, SnmpUpsTree::upsMib()));
            const SnmpUpsTree::Value *next = tree.next(at);
            QVERIFY(next && next->oid == v.oid);
            QVERIFY(tree.find(v.oid) == next);
            at = v.oid;
        }
        QVERIFY(!tree.next(at));

        const auto value = [&](const Oid &oid) -> std::optional<qint64> {
            const SnmpUpsTree::Value *v = tree.find(oid);
            return v ? std::optional<qint64>(v->number) : std::nullopt;
        };
        // Ranges and enumerations of the MIB.
        const qint64 battery = *value(object({2, 1, 0}));
        QVERIFY(battery >= 1 && battery <= 4);
        QVERIFY(*value(object({4, 1, 0})) >= 1 && *value(object({4, 1, 0})) <= 7);
        QVERIFY(*value(object({7, 3, 0})) >= 1 && *value(object({7, 3, 0})) <= 6);
        if (const auto charge = value(object({2, 4, 0})))
            QVERIFY(*charge >= 0 && *charge <= 100);
        if (const auto load = value(object({4, 4, 1, 5, 1})))
            QVERIFY(*load >= 0 && *load <= 200);
        // The one runtime of every face: the UPS's own, else the learned one, else none.
        const std::optional<int> seconds = e.state.online() ? e.runtimeSeconds() : std::nullopt;
        QCOMPARE(value(object({2, 3, 0})),
                 seconds ? std::optional<qint64>(*seconds / 60) : std::nullopt);
        QVERIFY(tree.find(object({1, 1, 0}))->text.size() <= 31);
        // A UPS that does not answer gives no readings.
        if (!e.state.online()) {
            QCOMPARE(battery, qint64(SnmpUpsTree::BatteryUnknown));
            QVERIFY(!value(object({2, 4, 0})) && !value(object({3, 3, 1, 3, 1})) &&
                    !value(object({4, 4, 1, 2, 1})));
        }

        // The alarm table: as many rows as alarms present; low battery and on battery alarms
        // stand exactly when the battery's status and the source say so.
        QMap<quint32, Oid> rows;
        for (const SnmpUpsTree::Value &v : values) {
            if (under(v.oid, object({6, 2, 1, 2})))
                rows.insert(v.oid.back(), v.objectId);
        }
        QCOMPARE(qint64(rows.size()), *value(object({6, 1, 0})));
        const auto standing = [&](int which) {
            for (const Oid &o : rows) {
                if (o == object({6, 3, quint32(which)}))
                    return true;
            }
            return false;
        };
        QCOMPARE(standing(SnmpUpsTree::AlarmLowBattery),
                 battery == SnmpUpsTree::BatteryLow || battery == SnmpUpsTree::BatteryDepleted);
        QCOMPARE(standing(SnmpUpsTree::AlarmOnBattery), e.state.online() && e.state.onBattery);
        QCOMPARE(standing(SnmpUpsTree::AlarmCommunicationsLost),
                 e.state.link == UpsState::Link::Offline);

        // Following the added and removed notifications rebuilds the table, but for the alarms
        // the MIB keeps quiet about (on battery when added, a test in progress either way).
        for (const SnmpUpsTree::Notification &n : told) {
            if (n.trap == Oid {1, 3, 6, 1, 2, 1, 33, 2, 3})
                table.insert(quint32(n.objects.at(0).number), n.objects.at(1).objectId);
            else if (n.trap == Oid {1, 3, 6, 1, 2, 1, 33, 2, 4})
                QVERIFY(table.remove(quint32(n.objects.at(0).number)) == 1);
        }
        const Oid testing = object({6, 3, SnmpUpsTree::AlarmTestInProgress});
        for (auto it = table.begin(); it != table.end();) {
            if (it.value() == testing && !rows.contains(it.key()))
                it = table.erase(it);
            else
                ++it;
        }
        for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
            if (it.value() == object({6, 3, SnmpUpsTree::AlarmOnBattery}) ||
                it.value() == object({6, 3, SnmpUpsTree::AlarmTestInProgress}))
                table.insert(it.key(), it.value());
        }
        QCOMPARE(table, rows);
    }
}

QTEST_GUILESS_MAIN(TestSnmpUpsTree)
#include "tst_snmpupstree.moc"
