// The learned discharge model against batteries that follow a known law, the voltage's pace
// against batteries drawn from a lead-acid model, the tracker on bad readings, the discharges
// read back from a real database file, and the health of an ageing battery over time.
#include "batteryhealthhistory.h"
#include "database.h"
#include "dischargehistory.h"
#include "dischargemodel.h"
#include "dischargetracker.h"
#include "testroot.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cmath>

namespace {

// A steady discharge from full to battery low of a battery with T(L) = a·L^−n.
DischargeModel::Discharge steady(double a, double n, double load, qint64 startMs = 0)
{
    DischargeModel::Discharge d;
    const double seconds = a * std::pow(load / 100.0, -n);
    for (double t = 0; t < seconds; t += 30)
        d.points.append({startMs + qint64(t * 1000), load});
    d.lowMs = startMs + qint64(seconds * 1000);
    return d;
}

// A lead-acid string of twelve cells: a Peukert drain on the current, an open-circuit voltage
// that follows the charge, the terminals sagging by the current through the resistance, and
// battery low at a charge or when the loaded voltage reaches 1.7 V a cell.
struct LeadAcid
{
    double ampHours, exponent, ohms, lowCharge;
    double watts100 = 800; // drawn at 100 % load

    static double open(double charge)
    {
        return 23.2 + 2.4 * charge - 1.0 * std::pow(1 - charge, 4);
    }
    struct Reading
    {
        double volts;
        bool low;
    };
    // A reading a second from full at a steady load until battery low, the voltage rounded to
    // the tenth of a volt.
    QVector<Reading> discharge(double load) const
    {
        QVector<Reading> out;
        double charge = 1;
        const double rated = ampHours / 20, watts = load / 100 * watts100;
        for (;;) {
            const double e = open(charge);
            const double amps = (e - std::sqrt(e * e - 4 * ohms * watts)) / (2 * ohms);
            const double volts = e - amps * ohms;
            const bool low = charge <= lowCharge || volts < 20.4;
            out.append({std::round(volts * 10) / 10, low});
            if (low)
                return out;
            charge -= rated * std::pow(amps / rated, exponent) / (ampHours * 3600);
        }
    }
    // Through a tracker, as the learner sees it; `each` at every reading.
    static void feed(DischargeTracker &tracker, const QVector<Reading> &run, double load,
                     qint64 originMs, bool volts,
                     const std::function<void(int second, qint64 ms)> &each = {})
    {
        tracker.update(originMs - 1000, false, false, load, 100);
        for (int i = 0; i < run.size(); ++i) {
            const qint64 ms = originMs + i * 1000LL;
            tracker.update(ms, true, run[i].low, load, std::nullopt,
                           volts ? std::optional<double>(run[i].volts) : std::nullopt);
            if (each)
                each(i, ms);
        }
        tracker.update(originMs + run.size() * 1000LL, false, false, load, 100);
    }
};

double percentile(QVector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v[std::min(v.size() - 1, int(p * v.size()))];
}

} // namespace

class TestDischargeModel : public QObject
{
    Q_OBJECT
private slots:
    void learnsGeneratedBatteries();
    void voltageCorrectsTheLaw();
    void badInputTeachesNothing();
    void storedDischarges();
    void healthOfAnAgeingBattery();
};

