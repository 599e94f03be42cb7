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
    void impossibleFieldsAreRefused();
    void chosenDayIsStoredAndShown();
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
    // The pop-up's fields: hour, minute, second, then the task type's and the cycle's index,
    // and the day when one is given: a date ("yyyy-MM-dd") for a one-shot task, the weekday's
    // index (0 = Monday) for a weekly one, the day of the month for a monthly one.
    void fillPopup(const QStringList &values)
    {
        const char *fields[] = {"textFieldHour", "textFieldMinute", "textFieldSecond",
                                "comboBoxTaskType", "comboBoxCycle"};
        for (int i = 0; i < 5; ++i)
            item(m_popup, fields[i])->setProperty(i < 3 ? "text" : "currentIndex", values[i]);
        if (values.size() < 6)
            return;
        const char *dayFields[] = {"dateOneShot", nullptr, "comboBoxWeekday", "textFieldDay"};
        QQuickItem *day = item(m_popup, dayFields[values[4].toInt()]);
        QVERIFY2(day, "no field for the day");
        if (values[4] == QLatin1String("0"))
            day->setProperty("date",
                             QDateTime(QDate::fromString(values[5], Qt::ISODate), QTime(12, 0)));
        else
            day->setProperty(values[4] == QLatin1String("2") ? "currentIndex" : "text", values[5]);
    }
    QObject *model() const
    {
        return m_host->view()
            ->rootContext()
            ->contextProperty(QStringLiteral("listModelScheduleTask"))
            .value<QObject *>();
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

// Hour 25 and its kind are refused with the field marked and a message; nothing is stored
// until the field is corrected.
void TestSchedulePage::impossibleFieldsAreRefused()
{
    const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
    const QString nextWeek = QDate::currentDate().addDays(7).toString(Qt::ISODate);
    const struct
    {
        QStringList values;
        const char *marked, *said, *corrected;
    } cases[] = {
        {{"25", "30", "00", "3", "0", nextWeek},
         "textFieldHour",
         "The hour must be from 0 to 23.",
         "23"},
        {{"", "30", "00", "3", "1"}, "textFieldHour", "The hour must be from 0 to 23.", "0"},
        {{"23", "60", "00", "0", "1"}, "textFieldMinute", "The minute must be from 0 to 59.", "59"},
        {{"23", "59", "75", "0", "1"}, "textFieldSecond", "The second must be from 0 to 59.", "9"},
        {{"7", "30", "00", "0", "3", "32"},
         "textFieldDay",
         "The day of the month must be from 1 to 31.",
         "31"},
        {{"7", "30", "00", "0", "3", "0"},
         "textFieldDay",
         "The day of the month must be from 1 to 31.",
         "1"},
        {{"7", "30", "00", "0", "0", yesterday},
         "dateOneShot",
         "This date and time have already passed.",
         nullptr},
    };
    for (const auto &c : cases) {
        QVERIFY(press(m_page, "buttonAddTask"));
        fillPopup(c.values);
        QVERIFY(press(m_popup, "buttonSure"));
        QVERIFY2(m_popup->isVisible(), c.said);
        QCOMPARE(text(m_popup, "labelError"), QString::fromLatin1(c.said));
        QVERIFY2(item(m_popup, c.marked) && item(m_popup, c.marked)->property("refused").toBool(),
                 c.marked);
        QVERIFY(storedTasks().isEmpty());
        if (c.corrected) {
            // Correcting the field takes its mark away; the task is then stored.
            item(m_popup, c.marked)->setProperty("text", QString::fromLatin1(c.corrected));
            QVERIFY(!item(m_popup, c.marked)->property("refused").toBool());
            QVERIFY(press(m_popup, "buttonSure"));
            QVERIFY2(!m_popup->isVisible(), qPrintable(text(m_popup, "labelError")));
            QCOMPARE(storedTasks().size(), 1);
            QVERIFY(QMetaObject::invokeMethod(model(), "delTask", Q_ARG(int, 0)));
        } else {
            QVERIFY(press(m_popup, "buttonCancel"));
        }
        QVERIFY(storedTasks().isEmpty());
    }
}

// The day a weekly, monthly or one-shot task runs on is chosen in the pop-up, stored, shown in
// the list and offered again when the task is changed.
void TestSchedulePage::chosenDayIsStoredAndShown()
{
    const QDate later = QDate::currentDate().addDays(3);
    const struct
    {
        QStringList values;
        const char *shownDay; // the list's day line
        const char *field, *property, *offered; // what the pop-up offers when changed
    } cases[] = {
        {{"09", "00", "00", "0", "2", "6"}, "every Sunday", "comboBoxWeekday", "currentIndex", "6"},
        {{"09", "00", "00", "0", "2", "0"}, "every Monday", "comboBoxWeekday", "currentIndex", "0"},
        {{"09", "00", "00", "0", "3", "31"},
         "on day 31 of each month",
         "textFieldDay",
         "text",
         "31"},
        {{"08", "00", "00", "0", "0", later.toString(Qt::ISODate)},
         "",
         "dateOneShot",
         "text",
         nullptr},
    };
    for (const auto &c : cases) {
        QVERIFY(press(m_page, "buttonAddTask"));
        fillPopup(c.values);
        QVERIFY(press(m_popup, "buttonSure"));
        QVERIFY2(!m_popup->isVisible(), qPrintable(text(m_popup, "labelError")));
        // The next run falls on the chosen day.
        const auto dueOnTheDay = [&] {
            const QDate due =
                QDate::fromString(text(m_page, "labelTime").left(10), QStringLiteral("yyyy-MM-dd"));
            switch (c.values[4].toInt()) {
            case 0:
                return due == later;
            case 2:
                return due.dayOfWeek() == c.values[5].toInt() + 1;
            default:
                return due.day() == 31 || due.day() == due.daysInMonth();
            }
        };
        QTRY_VERIFY(item(m_page, "labelCycle"));
        QCOMPARE(text(m_page, "labelTaskDay"), QString::fromLatin1(c.shownDay));
        QVERIFY2(dueOnTheDay(), qPrintable(text(m_page, "labelTime")));

        QVERIFY(press(m_page, "buttonEdit"));
        const QString offered =
            c.offered ? QString::fromLatin1(c.offered) : later.toString(Qt::ISODate);
        QCOMPARE(item(m_popup, c.field)->property(c.property).toString(), offered);
        // Changed without touching the day, the task keeps it.
        item(m_popup, "textFieldHour")->setProperty("text", QStringLiteral("10"));
        QVERIFY(press(m_popup, "buttonSure"));
        QTRY_VERIFY(text(m_page, "labelTime").endsWith(QStringLiteral(" 10:00:00")));
        QCOMPARE(text(m_page, "labelTaskDay"), QString::fromLatin1(c.shownDay));
        QVERIFY2(dueOnTheDay(), qPrintable(text(m_page, "labelTime")));

        QVERIFY(QMetaObject::invokeMethod(model(), "delTask", Q_ARG(int, 0)));
        QTRY_VERIFY(!item(m_page, "labelCycle"));
    }
}

void TestSchedulePage::unknownCodesAreShownAsSuch()
{
    // A hand-edited row with a cycle and an action this version does not know.
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral("insert into %1(cycle, time, action, enable) "
                                       "values(7, '10:00:00', 9, 1)")
                            .arg(Database::tableName(Database::TableScheduleTask))));
    QVERIFY(QMetaObject::invokeMethod(model(), "select"));

    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Unkown code: 7"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("Unkown code: 9"));
    QCOMPARE(text(m_page, "labelTime"), QString());
}

QTEST_MAIN(TestSchedulePage)
#include "tst_schedulepage.moc"
