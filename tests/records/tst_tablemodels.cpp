#include "paths.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "tablemodelselftest.h"
#include "testroot.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

class TestTableModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void devDataRangesAndFormatting();
    void invalidDateTextsSelectNothing();
    void selfTestDurationsAndSamples();
    void alarmTexts();

private:
    TestRoot m_root;
};

void TestTableModels::initTestCase()
{
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) values ('2024-03-09 23:59:59', 220, 220, 10, 50, 13.5, 25), "
        "('2024-03-10 00:00:00', 229.96, 230.04, 37, 49.96, 13.456, 24.26), "
        "('2024-03-10 12:00:00', 231, 230, 38, 50, 13.5, 25), "
        "('2024-03-10 23:59:59', 232, 230, 39, 50.04, 13.444, 25.55), "
        "('2024-03-11 00:00:00', 233, 230, 40, 50, 13.5, 25)")));
}

void TestTableModels::devDataRangesAndFormatting()
{
    TableModelDevData model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 0); // nothing until the first selection

    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QStringList times;
    for (int r = 0; r < model.rowCount(); ++r)
        times << model.data(model.index(r, 0), 257).toString();
    // Whole day, both ends inclusive, newest first; neighbours left out.
    QCOMPARE(
        times,
        QStringList({QStringLiteral("2024-03-10 23:59:59"), QStringLiteral("2024-03-10 12:00:00"),
                     QStringLiteral("2024-03-10 00:00:00")}));
    const QModelIndex oldest = model.index(2, 0);
    QVariantList values;
    for (int role = 258; role <= 263; ++role)
        values << model.data(oldest, role);
    QCOMPARE(values, QVariantList({"230.0", "230.0", 37, "50.0", "13.46", "24.3"}));
    QVERIFY(model.data(oldest, 260).type() != QVariant::String); // the load stays a number
    // Roles below the first user role are the plain model's.
    QCOMPARE(model.data(model.index(2, 2), Qt::DisplayRole).toDouble(), 229.96);
    QVERIFY(!model.data(QModelIndex(), 258).isValid());
    QVERIFY(!model.data(oldest, 256 + 20).isValid());
    QCOMPARE(TableModelDevData::formatValue(7, QStringLiteral("-5.04")),
             QVariant(QStringLiteral("-5.0")));
    QCOMPARE(TableModelDevData::formatValue(8, 1.23456), QVariant(1.23456));

    model.selectDate(QStringLiteral("2024-03-09"), QStringLiteral("2024-03-11"));
    QCOMPARE(model.rowCount(), 5);
    model.selectDate(QStringLiteral("2024-03-11"), QStringLiteral("2024-03-09"));
    QCOMPARE(model.rowCount(), 0); // reversed
}

void TestTableModels::invalidDateTextsSelectNothing()
{
    TableModelDevData model;
    const QStringList bad {QStringLiteral("2024-03-10') or 1=1 or ('"),
                           QStringLiteral("2024-3-10"),
                           QStringLiteral("2024-02-30"),
                           QStringLiteral(""),
                           QStringLiteral("10.03.2024"),
                           QStringLiteral("2024-03-10 00:00:00")};
    for (const QString &text : bad) {
        model.selectDate(QStringLiteral("2024-03-09"), QStringLiteral("2024-03-11"));
        QCOMPARE(model.rowCount(), 5);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Refusing a date range")));
        model.selectDate(text, QStringLiteral("2024-03-11"));
        QVERIFY2(model.rowCount() == 0, qPrintable(text));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^Refusing a date range")));
        model.selectDate(QStringLiteral("2024-03-09"), text);
        QVERIFY2(model.rowCount() == 0, qPrintable(text));
    }
    QSqlQuery count(QStringLiteral("select count(*) from device_data"));
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 5);
}

void TestTableModels::selfTestDurationsAndSamples()
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into log_self_test(dateTime, duration, count) values "
                                      "('2024-03-10 08:00:00', 3725, 4), "
                                      "('2024-03-10 09:00:00', 0, 0), "
                                      "('2024-03-10 10:00:00', 360000, 1)")));
    QFile file(Paths::file(QStringLiteral("/data/self_test/20240310080000.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("0,37,100\n1,38,99\n2,bad\n3,40,98,extra\n");
    file.close();

    TableModelSelfTest model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.selfTestData().value(QStringLiteral("time")).toList().isEmpty());

    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(0, 0), 258).toString(), QStringLiteral("100:00:00"));
    QCOMPARE(model.data(model.index(1, 0), 258).toString(), QStringLiteral("00:00:00"));
    QCOMPARE(model.data(model.index(2, 0), 258).toString(), QStringLiteral("01:02:05"));
    QCOMPARE(model.data(model.index(2, 0), 259).toInt(), 4);

    QSignalSpy finished(&model, &TableModelSelfTest::readLogFinished);
    model.selectLog(2);
    QCOMPARE(finished.count(), 1);
    QVariantMap samples = model.selfTestData();
    QCOMPARE(samples.value(QStringLiteral("time")).toStringList(), QStringList({"0", "1", "3"}));
    QCOMPARE(samples.value(QStringLiteral("load")).toStringList(), QStringList({"37", "38", "40"}));
    // The last field is text as read, line end included; a fourth field is ignored.
    QCOMPARE(samples.value(QStringLiteral("battCap")).toStringList(),
             QStringList({"100\n", "99\n", "98"}));

    // A missing recording and a row that does not exist: signalled, previous samples kept.
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^Cannot read the self-test")));
    model.selectLog(1);
    QCOMPARE(finished.count(), 2);
    QCOMPARE(model.selfTestData(), samples);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^No self-test recording")));
    model.selectLog(42);
    QCOMPARE(finished.count(), 3);
    QCOMPARE(model.selfTestData(), samples);
}

void TestTableModels::alarmTexts()
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into alarm(dateTime, alarm) values "
                                      "('2024-03-10 01:00:00', 2), "
                                      "('2024-03-10 02:00:00', 65536 + 500 + 89), "
                                      "('2024-03-10 03:00:00', 65536 + 6), "
                                      "('2024-03-11 00:00:00', 3)")));
    TableModelAlarm model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(0, 0), 258).toString(), QString()); // a code without text
    QCOMPARE(model.data(model.index(1, 0), 258).toString(),
             QStringLiteral("Returned from: RBC needs replacement"));
    QCOMPARE(model.data(model.index(2, 0), 258).toString(), QStringLiteral("Input voltage fault"));
    QCOMPARE(model.data(model.index(2, 2), Qt::DisplayRole).toInt(), 2); // the stored code
}

QTEST_MAIN(TestTableModels)
#include "tst_tablemodels.moc"
