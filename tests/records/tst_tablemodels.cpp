// The history as the screens read it and as it is exported: date ranges, the shown formats, the
// self-test samples, the alarm texts, workbooks read back by a real reader, and the chart's
// reduction of a seeded day of one-second samples and a month of one-minute samples to a bounded
// number of points that keep every spike, with the alarms marked where they happened.
#include "database.h"
#include "historyseries.h"
#include "logrecorder.h"
#include "paths.h"
#include "pythonscript.h"
#include "recordprobe.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "tablemodelselftest.h"
#include "testroot.h"
#include "workbook.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const QJsonArray titles {"Date",
                         "Input Voltage(V)",
                         "Output Voltage(V)",
                         "UPS Load(%)",
                         "Input Frequency(Hz)",
                         "Battery voltage(V)",
                         QStringLiteral("Temperature(℃)")};

// One sheet, every column 20 wide (the file holds it with the cell padding added), centred.
void checkLayout(const QJsonObject &book, int columns)
{
    QCOMPARE(book.value("sheets").toArray(), QJsonArray({"Sheet1"}));
    const QJsonObject widths = book.value("widths").toObject();
    QCOMPARE(widths.size(), columns);
    for (const QString &key : widths.keys())
        QVERIFY2(widths.value(key).toDouble() >= 20 && widths.value(key).toDouble() < 21,
                 qPrintable(key));
    QCOMPARE(book.value("alignments").toArray(), QJsonArray({"center/center"}));
}

QJsonArray rowsOf(const QString &path)
{
    return PythonScript::dumpWorkbook(path).value("rows").toArray();
}

void ignoreWarning(const char *start)
{
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QLatin1Char('^') + start));
}

bool execSql(const QString &sql)
{
    QSqlQuery query;
    if (query.exec(sql))
        return true;
    qWarning() << query.lastError().text() << sql;
    return false;
}

// `count` samples from `start` every `step` seconds: 230 V in and out, 40 % load, 27 V battery,
// 30 degrees; one input spike of 290 V and one dip of 150 V at the given offsets.
bool seed(const QString &start, int count, int step, int spikeAt, int dipAt)
{
    return execSql(
        QStringLiteral(
            "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, "
            "battVol, temperature) with recursive c(i) as (select 0 union all select i + "
            "1 from c where i < %2) select datetime('%1', '+' || (i * %3) || ' seconds'), "
            "case i when %4 then 290 when %5 then 150 else 230 end, 229.5, 40 + i %% 3, "
            "50, 27 - (i %% 10) / 10.0, 30 from c")
            .arg(start)
            .arg(count - 1)
            .arg(step)
            .arg(spikeAt)
            .arg(dipAt)
            .replace(QLatin1String("%%"), QLatin1String("%")));
}

qint64 msecs(const QString &local)
{
    return QDateTime::fromString(local, QStringLiteral("yyyy-MM-dd hh:mm:ss")).toMSecsSinceEpoch();
}

} // namespace

class TestTableModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void devDataRangesAndFormatting();
    void absentReadingsStayEmpty();
    void selfTestDurationsAndSamples();
    void alarmTextsAndExport();
    void workbookLayoutAndFailures();
    void exportWritesEveryRowOfADay();
    void longSelectionExportsMinuteMeans();
    void chartReductionOfADayAndAMonth();
    void chartMarksAndNothingToShow();

private:
    TestRoot m_root;
    QTemporaryDir m_out;
};

void TestTableModels::initTestCase()
{
    LogRecorder::install();
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
    QCOMPARE(times,
             QStringList({"2024-03-10 23:59:59", "2024-03-10 12:00:00", "2024-03-10 00:00:00"}));
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

    model.selectDate(QStringLiteral("2024-03-11"), QStringLiteral("2024-03-09"));
    QCOMPARE(model.rowCount(), 0); // reversed

    // Date texts that are not a plain date select nothing, at either end.
    for (const char *bad : {"2024-03-10') or 1=1 or ('", "2024-3-10", "2024-02-30", "",
                            "10.03.2024", "2024-03-10 00:00:00"}) {
        for (int end = 0; end < 2; ++end) {
            model.selectDate(QStringLiteral("2024-03-09"), QStringLiteral("2024-03-11"));
            QCOMPARE(model.rowCount(), 5);
            ignoreWarning("Refusing a date range");
            model.selectDate(end ? QStringLiteral("2024-03-09") : QString::fromUtf8(bad),
                             end ? QString::fromUtf8(bad) : QStringLiteral("2024-03-11"));
            QVERIFY2(model.rowCount() == 0, bad);
        }
    }
    QSqlQuery count(QStringLiteral("select count(*) from device_data"));
    QVERIFY(count.next());
    QCOMPARE(count.value(0).toInt(), 5);
}

