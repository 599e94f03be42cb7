// The protection decision alone, against a model of the sequence that carries it out: random
// event sequences for one to three supplies (on mains, on battery, low, FSD, silent, gone) with
// random settings and ticks of the clock, and the invariants that make it protection: a supply
// set that cannot feed this computer always ends in a shutdown; the end never comes after the
// condition went unless it was committed; a cancel is never lost; a countdown is never
// lengthened; the user's cancel is not undone by the same condition. A supply on battery with
// less backup left than the minimum runtime set counts as one at battery low.
#include "protectiondecision.h"

#include <QtTest>

using namespace Protection;

namespace {

enum class Event { Mains, Battery, Low, Forced, Silent };

// The sequence as far as the decision can see it: a countdown ticking down, the end committed
// at ten seconds left when the UPS switch-off is on.
struct Model
{
    Countdown countdown;
    Memory memory;
    bool ended = false; // the countdown reached its end since the condition began
    bool cancelledByUser = false;
};

struct Scenario
{
    Settings settings;
    bool upsOff = false;
    QList<Supply> supplies;
};

Supply reading(const QString &name, Event event, const Supply &before, int runtime = -1)
{
    Supply s;
    s.name = name;
    if (event == Event::Silent) {
        s = before;
        s.answering = false;
        return s;
    }
    s.answering = s.everSeen = true;
    s.onBattery = event == Event::Battery || event == Event::Low;
    s.batteryLow = event == Event::Low;
    s.forcedShutdown = event == Event::Forced;
    s.runtimeSeconds = runtime;
    return s;
}

bool belowMinimum(const Scenario &sc)
{
    int lost = 0;
    for (const Supply &s : sc.supplies)
        lost += critical(s, sc.settings.minRuntimeMinutes) ? 1 : 0;
    return sc.supplies.size() - lost < sc.settings.minimum;
}

} // namespace

class TestProtectionDecision : public QObject
{
    Q_OBJECT
private slots:
    void oneSupplyRules();
    void silentAndGoneSupplies();
    void randomSequencesKeepTheInvariants();
};

// The rules of this computer's own UPS, step by step: a low battery on battery ends in the
// low-battery countdown whatever the mains setting; the mains setting alone starts a countdown
// the low battery may shorten; FSD ends it now; the return cancels unless committed.
void TestProtectionDecision::oneSupplyRules()
{
    Settings settings;
    settings.enabled = true;
    Supply ups = reading("local", Event::Battery, {});
    Countdown countdown;
    Memory memory;

    // A mains failure alone starts nothing without minutes for it; low on battery does.
    Decision d = decide(settings, {ups}, countdown, memory);
    QCOMPARE(d.action, Action::None);
    ups = reading("local", Event::Low, ups);
    d = decide(settings, {ups}, countdown, d.memory);
    QCOMPARE(d.action, Action::Start);
    QCOMPARE(d.seconds, shortSeconds);
    QCOMPARE(d.reason, QStringLiteral("battery low"));
    settings.battLowMinutes = 2;
    QCOMPARE(decide(settings, {ups}, countdown, memory).seconds, 120);

    // With minutes for the mains: that countdown first, the low battery shortens it.
    settings.mainFaultMinutes = 5;
    ups = reading("local", Event::Battery, ups);
    d = decide(settings, {ups}, countdown, Memory());
    QCOMPARE(d.action, Action::Start);
    QCOMPARE(d.seconds, 300);
    countdown = {300, true, false};
    ups = reading("local", Event::Low, ups);
    d = decide(settings, {ups}, countdown, d.memory);
    QCOMPARE(d.action, Action::Shorten);
    QCOMPARE(d.seconds, 120);
    countdown.seconds = 120;
    // A spent battery cuts it to ten seconds.
    ups.belowCapacity = true;
    Decision cut = decide(settings, {ups}, countdown, d.memory);
    QCOMPARE(cut.action, Action::Shorten);
    QCOMPARE(cut.seconds, shortSeconds);
    ups.belowCapacity = false;

    // The mains back: cancelled, or held once committed.
    Supply back = reading("local", Event::Mains, ups);
    QCOMPARE(decide(settings, {back}, countdown, d.memory).action, Action::Cancel);
    countdown.committed = true;
    QCOMPARE(decide(settings, {back}, countdown, d.memory).action, Action::Hold);
    // Back on mains with the battery still low: the countdown it set goes on.
    back.batteryLow = true;
    QCOMPARE(decide(settings, {back}, countdown, d.memory).action, Action::None);

    // The server's FSD: the end at once, once.
    Supply forced = reading("local", Event::Forced, ups);
    d = decide(settings, {forced}, countdown, d.memory);
    QCOMPARE(d.action, Action::ForcedEnd);
    QCOMPARE(decide(settings, {forced}, countdown, d.memory).action, Action::None);

    // Less backup left than the minimum runtime: as at battery low, with its reason; none
    // known, or on mains, is never short.
    settings.minRuntimeMinutes = 5;
    d = decide(settings, {reading("local", Event::Battery, {}, 400)}, {}, Memory());
    QCOMPARE(d.action, Action::Start);
    QCOMPARE(d.seconds, 300); // the mains failure's five minutes
    const Supply shortOfTime = reading("local", Event::Battery, {}, 299);
    d = decide(settings, {shortOfTime}, {300, true, false}, d.memory);
    QCOMPARE(d.action, Action::Shorten);
    QCOMPARE(d.seconds, 120);
    QVERIFY2(d.reason.contains("299 s of backup left"), qPrintable(d.reason));
    for (const Supply &s : {reading("local", Event::Battery, {}, 300),
                            reading("local", Event::Battery, {}, -1),
                            reading("local", Event::Mains, {}, 10)})
        QVERIFY(!critical(s, settings.minRuntimeMinutes));
    settings.minRuntimeMinutes = 0;

    // Switched off: nothing, and nothing remembered.
    settings.enabled = false;
    d = decide(settings, {ups}, countdown, d.memory);
    QCOMPARE(d.action, Action::None);
    QVERIFY(d.memory == Memory());
}

