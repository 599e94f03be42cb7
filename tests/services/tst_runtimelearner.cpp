// The learner between the directory and a real database file: a stored discharge gives a
// prediction at once, a live one is followed second by second and learned at battery low, its
// battery voltage corrects the figure, a watched UPS has a model of its own, and every face's
// one runtime prefers the UPS's own figure.
#include "clock.h"
#include "database.h"
#include "runtimelearner.h"
#include "testroot.h"
#include "upsdirectory.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cmath>

namespace {

UpsEntry entry(const QString &name, bool onBattery, int load, bool low = false)
{
    UpsEntry e;
    e.name = name;
    e.state.link = UpsState::Link::Online;
    e.state.onBattery = onBattery;
    e.state.batteryLow = low;
    e.state.load = load;
    if (name == QLatin1String("ups")) {
        e.recordFile = Database::fileName();
        e.recordUps = QString();
    }
    return e;
}

} // namespace

class TestRuntimeLearner : public QObject
{
    Q_OBJECT
private slots:
    void learnsStoredThenLive();
};

void TestRuntimeLearner::learnsStoredThenLive()
{
    TestRoot root(TestRoot::WithDatabase);
    // Stored: ten minutes at 40 % from a mains failure to battery low.
    const QDateTime t0(QDate(2026, 5, 1), QTime(8, 0));
    QSqlQuery q;
    for (const auto &row : {qMakePair(0, 2), qMakePair(10, 4), qMakePair(11, 3)}) {
        q.prepare("insert into alarm(dateTime, alarm, ups) values(?, ?, '')");
        q.addBindValue(t0.addSecs(row.first * 60).toString("yyyy-MM-dd hh:mm:ss"));
        q.addBindValue(row.second);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
    for (int m = 0; m <= 10; ++m) {
        q.prepare("insert into device_data(dateTime, load, battVol, ups) values(?, 40, ?, '')");
        q.addBindValue(t0.addSecs(m * 60).toString("yyyy-MM-dd hh:mm:ss"));
        q.addBindValue(26.0 - 0.3 * m);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }

    Clock::setNow(QDateTime(QDate(2026, 6, 1), QTime(12, 0)));
    UpsDirectory directory;
    RuntimeLearner learner(&directory);
    QSignalSpy read(&learner, &RuntimeLearner::historyRead);
    QSignalSpy learned(&learner, &RuntimeLearner::learned);
    QSignalSpy notes(&learner, &RuntimeLearner::mailNote);
    learner.start();
    directory.setEntry(entry("ups", false, 40), {});
    // While the stored discharges are read: no figure, and why.
    UpsEntry e;
    QVERIFY(directory.find("ups", &e));
    QVERIFY(read.count() == 1 || (!e.learned.predicted && !e.learned.why.isEmpty()));
    QVERIFY(read.count() == 1 || read.wait(5000));
    QCOMPARE(read.first().at(1).toInt(), 1);
    QVERIFY(directory.find("ups", &e));
    QVERIFY2(e.learned.predicted && std::abs(*e.learned.predicted - 600) <= 1,
             qPrintable(e.learned.why));
    QVERIFY(*e.learned.low < 600 && *e.learned.high > 600);
    QCOMPARE(e.runtimeSeconds(), e.learned.predicted);
    // The UPS's own figure comes first on every face; an estimate from the charge is none.
    e.state.runtime = 7;
    QCOMPARE(e.runtimeSeconds(), std::optional<int>(420));
    e.state.runtimeEstimated = true;
    QCOMPARE(e.runtimeSeconds(), e.learned.predicted);

    // Live: two minutes at 40 %, then the load doubles.
    directory.setEntry(entry("ups", true, 40), {});
    Clock::advance(120);
    directory.setEntry(entry("ups", true, 41), {});
    QVERIFY(directory.find("ups", &e));
    QVERIFY2(std::abs(*e.learned.predicted - 600 * (1 - 120.0 / 600) * std::pow(41 / 40.0, -1.2)) < 2,
             qPrintable(QString::number(*e.learned.predicted)));
    directory.setEntry(entry("ups", true, 80), {});
    QVERIFY(directory.find("ups", &e));
    const int atEighty = *e.learned.predicted;
    QVERIFY(atEighty < 480 / 2);
    // A load outside the one learned: the band says so.
    QVERIFY(e.learned.outside);
    Clock::advance(60);
    directory.setEntry(entry("ups", true, 80, true), {});
    // Learned on the learner's own thread, then back.
    QTRY_COMPARE_WITH_TIMEOUT(learned.count(), 2, 5000);
    QVERIFY(directory.find("ups", &e));
    QCOMPARE(e.learned.predicted, std::optional<int>(0));
    QVERIFY(learner.model("ups")->exponent() != DischargeModel::UsualExponent);
    // The mains back and a new discharge: predicted afresh from a charged battery.
    directory.setEntry(entry("ups", false, 40), {});
    Clock::advance(5);
    directory.setEntry(entry("ups", true, 40), {});
    Clock::advance(5);
    directory.setEntry(entry("ups", true, 40), {});
    QVERIFY(directory.find("ups", &e));
    QVERIFY2(e.learned.predicted > 0, qPrintable(e.learned.why));
    QVERIFY(e.learned.health && *e.learned.health > 0);
    // Its voltage falls twice as fast as the stored discharge's did: the figure falls below
    // the law's.
    const DischargeModel *model = learner.model("ups");
    for (int second = 10; second <= 240; ++second) {
        UpsEntry live = entry("ups", true, 40);
        live.state.batteryVoltage = float(25.9 - 0.01 * second);
        directory.setEntry(live, {});
        Clock::advance(1);
    }
    QVERIFY(directory.find("ups", &e));
    const double law =
        model->predict(40, 240 * std::pow(0.4, model->exponent()) / model->scale()).seconds;
    QVERIFY2(*e.learned.predicted < 0.95 * law,
             qPrintable(QStringLiteral("%1 against %2").arg(*e.learned.predicted).arg(law)));
    // The daily report carries the health, handed again once a report went out.
    QVERIFY(!notes.isEmpty() && notes.last().at(0).toString() == "runtime/ups");
    notes.clear();
    learner.reportSent();
    QCOMPARE(notes.count(), 1);

    // A watched UPS: a model of its own, none learned yet, and why; one that does not answer.
    directory.setEntry(entry("Upstairs", true, 30), {});
    QVERIFY(directory.find("Upstairs", &e));
    QVERIFY(!e.learned.predicted);
    QVERIFY2(e.learned.why.contains("no discharge"), qPrintable(e.learned.why));
    UpsEntry silent = entry("Upstairs", true, 30);
    silent.state.link = UpsState::Link::Offline;
    directory.setEntry(silent, {});
    QVERIFY(directory.find("Upstairs", &e));
    QVERIFY(e.learned.why.contains("does not answer"));
    Clock::useSystemClock();
}

QTEST_GUILESS_MAIN(TestRuntimeLearner)
#include "tst_runtimelearner.moc"
