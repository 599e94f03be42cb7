// The history page against the real record tables: the side list shows the right tools, a
// search fills the shown table for the chosen days, and an export writes a workbook that
// openpyxl reads back.
#include "database.h"
#include "globaldatadef.h"
#include "paths.h"
#include "qmlpagehost.h"
#include "testroot.h"

#include <QAbstractItemModel>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QQuickItem>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate today(2026, 3, 14);

void insertSample(const QString &dateTime, double inputVol, int load)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("insert into %1(dateTime, inputVol, outputVol, load, inputFreq, "
                                 "battVol, temperature) values(?, ?, ?, ?, ?, ?, ?)")
                      .arg(Database::tableName(Database::TableDeviceData)));
    for (const QVariant &value : {QVariant(dateTime), QVariant(inputVol), QVariant(230.0),
                                  QVariant(load), QVariant(50.0), QVariant(13.456), QVariant(31.5)})
        query.addBindValue(value);
    QVERIFY2(query.exec(), qPrintable(dateTime));
}

void insertAlarm(const QString &dateTime, int code)
{
    QSqlQuery query;
    query.prepare(QStringLiteral("insert into %1(dateTime, alarm) values(?, ?)")
                      .arg(Database::tableName(Database::TableAlarm)));
    query.addBindValue(dateTime);
    query.addBindValue(code);
    QVERIFY(query.exec());
}

// The first sheet of a workbook as rows of cell texts, read by openpyxl.
QJsonArray workbookRows(const QString &file)
{
    QProcess python;
    python.start(QStringLiteral(QUELTA_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import json, sys, openpyxl\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                 "print(json.dumps([['' if c is None else str(c) for c in row]"
                                 " for row in ws.iter_rows(values_only=True)]))\n"),
                  file});
    if (!python.waitForFinished(30000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return QJsonArray();
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

} // namespace

class TestHistoryPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolsFollowTheChosenView();
    void searchAndExportDeviceData();
    void searchAndExportAlarms();
    void failedExportIsNotReportedAsFinished();
    void selfTestRowDrawsItsRecording();

private:
    void choose(int view);
    void searchDays(const QDate &start, const QDate &end);
    QAbstractItemModel *modelOf(const QString &view) const;
    void exportAndConfirm(const QString &file);

    TestRoot m_root;
    QTemporaryDir m_out;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
};

void TestHistoryPage::initTestCase()
{
    const QString day = today.toString(QStringLiteral("yyyy-MM-dd"));
    const QString yesterday = today.addDays(-1).toString(QStringLiteral("yyyy-MM-dd"));
    insertSample(day + QStringLiteral(" 08:00:00"), 229.96, 35);
    insertSample(day + QStringLiteral(" 23:59:59"), 231.04, 37);
    insertSample(yesterday + QStringLiteral(" 00:00:00"), 228.5, 30);
    insertSample(today.addDays(-10).toString(QStringLiteral("yyyy-MM-dd")) +
                     QStringLiteral(" 12:00:00"),
                 220.0, 10);
    insertSample(today.addDays(1).toString(QStringLiteral("yyyy-MM-dd")) +
                     QStringLiteral(" 00:00:00"),
                 221.0, 11);
    insertAlarm(day + QStringLiteral(" 09:15:00"), 0);
    insertAlarm(day + QStringLiteral(" 10:15:00"), 1);
    insertAlarm(
        today.addDays(-3).toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 10:15:00"), 1);

    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("MainPanelLogData.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
}

void TestHistoryPage::choose(int view)
{
    QQuickItem *list = m_host->find(m_page, QStringLiteral("logDataSubPages"));
    QVERIFY(list);
    list->setProperty("currentIndex", view);
}

void TestHistoryPage::searchDays(const QDate &start, const QDate &end)
{
    m_host->find(m_page, QStringLiteral("dateStart"))
        ->setProperty("date", QDateTime(start, QTime(12, 0)));
    m_host->find(m_page, QStringLiteral("dateEnd"))
        ->setProperty("date", QDateTime(end, QTime(12, 0)));
    QCOMPARE(m_host->find(m_page, QStringLiteral("dateStart"))->property("text").toString(),
             start.toString(QStringLiteral("yyyy-MM-dd")));
    QVERIFY(m_host->click(m_host->find(m_page, QStringLiteral("buttonSearch"))));
}

QAbstractItemModel *TestHistoryPage::modelOf(const QString &view) const
{
    QQuickItem *item = m_host->find(m_page, view);
    return item ? item->property("model").value<QAbstractItemModel *>() : nullptr;
}

void TestHistoryPage::exportAndConfirm(const QString &file)
{
    QQuickItem *dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(dialog);
    QmlPageHost::call(m_page, "exportTo", QUrl::fromLocalFile(file));
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 10000);
    QCOMPARE(dialog->property("text").toString(), QStringLiteral("Operation finished!"));
    QVERIFY(!m_host->find(m_page, QStringLiteral("busyIndicator"))->property("running").toBool());
    QVERIFY(m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure"))));
    QVERIFY(QFile::exists(file));
}

void TestHistoryPage::toolsFollowTheChosenView()
{
    struct Expected
    {
        int view;
        bool dates;
        bool print;
    };
    const Expected cases[] = {
        {2, false, false}, {3, true, false}, {1, true, true}, {0, true, true}};
    for (const Expected &expected : cases) {
        choose(expected.view);
        for (const char *name : {"dateStart", "dateEnd", "buttonSearch"})
            QCOMPARE(m_host->find(m_page, QLatin1String(name))->isVisible(), expected.dates);
        QCOMPARE(m_host->find(m_page, QStringLiteral("buttonPrint"))->isVisible(), expected.print);
    }
    // The shutdown log tree reads its file once; none was written here, so it is empty.
    QAbstractItemModel *tree = modelOf(QStringLiteral("logClosedRecords"));
    QVERIFY(tree);
    QCOMPARE(tree->rowCount(), 0);
    // Nothing is selected before the first search.
    QCOMPARE(modelOf(QStringLiteral("logDevData"))->rowCount(), 0);
}

void TestHistoryPage::searchAndExportDeviceData()
{
    choose(0);
    searchDays(today.addDays(-1), today);
    QAbstractItemModel *model = modelOf(QStringLiteral("logDevData"));
    QVERIFY(model);
    QTRY_COMPARE(model->rowCount(), 3);
    QTRY_COMPARE(
        m_host->find(m_page, QStringLiteral("tableViewDevData"))->property("rowCount").toInt(), 3);

    const QString file = m_out.filePath(QStringLiteral("data.xlsx"));
    exportAndConfirm(file);
    const QJsonArray rows = workbookRows(file);
    QCOMPARE(rows.size(), 4);
    QCOMPARE(rows[0].toArray()[0].toString(), QStringLiteral("Date"));
    QCOMPARE(rows[0].toArray()[1].toString(), QStringLiteral("Input Voltage(V)"));
    // Newest first, values as shown.
    QCOMPARE(rows[1].toArray()[0].toString(),
             today.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" 23:59:59"));
    QCOMPARE(rows[2].toArray()[1].toString(), QStringLiteral("230.0"));
    QCOMPARE(rows[3].toArray()[0].toString(),
             today.addDays(-1).toString(QStringLiteral("yyyy-MM-dd")) +
                 QStringLiteral(" 00:00:00"));
}

void TestHistoryPage::searchAndExportAlarms()
{
    choose(1);
    searchDays(today, today);
    QAbstractItemModel *model = modelOf(QStringLiteral("logAlarmData"));
    QVERIFY(model);
    QTRY_COMPARE(model->rowCount(), 2);

    const QString file = m_out.filePath(QStringLiteral("alarms.xlsx"));
    exportAndConfirm(file);
    const QJsonArray rows = workbookRows(file);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].toArray()[1].toString(), QStringLiteral("Alarm"));
    QVERIFY(!rows[1].toArray()[1].toString().isEmpty()); // the alarm's text, not its code
}