// A reading the UPS does not give (a network UPS without an output voltage, say) is stored
// empty: the table and the workbook leave its cell empty and the chart draws no point for it,
// where a 0 would pass for a reading.
void TestTableModels::absentReadingsStayEmpty()
{
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) values ('2023-06-01 10:00:00', 231, null, null, 50, 27.1, null), "
        "('2023-06-01 11:00:00', 232, null, 20, 50, 27.2, null)")));
    TableModelDevData model;
    model.selectDate(QStringLiteral("2023-06-01"), QStringLiteral("2023-06-01"));
    QCOMPARE(model.rowCount(), 2);
    QVariantList values;
    for (int role = 258; role <= 263; ++role)
        values << model.data(model.index(1, 0), role);
    QCOMPARE(values, QVariantList({"231.0", "", "", "50.0", "27.10", ""}));

    // In the workbook, readings are numbers a spreadsheet can sum, shown with the screen's
    // decimals; an absent one is an empty cell.
    const QString path = m_out.filePath(QStringLiteral("absent.xlsx"));
    QVERIFY(RecordProbe::exported(model, path));
    const QJsonObject book = PythonScript::dumpWorkbook(path);
    checkLayout(book, 7);
    QCOMPARE(book.value("rows").toArray().at(2).toArray(),
             QJsonArray({"2023-06-01 10:00:00", 231, QJsonValue(), QJsonValue(), 50, 27.1}));
    QCOMPARE(book.value("rows").toArray().at(1).toArray().at(3), QJsonValue(20));
    QCOMPARE(book.value("formats").toObject(),
             QJsonObject({{"A", QJsonArray({"yyyy-mm-dd hh:mm:ss"})},
                          {"B", QJsonArray({"0.0"})},
                          {"D", QJsonArray({"General"})},
                          {"E", QJsonArray({"0.0"})},
                          {"F", QJsonArray({"0.00"})}}));

    const HistorySeries::Result result = HistorySeries::reduce(
        m_root.file(QStringLiteral("/data/quelta.db")), QDate(2023, 6, 1), QDate(2023, 6, 1));
    QCOMPARE(result.samples, 2);
    QVERIFY(!result.points[HistorySeries::InputVoltage].isEmpty());
    QCOMPARE(result.points[HistorySeries::Load].size(), 2); // only the slice that has one
    QVERIFY(result.points[HistorySeries::OutputVoltage].isEmpty());
    QVERIFY(result.points[HistorySeries::Temperature].isEmpty());
    QVERIFY(std::isnan(result.minimum[HistorySeries::OutputVoltage]));
    QCOMPARE(result.minimum[HistorySeries::Load], 20.0);
}