// Batteries drawn at random: two discharges at two loads fix the law, so a third load is
// predicted within a few percent and inside the band; one discharge alone gives a wider band,
// and a load outside those learned says so and widens it.
void TestDischargeModel::learnsGeneratedBatteries()
{
    QRandomGenerator r(36);
    for (int i = 0; i < 200; ++i) {
        const double a = 120 + r.generateDouble() * 1500; // seconds at the rated load
        const double n = 1.02 + r.generateDouble() * 0.5;
        const double l1 = 15 + r.bounded(30), l2 = l1 + 20 + r.bounded(40);
        const QString why = QStringLiteral("battery %1: a=%2 n=%3 loads %4, %5")
                                .arg(i)
                                .arg(a)
                                .arg(n)
                                .arg(l1)
                                .arg(l2);
        DischargeModel model;
        QVERIFY(!model.predict(40, 0).valid);
        QVERIFY(model.learn(steady(a, n, l1)));
        const DischargeModel::Prediction one = model.predict(l1, 0.5);
        QVERIFY2(one.valid && std::abs(one.seconds - 0.5 * a * std::pow(l1 / 100, -n)) <
                     0.02 * one.seconds,
                 qPrintable(why));
        QVERIFY(model.learn(steady(a, n, l2, 86400000)));
        QVERIFY2(std::abs(model.exponent() - n) < 0.02, qPrintable(why));
        const double mid = (l1 + l2) / 2, used = r.generateDouble() * 0.9;
        const double truth = (1 - used) * a * std::pow(mid / 100, -n);
        const DischargeModel::Prediction two = model.predict(mid, used);
        QVERIFY2(two.valid && !two.outside && std::abs(two.seconds - truth) < 0.03 * truth,
                 qPrintable(why));
        QVERIFY2(two.low <= truth && truth <= two.high, qPrintable(why));
        QVERIFY2(two.high - two.low < (one.high - one.low) / one.seconds * two.seconds,
                 qPrintable(why));
        const DischargeModel::Prediction far = model.predict(std::min(150.0, l2 * 2.5), used);
        QVERIFY2(far.outside && (far.high - far.low) / far.seconds >
                     (two.high - two.low) / two.seconds,
                 qPrintable(why));
        // The same battery again: its health stays whole; a faded one shows its share.
        QVERIFY(model.learn(steady(a * 0.8, n, l1, 20 * 86400000LL)));
        QVERIFY2(std::abs(model.health() - 0.8) < 0.02, qPrintable(why));
        // Falling about 0.01 a day: the trend reaches 0.7 some five days after the last.
        QVERIFY(model.learn(steady(a * 0.75, n, l2, 25 * 86400000LL)));
        const double days = model.daysUntilHealth(0.7);
        QVERIFY2(days > 3 && days < 15, qPrintable(why + QString(" days %1").arg(days)));
    }
}

// Batteries drawn at random, steep and gentle, learned from one discharge at 30 % and then from
// a second at 70 %, then discharged at another load: with the voltage, one learned discharge
// predicts within 20 % at the 90th percentile (a third of the law's error where the law alone is
// further off than 60 %), two are never
// worse than the law alone, the band narrows as the discharge goes on and holds the truth; a
// UPS with no voltage gets the law's figure unchanged, and a voltage that does not fall says
// nothing.
void TestDischargeModel::voltageCorrectsTheLaw()
{
    QRandomGenerator r(1536);
    for (int i = 0; i < 24; ++i) {
        const double ampHours = 4 + r.generateDouble() * 14;
        const double exponent = 1.05 + r.generateDouble() * 0.45;
        const LeadAcid battery{ampHours, exponent, 0.6 / (4 + r.generateDouble() * 14),
                               0.15 + r.generateDouble() * 0.1};
        const double load = QVector<double>{20, 50, 85}[i % 3];
        const QString at = QStringLiteral("battery %1: %2 Ah n=%3 %4 ohm low at %5, load %6")
                               .arg(i)
                               .arg(battery.ampHours)
                               .arg(battery.exponent)
                               .arg(battery.ohms)
                               .arg(battery.lowCharge)
                               .arg(load);
        DischargeModel one, two;
        DischargeTracker tracker;
        LeadAcid::feed(tracker, battery.discharge(30), 30, 0, true);
        QVERIFY2(one.learn(tracker.discharge()) && one.curves() == 1, qPrintable(at));
        two = one;
        LeadAcid::feed(tracker, battery.discharge(70), 70, 86400000, true);
        QVERIFY2(two.learn(tracker.discharge()) && two.curves() == 2, qPrintable(at));

        const QVector<LeadAcid::Reading> run = battery.discharge(load);
        QVector<double> law1, seen1, law2, seen2;
        double earlyWidth = 0, lateWidth = 0;
        int inside = 0, readings = 0;
        // No voltage: the law's own figure.
        DischargeTracker blind;
        bool same = true;
        LeadAcid::feed(blind, run, load, 2 * 86400000, false, [&](int, qint64 ms) {
            same = same && blind.predict(one, load, ms).seconds ==
                one.predict(load, blind.used(one, ms)).seconds;
        });
        QVERIFY2(same, qPrintable(at));
        LeadAcid::feed(tracker, run, load, 2 * 86400000, true, [&](int second, qint64 ms) {
            const double actual = run.size() - 1 - second;
            if (second < 0.1 * run.size() || second > 0.8 * run.size())
                return;
            const auto off = [actual](const DischargeModel::Prediction &p) {
                return std::abs(p.seconds - actual) / actual;
            };
            const DischargeModel::Prediction p1 = tracker.predict(one, load, ms);
            law1.append(off(one.predict(load, tracker.used(one, ms))));
            seen1.append(off(p1));
            law2.append(off(two.predict(load, tracker.used(two, ms))));
            seen2.append(off(tracker.predict(two, load, ms)));
            const double width = (p1.high - p1.low) / p1.seconds;
            (second < 0.3 * run.size() ? earlyWidth : lateWidth) = width;
            inside += p1.low <= actual && actual <= p1.high ? 1 : 0;
            ++readings;
        });
        const QString figures = at + QStringLiteral(": one %1 (law %2), two %3 (law %4)")
                                         .arg(percentile(seen1, 0.9))
                                         .arg(percentile(law1, 0.9))
                                         .arg(percentile(seen2, 0.9))
                                         .arg(percentile(law2, 0.9));
        QVERIFY2(percentile(seen1, 0.9) < std::max(0.2, percentile(law1, 0.9) / 3),
                 qPrintable(figures));
        QVERIFY2(percentile(seen2, 0.9) < percentile(law2, 0.9) + 0.01, qPrintable(figures));
        QVERIFY2(lateWidth < earlyWidth, qPrintable(figures));
        QVERIFY2(inside >= 0.9 * readings, qPrintable(figures));
    }

    // A voltage that stays put or rises tells nothing; no voltage curve learned, nothing either.
    DischargeModel model;
    DischargeTracker tracker;
    const LeadAcid battery{9, 1.2, 0.05, 0.2};
    LeadAcid::feed(tracker, battery.discharge(40), 40, 0, true);
    QVERIFY(model.learn(tracker.discharge()));
    QVector<DischargeModel::Point> flat, rising;
    for (int s = 0; s < 600; ++s) {
        flat.append({s * 1000LL, 40, 24.0});
        rising.append({s * 1000LL, 40, 23.0 + s * 0.002});
    }
    QCOMPARE(model.pace(flat, 0, 600000).sigma, -1.0);
    QCOMPARE(model.pace(rising, 0, 600000).sigma, -1.0);
    QCOMPARE(DischargeModel().pace(rising, 0, 600000).sigma, -1.0);
}

