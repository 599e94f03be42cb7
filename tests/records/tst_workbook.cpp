#include "database.h"
#include "pythonscript.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "testroot.h"
#include "workbook.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void helperLayoutAndCells();
    void helperFailuresKeepTheOldFile();
    void exportWritesEveryRowOfADay();
    void alarmAndEmptyExports();

private:
    TestRoot m_root;
    QTemporaryDir m_out;
};

namespace {

const QJsonArray titles {"Date",
                         "Input Voltage(V)",
                         "Output Voltage(V)",
                         "UPS Load(%)",
                         "Input Frequency(Hz)",
                         "Battery voltage(V)",
                         QStringLiteral("Temperature(℃)")};

void checkLayout(const QJsonObject &book, int columns)
{
    QCOMPARE(book.value("sheets").toArray(), QJsonArray({"Sheet1"}));
    const QJsonObject widths = book.value("widths").toObject();
    QCOMPARE(widths.size(), columns);
    for (const QString &key : widths.keys()) {
        // Width 20 in Excel's units; the file holds it with the cell padding added.
        QVERIFY2(widths.value(key).toDouble() >= 20 && widths.value(key).toDouble() < 21,
                 qPrintable(key));
    }
    QCOMPARE(book.value("alignments").toArray(), QJsonArray({"center/center"}));
}

} // namespace

void TestWorkbook::helperLayoutAndCells()
{
    const QString path = m_out.filePath(QStringLiteral("helper.xlsx"));
    Workbook book(path);
    book.setTitles({QStringLiteral("A"), QStringLiteral("Bé"), QStringLiteral("温度")});
    book.write(2, 1, QStringLiteral("text"));
    book.write(2, 2, 37);
    book.write(2, 3, 1.5);
    book.write(3, 1, QString()); // blank
    book.write(3, 3, QStringLiteral("x"));
    QVERIFY2(book.save(), qPrintable(book.errorText()));
    QVERIFY(book.errorText().isEmpty());

    const QJsonObject dump = PythonScript::dumpWorkbook(path);
    checkLayout(dump, 3);
    const QJsonArray rows = dump.value("rows").toArray();
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows.at(0).toArray(), QJsonArray({"A", QStringLiteral("Bé"), QStringLiteral("温度")}));
    QCOMPARE(rows.at(1).toArray(), QJsonArray({"text", 37, 1.5}));
    QCOMPARE(rows.at(2).toArray(), QJsonArray({QJsonValue(), QJsonValue(), "x"}));
    // Nothing of the temporary part file is left beside it.
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList({"helper.xlsx"}));
}

void TestWorkbook::helperFailuresKeepTheOldFile()
{
    const QString path = m_out.filePath(QStringLiteral("kept.xlsx"));
    for (const char *title : {"first", "second"}) { // the second replaces the first
        Workbook book(path);
        book.setTitles({QString::fromLatin1(title)});
        QVERIFY(book.save());
    }
    QCOMPARE(PythonScript::dumpWorkbook(path).value("rows").toArray().at(0).toArray(),
             QJsonArray({"second"}));

    // A path under a regular file cannot be written, not even by root.
    const QString plain = m_out.filePath(QStringLiteral("plain.txt"));
    QFile file(plain);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    Workbook denied(plain + QStringLiteral("/x.xlsx"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot write the workbook"));
    QVERIFY(!denied.save());
    QVERIFY(!denied.errorText().isEmpty());

    // An export to a missing folder or no local file reports it and changes nothing.
    TableModelDevData model;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot write the workbook"));
    QVERIFY(!model.saveAs(QUrl::fromLocalFile(m_out.filePath(QStringLiteral("no/such.xlsx")))));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Not a local file"));
    QVERIFY(!model.saveAs(QUrl(QStringLiteral("https://example.invalid/x.xlsx"))));

    // A selection that can no longer be read fails the export and keeps the old file.
    model.selectDate(QStringLiteral("2024-05-01"), QStringLiteral("2024-05-01"));
    QSqlQuery rename;
    QVERIFY(rename.exec(QStringLiteral("alter table device_data rename to device_data_away")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot read the selection"));
    QVERIFY(!model.saveAs(QUrl::fromLocalFile(path)));
    QVERIFY(rename.exec(QStringLiteral("alter table device_data_away rename to device_data")));
    QCOMPARE(PythonScript::dumpWorkbook(path).value("rows").toArray().at(0).toArray(),
             QJsonArray({"second"}));
    QCOMPARE(QDir(m_out.path()).entryList(QDir::Files | QDir::Hidden).filter("kept"),
             QStringList({"kept.xlsx"}));
}

void TestWorkbook::exportWritesEveryRowOfADay()
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
    QVERIFY(model.saveAs(QUrl::fromLocalFile(path)));

    const QJsonObject dump = PythonScript::runJson(QStringLiteral("xlsx_dump.py"),
                                                   {path, QStringLiteral("--summary")}, 300000)
                                 .object();
    QCOMPARE(dump.value("count").toInt(), 86401);
    const QJsonArray first = dump.value("first").toArray();
    QCOMPARE(first.at(0).toArray(), titles);
    // Newest first; the id is left out, so the time stamp is in column 1.
    QCOMPARE(first.at(1).toArray(),
             QJsonArray({"2024-05-01 23:59:59", "230.0", "230.1", 44, "50.0", "13.46", "25.0"}));
    QCOMPARE(dump.value("last").toArray(),
             QJsonArray({"2024-05-01 00:00:00", "230.0", "230.0", 0, "50.0", "13.46", "25.0"}));
}

void TestWorkbook::alarmAndEmptyExports()
{
    // Never selected: the titles only, to a local-file URL with a blank and a non-ASCII letter.
    TableModelDevData empty;
    const QString emptyPath = m_out.filePath(QStringLiteral("export ü.xlsx"));
    QVERIFY(empty.saveAs(QUrl::fromLocalFile(emptyPath)));
    const QJsonObject emptyDump = PythonScript::dumpWorkbook(emptyPath);
    checkLayout(emptyDump, 7);
    QCOMPARE(emptyDump.value("rows").toArray(), QJsonArray({titles}));

    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("insert into alarm(dateTime, alarm) values "
                                      "('2024-03-10 01:00:00', 2), "
                                      "('2024-03-10 02:00:00', 65536 + 6), "
                                      "('2024-03-11 00:00:00', 3)")));
    TableModelAlarm model;
    model.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    const QString path = m_out.filePath(QStringLiteral("alarms.xlsx"));
    QVERIFY(model.saveAs(QUrl::fromLocalFile(path)));
    const QJsonObject dump = PythonScript::dumpWorkbook(path);
    checkLayout(dump, 2);
    // A code without text leaves its cell empty.
    QCOMPARE(dump.value("rows").toArray(),
             QJsonArray({QJsonArray({"Date", "Alarm"}), QJsonArray({"2024-03-10 02:00:00"}),
                         QJsonArray({"2024-03-10 01:00:00", "Input voltage fault"})}));
}

QTEST_MAIN(TestWorkbook)
#include "tst_workbook.moc"