void TestTableModels::selfTestDurationsAndSamples()
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into log_self_test(dateTime, duration, count) values "
                                      "('2024-03-10 08:00:00', 3725, 4), "
                                      "('2024-03-10 09:00:00', 0, 0), "
                                      "('2024-03-10 10:00:00', 360000, 1)")));
    QVERIFY(TestRoot::writeFile(Paths::file(QStringLiteral("/data/self_test/20240310080000.txt")),
                                "0,37,100\n1,38,99\n2,bad\n3,40,98,extra\n"));

    TableModelSelfTest model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(model.selfTestData().value(QStringLiteral("time")).toList().isEmpty());

    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QCOMPARE(model.rowCount(), 3);
    QStringList durations;
    for (int r = 0; r < 3; ++r)
        durations << model.data(model.index(r, 0), 258).toString();
    QCOMPARE(durations, QStringList({"100:00:00", "00:00:00", "01:02:05"}));
    QCOMPARE(model.data(model.index(2, 0), 259).toInt(), 4);

    QSignalSpy finished(&model, &TableModelSelfTest::readLogFinished);
    model.selectLog(2);
    QCOMPARE(finished.count(), 1);
    const QVariantMap samples = model.selfTestData();
    QCOMPARE(samples.value(QStringLiteral("time")).toStringList(), QStringList({"0", "1", "3"}));
    QCOMPARE(samples.value(QStringLiteral("load")).toStringList(), QStringList({"37", "38", "40"}));
    // The last field is text as read, line end included; a fourth field is ignored.
    QCOMPARE(samples.value(QStringLiteral("battCap")).toStringList(),
             QStringList({"100\n", "99\n", "98"}));

    // A missing recording and a row that does not exist: signalled, previous samples kept.
    ignoreWarning("Cannot read the self-test");
    model.selectLog(1);
    ignoreWarning("No self-test recording");
    model.selectLog(42);
    QCOMPARE(finished.count(), 3);
    QCOMPARE(model.selfTestData(), samples);
}

void TestTableModels::alarmTextsAndExport()
{
    // Never selected: the export holds the titles only; to a local-file URL with a blank and a
    // non-ASCII letter.
    TableModelDevData empty;
    const QString emptyPath = m_out.filePath(QStringLiteral("export ü.xlsx"));
    QVERIFY(RecordProbe::exported(empty, emptyPath));
    const QJsonObject emptyDump = PythonScript::dumpWorkbook(emptyPath);
    checkLayout(emptyDump, 7);
    QCOMPARE(emptyDump.value("rows").toArray(), QJsonArray({titles}));

    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into alarm(dateTime, alarm) values "
                                      "('2024-03-10 01:00:00', 2), "
                                      "('2024-03-10 02:00:00', 65536 + 500 + 89), "
                                      "('2024-03-10 03:00:00', 65536 + 6), "
                                      "('2024-03-11 00:00:00', 3)")));
    QVERIFY(query.exec(QStringLiteral("insert into alarm(dateTime, alarm, detail) values "
                                      "('2024-03-10 04:00:00', 22, 'ann, countdown card')")));
    TableModelAlarm model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(3, 2), Qt::DisplayRole).toInt(), 2); // the stored code

    // A code without text leaves its cell empty, on the screen and in the workbook.
    const QString path = m_out.filePath(QStringLiteral("alarms.xlsx"));
    QVERIFY(RecordProbe::exported(model, path));
    const QJsonObject dump = PythonScript::dumpWorkbook(path);
    checkLayout(dump, 2);
    const QJsonArray rows = dump.value("rows").toArray();
    QCOMPARE(
        rows,
        QJsonArray({QJsonArray({"Date", "Alarm"}),
                    QJsonArray({"2024-03-10 04:00:00",
                                "Shutdown countdown cancelled (ann, countdown card)"}),
                    QJsonArray({"2024-03-10 03:00:00"}),
                    QJsonArray({"2024-03-10 02:00:00", "Returned from: RBC needs replacement"}),
                    QJsonArray({"2024-03-10 01:00:00", "Input voltage fault"})}));
    for (int r = 0; r < 4; ++r)
        QCOMPARE(model.data(model.index(r, 0), 258).toString(),
                 rows.at(r + 1).toArray().at(1).toString());
}

