// How well the learned runtime predicts, beside the UPS's own figure and a two-point hand
// calibration, on simulated batteries the tests never use: two learned discharges at two loads
// (then one alone), then discharges at other loads, each read from 10 % to 80 % of its length,
// with the battery voltage as a standby unit reports it (to the tenth of a volt).
#include "batterypack.h"
#include "benchfigures.h"
#include "dischargemodel.h"
#include "dischargetracker.h"
#include "upsmodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cmath>
#include <cstdio>

namespace {

struct Battery
{
    const char *name;
    const char *pack;
    int ratedCurrent;
};

// Fresh and aged, small and large, gentle and steep exponents, UPS figures high and low.
const Battery Batteries[] = {
    {"7 Ah n=1.30 new, UPS x0.65", "ah=7 peukert=1.30 ohms=0.08 factor=0.65", 4},
    {"9 Ah n=1.15 new, UPS x1.40", "ah=9 peukert=1.15 ohms=0.05 factor=1.4", 4},
    {"12 Ah n=1.22 aged, UPS x1.50",
     "ah=12 peukert=1.22 ohms=0.05 cycles=150 fadecycle=0.1 years=3 fadeyear=4 factor=1.5", 4},
    {"18 Ah n=1.10 large, UPS x0.70", "ah=18 peukert=1.10 ohms=0.03 factor=0.7", 6},
    {"5 Ah n=1.35 worn, UPS x1.30",
     "ah=5 peukert=1.35 ohms=0.12 cycles=300 fadecycle=0.08 years=4 fadeyear=3 factor=1.3", 3},
    {"10 Ah n=1.48 steep, UPS x0.80",
     "ah=10 peukert=1.48 ohms=0.07 years=1 fadeyear=5 factor=0.8", 4},
};
const int LearnLoads[] = {30, 70};
const int TestLoads[] = {20, 45, 55, 85};

struct Reading
{
    double second;
    double load;
    double charge;
    int upsSeconds;
    bool low;
    double volts; // the string's, to the tenth of a volt a standby unit reports
};

// One discharge from full at a steady load, a reading a second, until battery low.
QVector<Reading> discharge(UpsModel &ups, int load)
{
    ups.setMains(true);
    ups.setCapacity(100);
    ups.setLoad(load);
    ups.setMains(false);
    QVector<Reading> out;
    for (int s = 0; s < 24 * 3600; ++s) {
        const bool low = ups.statusBits() & 0x02;
        out.append({double(s), double(ups.load()), ups.capacity(), ups.remainingSeconds(), low,
                    std::round(ups.batteryVoltage() * 10.0) / 10.0});
        if (low)
            break;
        ups.advance(1.0);
    }
    ups.setMains(true);
    return out;
}

// Feeds a discharge to the tracker (after a charged spell on mains); its readings at `ms`.
void feed(DischargeTracker &tracker, const QVector<Reading> &run, qint64 originMs,
          const std::function<void(const Reading &, qint64)> &each = {})
{
    tracker.update(originMs - 1000, false, false, 30, 100);
    for (const Reading &r : run) {
        const qint64 ms = originMs + qint64(r.second * 1000);
        tracker.update(ms, true, r.low, r.load, r.charge, r.volts);
        if (each)
            each(r, ms);
    }
    tracker.update(originMs + qint64(run.last().second * 1000) + 1000, false, false, 30, 100);
}

struct Errors
{
    QVector<double> learned, ups, hand;
};

// Two-point hand calibration: the runtimes from full to low at two loads make a power law,
// scaled by the charge the UPS reports.
double handFigure(double t1, double l1, double t2, double l2, double load, double charge)
{
    const double n = std::log(t1 / t2) / std::log(l2 / l1);
    return charge / 100.0 * t1 * std::pow(load / l1, -n);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::printf("battery                          learned p50/p90 (2 runs)  (1 run)      "
                "UPS p50/p90     hand p50/p90   health (true)\n");
    Errors all2, all1;
    double worstHealth = 0;
    qint64 clock = 1000000;
    for (const Battery &b : Batteries) {
        UpsModel ups;
        ups.setSpeed(0);
        ups.setRatings(230, b.ratedCurrent, 24, 50);
        QString why;
        if (!ups.setPack(QString::fromLatin1(b.pack).split(QLatin1Char(' ')), &why)) {
            std::fprintf(stderr, "bad pack %s: %s\n", b.pack, qPrintable(why));
            return 1;
        }
        const double newCapacity = ups.pack().usableAmpHours(30.5);
        DischargeModel two, one;
        DischargeTracker tracker;
        double handT[2] = {0, 0};
        for (int i = 0; i < 2; ++i) {
            const QVector<Reading> run = discharge(ups, LearnLoads[i]);
            handT[i] = run.last().second;
            feed(tracker, run, clock);
            clock += 86400000;
            two.learn(tracker.discharge());
            if (i == 0)
                one.learn(tracker.discharge());
        }
        Errors e2, e1;
        for (int load : TestLoads) {
            const QVector<Reading> run = discharge(ups, load);
            const double length = run.last().second;
            feed(tracker, run, clock, [&](const Reading &r, qint64 ms) {
                if (r.second < 0.1 * length || r.second > 0.8 * length)
                    return;
                const double actual = length - r.second;
                const DischargeModel::Prediction p2 = tracker.predict(two, r.load, ms);
                const DischargeModel::Prediction p1 = tracker.predict(one, r.load, ms);
                e2.learned.append(std::abs(p2.seconds - actual) / actual);
                e1.learned.append(std::abs(p1.seconds - actual) / actual);
                e2.ups.append(std::abs(r.upsSeconds - actual) / actual);
                e2.hand.append(std::abs(handFigure(handT[0], LearnLoads[0], handT[1],
                                                   LearnLoads[1], r.load, r.charge) -
                                        actual) /
                               actual);
            });
            clock += 86400000;
        }
        // Health: the battery ages three years at 5 % a year, then three discharges at the
        // learned loads; their measure against the first two, beside the pack's own fade.
        DischargeModel health = two;
        ups.setPack({QStringLiteral("fadeyear=%1").arg(ups.pack().fadePerYear + 5),
                     QStringLiteral("years=%1").arg(ups.pack().years + 3)},
                    nullptr);
        for (int i = 0; i < 3; ++i) {
            feed(tracker, discharge(ups, LearnLoads[i % 2]), clock);
            clock += 86400000;
            health.learn(tracker.discharge());
        }
        const double trueRatio = ups.pack().usableAmpHours(30.5) / newCapacity;
        const double measured = health.health();
        const double healthError = std::abs(measured - trueRatio) / trueRatio;
        worstHealth = std::max(worstHealth, healthError);
        using BenchFigures::percentile;
        std::printf("%-32s %5.1f %% / %5.1f %%      %5.1f / %5.1f %%  %5.1f / %5.1f %%  "
                    "%5.1f / %5.1f %%  %4.2f (%4.2f)\n",
                    b.name, 100 * percentile(e2.learned, 0.5), 100 * percentile(e2.learned, 0.9),
                    100 * percentile(e1.learned, 0.5), 100 * percentile(e1.learned, 0.9),
                    100 * percentile(e2.ups, 0.5), 100 * percentile(e2.ups, 0.9),
                    100 * percentile(e2.hand, 0.5), 100 * percentile(e2.hand, 0.9),
                    measured, trueRatio);
        all2.learned += e2.learned;
        all1.learned += e1.learned;
        all2.ups += e2.ups;
        all2.hand += e2.hand;
    }
    using BenchFigures::percentile;
    std::printf("%-32s %5.1f %% / %5.1f %%      %5.1f / %5.1f %%  %5.1f / %5.1f %%  "
                "%5.1f / %5.1f %%  %.1f %% off at most\n",
                "all", 100 * percentile(all2.learned, 0.5), 100 * percentile(all2.learned, 0.9),
                100 * percentile(all1.learned, 0.5), 100 * percentile(all1.learned, 0.9),
                100 * percentile(all2.ups, 0.5), 100 * percentile(all2.ups, 0.9),
                100 * percentile(all2.hand, 0.5), 100 * percentile(all2.hand, 0.9),
                100 * worstHealth);

    // What a prediction costs: the tracker's share used and the model's figure, mid-discharge.
    UpsModel ups;
    ups.setSpeed(0);
    ups.setPack({QStringLiteral("ah=9")}, nullptr);
    DischargeModel model;
    DischargeTracker tracker;
    feed(tracker, discharge(ups, 30), clock);
    model.learn(tracker.discharge());
    feed(tracker, discharge(ups, 70), clock + 86400000);
    model.learn(tracker.discharge());
    const QVector<Reading> run = discharge(ups, 50);
    tracker.update(0, false, false, 50, 100);
    for (int i = 0; i < run.size() / 2; ++i)
        tracker.update(1000 + i * 1000, true, false, run[i].load + (i % 7), run[i].charge,
                       run[i].volts);
    QElapsedTimer timer;
    timer.start();
    const int calls = 200000;
    double sink = 0;
    for (int i = 0; i < calls; ++i)
        sink += tracker.predict(model, 50, 1000 + run.size() * 500 + i).seconds;
    std::printf("prediction: %.2f us each (%d calls, %d readings in the discharge)%s\n",
                timer.nsecsElapsed() / 1000.0 / calls, calls, run.size() / 2,
                sink < 0 ? " " : "");
    // Learning: eight hour-long discharges with a reading a second and a load that never
    // settles, as the pool's thread learns them.
    DischargeModel::Discharge busy;
    for (int i = 0; i < 3600; ++i)
        busy.points.append({i * 1000LL, 20.0 + (i * 7919 % 600) / 10.0});
    busy.lowMs = 3600 * 1000LL;
    timer.restart();
    DischargeModel learner;
    int taken = 0;
    for (int i = 0; i < DischargeModel::Kept; ++i) {
        for (DischargeModel::Point &p : busy.points)
            p.ms += 86400000LL;
        busy.lowMs += 86400000LL;
        taken += learner.learn(busy) ? 1 : 0;
    }
    std::printf("learning: %.2f ms for %d hour-long discharges of 3600 readings each\n",
                timer.nsecsElapsed() / 1e6, taken);
    // The pace of an hour-long discharge under way, a reading a second with its voltage, as
    // the tracker works it out again every five seconds.
    for (int i = 0; i < busy.points.size(); ++i)
        busy.points[i].volts = 26.0 - 2.0 * i / busy.points.size() - busy.points[i].load * 0.01;
    const int paces = 200;
    timer.restart();
    for (int i = 0; i < paces; ++i)
        sink += model.pace(busy.points, 0, busy.lowMs - i).logRate;
    std::printf("pace: %.1f us for a discharge of %d readings%s\n",
                timer.nsecsElapsed() / 1000.0 / paces, busy.points.size(), sink < 0 ? " " : "");
    return 0;
}
