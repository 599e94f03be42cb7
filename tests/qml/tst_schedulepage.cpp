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

// Each stored task as "id: cycle time action enable".
QStringList storedTasks()
{
    QStringList tasks;
    QSqlQuery query;
    query.exec(QStringLiteral(
                   "select id || ': ' || cycle || ' ' || time || ' ' || action || ' ' || enable "
                   "from %1 order by id")
                   .arg(Database::tableName(Database::TableScheduleTask)));
    while (query.next())
        tasks << query.value(0).toString();
    return tasks;
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
    QQuickItem *item(QObject *under, const char *name) const
    {
        return m_host->find(under, QLatin1String(name));
    }
    QString text(QObject *under, const char *name) const
    {
        QQuickItem *found = item(under, name);
        return found ? found->property("text").toString() : QStringLiteral("<missing>");
    }
    bool press(QObject *under, const char *name) { return m_host->click(item(under, name)); }
    // The pop-up's fields: hour, minute, second, then the task type's and the cycle's index.
    void fillPopup(const QStringList &values)
    {
        const char *fields[] = {"textFieldHour", "textFieldMinute", "textFieldSecond",
                                "comboBoxTaskType", "comboBoxCycle"};
        for (int i = 0; i < 5; ++i)
            item(m_popup, fields[i])->setProperty(i < 3 ? "text" : "currentIndex", values[i]);
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_popup = nullptr;
};

void TestSchedulePage::initTestCase()
{
    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("MainPanelScheduleTask.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_popup = item(m_page, "popupAddScheduleTask");
    QVERIFY(m_popup && !m_popup->isVisible());
}

void TestSchedulePage::addModifySwitchOffAndDeleteTask()
{
    // Add: a weekly self-test to end of discharge at 7:30:05, typed without leading zeros.
    QVERIFY(press(m_page, "buttonAddTask"));
    QVERIFY(m_popup->isVisible());
    QCOMPARE(text(m_popup, "labelTitle"), QStringLiteral("Add Schedule Task"));
    fillPopup({"7", "30", "5", "1", "2"});
    QVERIFY(press(m_popup, "buttonSure"));
    QVERIFY(!m_popup->isVisible());
    QCOMPARE(storedTasks(), QStringList {"1: 2 07:30:05 1 1"});
    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Weekly"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("Self-test to EOD"));
    QVERIFY(text(m_page, "labelTime").endsWith(QStringLiteral(" 07:30:05")));

    // Modify: the pop-up opens with the task's values; cancelling changes nothing.
    QVERIFY(press(m_page, "buttonEdit"));
    QVERIFY(m_popup->isVisible());
    QCOMPARE(text(m_popup, "labelTitle"), QStringLiteral("Modify Schedule Task"));
    const char *fields[] = {"textFieldHour", "textFieldMinute", "textFieldSecond",
                            "comboBoxTaskType", "comboBoxCycle"};
    const char *shown[] = {"07", "30", "05", "1", "2"};
    for (int i = 0; i < 5; ++i)
        QCOMPARE(item(m_popup, fields[i])->property(i < 3 ? "text" : "currentIndex").toString(),
                 QString(shown[i]));
    item(m_popup, "textFieldHour")->setProperty("text", QStringLiteral("03"));
    QVERIFY(press(m_popup, "buttonCancel"));
    QVERIFY(!m_popup->isVisible());
    QCOMPARE(storedTasks(), QStringList {"1: 2 07:30:05 1 1"});

    // The same row changed in place.
    QVERIFY(press(m_page, "buttonEdit"));
    fillPopup({"21", "30", "05", "3", "1"});
    QVERIFY(press(m_popup, "buttonSure"));
    QCOMPARE(storedTasks(), QStringList {"1: 1 21:30:05 3 1"});
    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Daily"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("System shutdown and close UPS"));

    // Switch off.
    QVERIFY(item(m_page, "switchEnable")->property("checked").toBool());
    QVERIFY(press(m_page, "switchEnable"));
    QTRY_COMPARE(storedTasks(), QStringList {"1: 1 21:30:05 3 0"});
    QTRY_VERIFY(!item(m_page, "switchEnable")->property("checked").toBool());

    // Delete: the question first; "Cancel" keeps the task, "Sure" deletes it.
    QQuickItem *dialog = item(m_page, "msgDialog");
    QVERIFY(press(m_page, "buttonDelete"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(),
             QStringLiteral("Are you sure to delete this task?"));
    QVERIFY(press(dialog, "msgDialogCancel"));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(storedTasks().size(), 1);
    QVERIFY(press(m_page, "buttonDelete"));
    QVERIFY(press(dialog, "msgDialogSure"));
    QVERIFY(storedTasks().isEmpty());
    QTRY_VERIFY(!item(m_page, "labelCycle"));
}

void TestSchedulePage::unknownCodesAreShownAsSuch()
{
    // A hand-edited row with a cycle and an action this version does not know.
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral("insert into %1(cycle, time, action, enable) "
                                       "values(7, '10:00:00', 9, 1)")
                            .arg(Database::tableName(Database::TableScheduleTask))));
    QObject *model = m_host->view()
                         ->rootContext()
                         ->contextProperty(QStringLiteral("listModelScheduleTask"))
                         .value<QObject *>();
    QVERIFY(QMetaObject::invokeMethod(model, "select"));

    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Unkown code: 7"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("Unkown code: 9"));
    QCOMPARE(text(m_page, "labelTime"), QString());
}

QTEST_MAIN(TestSchedulePage)
#include "tst_schedulepage.moc"
