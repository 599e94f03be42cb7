// The scheduled-task page against the real task list model and database: a task is added,
// changed, switched off and deleted the way a user does it, and each step is checked in the
// stored row.
#include "database.h"
#include "qmlpagehost.h"
#include "testroot.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QSqlQuery>
#include <QtTest>

namespace {

struct StoredTask
{
    int id = 0;
    int cycle = -1;
    QString time;
    int action = -1;
    bool enable = false;
};

QList<StoredTask> storedTasks()
{
    QList<StoredTask> tasks;
    QSqlQuery query;
    query.exec(QStringLiteral("select id, cycle, time, action, enable from %1 order by id")
                   .arg(Database::tableName(Database::TableScheduleTask)));
    while (query.next()) {
        StoredTask task;
        task.id = query.value(0).toInt();
        task.cycle = query.value(1).toInt();
        task.time = query.value(2).toString();
        task.action = query.value(3).toInt();
        task.enable = query.value(4).toBool();
        tasks.append(task);
    }
    return tasks;
}

QString textOf(QQuickItem *item)
{
    return item ? item->property("text").toString() : QStringLiteral("<missing>");
}

} // namespace

class TestSchedulePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void addModifySwitchOffAndDeleteTask();
    void unknownCodesAreShownAsSuch();

private:
    void fillPopup(const QString &hour, const QString &minute, const QString &second, int action,
                   int cycle);

    TestRoot m_root;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_popup = nullptr;
};