// A discharge cut short, a gap or a clock set back, a nonsense load or charge, a battery not
// charged at the start: nothing learned, each with its reason, and no prediction from nothing.
void TestDischargeModel::badInputTeachesNothing()
{
    DischargeModel model;
    QString why;
    DischargeModel::Discharge d = steady(600, 1.2, 40);
    d.points.remove(5, 30); // a quarter of an hour without a reading
    QVERIFY(!model.learn(d, &why));
    QVERIFY2(why.contains("gap"), qPrintable(why));
    d = steady(600, 1.2, 40);
    d.points[4].ms = d.points[3].ms - 3600 * 1000; // the clock set back an hour
    QVERIFY(!model.learn(d, &why) && why.contains("clock"));
    d = steady(600, 1.2, 40);
    d.points[2].load = 900;
    QVERIFY(!model.learn(d, &why) && why.contains("900"));
    d = steady(600, 1.2, 40);
    d.lowMs = d.points.first().ms + 10000;
    d.points.resize(1);
    QVERIFY(!model.learn(d, &why));
    QCOMPARE(model.learned(), 0);
    QVERIFY(!model.predict(40, 0).valid);
    QVERIFY(!model.predict(40, 0).why.isEmpty());

    // The tracker: mains back before battery low is a discharge cut short; a start at half
    // charge is no full battery; a charge of 180 % is left out; the load jumping is followed.
    DischargeTracker tracker;
    QCOMPARE(tracker.update(0, false, false, 30, 100), DischargeTracker::Event::None);
    QCOMPARE(tracker.update(1000, true, false, 30, 99), DischargeTracker::Event::Began);
    QCOMPARE(tracker.update(60000, false, false, 30, 90), DischargeTracker::Event::CutShort);
    QCOMPARE(tracker.update(120000, true, false, 30, 50), DischargeTracker::Event::Began);
    QVERIFY(!tracker.discharge().fullStart);
    QCOMPARE(tracker.update(125000, false, false, 30, 180), DischargeTracker::Event::CutShort);
    QCOMPARE(tracker.update(130000, true, false, 20, 180), DischargeTracker::Event::Began);
    // No charge to go by and the last discharge ended seconds ago: not charged.
    QVERIFY(!tracker.discharge().fullStart);
    tracker.update(131000, true, false, 80, std::nullopt);
    tracker.update(140000, true, false, 20, std::nullopt);
    QCOMPARE(tracker.update(150000, true, true, 20, std::nullopt),
             DischargeTracker::Event::ReachedLow);
    QCOMPARE(tracker.discharge().points.size(), 3);
    // A charge read too low at the start and corrected in the first seconds: the fresher stands.
    DischargeTracker stale;
    stale.update(0, false, false, 30, 9);
    stale.update(1000, true, false, 30, std::nullopt);
    stale.update(5000, true, false, 30, 100);
    QVERIFY(stale.discharge().fullStart);
    QVERIFY(model.learn(steady(600, 1.2, 40)));
    // Used share: 1 s at 20 %, 9 s at 80 %, 10 s at 20 %, by the model's law.
    const double expected = (11 * std::pow(0.2, 1.2) + 9 * std::pow(0.8, 1.2)) / model.scale();
    QVERIFY(std::abs(tracker.used(model, 150000) - expected) < 1e-9);
    // Past the learned time with no battery low: no figure, and why.
    QVERIFY(!model.predict(40, 1.2).valid && model.predict(40, 1.2).why.contains("longer"));
}