void TestTableModels::workbookLayoutAndFailures()
{
    const QString path = m_out.filePath(QStringLiteral("helper.xlsx"));
    for (const char *second : {"second", "replaced"}) {
        Workbook book(path);
        book.setTitles({QStringLiteral("A"), QString::fromUtf8(second), QStringLiteral("温度")});
        book.write(2, 1, QStringLiteral("text"));
        book.write(2, 2, 37);
        book.write(2, 3, 1.5);
        book.write(3, 1, QString()); // blank
        book.write(3, 3, QStringLiteral("x"));
        QVERIFY2(book.save(), qPrintable(book.errorText()));
        QVERIFY(book.errorText().isEmpty());
    }
    const QJsonObject dump = PythonScript::dumpWorkbook(path);
    checkLayout(dump, 3);
    QCOMPARE(
        dump.value("rows").toArray(),
        QJsonArray({QJsonArray({"A", "replaced", QStringLiteral("温度")}),
                    QJsonArray({"text", 37, 1.5}), QJsonArray({QJsonValue(), QJsonValue(), "x"})}));
    // Nothing of the temporary part file is left beside it.
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).filter("helper"),
             QStringList({"helper.xlsx"}));

    // Rows past what a sheet holds go on in the next sheets, under the same titles (two rows a
    // sheet here; a real sheet takes a million).
    const QString longPath = m_out.filePath(QStringLiteral("long.xlsx"));
    {
        Workbook book(longPath, 2);
        book.setTitles({QStringLiteral("A"), QStringLiteral("B")});
        for (int row = 2; row <= 6; ++row) {
            book.write(row, 1, row);
            book.writeNumber(row, 2, row * 1.5, 1);
        }
        QVERIFY2(book.save(), qPrintable(book.errorText()));
    }
    const QJsonObject long_ = PythonScript::dumpWorkbook(longPath);
    QCOMPARE(long_.value("sheets").toArray(), QJsonArray({"Sheet1", "Sheet2", "Sheet3"}));
    QCOMPARE(long_.value("rows").toArray(),
             QJsonArray({QJsonArray({"A", "B"}), QJsonArray({2, 3}), QJsonArray({3, 4.5})}));
    QCOMPARE(long_.value("others").toArray(),
             QJsonArray({QJsonArray({QJsonArray({"A", "B"}), QJsonArray({4, 6}),
                                     QJsonArray({5, 7.5})}),
                         QJsonArray({QJsonArray({"A", "B"}), QJsonArray({6, 9})})}));

    // Sheets of a name of their own: what a sheet name cannot hold becomes '-', and a next
    // sheet's number fits in the 31 characters a name takes.
    {
        Workbook book(longPath, 1, QString(30, QLatin1Char('x')) + QStringLiteral("/"));
        book.setTitles({QStringLiteral("A")});
        book.write(2, 1, 1);
        book.write(3, 1, 2);
        QVERIFY2(book.save(), qPrintable(book.errorText()));
    }
    QCOMPARE(PythonScript::dumpWorkbook(longPath).value("sheets").toArray(),
             QJsonArray({QString(30, QLatin1Char('x')) + QStringLiteral("-"),
                         QString(27, QLatin1Char('x')) + QStringLiteral(" (2)")}));

    // A path under a regular file cannot be written, not even by root.
    Workbook denied(path + QStringLiteral("/x.xlsx"));
    ignoreWarning("Cannot write the workbook");
    QVERIFY(!denied.save());
    QVERIFY(!denied.errorText().isEmpty());

    // An export to a missing folder or no local file reports it and changes nothing.
    TableModelDevData model;
    ignoreWarning("Cannot write the workbook");
    QVERIFY(!RecordProbe::exported(model, m_out.filePath(QStringLiteral("no/such.xlsx"))));
    ignoreWarning("Not a local file");
    QVERIFY(!model.saveAs(QUrl(QStringLiteral("https://example.invalid/x.xlsx"))));

    // A selection that can no longer be read fails the export and keeps the old file.
    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QSqlQuery rename;
    QVERIFY(rename.exec(QStringLiteral("alter table device_data rename to device_data_away")));
    ignoreWarning("Cannot read the selection");
    QVERIFY(!RecordProbe::exported(model, path));
    QVERIFY(rename.exec(QStringLiteral("alter table device_data_away rename to device_data")));
    QCOMPARE(rowsOf(path).at(0).toArray().at(1), QJsonValue("replaced"));
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).filter("helper"),
             QStringList({"helper.xlsx"}));
}