// A supply that stops answering (a lost link, stale data, gone from its server) counts by what
// it was last seen as: lost when on battery or in FSD, never when on mains; a name no watched
// UPS has is never judged.
void TestProtectionDecision::silentAndGoneSupplies()
{
    Settings settings;
    settings.enabled = true;
    settings.oneSupply = false;
    settings.minimum = 1;
    Supply up = reading("up", Event::Low, {});
    Supply down = reading("down", Event::Low, {});
    Decision d = decide(settings, {up, down}, {}, {});
    QCOMPARE(d.action, Action::Start);
    QCOMPARE(d.lost, QStringList({"up", "down"}));
    QVERIFY(d.reason.contains("0 of 2 supplies"));
    const Countdown running {10, true, false};

    // One gone while low: still lost, the countdown goes on.
    down = reading("down", Event::Silent, down);
    QCOMPARE(decide(settings, {up, down}, running, d.memory).action, Action::None);
    // Gone while merely on battery: lost too, it may be gone at any moment.
    down = reading("down", Event::Battery, down);
    down = reading("down", Event::Silent, down);
    QCOMPARE(decide(settings, {up, down}, running, d.memory).lost, QStringList({"up", "down"}));
    // One last seen in FSD stays lost.
    down = reading("down", Event::Silent, reading("down", Event::Forced, down));
    up = reading("up", Event::Mains, up);
    QCOMPARE(decide(settings, {up, down}, running, d.memory).lost, QStringList({"down"}));
    // Gone on mains, or never seen, or a name nobody has: never lost.
    Supply never;
    never.name = "never";
    Supply typo = reading("typo", Event::Low, {});
    typo.known = false;
    Supply calm = reading("calm", Event::Silent, reading("calm", Event::Mains, {}));
    for (const Supply &s : {never, typo, calm})
        QVERIFY2(!critical(s), qPrintable(s.name));
}