// Discharges written as the program writes them (alarms and samples with local times) come
// back: one to battery low from a charged battery, one cut short by the mains, one to battery
// low that began soon after the last, and another UPS's rows are left out.
void TestDischargeModel::storedDischarges()
{
    TestRoot root(TestRoot::WithDatabase);
    const QDateTime t0(QDate(2026, 3, 1), QTime(10, 0));
    QSqlQuery q;
    const auto alarm = [&](int minutes, int code, const QString &ups = QString()) {
        q.prepare("insert into alarm(dateTime, alarm, ups) values(?, ?, ?)");
        q.addBindValue(t0.addSecs(minutes * 60).toString("yyyy-MM-dd hh:mm:ss"));
        q.addBindValue(code);
        q.addBindValue(ups.isNull() ? QString("") : ups);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    };
    const auto sample = [&](int minutes, int load) {
        q.prepare("insert into device_data(dateTime, load, battVol, ups) values(?, ?, 24, '')");
        q.addBindValue(t0.addSecs(minutes * 60).toString("yyyy-MM-dd hh:mm:ss"));
        q.addBindValue(load);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    };
    alarm(0, 2); // mains failure ...
    for (int m = 0; m <= 12; ++m)
        sample(m, 40);
    alarm(12, 4); // ... battery low ...
    alarm(14, 3); // ... mains back
    alarm(600, 2);
    sample(601, 35);
    alarm(603, 3); // cut short
    alarm(700, 12); // a self-test to battery low, two hours after the last discharge
    for (int m = 700; m <= 708; ++m)
        sample(m, 30);
    alarm(708, 4);
    alarm(709, 13);
    alarm(800, 2, "Upstairs");
    alarm(805, 4, "Upstairs");

    const DischargeHistory::Result read = DischargeHistory::read(Database::fileName(), QString());
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.discharges.size(), 2);
    QCOMPARE(read.cutShort, 1);
    QVERIFY(read.discharges[0].fullStart && !read.discharges[1].fullStart);
    QCOMPARE(read.discharges[0].lowMs - read.discharges[0].points.first().ms, 12 * 60000LL);
    QCOMPARE(read.discharges[0].points.last().volts, 24.0); // the voltage's curve comes back too
    DischargeModel model;
    QVERIFY(model.learn(read.discharges[0]));
    QVERIFY(std::abs(model.predict(40, 0).seconds - 720) < 1);
    QCOMPARE(DischargeHistory::read(Database::fileName(), "Upstairs").discharges.size(), 1);
}