void TestTableModels::exportWritesEveryRowOfADay()
{
    // A full day at one sample a second, plus the edges of the days around it.
    QSqlDatabase db = QSqlDatabase::database();
    // Bulk rows go in without the size trigger, whose row count would make this quadratic.
    QSqlQuery drop;
    QVERIFY(drop.exec(QStringLiteral("drop trigger device_data_trigger")));
    QVERIFY(db.transaction());
    QSqlQuery insert;
    insert.prepare(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) values(?, ?, ?, ?, ?, ?, ?)"));
    const QDateTime start(QDate(2024, 5, 1), QTime(0, 0));
    for (int i = -1; i <= 86400; ++i) {
        for (const QVariant &v :
             QVariantList {start.addSecs(i).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), 229.96,
                           230.0 + (i % 10) / 100.0, i % 101, 50.0, 13.456, 25.0})
            insert.addBindValue(v);
        QVERIFY(insert.exec());
    }
    QVERIFY(db.commit());
    Database().init();

    TableModelDevData model;
    model.selectDate(QStringLiteral("2024-05-01"), QStringLiteral("2024-05-01"));
    QVERIFY(model.rowCount() < 86400); // only the first batch is fetched so far
    const QString path = m_out.filePath(QStringLiteral("day.xlsx"));
    QVERIFY(RecordProbe::exported(model, path));

    const QJsonObject dump = PythonScript::runJson(QStringLiteral("xlsx_dump.py"),
                                                   {path, QStringLiteral("--summary")}, 300000)
                                 .object();
    QCOMPARE(dump.value("count").toInt(), 86401);
    const QJsonArray first = dump.value("first").toArray();
    QCOMPARE(first.at(0).toArray(), titles);
    // Newest first; the id is left out, so the time stamp is in column 1.
    QCOMPARE(first.at(1).toArray(),
             QJsonArray({"2024-05-01 23:59:59", 230, 230.1, 44, 50, 13.46, 25}));
    QCOMPARE(dump.value("last").toArray(),
             QJsonArray({"2024-05-01 00:00:00", 230, 230, 0, 50, 13.46, 25}));
}

// More samples than a sheet takes (301 over a limit of 100 here; a real sheet takes a million)
// go out one row per minute, each reading its minute's mean; while the summaries are still being
// filled, as samples over as many sheets as it takes; as many as fit, sample by sample.
void TestTableModels::longSelectionExportsMinuteMeans()
{
    QVERIFY(seed(QStringLiteral("2026-02-01 10:00:00"), 300, 1, 75, 200));
    // The frequency is not summarised: a minute shows its last sample's.
    QVERIFY(execSql(QStringLiteral("update device_data set inputFreq = 49.9 where dateTime = "
                                   "'2026-02-01 10:01:59'")));
    // A second sample in one second: a mean load of 41.1.
    QVERIFY(execSql(QStringLiteral("insert into device_data(dateTime, inputVol, outputVol, load, "
                                   "inputFreq, battVol, temperature) values('2026-02-01 "
                                   "10:04:30', 230, 229.5, 47, 50, 26.5, 30)")));
    TableModelDevData model;
    model.setSheetRows(100);
    model.selectDate(QStringLiteral("2026-02-01"), QStringLiteral("2026-02-01"));
    const QString path = m_out.filePath(QStringLiteral("minutes.xlsx"));
    QVERIFY(RecordProbe::exported(model, path));
    QCOMPARE(LogRecorder::count(QStringLiteral("Exported 5 per-minute means of 301 samples")), 1);

    const QJsonObject book = PythonScript::dumpWorkbook(path);
    QCOMPARE(book.value("sheets").toArray(), QJsonArray({"Per-minute means"}));
    QCOMPARE(book.value("formats").toObject(),
             QJsonObject({{"A", QJsonArray({"yyyy-mm-dd hh:mm:ss"})},
                          {"B", QJsonArray({"0.0"})},
                          {"C", QJsonArray({"0.0"})},
                          {"D", QJsonArray({"General"})},
                          {"E", QJsonArray({"0.0"})},
                          {"F", QJsonArray({"0.00"})},
                          {"G", QJsonArray({"0.0"})}}));
    const QJsonArray rows = book.value("rows").toArray();
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows.at(0).toArray(), titles);
    QSqlQuery means;
    QVERIFY(means.exec(QStringLiteral(
        "select strftime('%Y-%m-%d %H:%M:00', dateTime), avg(inputVol), avg(outputVol), "
        "avg(load), 50, avg(battVol), avg(temperature) from device_data where dateTime like "
        "'2026-02-01%' group by 1 order by 1 desc")));
    const int places[] = {1, 1, 1, 1, 2, 1};
    for (int r = 1; means.next(); ++r) {
        const QJsonArray row = rows.at(r).toArray();
        QCOMPARE(row.at(0).toString(), means.value(0).toString());
        for (int c = 1; c <= 6; ++c) {
            const double expected = r == 4 && c == 4 ? 49.9 : means.value(c).toDouble();
            QVERIFY2(std::abs(row.at(c).toDouble() - expected) <= 0.5 / std::pow(10, places[c - 1]),
                     qPrintable(QStringLiteral("row %1 column %2").arg(r).arg(c)));
        }
    }
    QCOMPARE(rows.at(1).toArray().at(3).toDouble(), 41.1); // a mean load keeps a decimal
    QCOMPARE(rows.at(4).toArray().at(1).toDouble(), 231.0); // the spike's minute

    QVERIFY(execSql(QStringLiteral("insert into summary_fill values(1, 1)")));
    QVERIFY(RecordProbe::exported(model, path));
    QVERIFY(execSql(QStringLiteral("delete from summary_fill")));
    const QJsonObject samples = PythonScript::dumpWorkbook(path);
    QCOMPARE(samples.value("sheets").toArray(),
             QJsonArray({"Sheet1", "Sheet2", "Sheet3", "Sheet4"}));
    QCOMPARE(samples.value("rows").toArray().at(1).toArray().at(0), "2026-02-01 10:04:59");
    QCOMPARE(samples.value("others").toArray().at(2).toArray().size(), 2);

    model.setSheetRows(301);
    QVERIFY(RecordProbe::exported(model, path));
    const QJsonObject fitting = PythonScript::dumpWorkbook(path);
    QCOMPARE(fitting.value("sheets").toArray(), QJsonArray({"Sheet1"}));
    QCOMPARE(fitting.value("rows").toArray().size(), 302);
}

