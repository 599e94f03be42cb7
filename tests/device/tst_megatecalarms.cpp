// How status bits and fault words raise and clear alarms.
#include "alarm.h"
#include "clock.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "testroot.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

QStringList listed()
{
    QStringList texts;
    const QVariantList all = Alarm::instance()->allAlarm();
    for (const QVariant &entry : all)
        texts << entry.toMap().value(QStringLiteral("alarm")).toString();
    return texts;
}

int storedRows(int code)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select count(*) from alarm where alarm = ?"));
    query.addBindValue(code);
    query.exec();
    return query.next() ? query.value(0).toInt() : -1;
}

void tick()
{
    QMetaObject::invokeMethod(Alarm::instance(), "onTimerEvent");
}

} // namespace

class TestMegatecAlarms : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

private slots:
    void init()
    {
        Clock::setNow(QDateTime(QDate(2024, 7, 1), QTime(9, 0, 0)));
        Alarm::instance()->clearAlarms();
        Clock::advance(3600);
        tick();
    }

    void statusBits_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("mains fails") << 0 << 0x01 << QStringList {"Input voltage fault"};
        QTest::newRow("mains returns")
            << 0x01 << 0 << QStringList {"Input voltage returns to normal"};
        QTest::newRow("battery low") << 0 << 0x02 << QStringList {"Battery voltage low"};
        QTest::newRow("battery back")
            << 0x02 << 0 << QStringList {"Battery voltage returns to normal"};
        QTest::newRow("bypass") << 0 << 0x04 << QStringList {"Bypass supply"};
        QTest::newRow("bypass ends") << 0x04 << 0 << QStringList {"Rectifier supply"};
        QTest::newRow("boost or buck") << 0x10 << 0x14 << QStringList {"Boost or buck activated"};
        QTest::newRow("boost or buck at once")
            << 0 << 0x14 << QStringList {"Boost or buck activated"};
        QTest::newRow("boost or buck ends")
            << 0x14 << 0x10 << QStringList {"UPS returns from boost or buck"};
        QTest::newRow("UPS fails") << 0 << 0x08 << QStringList {"UPS fault"};
        QTest::newRow("UPS recovers") << 0x08 << 0 << QStringList {"UPS returns to normal"};
        QTest::newRow("standby type alone") << 0 << 0x10 << QStringList {};
        QTest::newRow("self-test") << 0 << 0x20 << QStringList {"In self-test"};
        QTest::newRow("self-test ends") << 0x20 << 0 << QStringList {"Self-test finished"};
        QTest::newRow("power off") << 0 << 0x40 << QStringList {"In power off"};
        QTest::newRow("power back") << 0x40 << 0 << QStringList {"UPS returns from power off"};
        QTest::newRow("beeper on") << 0 << 0x80 << QStringList {"Buzzer open"};
        QTest::newRow("beeper off") << 0x80 << 0 << QStringList {"Buzzer silent"};
        QTest::newRow("several, in bit order")
            << 0x80 << 0x0B
            << QStringList {"Input voltage fault", "Battery voltage low", "UPS fault",
                            "Buzzer silent"};
        QTest::newRow("unchanged") << 0x0B << 0x0B << QStringList {};
    }

    void statusBits()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, expected);

        Megatec driver;
        driver.setStatus(quint8(from));
        Alarm::instance()->clearAlarms();
        driver.setStatus(quint8(to));
        QCOMPARE(listed(), expected);
        QCOMPARE(driver.upsData()->status, quint8(to));
        driver.reset();
    }

    void lastingAndTimed()
    {
        Megatec driver;
        const int rows = storedRows(Alarm::MainsFault);
        driver.setStatus(0x81);
        QCOMPARE(listed(), QStringList({"Input voltage fault", "Buzzer open"}));
        QCOMPARE(storedRows(Alarm::MainsFault), rows + 1);

        // The event leaves after 11 s; the lasting alarm stays while the bit is set.
        Clock::advance(11);
        tick();
        QCOMPARE(listed(), QStringList({"Input voltage fault"}));
        Clock::advance(600);
        tick();
        QCOMPARE(listed(), QStringList({"Input voltage fault"}));

        // Mains fails and returns in the same second: only the return is listed.
        driver.setStatus(0x80);
        driver.setStatus(0x81);
        driver.setStatus(0x80);
        QCOMPARE(listed(), QStringList({"Input voltage returns to normal"}));
        QCOMPARE(storedRows(Alarm::MainsFault), rows + 2);
        Clock::advance(11);
        tick();
        QCOMPARE(listed(), QStringList());
        driver.reset();
    }

    void eventRestartedWithoutSecondRow()
    {
        // A USB report that flags lost communication resets the driver without clearing the
        // list; when the UPS reports the beeper again the event is only restarted.
        Megatec driver;
        const int rows = storedRows(Alarm::BuzzerOn);
        driver.setStatus(0x80);
        Clock::advance(5);
        tick();
        driver.reset();
        Alarm::instance()->addAlarm(Alarm::CommLost);
        driver.setStatus(0x80);
        QCOMPARE(storedRows(Alarm::BuzzerOn), rows + 1);
        Clock::advance(10);
        tick();
        QVERIFY(listed().contains("Buzzer open"));
        Clock::advance(1);
        tick();
        QCOMPARE(listed(), QStringList({"Communication lost"}));
        driver.reset();
    }

    void faultWords()
    {
        Megatec driver;
        Megatec::FaultWords words {};
        words[5] = 0x0200; // offset 0x59
        words[8] = 0x0010; // offset 0x84
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(listed(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        QCOMPARE(storedRows(0x10059), 1);

        // The same words again raise nothing.
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(listed().size(), 2);
        QCOMPARE(storedRows(0x10059), 1);

        // A cleared bit becomes a timed return event.
        words[8] = 0;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(listed(),
                 QStringList({"RBC needs replacement", "Returned from: Fan inoperative"}));
        Clock::advance(11);
        tick();
        QCOMPARE(listed(), QStringList({"RBC needs replacement"}));

        // Set again: the return event goes, the fault comes back.
        words[8] = 0x0010;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        words[8] = 0;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        words[8] = 0x0010;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(listed(), QStringList({"RBC needs replacement", "Fan inoperative"}));

        driver.reset();

        // Kind 1 -> 2: the same bits are raised anew as family 2 faults; the family 1 alarms
        // stay until cleared or the link goes down.
        Alarm::instance()->clearAlarms();
        Megatec fresh;
        Megatec::FaultWords both {};
        both[1] = 0x0002; // offset 0x11
        both[2] = 0x0001; // offset 0x20
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(1, both)));
        QCOMPARE(listed(), QStringList({"-DC bus over voltage", "+DC bus discharge fail"}));
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(2, both)));
        QCOMPARE(listed(),
                 QStringList({"-DC bus over voltage", "+DC bus discharge fail",
                              "Rectifier CPLD clock source fault", "Inverter fault"}));
        // Back to kind 1: raised again only where not listed; nothing is cleared.
        QVERIFY(answer(fresh, Megatec::CmdOrvakA1, faultReply(1, both)));
        QCOMPARE(listed().size(), 4);
        fresh.reset();
    }

    void faultKindsWithoutTexts()
    {
        Megatec driver;
        Alarm::instance()->addAlarm(Alarm::MainsFault);
        Megatec::FaultWords words {};
        words[0] = 0x0007; // offsets 0, 1, 2: the codes of the first events under kind 0
        driver.setFaultWords(0, words);
        QCOMPARE(listed(), QStringList({"Input voltage fault"}));
        driver.setFaultWords(0, Megatec::FaultWords {});
        QCOMPARE(listed(), QStringList({"Input voltage fault"}));
        driver.setFaultWords(3, words);
        driver.setFaultWords(0x103, Megatec::FaultWords {}); // low byte 3
        QCOMPARE(listed(), QStringList({"Input voltage fault"}));
        // Kind 0x101 is kind 1.
        driver.setFaultWords(0x101, words);
        QCOMPARE(listed(),
                 QStringList({"Input voltage fault", "Input phase sequence error",
                              "Input voltage high", "Input voltage low"}));
        driver.reset();
    }

    void linkLoss()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("11101101")));
        Megatec::FaultWords words {};
        words[3] = 0x0008;
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        const int before = Alarm::instance()->alarmNum();
        QCOMPARE(before, 6);

        // The reset itself raises and clears nothing; the link then clears the list.
        driver.reset();
        QCOMPARE(Alarm::instance()->alarmNum(), before);
        Alarm::instance()->clearAlarms();
        Alarm::instance()->addAlarm(Alarm::CommLost);
        QCOMPARE(listed(), QStringList({"Communication lost"}));
        for (int i = 0; i < 15; ++i) {
            Clock::advance(1);
            tick();
        }
        QCOMPARE(listed(), QStringList({"Communication lost"}));

        // Back online, every flag and fault still present is raised again.
        Alarm::instance()->delAlarm(Alarm::CommLost);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("11101101")));
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, faultReply(1, words)));
        QCOMPARE(
            listed(),
            QStringList({"Input voltage fault", "Battery voltage low", "Boost or buck activated",
                         "In self-test", "Buzzer open", "Inverter fault"}));
        driver.reset();
    }
};

QTEST_GUILESS_MAIN(TestMegatecAlarms)
#include "tst_megatecalarms.moc"
