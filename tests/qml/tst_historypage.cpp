// The history page against the real record tables: the side list shows the right tools, a
// search fills the shown table for the chosen days, and an export writes a workbook that
// openpyxl reads back.
#include "globaldatadef.h"
#include "paths.h"
#include "qmlpagehost.h"
#include "testroot.h"

#include <QAbstractItemModel>
#include <QProcess>
#include <QQuickItem>
#include <QQuickView>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate today(2026, 3, 14);

void exec(const QString &sql)
{
    QSqlQuery query;
    QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
}

// The first sheet of a workbook as rows of cell texts joined by "|", read by openpyxl.
QStringList workbookRows(const QString &file)
{
    QProcess python;
    python.start(QStringLiteral(QUELTA_PYTHON),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, openpyxl\n"
                                 "for row in openpyxl.load_workbook(sys.argv[1]).worksheets[0]"
                                 ".iter_rows(values_only=True):\n"
                                 "    print('|'.join('' if c is None else str(c) for c in row))\n"),
                  file});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        qWarning() << python.readAllStandardError();
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

class TestHistoryPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolsFollowTheChosenView();
    void searchAndExport();
    void calendarStaysInsideTheWindow();
    void selfTestRowDrawsItsRecording();

private:
    QQuickItem *item(const char *name) const { return m_host->find(m_page, QLatin1String(name)); }
    void choose(int view) { item("logDataSubPages")->setProperty("currentIndex", view); }
    void searchDays(const QDate &start, const QDate &end);
    QAbstractItemModel *modelOf(const char *view) const
    {
        return item(view)->property("model").value<QAbstractItemModel *>();
    }
    QString exportTo(const QString &file, int *dialogType = nullptr);

    TestRoot m_root {TestRoot::FoldersOnly};
    QTemporaryDir m_out;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
};

void TestHistoryPage::initTestCase()
{
    // Today is 2026-03-14: rows on both edges of a two-day search, and outside it.
    m_host.reset(new QmlPageHost);
    exec("insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature) values('2026-03-14 08:00:00', 229.96, 230, 35, 50, 13.456, 31.5), "
         "('2026-03-14 23:59:59', 231.04, 230, 37, 50, 13.456, 31.5), "
         "('2026-03-13 00:00:00', 228.5, 230, 30, 50, 13.456, 31.5), "
         "('2026-03-04 12:00:00', 220, 230, 10, 50, 13.456, 31.5), "
         "('2026-03-15 00:00:00', 221, 230, 11, 50, 13.456, 31.5)");
    exec("insert into alarm(dateTime, alarm) values('2026-03-14 09:15:00', 0), "
         "('2026-03-14 10:15:00', 1), ('2026-03-11 10:15:00', 1)");

    m_page = m_host->load(QStringLiteral("MainPanelLogData.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
}

void TestHistoryPage::searchDays(const QDate &start, const QDate &end)
{
    item("dateStart")->setProperty("date", QDateTime(start, QTime(12, 0)));
    item("dateEnd")->setProperty("date", QDateTime(end, QTime(12, 0)));
    QCOMPARE(item("dateStart")->property("text").toString(), start.toString(Qt::ISODate));
    QVERIFY(m_host->click(item("buttonSearch")));
}

// Exports the shown table and returns what the closing dialog said.
QString TestHistoryPage::exportTo(const QString &file, int *dialogType)
{
    QQuickItem *dialog = item("msgDialog");
    QmlPageHost::call(m_page, "exportTo", QUrl::fromLocalFile(file));
    if (!QTest::qWaitFor([dialog] { return dialog->isVisible(); }, 10000))
        return QString();
    const QString text = dialog->property("text").toString();
    if (dialogType)
        *dialogType = dialog->property("dialogType").toInt();
    if (item("busyIndicator")->property("running").toBool())
        return QStringLiteral("still busy");
    m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure")));
    return text;
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
            QCOMPARE(item(name)->isVisible(), expected.dates);
        QCOMPARE(item("buttonPrint")->isVisible(), expected.print);
    }
    // The shutdown log tree reads its file once; none was written here, so it is empty.
    QCOMPARE(modelOf("logClosedRecords")->rowCount(), 0);
    // Nothing is selected before the first search.
    QCOMPARE(modelOf("logDevData")->rowCount(), 0);
}

void TestHistoryPage::searchAndExport()
{
    // Two days of device data, newest first, values as shown.
    choose(0);
    searchDays(today.addDays(-1), today);
    QTRY_COMPARE(modelOf("logDevData")->rowCount(), 3);
    QTRY_COMPARE(item("tableViewDevData")->property("rowCount").toInt(), 3);
    // The message says where the file went.
    QCOMPARE(exportTo(m_out.filePath("data.xlsx")),
             "Operation finished!\nSaved as " + m_out.filePath("data.xlsx"));
    QStringList rows = workbookRows(m_out.filePath("data.xlsx"));
    QCOMPARE(rows.size(), 4);
    QVERIFY2(rows[0].startsWith("Date|Input Voltage(V)|"), qPrintable(rows[0]));
    QVERIFY2(rows[1].startsWith("2026-03-14 23:59:59|"), qPrintable(rows[1]));
    QVERIFY2(rows[2].startsWith("2026-03-14 08:00:00|230.0|"), qPrintable(rows[2]));
    QVERIFY2(rows[3].startsWith("2026-03-13 00:00:00|"), qPrintable(rows[3]));

    // One day of alarms, written as their texts, not their codes.
    choose(1);
    searchDays(today, today);
    QTRY_COMPARE(modelOf("logAlarmData")->rowCount(), 2);
    QCOMPARE(exportTo(m_out.filePath("alarms.xlsx")),
             "Operation finished!\nSaved as " + m_out.filePath("alarms.xlsx"));
    rows = workbookRows(m_out.filePath("alarms.xlsx"));
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0].section('|', 1, 1), QStringLiteral("Alarm"));
    QVERIFY2(rows[1].section('|', 1, 1).contains(QRegularExpression("[a-z]")), qPrintable(rows[1]));

    // A file that cannot be written is a failure, with a warning, not "finished".
    choose(0);
    searchDays(today, today);
    QTRY_COMPARE(modelOf("logDevData")->rowCount(), 2);
    const QString file = m_out.filePath(QStringLiteral("no/such/folder/data.xlsx"));
    int dialogType = -1;
    QCOMPARE(exportTo(file, &dialogType), QStringLiteral("Operation failed!"));
    QCOMPARE(dialogType, int(GlobalDataDef::MsgDialogWarning));
    QVERIFY(!QFile::exists(file));
}

