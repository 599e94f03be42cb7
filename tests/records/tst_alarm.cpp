#include "alarm.h"
#include "alarmtexts.h"
#include "clock.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "testroot.h"

#include <QtTest>

using namespace RecordProbe;

class TestAlarm : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;
    Alarm m_alarm {&m_writer};

    static int storedRows(int code = -1)
    {
        return code < 0
            ? sqlCount(QStringLiteral("select count(*) from alarm"))
            : sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
    }

    void tick() { m_alarm.onTimerEvent(); }

    // Lines of "offset text|text|...": consecutive offsets from the one in front.
    static QMap<int, QString> parseTable(const char *table)
    {
        QMap<int, QString> texts;
        const QStringList lines =
            QString::fromUtf8(table).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const int first = line.left(2).toInt(nullptr, 16);
            const QStringList parts = line.mid(3).split(QLatin1Char('|'));
            for (int i = 0; i < parts.size(); ++i)
                texts.insert(first + i, parts.at(i));
        }
        return texts;
    }

private slots:
    void init()
    {
        // Forget what the previous case left: listed alarms and pending expiries.
        Clock::setNow(QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)));
        m_alarm.clearAlarms();
        Clock::advance(3600);
        tick();
        QCOMPARE(m_alarm.alarmNum(), 0);
    }

    void catalogueTexts()
    {
        const QMap<int, QString> events = parseTable(expectedEvents);
        const QMap<int, QString> one = parseTable(expectedFamilyOne);
        const QMap<int, QString> two = parseTable(expectedFamilyTwo);
        QCOMPARE(events.size(), 24);
        QCOMPARE(one.size(), 106);
        QCOMPARE(two.size(), 81);
        for (int code = 0; code < events.size(); ++code)
            QCOMPARE(Alarm::alarmText(code), events.value(code));
        const QString prefix = QStringLiteral("Returned from: ");
        for (int n = 0; n < 16 * 13; ++n) {
            QCOMPARE(Alarm::alarmText(0x10000 + n), one.value(n));
            QCOMPARE(Alarm::alarmText(0x20000 + n), two.value(n));
            QCOMPARE(Alarm::alarmText(0x10000 + 500 + n),
                     one.contains(n) ? prefix + one.value(n) : QString());
            QCOMPARE(Alarm::alarmText(0x20000 + 500 + n),
                     two.contains(n) ? prefix + two.value(n) : QString());
        }
        QVERIFY(Alarm::alarmText(0x20076).contains(QChar(0x2103)));

        // Outside both families and the events there is no text, and never the prefix alone.
        for (int code : {24, 100, 0xFFFF, -1, -0x10000, 0x30000, 0x30000 + 500, 0x10000 + 500 + 6,
                         0x10000 + 16 * 13, 0x7FFFFFFF})
            QVERIFY2(Alarm::alarmText(code).isEmpty(), qPrintable(QString::number(code, 16)));
    }

    void lastingAlarm()
    {
        Alarm *alarm = &m_alarm;
        QSignalSpy changed(alarm, &Alarm::alarmNumChanged);
        const int rowsBefore = storedRows();

        QVERIFY(alarm->addAlarm(Alarm::MainsFault));
        QVERIFY(alarm->addAlarm(Alarm::MainsFault));
        QCOMPARE(alarm->alarmNum(), 1);
        QCOMPARE(storedRows() - rowsBefore, 1);
        const QVariantMap entry = alarm->allAlarm().value(0).toMap();
        QCOMPARE(entry.value(QStringLiteral("time")).toString(),
                 QStringLiteral("2024-03-01 13:00:00"));

        // A lasting alarm does not expire; codes without text change nothing.
        Clock::advance(600);
        tick();
        for (int code : {24, 0x10006, 0x30000, -1}) {
            QVERIFY(!alarm->addAlarm(code));
            alarm->addEvent(code);
        }
        QCOMPARE(currentAlarmTexts(&m_alarm), QStringList({QStringLiteral("Input voltage fault")}));
        QCOMPARE(storedRows() - rowsBefore, 1);

        alarm->delAlarm(Alarm::BattVolLow);
        QCOMPARE(changed.count(), 1);
        alarm->delAlarm(Alarm::MainsFault);
        QCOMPARE(alarm->alarmNum(), 0);
        QCOMPARE(changed.count(), 2);

        // Listed in the order raised, families and returns included.
        QVERIFY(alarm->addAlarm(Alarm::UPSFault));
        QVERIFY(alarm->addAlarm(0x10059));
        QVERIFY(alarm->addAlarm(0x20000 + 500 + 0x76));
        QVERIFY(alarm->addAlarm(Alarm::BattVolLow));
        alarm->delAlarm(0x10059);
        QCOMPARE(currentAlarmTexts(&m_alarm),
                 QStringList({QStringLiteral("UPS fault"),
                              QString::fromUtf8("Returned from: Ambient temperature "
                                                ">40\u2103 or < -20\u2103"),
                              QStringLiteral("Battery voltage low")}));
        QCOMPARE(storedRows(0x20000 + 500 + 0x76), 1);
        // The network server's alarms: the UPS's own faults, not its returns or the low battery.
        QCOMPARE(alarm->standingAlarmTexts(), QStringList {QStringLiteral("UPS fault")});
    }

    void timedEvents()
    {
        Alarm *alarm = &m_alarm;
        const int rowsBefore = storedRows(Alarm::BuzzerOn);
        // A timed event is never among the standing alarms, not even as it is announced.
        QStringList standing {QStringLiteral("unread")};
        QObject listener;
        connect(alarm, &Alarm::alarmNumChanged, &listener,
                [&] { standing = alarm->standingAlarmTexts(); });

        // The expiry check runs only while a timed event waits.
        const auto *expiry = alarm->findChild<QTimer *>(QStringLiteral("expiryTimer"));
        QVERIFY(expiry && !expiry->isActive());
        alarm->addEvent(Alarm::BuzzerOn);
        QVERIFY(expiry->isActive());
        QCOMPARE(standing, QStringList());
        Clock::advance(5);
        tick();
        alarm->addEvent(Alarm::BuzzerOn); // restarts the lifetime, no second row
        QCOMPARE(storedRows(Alarm::BuzzerOn) - rowsBefore, 1);
        Clock::advance(10);
        tick();
        QCOMPARE(alarm->alarmNum(), 1); // 15 s after the first, 10 s after the second raising
        Clock::advance(1);
        tick();
        QCOMPARE(alarm->alarmNum(), 0);
        QVERIFY(!expiry->isActive());
        alarm->addAlarm(Alarm::MainsFault); // a lasting alarm needs no check
        QVERIFY(!expiry->isActive());
        alarm->delAlarm(Alarm::MainsFault);

        // After expiry the event is new again: listed and stored.
        alarm->addEvent(Alarm::BuzzerOn);
        QCOMPARE(storedRows(Alarm::BuzzerOn) - rowsBefore, 2);
        QCOMPARE(alarm->alarmNum(), 1);

        // The difference is taken unsigned: a clock set back makes the event expire at once.
        Clock::advance(-30);
        tick();
        QCOMPARE(alarm->alarmNum(), 0);

        // A cancel carries who and from where; a second one within the lifetime is someone
        // else's act, stored too.
        const int cancelsBefore = storedRows(Alarm::ShutdownCancelled);
        alarm->addEvent(Alarm::ShutdownCancelled, QStringLiteral("ann, tray menu"));
        alarm->addEvent(Alarm::ShutdownCancelled, QStringLiteral("bob, countdown card"));
        QCOMPARE(storedRows(Alarm::ShutdownCancelled) - cancelsBefore, 2);
        QCOMPARE(sqlCount(QStringLiteral("select count(*) from alarm where detail = ?"),
                          QStringLiteral("bob, countdown card")),
                 1);
        QCOMPARE(currentAlarmTexts(alarm),
                 QStringList({QStringLiteral("Shutdown countdown cancelled (bob, countdown card)")}));
    }

    void mainsFailsAndReturnsInOneSecond()
    {
        Alarm *alarm = &m_alarm;
        const int rowsBefore = storedRows();
        alarm->delAlarm(Alarm::MainsNormal);
        alarm->addAlarm(Alarm::MainsFault);
        alarm->delAlarm(Alarm::MainsFault);
        alarm->addEvent(Alarm::MainsNormal);
        QCOMPARE(currentAlarmTexts(&m_alarm),
                 QStringList({QStringLiteral("Input voltage returns to normal")}));
        QCOMPARE(storedRows() - rowsBefore, 2);
        Clock::advance(11);
        tick();
        QCOMPARE(alarm->alarmNum(), 0);
    }

    void clearingKeepsExpiry()
    {
        Alarm *alarm = &m_alarm;
        alarm->addEvent(Alarm::SelfTest);
        alarm->addAlarm(Alarm::MainsFault);
        QSignalSpy changed(alarm, &Alarm::alarmNumChanged);
        alarm->clearAlarms();
        QCOMPARE(alarm->alarmNum(), 0);
        QCOMPARE(changed.count(), 1);
        alarm->addAlarm(Alarm::CommLost);

        // The expiry entry of the cleared event survives; raised again as a lasting alarm in the
        // meantime, it is still taken off when that entry runs out.
        alarm->addAlarm(Alarm::SelfTest);
        Clock::advance(11);
        tick();
        QCOMPARE(currentAlarmTexts(&m_alarm), QStringList({QStringLiteral("Communication lost")}));
    }
};

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