void TestTableModels::chartReductionOfADayAndAMonth()
{
    // A day of one-second samples on 2025-03-10, and March 2025 at one sample a minute.
    QVERIFY(QSqlDatabase::database().transaction());
    QVERIFY(seed(QStringLiteral("2025-03-10 00:00:00"), 86400, 1, 50000, 70001));
    QVERIFY(seed(QStringLiteral("2025-03-01 00:00:00"), 31 * 1440, 60, 20000, 40000));
    QVERIFY(QSqlDatabase::database().commit());
    const struct
    {
        QDate first, last;
        qint64 samples;
        QString spike, dip;
    } cases[] = {
        {QDate(2025, 3, 10), QDate(2025, 3, 10), 86400 + 1440, "2025-03-10 13:53:20",
         "2025-03-10 19:26:41"},
        {QDate(2025, 3, 1), QDate(2025, 3, 31), 86400 + 31 * 1440, "2025-03-14 21:20:00",
         "2025-03-28 18:40:00"},
    };
    const QString file = m_root.file(QStringLiteral("/data/quelta.db"));
    for (const auto &c : cases) {
        const QDate &first = c.first, &last = c.last;
        const qint64 samples = c.samples;
        const QString &spike = c.spike, &dip = c.dip;
        const HistorySeries::Result result = HistorySeries::reduce(file, first, last);
        QVERIFY2(result.error.isEmpty(), qPrintable(result.error));
        QCOMPARE(result.samples, samples);
        QCOMPARE(result.fromMsecs, QDateTime(first, QTime(0, 0)).toMSecsSinceEpoch());
        QCOMPARE(result.toMsecs, QDateTime(last.addDays(1), QTime(0, 0)).toMSecsSinceEpoch());

        for (int column = 0; column < HistorySeries::ColumnCount; ++column) {
            const QVector<QPointF> &points = result.points[column];
            QVERIFY(points.size() <= 2 * HistorySeries::defaultBuckets);
            QVERIFY(points.size() >= 2 * 700);
            // Time runs forward, and every point lies inside the range.
            for (int i = 1; i < points.size(); ++i)
                QVERIFY(points.at(i).x() >= points.at(i - 1).x());
            QVERIFY(points.first().x() >= result.fromMsecs && points.last().x() <= result.toMsecs);
        }

        // The one-sample spike and dip survive, each in the slice of its time.
        const qint64 width =
            (result.toMsecs - result.fromMsecs) / HistorySeries::defaultBuckets + 1000;
        const QVector<QPointF> &input = result.points[HistorySeries::InputVoltage];
        auto near = [&](const QString &when, double value) {
            return std::any_of(input.begin(), input.end(), [&](const QPointF &p) {
                return p.y() == value && std::abs(p.x() - msecs(when)) <= width;
            });
        };
        QVERIFY(near(spike, 290));
        QVERIFY(near(dip, 150));
        QCOMPARE(result.maximum[HistorySeries::InputVoltage], 290.0);
        QCOMPARE(result.minimum[HistorySeries::InputVoltage], 150.0);
        QCOMPARE(result.minimum[HistorySeries::Load], 40.0);
        QCOMPARE(result.maximum[HistorySeries::Load], 42.0);
        QCOMPARE(result.minimum[HistorySeries::BatteryVoltage], 26.1);
        QCOMPARE(result.maximum[HistorySeries::Temperature], 30.0);
    }
}