// Each date field's calendar, on the views where the fields sit furthest right: wholly inside
// the window, so every day can be picked, and closed by Escape or a click beside it.
void TestHistoryPage::calendarStaysInsideTheWindow()
{
    QQuickWindow *window = m_host->view();
    const QRectF inside(0, 0, window->width(), window->height());
    const QDate saturday(2026, 3, 14), sunday(2026, 3, 15);
    for (int view : {0, 3}) {
        choose(view);
        for (const char *name : {"dateStart", "dateEnd"}) {
            const QByteArray where = QByteArray(name) + " on view " + QByteArray::number(view);
            QQuickItem *field = item(name);
            field->setProperty("date", QDateTime(saturday, QTime(12, 0)));
            QQuickItem *calendar = m_host->find(field, QStringLiteral("calendar"));
            QVERIFY(calendar);

            QVERIFY(m_host->click(field));
            QVERIFY2(field->property("calendarVisible").toBool(), where.constData());
            const QRectF shown =
                calendar->mapRectToScene(QRectF(0, 0, calendar->width(), calendar->height()));
            QVERIFY2(inside.contains(shown), where.constData());
            QTest::keyClick(window, Qt::Key_Escape);
            QVERIFY2(!field->property("calendarVisible").toBool(), where.constData());

            // A click beside it only closes it.
            QVERIFY(m_host->click(field));
            QVERIFY(field->property("calendarVisible").toBool());
            QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            QVERIFY2(!field->property("calendarVisible").toBool(), where.constData());
            QCOMPARE(item("logDataSubPages")->property("currentIndex").toInt(), view);

            // Sunday, the last column, is there to be picked.
            QVERIFY(m_host->click(field));
            QQuickItem *day = m_host->find(
                calendar, QStringLiteral("calendarDay ") + sunday.toString(Qt::ISODate));
            QVERIFY2(
                day &&
                    inside.contains(day->mapRectToScene(QRectF(0, 0, day->width(), day->height()))),
                where.constData());
            QVERIFY(m_host->click(day));
            QCOMPARE(field->property("text").toString(), sunday.toString(Qt::ISODate));
            QVERIFY(!field->property("calendarVisible").toBool());
        }
    }
}

void TestHistoryPage::selfTestRowDrawsItsRecording()
{
    exec(
        "insert into log_self_test(dateTime, duration, count) values('2026-03-14 06:00:00', 3, 3)");
    QFile recording(Paths::file(QStringLiteral("/data/self_test/20260314060000.txt")));
    QVERIFY(recording.open(QIODevice::WriteOnly));
    recording.write("1,40,100\n2,41,99\n3,41,98\n");
    recording.close();

    choose(3);
    searchDays(today, today);
    QQuickItem *table = item("tableViewSelfTest");
    QTRY_COMPARE(table->property("rowCount").toInt(), 1);
    QVERIFY(QMetaObject::invokeMethod(table, "clicked", Q_ARG(int, 0)));
    QQuickItem *view = item("logSelfTest");
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
