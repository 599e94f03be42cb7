// The battery's age: counted from the first answering UPS or the day the user set, due after
// the interval, told once to the window and once to the daily report, across restarts.
#include "batteryage.h"
#include "clock.h"
#include "settings.h"
#include "testroot.h"
#include "upsstate.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

UpsState answering()
{
    UpsState state;
    state.link = UpsState::Link::Online;
    return state;
}

void at(int year, int month, int day, int hour = 12)
{
    Clock::setNow(QDateTime(QDate(year, month, day), QTime(hour, 0)));
}

} // namespace

class TestBatteryAge : public QObject
{
    Q_OBJECT

private slots:
    void dueOnceAcrossRestarts();
    void userChoicesAndBadValues();

private:
    TestRoot m_root {TestRoot::WithSettings};
    Settings *settings() const { return m_root.settings(); }
};

void TestBatteryAge::dueOnceAcrossRestarts()
{
    at(2025, 1, 10);
    {
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        // Nothing is known before a UPS answers.
        age.check();
        QCOMPARE(age.installedDate(), QString());
        QCOMPARE(age.dueDate(), QString());
        QVERIFY(!age.due());
        UpsState lost;
        lost.link = UpsState::Link::Offline;
        age.updateState(lost);
        QVERIFY(!settings()->getSettings(Settings::BatteryFirstSeen).isValid());

        // The first answer dates the battery; a later one changes nothing.
        age.updateState(answering());
        QCOMPARE(settings()->getSettings(Settings::BatteryFirstSeen).toString(),
                 QStringLiteral("2025-01-10"));
        at(2025, 2, 1);
        age.updateState(answering());
        QCOMPARE(age.installedDate(), QStringLiteral("2025-01-10"));
        QCOMPARE(age.replaceMonths(), 36);
        QCOMPARE(age.dueDate(), QStringLiteral("2028-01-10"));

        at(2028, 1, 9, 23);
        age.check();
        QVERIFY(!age.due());
        QCOMPARE(due.count(), 0);
        at(2028, 1, 10, 0);
        QSignalSpy changed(&age, &BatteryAge::changed);
        age.check();
        QVERIFY(age.due());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(due.count(), 1);
        QCOMPARE(due.first().at(0).toString(), QStringLiteral("Battery replacement due"));
        QCOMPARE(due.first().at(1).toString(),
                 QStringLiteral("The UPS battery was installed on 2025-01-10 and is due for "
                                "replacement since 2028-01-10. An old battery may not carry the "
                                "computer through the next mains failure."));
        QCOMPARE(note.count(), 1);
        QCOMPARE(note.first().at(0).toString(), QStringLiteral("battery"));
        QCOMPARE(note.first().at(1).toString(), due.first().at(1).toString());
        // Each minute's check after it says nothing.
        at(2028, 1, 11);
        age.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(note.count(), 1);
    }
    {
        // A restart before the daily report: the window is not told again, the report still
        // gets its note; a report with other notes only does not count.
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        age.check();
        QCOMPARE(due.count(), 0);
        QCOMPARE(note.count(), 1);
        age.reportSent({QStringLiteral("other")});
        QVERIFY(!settings()->getSettings(Settings::BatteryNoticeMailed).isValid());
        age.reportSent({QStringLiteral("battery")});
        QCOMPARE(settings()->getSettings(Settings::BatteryNoticeMailed).toString(),
                 QStringLiteral("2028-01-10"));
    }
    {
        // Told and mailed: a restart repeats neither.
        BatteryAge age(settings());
        QSignalSpy due(&age, &BatteryAge::replacementDue);
        QSignalSpy note(&age, &BatteryAge::mailNote);
        age.start();
        QTRY_VERIFY(age.due());
        QCoreApplication::processEvents();
        age.check();
        QCOMPARE(due.count(), 0);
        QCOMPARE(note.count(), 0);

        // A new battery: the notice is armed for its own due day.
        age.setInstalledDate(QStringLiteral("2028-01-20"));
        age.setReplaceMonths(24);
        QCOMPARE(age.dueDate(), QStringLiteral("2030-01-20"));
        QVERIFY(!age.due());
        at(2030, 1, 20);
        age.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(note.count(), 1);
    }
}

void TestBatteryAge::userChoicesAndBadValues()
{
    at(2025, 6, 1);
    BatteryAge age(settings());
    QSignalSpy changed(&age, &BatteryAge::changed);
    const QString installed = age.installedDate();
    for (const char *bad : {"2025-13-01", "", "01.06.2025"}) {
        age.setInstalledDate(QString::fromLatin1(bad));
        QCOMPARE(age.installedDate(), installed);
    }
    for (int bad : {0, -3, 241}) {
        age.setReplaceMonths(bad);
        QCOMPARE(age.replaceMonths(), 24);
    }
    QCOMPARE(changed.count(), 0);
    // A hand-edited file: an interval that is no number or out of range counts as the default.
    settings()->setSettings(Settings::BatteryReplaceMonths, QStringLiteral("soon"));
    QCOMPARE(age.replaceMonths(), 36);
    settings()->setSettings(Settings::BatteryReplaceMonths, 1000);
    QCOMPARE(age.replaceMonths(), 36);
    QVERIFY(changed.count() >= 2);
    // A restore keeps the installation day (it is a fact, not a choice) and resets the interval.
    age.setReplaceMonths(12);
    settings()->restore();
    QCOMPARE(age.installedDate(), QStringLiteral("2028-01-20"));
    QCOMPARE(age.replaceMonths(), 36);
}

QTEST_GUILESS_MAIN(TestBatteryAge)
#include "tst_batteryage.moc"