void TestSchedulePage::initTestCase()
{
    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("MainPanelScheduleTask.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_popup = m_host->find(m_page, QStringLiteral("popupAddScheduleTask"));
    QVERIFY(m_popup);
    QVERIFY(!m_popup->isVisible());
}

void TestSchedulePage::fillPopup(const QString &hour, const QString &minute, const QString &second,
                                 int action, int cycle)
{
    m_host->find(m_popup, QStringLiteral("textFieldHour"))->setProperty("text", hour);
    m_host->find(m_popup, QStringLiteral("textFieldMinute"))->setProperty("text", minute);
    m_host->find(m_popup, QStringLiteral("textFieldSecond"))->setProperty("text", second);
    m_host->find(m_popup, QStringLiteral("comboBoxTaskType"))->setProperty("currentIndex", action);
    m_host->find(m_popup, QStringLiteral("comboBoxCycle"))->setProperty("currentIndex", cycle);
}

void TestSchedulePage::addModifySwitchOffAndDeleteTask()
{
    QmlPageHost &host = *m_host;

    // Add: a weekly self-test to end of discharge at 7:30:05, typed without leading zeros.
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonAddTask"))));
    QVERIFY(m_popup->isVisible());
    QCOMPARE(textOf(host.find(m_popup, QStringLiteral("labelTitle"))),
             QStringLiteral("Add Schedule Task"));
    fillPopup(QStringLiteral("7"), QStringLiteral("30"), QStringLiteral("5"), 1, 2);
    QVERIFY(host.click(host.find(m_popup, QStringLiteral("buttonSure"))));
    QVERIFY(!m_popup->isVisible());

    QList<StoredTask> tasks = storedTasks();
    QCOMPARE(tasks.size(), 1);
    const int id = tasks[0].id;
    QCOMPARE(tasks[0].cycle, 2);
    QCOMPARE(tasks[0].time, QStringLiteral("07:30:05"));
    QCOMPARE(tasks[0].action, 1);
    QVERIFY(tasks[0].enable);

    QTRY_COMPARE(textOf(host.find(m_page, QStringLiteral("labelCycle"))), QStringLiteral("Weekly"));
    QCOMPARE(textOf(host.find(m_page, QStringLiteral("labelAction"))),
             QStringLiteral("Self-test to EOD"));
    QVERIFY(textOf(host.find(m_page, QStringLiteral("labelTime")))
                .endsWith(QStringLiteral(" 07:30:05")));

    // Modify: the pop-up opens with the task's values; cancelling changes nothing.
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonEdit"))));
    QVERIFY(m_popup->isVisible());
    QCOMPARE(textOf(host.find(m_popup, QStringLiteral("labelTitle"))),
             QStringLiteral("Modify Schedule Task"));
    QCOMPARE(textOf(host.find(m_popup, QStringLiteral("textFieldHour"))), QStringLiteral("07"));
    QCOMPARE(textOf(host.find(m_popup, QStringLiteral("textFieldMinute"))), QStringLiteral("30"));
    QCOMPARE(textOf(host.find(m_popup, QStringLiteral("textFieldSecond"))), QStringLiteral("05"));
    QCOMPARE(
        host.find(m_popup, QStringLiteral("comboBoxTaskType"))->property("currentIndex").toInt(),
        1);
    QCOMPARE(host.find(m_popup, QStringLiteral("comboBoxCycle"))->property("currentIndex").toInt(),
             2);
    host.find(m_popup, QStringLiteral("textFieldHour"))->setProperty("text", QStringLiteral("03"));
    QVERIFY(host.click(host.find(m_popup, QStringLiteral("buttonCancel"))));
    QVERIFY(!m_popup->isVisible());
    QCOMPARE(storedTasks()[0].time, QStringLiteral("07:30:05"));

    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonEdit"))));
    fillPopup(QStringLiteral("21"), QStringLiteral("30"), QStringLiteral("05"), 3, 1);
    QVERIFY(host.click(host.find(m_popup, QStringLiteral("buttonSure"))));
    tasks = storedTasks();
    QCOMPARE(tasks.size(), 1);
    QCOMPARE(tasks[0].id, id);
    QCOMPARE(tasks[0].cycle, 1);
    QCOMPARE(tasks[0].time, QStringLiteral("21:30:05"));
    QCOMPARE(tasks[0].action, 3);
    QVERIFY(tasks[0].enable);
    QTRY_COMPARE(textOf(host.find(m_page, QStringLiteral("labelCycle"))), QStringLiteral("Daily"));
    QCOMPARE(textOf(host.find(m_page, QStringLiteral("labelAction"))),
             QStringLiteral("System shutdown and close UPS"));

    // Switch off.
    QQuickItem *switchEnable = host.find(m_page, QStringLiteral("switchEnable"));
    QVERIFY(switchEnable->property("checked").toBool());
    QVERIFY(host.click(switchEnable));
    QTRY_VERIFY(!storedTasks()[0].enable);
    QTRY_VERIFY(!host.find(m_page, QStringLiteral("switchEnable"))->property("checked").toBool());

    // Delete: the question first; "Cancel" keeps the task, "Sure" deletes it.
    QQuickItem *dialog = host.find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(dialog);
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonDelete"))));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(),
             QStringLiteral("Are you sure to delete this task?"));
    QVERIFY(host.click(host.find(dialog, QStringLiteral("msgDialogCancel"))));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(storedTasks().size(), 1);

    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonDelete"))));
    QVERIFY(host.click(host.find(dialog, QStringLiteral("msgDialogSure"))));
    QVERIFY(storedTasks().isEmpty());
    QTRY_VERIFY(!host.find(m_page, QStringLiteral("labelCycle")));
}

void TestSchedulePage::unknownCodesAreShownAsSuch()
{
    // A hand-edited row with a cycle and an action this version does not know.
    QSqlQuery insert;
    insert.prepare(QStringLiteral("insert into %1(cycle, time, action, enable) values(?, ?, ?, ?)")
                       .arg(Database::tableName(Database::TableScheduleTask)));
    insert.addBindValue(7);
    insert.addBindValue(QStringLiteral("10:00:00"));
    insert.addBindValue(9);
    insert.addBindValue(1);
    QVERIFY(insert.exec());

    QObject *model = m_host->view()
                         ->rootContext()
                         ->contextProperty(QStringLiteral("listModelScheduleTask"))
                         .value<QObject *>();
    QVERIFY(model);
    QVERIFY(QMetaObject::invokeMethod(model, "select"));

    QTRY_COMPARE(textOf(m_host->find(m_page, QStringLiteral("labelCycle"))),
                 QStringLiteral("Unkown code: 7"));
    QCOMPARE(textOf(m_host->find(m_page, QStringLiteral("labelAction"))),
             QStringLiteral("Unkown code: 9"));
    QCOMPARE(textOf(m_host->find(m_page, QStringLiteral("labelTime"))), QString());
}

QTEST_MAIN(TestSchedulePage)
#include "tst_schedulepage.moc"