// An ageing battery's discharges stored as the program stores them (a mains failure, a sample
// every 30 s, battery low, the mains back), at changing loads: each comes back with the share of
// its first capacity the simulation gave it, its load and duration, and the date its trend
// reaches the worn line agrees with a straight line fitted to the true capacities.
void TestDischargeModel::healthOfAnAgeingBattery()
{
    TestRoot root(TestRoot::WithDatabase);
    const double a = 1500, n = 1.25;
    const QDateTime t0(QDate(2026, 1, 5), QTime(9, 0));
    const QString stamp = QStringLiteral("yyyy-MM-dd hh:mm:ss");
    QSqlQuery q;
    const auto store = [&](const QDateTime &start, double load, double capacity,
                           const QString &ups) {
        const int seconds = int(capacity * a * std::pow(load / 100, -n));
        q.prepare("insert into alarm(dateTime, alarm, ups) values(?, 2, ?), (?, 4, ?), (?, 3, ?)");
        for (int after : {0, seconds, seconds + 60}) {
            q.addBindValue(start.addSecs(after).toString(stamp));
            q.addBindValue(ups);
        }
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
        q.prepare("insert into device_data(dateTime, load, battVol, ups) with recursive c(i) as "
                  "(select 0 union all select i + 1 from c where (i + 1) * 30 < ?) "
                  "select datetime(?, '+' || (i * 30) || ' seconds'), ?, 24, ? from c");
        q.addBindValue(seconds);
        q.addBindValue(start.toString(stamp));
        q.addBindValue(load);
        q.addBindValue(ups);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    };
    // New for two discharges, then losing 4 % every twenty days.
    const double loads[] = {30, 55, 40, 62, 35, 48};
    QVector<double> capacity, days;
    for (int k = 0; k < 6; ++k) {
        capacity.append(k < 2 ? 1.0 : 1.0 - 0.04 * (k - 1));
        days.append(20.0 * k);
        store(t0.addDays(20 * k), loads[k], capacity[k], QString(""));
    }
    // A discharge cut short by the mains teaches nothing.
    q.exec(QString("insert into alarm(dateTime, alarm, ups) values('%1', 2, ''), ('%2', 3, '')")
               .arg(t0.addDays(110).toString(stamp), t0.addDays(110).addSecs(90).toString(stamp)));

    BatteryHealthHistory::Result read = BatteryHealthHistory::read(Database::fileName(), QString());
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.points.size(), 6);
    QCOMPARE(read.cutShort, 1);
    for (int k = 0; k < 6; ++k) {
        const DischargeModel::Measured &m = read.points[k];
        const QString at = QStringLiteral("discharge %1: health %2").arg(k).arg(m.health);
        QVERIFY2(std::abs(m.health - capacity[k]) < 0.015, qPrintable(at));
        QVERIFY2(std::abs(m.load - loads[k]) < 0.01, qPrintable(at));
        QCOMPARE(m.startMs, t0.addDays(20 * k).toMSecsSinceEpoch());
        QCOMPARE((m.lowMs - m.startMs) / 1000,
                 qint64(capacity[k] * a * std::pow(loads[k] / 100, -n)));
    }
    // The reference: the true capacities' straight line meets 0.8 about day 105, within the
    // three months after the last discharge (day 100), as the notice has it.
    double st = 0, sc = 0, stt = 0, stc = 0;
    for (int k = 0; k < 6; ++k) {
        st += days[k];
        sc += capacity[k];
        stt += days[k] * days[k];
        stc += days[k] * capacity[k];
    }
    const double slope = (6 * stc - st * sc) / (6 * stt - st * st);
    const double crossing = (0.8 - (sc - slope * st) / 6) / slope;
    const double projected = double(read.wornMs - t0.toMSecsSinceEpoch()) / 86400000.0;
    QVERIFY2(
        read.wornMs > 0 && std::abs(projected - crossing) < 4,
        qPrintable(QStringLiteral("projected day %1, the line's %2").arg(projected).arg(crossing)));
    QVERIFY(read.wearing && !read.worn);

    // One more, below the line: worn, and no date ahead.
    store(t0.addDays(120), 45, 0.76, QString(""));
    read = BatteryHealthHistory::read(Database::fileName(), QString());
    QCOMPARE(read.points.size(), 7);
    QVERIFY(read.worn && !read.wearing && read.wornMs < 0);

    // A watched UPS keeps its own: one discharge, whole; too little for a trend.
    store(t0.addDays(3), 50, 1.0, QStringLiteral("Upstairs"));
    read = BatteryHealthHistory::read(Database::fileName(), QStringLiteral("Upstairs"));
    QCOMPARE(read.points.size(), 1);
    QVERIFY(std::abs(read.points[0].health - 1) < 1e-6 && read.wornMs < 0 && !read.wearing);
    QVERIFY(
        BatteryHealthHistory::read(Database::fileName(), QStringLiteral("Attic")).points.isEmpty());
    // A file that is not there: an error, no figures.
    read = BatteryHealthHistory::read(Database::fileName() + ".gone", QString());
    QVERIFY(!read.error.isEmpty() && read.points.isEmpty());
}

QTEST_GUILESS_MAIN(TestDischargeModel)
#include "tst_dischargemodel.moc"