void TestHistoryPage::failedExportIsNotReportedAsFinished()
{
    choose(0);
    searchDays(today, today);
    QTRY_COMPARE(modelOf(QStringLiteral("logDevData"))->rowCount(), 2);
    const QString file = m_out.filePath(QStringLiteral("no/such/folder/data.xlsx"));
    QQuickItem *dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QmlPageHost::call(m_page, "exportTo", QUrl::fromLocalFile(file));
    QTRY_VERIFY_WITH_TIMEOUT(dialog->isVisible(), 10000);
    QCOMPARE(dialog->property("text").toString(), QStringLiteral("Operation failed!"));
    QCOMPARE(dialog->property("dialogType").toInt(), int(GlobalDataDef::MsgDialogWarning));
    QVERIFY(m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure"))));
    QVERIFY(!QFile::exists(file));
}

void TestHistoryPage::selfTestRowDrawsItsRecording()
{
    const QDateTime start(today, QTime(6, 0, 0));
    QSqlQuery insert;
    insert.prepare(QStringLiteral("insert into %1(dateTime, duration, count) values(?, ?, ?)")
                       .arg(Database::tableName(Database::TableLogSelfTest)));
    insert.addBindValue(start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    insert.addBindValue(3);
    insert.addBindValue(3);
    QVERIFY(insert.exec());
    QFile recording(Paths::file(QStringLiteral("/data/self_test/") +
                                start.toString(QStringLiteral("yyyyMMddhhmmss")) +
                                QStringLiteral(".txt")));
    QVERIFY(recording.open(QIODevice::WriteOnly));
    recording.write("1,40,100\n2,41,99\n3,41,98\n");
    recording.close();

    choose(3);
    searchDays(today, today);
    QQuickItem *table = m_host->find(m_page, QStringLiteral("tableViewSelfTest"));
    QTRY_COMPARE(table->property("rowCount").toInt(), 1);
    QVERIFY(QMetaObject::invokeMethod(table, "clicked", Q_ARG(int, 0)));
    QQuickItem *view = m_host->find(m_page, QStringLiteral("logSelfTest"));
    QObject *load = view->property("seriesLoad").value<QObject *>();
    QObject *capacity = view->property("seriesCap").value<QObject *>();
    QVERIFY(load && capacity);
    QTRY_COMPARE(load->property("count").toInt(), 3);
    QCOMPARE(capacity->property("count").toInt(), 3);
    QPointF last;
    QVERIFY(QMetaObject::invokeMethod(capacity, "at", Q_RETURN_ARG(QPointF, last), Q_ARG(int, 2)));
    QCOMPARE(last, QPointF(3, 98));
}

QTEST_MAIN(TestHistoryPage)
#include "tst_historypage.moc"