void TestProtectionDecision::randomSequencesKeepTheInvariants()
{
    const int scenarios = 3000;
    int started = 0, cancelled = 0, held = 0, ended = 0;
    for (int seed = 1; seed <= scenarios; ++seed) {
        QRandomGenerator random(seed);
        Scenario sc;
        const int count = 1 + random.bounded(3);
        sc.settings.enabled = true;
        sc.settings.mainFaultMinutes = QList<int>({0, 0, 1, 3}).at(random.bounded(4));
        sc.settings.battLowMinutes = random.bounded(2);
        sc.settings.minimum = 1 + random.bounded(count);
        sc.settings.oneSupply = count == 1;
        sc.settings.minRuntimeMinutes = QList<int>({0, 0, 2, 5}).at(random.bounded(4));
        sc.upsOff = random.bounded(2) == 1;
        for (int i = 0; i < count; ++i)
            sc.supplies.append(reading(count == 1 ? "local" : QString("s%1").arg(i), Event::Mains, {}));
        Model m;
        QString trail;
        for (int step = 0; step < 60; ++step) {
            const int what = random.bounded(10);
            if (what < 5) {
                const int i = random.bounded(count);
                const Event event = Event(random.bounded(5));
                // The backup left: none known, or anything up to a quarter of an hour.
                const int runtime = random.bounded(3) == 0 ? -1 : random.bounded(900);
                sc.supplies[i] =
                    reading(sc.supplies.at(i).name, event, sc.supplies.at(i), runtime);
                trail += QString(" %1=%2").arg(i).arg(int(event));
            } else if (what < 9) {
                const int seconds = 1 + random.bounded(20);
                trail += QString(" +%1s").arg(seconds);
                for (int t = 0; t < seconds && m.countdown.seconds > 0; ++t) {
                    if (sc.upsOff && m.countdown.seconds <= 10)
                        m.countdown.committed = true;
                    if (--m.countdown.seconds == 0) {
                        m.ended = true;
                        ++ended;
                        // The end never comes once the condition is gone, unless committed.
                        const bool present =
                            belowMinimum(sc) || m.memory.mainsTaken || m.memory.lowTaken;
                        QVERIFY2(present || m.countdown.committed || !m.countdown.startedByUps,
                                 qPrintable(QString("seed %1:%2").arg(seed).arg(trail)));
                    }
                }
            } else if (m.countdown.seconds > 0 && !m.countdown.committed) {
                trail += " cancel";
                m.countdown = Countdown();
                m.cancelledByUser = true;
            }

            const Countdown before = m.countdown;
            const Decision d = decide(sc.settings, sc.supplies, m.countdown, m.memory);
            const QString where = QString("seed %1:%2 -> %3 %4")
                                      .arg(seed)
                                      .arg(trail)
                                      .arg(actionName(d.action))
                                      .arg(d.seconds);
            switch (d.action) {
            case Action::Start:
                QVERIFY2(before.seconds == 0 && d.seconds > 0, qPrintable(where));
                m.countdown = {d.seconds, true, false};
                m.ended = false;
                ++started;
                break;
            case Action::Shorten:
                QVERIFY2(d.seconds > 0 && d.seconds < before.seconds, qPrintable(where));
                m.countdown.seconds = d.seconds;
                break;
            case Action::Cancel:
                QVERIFY2(before.startedByUps && !before.committed, qPrintable(where));
                m.countdown = Countdown();
                ++cancelled;
                break;
            case Action::Hold:
                QVERIFY2(before.committed, qPrintable(where));
                m.countdown.startedByUps = false;
                ++held;
                break;
            case Action::ForcedEnd:
                m.countdown.seconds = qMin(qMax(before.seconds, 1), 1);
                m.countdown.committed = true;
                break;
            case Action::None:
                break;
            }
            m.memory = d.memory;
            const bool below = belowMinimum(sc);
            // Too few supplies can feed: a countdown runs or has run, unless the user called
            // this very condition off.
            if (below && !m.cancelledByUser)
                QVERIFY2(m.countdown.seconds > 0 || m.ended || m.memory.forcedTaken,
                         qPrintable(where));
            // The condition gone: a countdown it started and nobody committed is off.
            if (!below && !m.memory.mainsTaken && !m.memory.lowTaken && before.startedByUps &&
                !before.committed)
                QVERIFY2(m.countdown.seconds == 0, qPrintable(where));
            // Once the condition is wholly gone, its next coming is a new event.
            if (!m.memory.lowTaken && !m.memory.mainsTaken)
                m.cancelledByUser = false;
        }
    }
    qInfo("%d scenarios: %d countdowns started, %d cancelled, %d held, %d ended", scenarios,
          started, cancelled, held, ended);
    QVERIFY(started > 1000 && cancelled > 100 && held > 10 && ended > 100);
}

QTEST_GUILESS_MAIN(TestProtectionDecision)
#include "tst_protectiondecision.moc"