void TestTableModels::chartMarksAndNothingToShow()
{
    QSqlQuery query;
    QVERIFY(query.prepare(QStringLiteral("insert into alarm(dateTime, alarm) values(?, ?)")));
    const QList<QPair<QString, int>> alarms = {
        {"2025-03-10 10:00:00", 2}, // mains failure
        {"2025-03-10 10:00:30", 4}, // battery low, close to it: the same mark
        {"2025-03-10 10:05:00", 3}, // the mains returns: an event, no mark
        {"2025-03-10 10:06:00", 16}, // beeper: an event, no mark
        {"2025-03-10 18:00:00", 0x10000 + 0x44}, // a fault
        {"2025-03-10 18:30:00", 0x10000 + 500 + 0x44}, // its return
        {"2025-03-10 23:59:59", 0}, // communication lost
        {"2025-03-11 00:00:00", 8}}; // the next day
    for (const auto &alarm : alarms) {
        query.addBindValue(alarm.first);
        query.addBindValue(alarm.second);
        QVERIFY(query.exec());
    }
    HistorySeries::Result result = HistorySeries::reduce(
        m_root.file(QStringLiteral("/data/quelta.db")), QDate(2025, 3, 10), QDate(2025, 3, 10));
    QCOMPARE(result.marks.size(), 3);
    QCOMPARE(result.marks.at(0).msecs, msecs("2025-03-10 10:00:00"));
    QCOMPARE(result.marks.at(0).code, 2);
    QCOMPARE(result.marks.at(0).count, 2);
    QCOMPARE(result.marks.at(1).msecs, msecs("2025-03-10 18:00:00"));
    QCOMPARE(result.marks.at(1).code, 0x10044);
    QCOMPARE(result.marks.at(1).count, 1);
    QCOMPARE(result.marks.at(2).code, 0);

    // A day without samples; a reversed range, a database that is not there.
    result = HistorySeries::reduce(m_root.file(QStringLiteral("/data/quelta.db")),
                                   QDate(2024, 1, 1), QDate(2024, 1, 2));
    QVERIFY(result.error.isEmpty() && result.marks.isEmpty());
    QCOMPARE(result.samples, qint64(0));
    QVERIFY(result.points[HistorySeries::Load].isEmpty());
    QVERIFY(std::isnan(result.minimum[HistorySeries::Load]));
    result = HistorySeries::reduce(m_root.file(QStringLiteral("/data/quelta.db")),
                                   QDate(2025, 3, 10), QDate(2025, 3, 9));
    QVERIFY(!result.error.isEmpty());
    result = HistorySeries::reduce(m_root.file(QStringLiteral("/data/none.db")), QDate(2025, 3, 10),
                                   QDate(2025, 3, 10));
    QVERIFY(!result.error.isEmpty());
    QVERIFY(result.points[HistorySeries::Load].isEmpty());
}

QTEST_MAIN(TestTableModels)
#include "tst_tablemodels.moc"
