// The program's pages against the real services behind them, one program and one view for all:
// the module "Quelta" 1.0 the screens import (each singleton the root's own object) and the mail
// address rule; the e-mail settings, whose addresses and SMTP account are checked before they are
// stored and whose test mail's outcome is reported only for its own test; the common settings
// (the language in use, the export's message and keyboard, the notice switch, the battery fields,
// the calendar's weekday names); the scheduled tasks, added, changed, switched off and deleted as
// a user does it and checked in the stored rows; and the history page, whose searches fill the
// shown tables and chart for the chosen days and whose exports a real reader reads back; the
// network sharing page against the real network server: its settings shown and written back,
// accounts through the pop-up (refusals said, the card kept open), one added by another process
// listed at once, and a connected client listed as it logs in; the watched UPSes' page, whose
// supplies that no watched UPS has are said there and on the shutdown page.
#include "alarm.h"
#include "batteryage.h"
#include "clock.h"
#include "compositionroot.h"
#include "database.h"
#include "devcomm.h"
#include "listmodelemailuser.h"
#include "listmodelnutuser.h"
#include "listmodelscheduletask.h"
#include "nutaccountstore.h"
#include "paths.h"
#include "pythonscript.h"
#include "qmlpagehost.h"
#include "recordprobe.h"
#include "serviceemail.h"
#include "servicenetwork.h"
#include "servicenotification.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "settingkeys.h"
#include "settings.h"
#include "settingsfileexchange.h"
#include "supplycount.h"
#include "testroot.h"
#include "translator.h"
#include "uienums.h"
#include "watchlist.h"
#include "watchservice.h"

#include <QApplication>
#include <QGuiApplication>
#include <QJSValue>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtCharts/QAbstractSeries>
#include <QtTest>

namespace {

QStringList storedRecipients()
{
    return RecordProbe::sqlColumn(QStringLiteral("select user from email_user order by id"));
}

// Values stored before the page exists: the page must show them, not overwrite them.
const struct
{
    const char *key;
    QVariant value;
    const char *field, *shownAs, *shown;
} storedBefore[] = {
    {"email/enable", true, "switchEnable", "checked", "true"},
    {"email/userName", "Rack 4", "textFieldSenderName", "text", "Rack 4"},
    {"email/serverPort", 2525, "textFieldServerPort", "text", "2525"},
    {"email/encrypt", 2, "comboBoxEncrypt", "currentIndex", "2"},
    {"email/dailyEnable", true, "checkBoxDaily", "checked", "true"},
    {"email/dailyTime", "07:05:09", "spinBoxDailyHour", "value", "7"},
    {"email/dailyTime", "07:05:09", "spinBoxDailyMinute", "value", "5"},
    {"email/dailyTime", "07:05:09", "spinBoxDailySecond", "value", "9"},
};

// Each singleton by name, through a QML function.
QObject *wiringProbe(QQmlEngine *engine, QQmlContext *context)
{
    QByteArray qml = "import QtQuick 2.15\nimport Quelta 1.0\nQtObject {\n"
                     "function named(name) {\n";
    for (const char *name : {"Translator", "Alarm", "Settings", "DevComm", "ServiceEMail",
                             "ServiceShutdown", "SettingsFileExchange", "App", "ListModelEMailUser",
                             "ListModelScheduleTask"})
        qml += QByteArray("if (name === \"") + name + "\") return " + name + "\n";
    // No context property beside the module: a name the module lacks is not found.
    qml += "try { return eval(name) } catch (e) { return \"missing\" }\n";
    qml += "}\n}\n";
    QQmlComponent component(engine);
    component.setData(qml, QUrl(QStringLiteral("qrc:/qml/WiringProbe.qml")));
    QObject *object = component.create(context);
    if (!object)
        qWarning().noquote() << component.errorString();
    return object;
}

QVariant named(QObject *probe, const char *name)
{
    return QmlPageHost::call(probe, "named", QString::fromLatin1(name));
}

// Each stored task as "id: cycle time action enable".
QStringList storedTasks()
{
    return RecordProbe::sqlColumn(QStringLiteral(
        "select id || ': ' || cycle || ' ' || time || ' ' || action || ' ' || enable "
        "from schedule_task order by id"));
}

const QDate today(2026, 3, 14);

void exec(const QString &sql)
{
    QSqlQuery query;
    QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
}

// The first sheet of a workbook as rows of cell texts joined by "|".
QStringList workbookRows(const QString &file)
{
    QStringList rows;
    for (const QJsonValue &row : PythonScript::dumpWorkbook(file).value("rows").toArray()) {
        QStringList cells;
        for (const QJsonValue &cell : row.toArray())
            cells << (cell.isDouble() ? QString::number(cell.toDouble()) : cell.toString());
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void singletonsAreTheRootsObjects();
    void mailAddressRule();
    void storedValuesAreShownAndKept();
    void recipientsAreCheckedBeforeTheyAreStored();
    void accountMustBeAnAddress();
    void senderIsCheckedAndMissingSettingsNamed();
    void testMailOutcomeIsReportedOnlyForOwnTest();
    void languageBoxShowsTheLanguageInUse();
    void exportSaysWhereAndTakesTheKeyboard();
    void noticeSwitchAndBattery();
    void calendarSpeaksTheLanguage();
    void outOfRangeNumbersAreRefused();
    void restoreAsksWithWhatChanges();
    void addModifySwitchOffAndDeleteTask();
    void impossibleFieldsAreRefused();
    void chosenDayIsStoredAndShown();
    void unknownCodesAreShownAsSuch();
    void toolsFollowTheChosenView();
    void searchAndExport();
    void calendarStaysInsideTheWindow();
    void selfTestRowDrawsItsRecording();
    void chartOfTheChosenDays();
    void eachUpsHistoryApart();
    void batteryHealthOverTime();
    void settingsShownAndWritten();
    void accountsThroughThePopup();
    void connectedClientsListed();
    void watchedListAndSupplies();

private:
    void answerDialog(const QString &expectedText);
    QQuickItem *item(QObject *under, const char *name) const
    {
        return m_host->find(under, QLatin1String(name));
    }
    QQuickItem *item(const char *name) const { return item(m_page, name); }
    bool press(QObject *under, const char *name) { return m_host->click(item(under, name)); }
    void type(QObject *under, const char *name, const QString &text)
    {
        item(under, name)->setProperty("text", text);
    }

    // Types into a field as a user does, then leaves it with Tab.
    void typeAndLeave(QObject *under, const char *name, const QString &text)
    {
        QQuickItem *field = item(under, name);
        field->forceActiveFocus();
        QMetaObject::invokeMethod(field, "selectAll");
        for (const QChar c : text)
            QTest::keyClick(m_host->view(), c.toLatin1());
        QTest::keyClick(m_host->view(), Qt::Key_Tab);
    }

    QString text(QObject *under, const char *name) const
    {
        QQuickItem *found = item(under, name);
        return found ? found->property("text").toString() : QStringLiteral("<missing>");
    }
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
    QObject *model() const { return m_host->root().serviceScheduleTask()->model(); }

    void choose(int view) { item("logDataSubPages")->setProperty("currentIndex", view); }
    void searchDays(const QDate &start, const QDate &end);
    QAbstractItemModel *modelOf(const char *view) const
    {
        return item(view)->property("model").value<QAbstractItemModel *>();
    }
    QString exportTo(const QString &file, int *dialogType = nullptr);

    QStringList listed(const char *list, const char *role) const
    {
        QAbstractItemModel *model =
            qvariant_cast<QAbstractItemModel *>(item(m_page, list)->property("model"));
        const int r = model->roleNames().key(role);
        QStringList out;
        for (int i = 0; i < model->rowCount(); ++i)
            out << model->data(model->index(i, 0), r).toString();
        return out;
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_dialog = nullptr;
    QQuickItem *m_popup = nullptr;
    QTemporaryDir m_out;
};

void TestPages::initTestCase()
{
    Clock::setNow(QDateTime(QDate(2026, 2, 10), QTime(9, 0)));
    m_host.reset(new QmlPageHost);
    for (const auto &stored : storedBefore)
        m_host->root().settings()->setSettings(QString::fromLatin1(stored.key), stored.value);

    m_page = m_host->load(QStringLiteral("SettingsEMail.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(m_dialog);
}

void TestPages::singletonsAreTheRootsObjects()
{
    CompositionRoot &root = m_host->root();
    const QList<QPair<const char *, QObject *>> owned = {
        {"Translator", root.translator()},     {"Alarm", root.alarm()},
        {"Settings", root.settings()},         {"DevComm", root.devComm()},
        {"ServiceEMail", root.serviceEMail()}, {"ServiceShutdown", root.serviceShutdown()}};

    QScopedPointer<QObject> first(
        wiringProbe(m_host->view()->engine(), m_host->view()->rootContext()));
    QVERIFY(first);
    for (const auto &entry : owned) {
        QCOMPARE(named(first.data(), entry.first).value<QObject *>(), entry.second);
        QCOMPARE(QQmlEngine::objectOwnership(entry.second), QQmlEngine::CppOwnership);
    }
    const QVariantMap app = named(first.data(), "App").toMap();
    QCOMPARE(app.value("name").toString(), QStringLiteral("QUELTA"));
    QCOMPARE(app.value("version").toString(), QStringLiteral("v1.0.12"));
    QCOMPARE(named(first.data(), "ListModelEMailUser").value<QObject *>(),
             static_cast<QObject *>(root.serviceEMail()->listModelEMailUser()));
    QCOMPARE(named(first.data(), "ListModelScheduleTask").value<QObject *>(),
             static_cast<QObject *>(root.serviceScheduleTask()->model()));
    for (const char *gone : {"appName", "appVersion", "window", "listModelEMailUser",
                             "NutLinkSettings"})
        QCOMPARE(named(first.data(), gone).toString(), QStringLiteral("missing"));
    auto *page = named(first.data(), "SettingsFileExchange").value<QObject *>();
    QVERIFY(qobject_cast<SettingsFileExchange *>(page));
    QCOMPARE(named(first.data(), "SettingsFileExchange").value<QObject *>(), page);

    // A second engine: the same objects, a page object of its own that goes with it.
    QPointer<QObject> other;
    {
        QQmlEngine engine;
        QScopedPointer<QObject> second(wiringProbe(&engine, engine.rootContext()));
        QVERIFY(second);
        for (const auto &entry : owned)
            QCOMPARE(named(second.data(), entry.first).value<QObject *>(), entry.second);
        other = named(second.data(), "SettingsFileExchange").value<QObject *>();
        QVERIFY(qobject_cast<SettingsFileExchange *>(other) && other != page);
    }
    QVERIFY(other.isNull());
    QCOMPARE(root.alarm()->alarmNum(), 0);
}

void TestPages::mailAddressRule()
{
    // Placed beside the screens, so the relative import finds the same file they use.
    QQmlComponent component(m_host->view()->engine());
    component.setData("import QtQuick 2.15\n"
                      "import \"MailAddress.js\" as MailAddress\n"
                      "QtObject { function check(text) { return MailAddress.isValid(text) } }\n",
                      QUrl(QStringLiteral("qrc:/qml/MailAddressProbe.qml")));
    QScopedPointer<QObject> probe(component.create());
    QVERIFY2(probe, qPrintable(component.errorString()));

    const QString runs(40, QLatin1Char('a'));
    const QPair<QString, bool> cases[] = {
        {"user@example.com", true},
        {"first.last@mail.example.org", true},
        {"Ops2024@EXAMPLE.DE", true},
        {"night_shift|ups@site.example.net", true},
        {"x9@mail_relay.io", true},
        {QString(2000, QLatin1Char('a')) + "@example.com", true},
        {QString(), false},
        {"user", false},
        {"@example.com", false},
        {"user@example", false},
        {"user@example.c", false},
        {"user@example.info", false}, // four letters at the end
        {"a@b@example.com", false},
        {"bob@@example.com", false},
        {".user@example.com", false}, // a run must come first
        {"us..er@example.com", false}, // two separators in a row
        {"us er@example.com", false},
        {"user@example.com ", false}, // not trimmed
        {"user@my-site.com", false}, // "-" is not one of the separators
        {"user@example.c0m", false},
        {QString::fromUtf8("j\xc3\xb6rg@example.com"), false},
        // Inputs that make a rule with nested repetition backtrack for hours; each must come
        // back (refused) while the test runs.
        {runs + "!", false},
        {"a@" + runs + "!", false},
        {QStringLiteral("a.").repeated(30) + "@x", false},
        {"u@" + QStringLiteral("b.").repeated(30) + "c", false},
    };
    for (const auto &c : cases) {
        QVariant result;
        QVERIFY(QMetaObject::invokeMethod(probe.data(), "check", Q_RETURN_ARG(QVariant, result),
                                          Q_ARG(QVariant, c.first)));
        QVERIFY2(result.toBool() == c.second, qPrintable(c.first.left(80)));
    }
}

void TestPages::answerDialog(const QString &expectedText)
{
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->property("text").toString(), expectedText);
    QVERIFY(press(m_dialog, "msgDialogSure"));
    QVERIFY(!m_dialog->isVisible());
}

void TestPages::storedValuesAreShownAndKept()
{
    // Shown, and left as they were when the page is left (it writes back what it shows).
    Settings *settings = m_host->root().settings();
    m_page->setVisible(false);
    m_page->setVisible(true);
    for (const auto &stored : storedBefore) {
        QCOMPARE(item(m_page, stored.field)->property(stored.shownAs).toString(),
                 QString::fromLatin1(stored.shown));
        QCOMPARE(settings->getSettings(QString::fromLatin1(stored.key)), stored.value);
    }

    // A change in a field reaches the settings when the page is left; a part of the report's
    // time keeps the others.
    type(m_page, "textFieldSenderName", "Rack 5");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(settings->text(Settings::EMailSenderName), QStringLiteral("Rack 5"));
    typeAndLeave(m_page, "spinBoxDailyMinute", QStringLiteral("30"));
    QCOMPARE(settings->text(Settings::EMailDailyTime), QStringLiteral("07:30:09"));
    // Written elsewhere (an import, the command line): the fields follow.
    settings->setSettings(Settings::EMailDailyTime, QStringLiteral("23:59:01"));
    settings->setSettings(Settings::EMailServerPort, 587);
    QCOMPARE(item(m_page, "spinBoxDailyHour")->property("value").toInt(), 23);
    QCOMPARE(item(m_page, "spinBoxDailySecond")->property("value").toInt(), 1);
    QCOMPARE(text(m_page, "textFieldServerPort"), QStringLiteral("587"));
    settings->setSettings(Settings::EMailDailyTime, QStringLiteral("07:05:09"));
    settings->setSettings(Settings::EMailServerPort, 2525);
}

void TestPages::recipientsAreCheckedBeforeTheyAreStored()
{
    QQuickItem *popup = item(m_page, "popupAddEMailUser");
    QVERIFY(press(m_page, "buttonAddUser"));
    QVERIFY(popup->isVisible());
    type(popup, "textFieldUser", "ops@my-site.com");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog(QStringLiteral("E-Mail address is invalid!"));
    QVERIFY(popup->isVisible()); // the user can correct it
    QVERIFY(storedRecipients().isEmpty());
    type(popup, "textFieldUser", "ops@example.com");
    QVERIFY(press(popup, "buttonSure"));
    QVERIFY(!popup->isVisible());
    QCOMPARE(storedRecipients(), QStringList {"ops@example.com"});

    // Modify the chosen row: the pop-up shows its address; an invalid change is refused.
    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonModifyUser"));
    QCOMPARE(item(popup, "textFieldUser")->property("text").toString(), QString("ops@example.com"));
    type(popup, "textFieldUser", "ops@example");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog(QStringLiteral("E-Mail address is invalid!"));
    type(popup, "textFieldUser", "night.shift@example.org");
    QVERIFY(press(popup, "buttonSure"));
    QCOMPARE(storedRecipients(), QStringList {"night.shift@example.org"});

    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonDeleteUser"));
    QVERIFY(storedRecipients().isEmpty());
}

void TestPages::accountMustBeAnAddress()
{
    Settings *settings = m_host->root().settings();
    settings->setSettings(Settings::EMailAuthName, QStringLiteral("before@example.com"));
    QVERIFY(press(m_page, "checkBoxAuth"));
    QTRY_VERIFY(settings->flag(Settings::EMailAuthEnable));
    QQuickItem *popup = item(m_page, "popupSetEMailSender");
    QVERIFY(press(m_page, "buttonAuthSettings"));
    QVERIFY(popup->isVisible());
    QCOMPARE(item(popup, "textFieldAccount")->property("text").toString(),
             QString("before@example.com"));

    type(popup, "textFieldAccount", "mailer");
    type(popup, "textFieldPassword", "s3cret");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog(QStringLiteral("User account is invalid!"));
    QCOMPARE(settings->text(Settings::EMailAuthName), QStringLiteral("before@example.com"));

    type(popup, "textFieldAccount", "mailer@example.com");
    QVERIFY(press(popup, "buttonSure"));
    QVERIFY(!popup->isVisible());
    QCOMPARE(settings->text(Settings::EMailAuthName), QStringLiteral("mailer@example.com"));
    QCOMPARE(settings->text(Settings::EMailAuthPassword), QStringLiteral("s3cret"));
}

void TestPages::senderIsCheckedAndMissingSettingsNamed()
{
    Settings *settings = m_host->root().settings();
    settings->setSettings(Settings::EMailAuthEnable, false);
    QQuickItem *sender = item(m_page, "textFieldSenderAddress");
    type(m_page, "textFieldSenderAddress", "ups@example.com");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(settings->text(Settings::EMailSenderAddress), QStringLiteral("ups@example.com"));

    const struct
    {
        const char *sender, *server, *said;
        bool marked;
        const char *stored; // the sender's address in the settings afterwards
    } cases[] = {
        // The recipients' rule: refused, marked, never stored, and no mail tried.
        {"bob@@example", "127.0.0.1", "E-Mail address is invalid!", true, "ups@example.com"},
        {"bob@example.com ", "127.0.0.1", "E-Mail address is invalid!", true, "ups@example.com"},
        // What the test mail lacks is named.
        {"bob@example.com", "", "Failed to send test E-Mail!\nno server address", false,
         "bob@example.com"},
        {"", "",
         "Failed to send test E-Mail!\nno server address, no sender address (the test mail goes "
         "to it)",
         false, ""},
    };
    for (const auto &c : cases) {
        type(m_page, "textFieldSenderAddress", QString::fromUtf8(c.sender));
        type(m_page, "textFieldServerAddress", QString::fromUtf8(c.server));
        QVERIFY(press(m_page, "buttonTestMail"));
        answerDialog(QString::fromUtf8(c.said));
        QCOMPARE(sender->property("refused").toBool(), c.marked);
        QCOMPARE(settings->text(Settings::EMailSenderAddress), QString::fromUtf8(c.stored));
        // Leaving the page keeps a refused address out of the settings too.
        m_page->setVisible(false);
        m_page->setVisible(true);
        QCOMPARE(settings->text(Settings::EMailSenderAddress), QString::fromUtf8(c.stored));
        QVERIFY(item(m_page, "buttonTestMail")->property("enabled").toBool());
    }

    // Leaving the field with Tab: the message has the keys, so Return answers it rather than
    // the next field taking what is typed behind it.
    sender->forceActiveFocus();
    type(m_page, "textFieldSenderAddress", "bob@@example");
    QTest::keyClick(m_host->view(), Qt::Key_Tab);
    QTRY_VERIFY(m_dialog->isVisible());
    QTest::keyClick(m_host->view(), Qt::Key_Return);
    QVERIFY(!m_dialog->isVisible());
    QVERIFY(sender->property("refused").toBool());
    QCOMPARE(settings->text(Settings::EMailSenderAddress), QString());
}

void TestPages::testMailOutcomeIsReportedOnlyForOwnTest()
{
    ServiceEMail *service = m_host->root().serviceEMail();
    Settings *settings = m_host->root().settings();

    // Another sender's outcome (an alarm mail, say) is none of the page's business.
    emit service->emailFinished();
    emit service->emailFailed(QStringLiteral("connection failed"));
    QVERIFY(!m_dialog->isVisible());

    // A server on loopback that takes the connection, says nothing, then hangs up.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    type(m_page, "textFieldServerAddress", "127.0.0.1");
    type(m_page, "textFieldServerPort", QString::number(server.serverPort()));
    type(m_page, "textFieldSenderAddress", "ups@example.com");
    settings->setSettings(Settings::EMailEncrypt, 0);
    settings->setSettings(Settings::EMailAuthEnable, false);

    QVERIFY(press(m_page, "buttonTestMail"));
    QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 10000);
    QTcpSocket *client = server.nextPendingConnection();
    QCoreApplication::processEvents();
    QCOMPARE(item(m_page, "labelTestMail")->property("text").toString(),
             QString("Sending test E-Mail..."));
    QVERIFY(!item(m_page, "buttonTestMail")->property("enabled").toBool());
    QVERIFY(!m_dialog->isVisible());
    client->close();

    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->isVisible(), 15000);
    QVERIFY(m_dialog->property("text").toString().startsWith(
        QStringLiteral("Failed to send test E-Mail!")));
    QVERIFY(press(m_dialog, "msgDialogSure"));
    QCOMPARE(item(m_page, "labelTestMail")->property("text").toString(), QString());

    // A late second signal of the same exchange opens nothing more.
    emit service->emailFinished();
    QVERIFY(!m_dialog->isVisible());
}

// With the system's language followed the box shows it, greyed, not the language chosen before
// (which the automatic choice under other systems is tst_translator's case).
void TestPages::languageBoxShowsTheLanguageInUse()
{
    m_page = m_host->load(QStringLiteral("SettingsCommon.qml"), QSize(1024, 600));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    Translator *translator = m_host->root().translator();
    QQuickItem *box = item("comboBoxLanguage");
    QQuickItem *automatic = item("checkBoxAutoLanguage");
    translator->setAutoLanguage(false);
    translator->setLanguage(Translator::FR_FR);
    QTRY_COMPARE(box->property("currentText").toString(), QStringLiteral("Français"));
    QVERIFY(box->isEnabled());
    QVERIFY(m_host->click(automatic));
    QTRY_COMPARE(box->property("currentText").toString(), QStringLiteral("English"));
    QVERIFY(!box->isEnabled());
    QCOMPARE(m_host->root().settings()->getSettings(Settings::LanguageType).toInt(),
             int(Translator::FR_FR));
    // Switched off again, the language shown stays and becomes the choice.
    QVERIFY(m_host->click(automatic));
    QTRY_VERIFY(box->isEnabled());
    QCOMPARE(box->property("currentText").toString(), QStringLiteral("English"));
    QCOMPARE(translator->language(), int(Translator::EN_GB));
}

void TestPages::exportSaysWhereAndTakesTheKeyboard()
{
    QQuickView *view = m_host->view();
    QQuickItem *dialog = item("msgDialog");
    // A file dialog had the keyboard and has just closed.
    QQuickView fileDialog;
    fileDialog.resize(200, 100);
    fileDialog.show();
    fileDialog.requestActivate();
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), &fileDialog, 5000);
    fileDialog.hide();

    const QString file = m_out.filePath(QStringLiteral("quelta settings.conf"));
    QmlPageHost::call(m_page, "exportTo", QUrl::fromLocalFile(file));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(),
             QStringLiteral("Operation finished!\nSaved as ") + file);
    QVERIFY(QFile::exists(file));
    // The window has the keyboard again: Return answers the message.
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), static_cast<QWindow *>(view), 5000);
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 2000);

    QmlPageHost::call(m_page, "exportTo",
                      QUrl::fromLocalFile(m_out.filePath(QStringLiteral("no/such/x.conf"))));
    QCOMPARE(dialog->property("text").toString(), QStringLiteral("Operation failed!"));
    QTest::keyClick(view, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->isVisible(), 2000);
}

void TestPages::noticeSwitchAndBattery()
{
    CompositionRoot &root = m_host->root();
    Settings *settings = root.settings();
    QQuickItem *notify = item("checkBoxNotify");
    QVERIFY(notify->property("checked").toBool());
    QVERIFY(m_host->click(notify));
    QVERIFY(!root.serviceNotification()->enable());
    QCOMPARE(settings->getSettings(Settings::NotifyEnable).toBool(), false);
    // A restore switches them on again, and the box follows.
    settings->restore();
    QTRY_VERIFY(notify->property("checked").toBool());
    QVERIFY(root.serviceNotification()->enable());

    // No UPS answered here yet: nothing to count from.
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Counted from the first day a UPS answers."));
    // Today is 2026-02-10: a battery put in on 2022-11-30 is overdue, said in red, and told.
    BatteryAge *age = root.batteryAge();
    QSignalSpy due(age, &BatteryAge::replacementDue);
    item("dateBatteryInstalled")->setProperty("date", QDateTime(QDate(2022, 11, 30), QTime(12, 0)));
    QCOMPARE(age->installedDate(), QStringLiteral("2022-11-30"));
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Replacement due since 2025-11-30."));
    QCOMPARE(item("labelBatteryDue")->property("color").value<QColor>(), QColor("#dc3545"));
    QCOMPARE(due.count(), 1);
    typeAndLeave(m_page, "spinBoxReplaceMonths", "48");
    QCOMPARE(settings->number(Settings::BatteryReplaceMonths), 48);
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Replacement due on 2026-11-30."));
    // Settings written elsewhere (an import) reach the fields.
    settings->setSettings(Settings::BatteryReplaceMonths, 24);
    QCOMPARE(item("spinBoxReplaceMonths")->property("value").toInt(), 24);

    // The recording interval and the network link's fields bind to their keys alike.
    typeAndLeave(m_page, "spinBoxSaveCycle", "30");
    QCOMPARE(settings->number(Settings::UpsDataSaveCycle), 30);
    settings->setSettings(Settings::UpsNutPort, 3500);
    settings->setSettings(Settings::UpsNutPassword, QStringLiteral("s3cret"));
    QCOMPARE(text(m_page, "textFieldNutPort"), QStringLiteral("3500"));
    QCOMPARE(text(m_page, "textFieldNutPassword"), QStringLiteral("s3cret"));
    QQuickItem *host = item("textFieldNutHost");
    host->setProperty("text", QStringLiteral(" nas.local "));
    QMetaObject::invokeMethod(host, "editingFinished");
    QCOMPARE(settings->text(Settings::UpsNutHost), QStringLiteral("nas.local"));
}

void TestPages::calendarSpeaksTheLanguage()
{
    Translator *translator = m_host->root().translator();
    QQuickItem *field = item("dateBatteryInstalled");
    const QList<QPair<int, QLocale>> languages = {
        {Translator::FR_FR, QLocale(QLocale::French, QLocale::France)},
        {Translator::ZH_TW, QLocale(QLocale::Chinese, QLocale::Taiwan)},
        {Translator::EN_GB, QLocale(QLocale::English, QLocale::UnitedKingdom)}};
    for (const auto &language : languages) {
        translator->setLanguage(language.first);
        QVERIFY(m_host->click(m_host->find(field, QStringLiteral("field"))));
        QVERIFY(field->property("calendarVisible").toBool());
        QQuickItem *monday = m_host->find(field, QStringLiteral("calendarWeekday 1"));
        QVERIFY(monday);
        QCOMPARE(monday->property("text").toString(),
                 language.second.dayName(1, QLocale::ShortFormat));
        QTest::keyClick(m_host->view(), Qt::Key_Escape);
        QVERIFY(!field->property("calendarVisible").toBool());
    }
}

// A number typed beyond its field's range is never cut to another one: the field is marked, the
// page says why, the number in force stays, also when the page is left; corrected, the mark and
// the message go and the number is stored.
void TestPages::outOfRangeNumbersAreRefused()
{
    Settings *settings = m_host->root().settings();
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownMainFaultTime, 5);
    m_page = m_host->load(QStringLiteral("SettingsShutdown.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    QQuickItem *field = item("spinBoxMainFaultTime");
    QQuickItem *message = item("labelRefusal");
    QCOMPARE(field->property("value").toInt(), 5);
    QVERIFY(!message->isVisible());
    // Protection on with nothing set for the end of a countdown: the page says so.
    settings->setSettings(Settings::ShutdownOsOff, false);
    settings->setSettings(Settings::ShutdownExec, false);
    settings->setSettings(Settings::ShutdownUPSOff, false);
    QVERIFY(item("labelEndDoesNothing")->isVisible());
    QVERIFY(text(m_page, "labelEndDoesNothing").startsWith("Protection is on, but nothing"));
    settings->setSettings(Settings::ShutdownOsOff, true);
    QVERIFY(!item("labelEndDoesNothing")->isVisible());
    // The fields follow writes from elsewhere (an import, the command line); a box the user
    // ticks writes its key.
    QVERIFY(item("checkBoxOsOff")->property("checked").toBool());
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/usr/local/bin/save"));
    settings->setSettings(Settings::ShutdownUPSOffTime, 4);
    QCOMPARE(text(m_page, "textFieldExecFile"), QStringLiteral("/usr/local/bin/save"));
    QCOMPARE(item("spinBoxUpsOffTime")->property("value").toInt(), 4);
    QVERIFY(press(m_page, "checkBoxOsOff"));
    QVERIFY(!settings->flag(Settings::ShutdownOsOff));
    QVERIFY(item("labelEndDoesNothing")->isVisible());

    for (const char *typed : {"5000", "2881", "-5"}) {
        typeAndLeave(m_page, "spinBoxMainFaultTime", QString::fromLatin1(typed));
        QVERIFY(field->property("refused").toBool());
        QCOMPARE(text(m_page, "spinBoxMainFaultTime"), QString::fromLatin1(typed));
        QVERIFY(message->isVisible());
        QCOMPARE(text(m_page, "labelRefusal"),
                 QStringLiteral("The marked number must be from 0 to 2880; 5 stays in force."));
        QCOMPARE(settings->number(Settings::ShutdownMainFaultTime), 5);
    }
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(settings->number(Settings::ShutdownMainFaultTime), 5);

    // Corrected: the mark and the message go, the number is stored.
    typeAndLeave(m_page, "spinBoxMainFaultTime", QStringLiteral("2880"));
    QVERIFY(!field->property("refused").toBool());
    QVERIFY(!message->isVisible());
    QCOMPARE(settings->number(Settings::ShutdownMainFaultTime), 2880);
    // Stepping stops at the end of the range.
    field->forceActiveFocus();
    QTest::keyClick(m_host->view(), Qt::Key_Up);
    QCOMPARE(settings->number(Settings::ShutdownMainFaultTime), 2880);
    QTest::keyClick(m_host->view(), Qt::Key_Down);
    QCOMPARE(settings->number(Settings::ShutdownMainFaultTime), 2879);
    settings->setSettings(Settings::ShutdownEnable, false);

    // Every number field of the settings pages edits a key and offers what the key table gives
    // forms, which its label states too ("(0~2880)").
    for (const char *pageName : {"SettingsShutdown.qml", "SettingsCommon.qml"}) {
        m_page = m_host->load(QString::fromLatin1(pageName), QSize(1024, 600));
        QVERIFY2(m_page, qPrintable(m_host->errors()));
        int fields = 0;
        for (QQuickItem *child : m_page->findChildren<QQuickItem *>()) {
            if (!child->objectName().startsWith(QLatin1String("spinBox")))
                continue;
            ++fields;
            const QString key = child->property("settingKey").toString();
            const SettingKeys::Key *entry = SettingKeys::find(key);
            QVERIFY2(entry, qPrintable(child->objectName()));
            const SettingKeys::Range range = SettingKeys::formRange(*entry);
            QCOMPARE(child->property("minimumValue").toInt(), range.min);
            QCOMPARE(child->property("maximumValue").toInt(), range.max);
            QVERIFY(range.min >= entry->min && range.max <= entry->max);
        }
        QVERIFY2(fields >= 2, pageName);
    }
}

// What a restore changes and keeps is the settings exchange's suite; here the page asks with
// that list and restores on "Sure".
void TestPages::restoreAsksWithWhatChanges()
{
    CompositionRoot &root = m_host->root();
    root.settings()->setSettings(Settings::ShutdownEnable, true);
    m_page = m_host->load(QStringLiteral("SettingsCommon.qml"), QSize(1024, 600));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    QQuickItem *dialog = item("msgDialog");
    QVERIFY(press(m_page, "buttonRestore"));
    QVERIFY(dialog->isVisible());
    const QString question = dialog->property("text").toString();
    const SettingsFileExchange exchange(root.settings(), root.serviceEMail()->listModelEMailUser(),
                                        root.serviceNetwork()->users());
    const QStringList changes = exchange.restoreChanges();
    QVERIFY(changes.value(0).startsWith("The protection is switched off"));
    QVERIFY2(question.endsWith("\n\n\u2022 " + changes.join("\n\u2022 ")), qPrintable(question));
    QVERIFY(press(dialog, "msgDialogSure"));
    QVERIFY(!root.settings()->flag(Settings::ShutdownEnable));
}

void TestPages::addModifySwitchOffAndDeleteTask()
{
    // The schedule page, under the system's clock as the date fields are.
    Clock::useSystemClock();
    m_page = m_host->load(QStringLiteral("MainPanelScheduleTask.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_popup = item(m_page, "popupAddScheduleTask");
    QVERIFY(m_popup && !m_popup->isVisible());
    // Empty, the page says what it is for and how to begin; the hint goes with the first task.
    QVERIFY(item("labelNoTask")->isVisible());
    QVERIFY(text(m_page, "labelNoTask").contains(QStringLiteral("\"Add Task\"")));

    // Add: a weekly self-test to end of discharge at 7:30:05, typed without leading zeros.
    QVERIFY(press(m_page, "buttonAddTask"));
    QVERIFY(m_popup->isVisible());
    QCOMPARE(text(m_popup, "labelTitle"), QStringLiteral("Add Schedule Task"));
    fillPopup({"7", "30", "5", "1", "2"});
    QVERIFY(press(m_popup, "buttonSure"));
    QVERIFY(!m_popup->isVisible());
    QCOMPARE(storedTasks(), QStringList {"1: 2 07:30:05 1 1"});
    QTRY_VERIFY(!item("labelNoTask")->isVisible());
    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Weekly"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("Self-test to end of discharge"));
    QVERIFY(text(m_page, "labelTime").endsWith(QStringLiteral(" 07:30:05")));
    // A link that cannot carry the action out (a network UPS server not reached): the row says
    // why, and stops saying it when the link can again.
    QVERIFY(!item(m_page, "labelUnavailable")->isVisible());
    DevComm *dev = m_host->root().devComm();
    const int commType = m_host->root().settings()->getSettings(Settings::UpsCommType).toInt();
    dev->openDevice(DevComm::NUT, QString());
    QTRY_COMPARE(text(m_page, "labelUnavailable"),
                 QStringLiteral("The UPS server is not connected."));
    QVERIFY(item(m_page, "labelUnavailable")->isVisible());
    dev->openDevice(commType, QString());
    QTRY_VERIFY(!item(m_page, "labelUnavailable")->isVisible());

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
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("System shutdown and UPS off"));

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
             QStringLiteral("Do you really want to delete this task?"));
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
void TestPages::impossibleFieldsAreRefused()
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
void TestPages::chosenDayIsStoredAndShown()
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

void TestPages::unknownCodesAreShownAsSuch()
{
    // A hand-edited row with a cycle and an action this version does not know.
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral("insert into %1(cycle, time, action, enable) "
                                       "values(7, '10:00:00', 9, 1)")
                            .arg(Database::tableName(Database::TableScheduleTask))));
    QVERIFY(QMetaObject::invokeMethod(model(), "select"));

    QTRY_COMPARE(text(m_page, "labelCycle"), QStringLiteral("Unknown code: 7"));
    QCOMPARE(text(m_page, "labelAction"), QStringLiteral("Unknown code: 9"));
    QCOMPARE(text(m_page, "labelTime"), QString());
}

void TestPages::searchDays(const QDate &start, const QDate &end)
{
    item("dateStart")->setProperty("date", QDateTime(start, QTime(12, 0)));
    item("dateEnd")->setProperty("date", QDateTime(end, QTime(12, 0)));
    QCOMPARE(item("dateStart")->property("text").toString(), start.toString(Qt::ISODate));
    QVERIFY(m_host->click(item("buttonSearch")));
}

// Exports the shown table and returns what the closing dialog said.
QString TestPages::exportTo(const QString &file, int *dialogType)
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

void TestPages::toolsFollowTheChosenView()
{
    // The history page. Today is 2026-03-14: rows on both edges of a two-day search, and outside
    // it.
    exec("insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature) values('2026-03-14 08:00:00', 229.96, 230, 35, 50, 13.456, 31.5), "
         "('2026-03-14 23:59:59', 231.04, 230, 37, 50, 13.456, 31.5), "
         "('2026-03-13 00:00:00', 228.5, 230, 30, 50, 13.456, 31.5), "
         "('2026-03-04 12:00:00', 220, 230, 10, 50, 13.456, 31.5), "
         "('2026-03-15 00:00:00', 221, 230, 11, 50, 13.456, 31.5)");
    exec("insert into alarm(dateTime, alarm) values('2026-03-14 09:15:00', 0), "
         "('2026-03-14 10:15:00', 1), ('2026-03-11 10:15:00', 1)");

    // Rows of the real today, which the page opens on.
    const QString now = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
    exec("insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature) values('" +
         now + "', 230, 230, 35, 50, 13.5, 31.5)");
    exec("insert into alarm(dateTime, alarm) values('" + now + "', 2)");

    m_page = m_host->load(QStringLiteral("MainPanelLogData.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    // The data and alarm views show the chosen days (yesterday and today) without a search.
    QTRY_COMPARE(modelOf("logDevData")->rowCount(), 1);
    QCOMPARE(modelOf("logAlarmData")->rowCount(), 0);
    choose(2);
    QTRY_COMPARE(modelOf("logAlarmData")->rowCount(), 1);
    exec("delete from device_data where dateTime = '" + now + "'");
    exec("delete from alarm where dateTime = '" + now + "'");

    // A start after the end says so and selects nothing.
    choose(0);
    QQuickItem *dialog = item("msgDialog");
    item("dateStart")->setProperty("date", QDateTime(today, QTime(12, 0)));
    item("dateEnd")->setProperty("date", QDateTime(today.addDays(-1), QTime(12, 0)));
    QVERIFY(item("dateStart")->property("refused").toBool());
    QVERIFY(m_host->click(item("buttonSearch")));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(),
             QStringLiteral("The start date is after the end date."));
    QVERIFY(m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure"))));
    QVERIFY(!dialog->isVisible());
    QCOMPARE(modelOf("logDevData")->rowCount(), 1);
    searchDays(today.addDays(-1), today);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!item("dateStart")->property("refused").toBool());
    QTRY_COMPARE(modelOf("logDevData")->rowCount(), 3);

    struct Expected
    {
        int view;
        bool dates;
        bool print;
    };
    const Expected cases[] = {
        {3, false, false}, {4, true, false}, {2, true, true}, {1, true, false}, {0, true, true}};
    for (const Expected &expected : cases) {
        choose(expected.view);
        for (const char *name : {"dateStart", "dateEnd", "buttonSearch"})
            QCOMPARE(item(name)->isVisible(), expected.dates);
        QCOMPARE(item("buttonExport")->isVisible(), expected.print);
    }
    // The shutdown log tree reads its file once; none was written here, so it is empty.
    QCOMPARE(modelOf("logClosedRecords")->rowCount(), 0);
}

void TestPages::searchAndExport()
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
    QVERIFY2(rows[2].startsWith("2026-03-14 08:00:00|230|230|35|50|13.46|31.5"),
             qPrintable(rows[2]));
    QVERIFY2(rows[3].startsWith("2026-03-13 00:00:00|"), qPrintable(rows[3]));

    // One day of alarms, written as their texts, not their codes.
    choose(2);
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
    QCOMPARE(dialogType, int(UiEnums::MsgDialogWarning));
    QVERIFY(!QFile::exists(file));
}

// Each date field's calendar, on the views where the fields sit furthest right: wholly inside
// the window, so every day can be picked, and closed by Escape or a click beside it.
void TestPages::calendarStaysInsideTheWindow()
{
    QQuickWindow *window = m_host->view();
    const QRectF inside(0, 0, window->width(), window->height());
    const QDate saturday(2026, 3, 14), sunday(2026, 3, 15);
    for (int view : {0, 4}) {
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

void TestPages::selfTestRowDrawsItsRecording()
{
    exec("insert into log_self_test(dateTime, duration, count, battVolDrop, result) values("
         "'2026-03-14 06:00:00', 3, 3, 1.456, 1), ('2026-03-14 05:00:00', 3, 3, null, null)");
    QVERIFY(TestRoot::writeFile(Paths::file(QStringLiteral("/data/self_test/20260314060000.txt")),
                                "1,40,100\n2,41,99\n3,41,98\n"));

    choose(4);
    searchDays(today, today);
    QQuickItem *table = item("tableViewSelfTest");
    QTRY_COMPARE(table->property("rowCount").toInt(), 2);
    // The battery voltage drop of each test, none for a test recorded without it.
    QAbstractItemModel *tests = modelOf("logSelfTest");
    const int drop = tests->roleNames().key("battVolDrop");
    QCOMPARE(tests->data(tests->index(0, 0), drop).toString(), QStringLiteral("1.46"));
    QCOMPARE(tests->data(tests->index(1, 0), drop).toString(), QStringLiteral("--"));
    // How each ended; none for a test recorded before the outcome was kept.
    const int result = tests->roleNames().key("result");
    QCOMPARE(tests->data(tests->index(0, 0), result).toString(),
             QStringLiteral("Failed: battery low"));
    QCOMPARE(tests->data(tests->index(1, 0), result).toString(), QStringLiteral("--"));
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

// The chart view: a search draws today's samples reduced, the spike of one second kept, a red
// mark at each lasting alarm's time, and the series switched off and on from their boxes.
void TestPages::chartOfTheChosenDays()
{
    exec("insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature) with recursive c(i) as (select 0 union all select i + 1 from c where i < "
         "7199) select datetime('2026-03-14 10:00:00', '+' || i || ' seconds'), case i when 3600 "
         "then 280 else 230 end, 229, 40, 50, 27, 30 from c");
    exec("insert into alarm(dateTime, alarm) values('2026-03-14 11:30:00', 2)");
    choose(1);
    QQuickItem *view = item("logChart");
    QVERIFY(view && view->isVisible());
    QObject *history = view->property("history").value<QObject *>();
    QQuickItem *chart = item("historyChart");
    QSignalSpy drawn(chart, SIGNAL(drawn()));
    searchDays(today, today);
    QTRY_VERIFY_WITH_TIMEOUT(drawn.count() == 1 && !history->property("busy").toBool(), 30000);
    QCOMPARE(history->property("samples").toInt(), 7202);
    QCOMPARE(item("chartSamples")->property("text").toString(), QStringLiteral("7202 samples"));
    QVERIFY(!item("chartEmpty")->isVisible());

    // Two points per slice of the day at most, the spike among them.
    const QVariantList series = chart->property("series").toList();
    QCOMPARE(series.size(), 5);
    QObject *input = series.at(0).value<QObject *>();
    QVERIFY(input);
    const int points = input->property("count").toInt();
    QVERIFY2(points > 100 && points <= 2000, qPrintable(QString::number(points)));
    double highest = 0;
    for (int i = 0; i < points; ++i) {
        QPointF point;
        QVERIFY(
            QMetaObject::invokeMethod(input, "at", Q_RETURN_ARG(QPointF, point), Q_ARG(int, i)));
        highest = std::max(highest, point.y());
    }
    QCOMPARE(highest, 280.0);
    QSignalSpy frame(m_host->view(), &QQuickWindow::frameSwapped);
    QVERIFY(frame.wait(5000));

    // Communication lost at 09:15 and the mains failure at 11:30 are marked where the time axis
    // has them; the link's return at 10:15 is an event, not marked.
    QQuickItem *marks = m_host->find(chart, QStringLiteral("alarmMarks"));
    QVERIFY(marks);
    QCOMPARE(marks->property("count").toInt(), 2);
    const QStringList times = {"2026-03-14 09:15:00", "2026-03-14 11:30:00"};
    for (int i = 0; i < 2; ++i) {
        QQuickItem *mark = nullptr;
        QVERIFY(QMetaObject::invokeMethod(marks, "itemAt", Q_RETURN_ARG(QQuickItem *, mark),
                                          Q_ARG(int, i)));
        const qint64 when =
            QDateTime::fromString(times.at(i), "yyyy-MM-dd hh:mm:ss").toMSecsSinceEpoch();
        QPointF at;
        QVERIFY(QMetaObject::invokeMethod(
            chart, "mapToPosition", Q_RETURN_ARG(QPointF, at), Q_ARG(QPointF, QPointF(when, 230)),
            Q_ARG(QtCharts::QAbstractSeries *, qobject_cast<QtCharts::QAbstractSeries *>(input))));
        QVERIFY2(std::abs(mark->x() + mark->width() / 2 - at.x()) < 1.5,
                 qPrintable(QString::number(mark->x()) + " vs " + QString::number(at.x())));
        QCOMPARE(mark->property("mark").toMap().value("count").toInt(), 1);
    }
    QCOMPARE(history->property("marks").toList().at(1).toMap().value("text").toString(),
             QStringLiteral("Input voltage fault"));

    // The load switched off and on again from its box.
    QObject *load = series.at(2).value<QObject *>();
    QQuickItem *loadSwitch = item("seriesSwitch2");
    QVERIFY(m_host->click(loadSwitch));
    QTRY_VERIFY(!load->property("visible").toBool());
    QVERIFY(!loadSwitch->property("checked").toBool());
    QVERIFY(m_host->click(loadSwitch));
    QTRY_VERIFY(load->property("visible").toBool());

    // A day without samples says so.
    searchDays(today.addDays(-5), today.addDays(-5));
    QTRY_VERIFY_WITH_TIMEOUT(item("chartEmpty")->isVisible(), 30000);
    QCOMPARE(input->property("count").toInt(), 0);
}

// With other UPSes watched, a chooser says whose history the page shows: each view searches
// again for the chosen UPS and shows its rows only, the export carries them, and this
// computer's come back when it is chosen again. The device page of a watched UPS on the
// overview leads to its history; once it is no longer watched, the chooser goes.
void TestPages::eachUpsHistoryApart()
{
    QQuickItem *chooser = item("comboBoxUps");
    QVERIFY(chooser && !chooser->isVisible());
    exec("insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
         "temperature, ups) values('2026-03-14 20:00:00', 210, 211, 60, 49.9, 26, 25, "
         "'Upstairs'), ('2026-03-14 12:00:00', 212, 211, 61, 49.9, 26, 25, 'Upstairs'), "
         "('2026-03-14 11:00:00', 214, 211, 62, 49.9, 26, 25, 'Upstairs')");
    exec("insert into alarm(dateTime, alarm, ups) values('2026-03-14 12:30:00', 2, 'Upstairs')");
    exec("insert into log_self_test(dateTime, duration, count, ups) values("
         "'2026-03-14 07:00:00', 10, 10, 'Upstairs')");
    choose(0);
    searchDays(today, today);
    QTRY_COMPARE(modelOf("logDevData")->index(0, 1).data().toString(),
                 QStringLiteral("2026-03-14 23:59:59"));

    // A watched UPS (its server is not there: its history is what counts here).
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    WatchEntry upstairs;
    upstairs.name = QStringLiteral("Upstairs");
    upstairs.host = QStringLiteral("127.0.0.1");
    upstairs.port = closed.serverPort();
    upstairs.ups = QStringLiteral("ups");
    closed.close();
    Settings *settings = m_host->root().settings();
    QVERIFY(WatchList::write(settings, {upstairs}));
    QTRY_VERIFY(chooser->isVisible());
    QCOMPARE(QmlPageHost::call(chooser, "textAt", 0).toString(),
             QStringLiteral("This computer's UPS"));
    QCOMPARE(QmlPageHost::call(chooser, "textAt", 1).toString(), QStringLiteral("Upstairs"));

    // Chosen from the keyboard: the data shown are its own, and so is the export.
    chooser->forceActiveFocus();
    QTest::keyClick(m_host->view(), Qt::Key_Down);
    QCOMPARE(chooser->property("currentText").toString(), QStringLiteral("Upstairs"));
    QAbstractItemModel *data = modelOf("logDevData");
    QTRY_COMPARE(data->rowCount(), 3);
    QCOMPARE(data->data(data->index(0, 0), data->roleNames().key("inputVol")).toString(),
             QStringLiteral("210.0"));
    QCOMPARE(exportTo(m_out.filePath("upstairs.xlsx")),
             "Operation finished!\nSaved as " + m_out.filePath("upstairs.xlsx"));
    const QStringList rows = workbookRows(m_out.filePath("upstairs.xlsx"));
    QCOMPARE(rows.size(), 4);
    QVERIFY2(rows[1].startsWith("2026-03-14 20:00:00|210|211|60|"), qPrintable(rows[1]));

    // Every other view searches for it when shown: its alarm, its samples and their mark, its
    // self-test, and nothing of this computer's.
    choose(2);
    QAbstractItemModel *alarms = modelOf("logAlarmData");
    QTRY_COMPARE(alarms->rowCount(), 1);
    QCOMPARE(alarms->data(alarms->index(0, 0), alarms->roleNames().key("dateTime")).toString(),
             QStringLiteral("2026-03-14 12:30:00"));
    choose(1);
    QObject *history = item("logChart")->property("history").value<QObject *>();
    QTRY_VERIFY_WITH_TIMEOUT(
        history->property("samples").toInt() == 3 && !history->property("busy").toBool(), 30000);
    QCOMPARE(history->property("marks").toList().size(), 1);
    choose(4);
    QAbstractItemModel *tests = modelOf("logSelfTest");
    QTRY_COMPARE(tests->rowCount(), 1);
    QCOMPARE(tests->data(tests->index(0, 0), tests->roleNames().key("dateTime")).toString(),
             QStringLiteral("2026-03-14 07:00:00"));
    QFile recording(Paths::file(QStringLiteral("/data/self_test/Upstairs/20260314070000.txt")));
    QVERIFY(QDir().mkpath(QFileInfo(recording).path()) && recording.open(QIODevice::WriteOnly));
    recording.write("1,60,100\n2,61,97\n");
    recording.close();
    QVERIFY(QMetaObject::invokeMethod(item("tableViewSelfTest"), "clicked", Q_ARG(int, 0)));
    QObject *load = item("logSelfTest")->property("seriesLoad").value<QObject *>();
    QTRY_COMPARE(load->property("count").toInt(), 2);

    // This computer's again: the view shown now, and each other one when shown.
    chooser->forceActiveFocus();
    QTest::keyClick(m_host->view(), Qt::Key_Up);
    QTRY_COMPARE(tests->rowCount(), 2);
    choose(0);
    QTRY_COMPARE(data->index(0, 1).data().toString(), QStringLiteral("2026-03-14 23:59:59"));

    // From the overview: a watched UPS's device page opens the history page on it (on the days
    // it opens with, which hold one sample of each).
    const QString now = QDateTime::currentDateTime().toString("yyyy-MM-dd hh:mm:ss");
    exec(QStringLiteral("insert into device_data(dateTime, inputVol, ups) values('%1', 205, "
                        "'Upstairs'), ('%1', 235, '')")
             .arg(now));
    m_page = m_host->load(QStringLiteral("MainPanel.qml"), QSize(1366, 700));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_page->setProperty("currentIndex", int(UiEnums::MainTabOverview));
    QQuickItem *cards = nullptr;
    QTRY_VERIFY((cards = item("overviewCards")) && cards->childItems().size() == 3);
    QQuickItem *card = nullptr;
    for (QQuickItem *c : cards->childItems()) {
        QQuickItem *name = item(c, "cardName");
        if (name && name->property("text").toString() == QLatin1String("Upstairs"))
            card = c;
    }
    QVERIFY(m_host->click(card));
    QVERIFY(m_host->click(item("overviewHistory")));
    QCOMPARE(m_page->property("currentIndex").toInt(), int(UiEnums::MainTabLogData));
    chooser = item(item("pageLogData"), "comboBoxUps");
    QVERIFY(chooser && chooser->isVisible());
    QCOMPARE(chooser->property("currentText").toString(), QStringLiteral("Upstairs"));
    data = item(item("pageLogData"), "logDevData")->property("model").value<QAbstractItemModel *>();
    QTRY_COMPARE(data->rowCount(), 1);
    QCOMPARE(data->data(data->index(0, 0), data->roleNames().key("inputVol")).toString(),
             QStringLiteral("205.0"));

    // No longer watched: the chooser goes, and this computer's rows are shown.
    QVERIFY(WatchList::write(settings, {}));
    QTRY_VERIFY(!chooser->isVisible());
    QTRY_COMPARE(data->data(data->index(0, 0), data->roleNames().key("inputVol")).toString(),
                 QStringLiteral("235.0"));
    exec("delete from device_data where dateTime = '" + now + "'");
}

// The battery health view: the sentence while no discharge reached battery low, then, once an
// ageing battery's discharges are stored, one point and one row for each, the worn line, and the
// date its trend reaches it. It takes no dates.
void TestPages::batteryHealthOverTime()
{
    choose(5);
    QQuickItem *view = item("logHealth");
    QVERIFY(view && view->isVisible() && !item("dateStart")->isVisible());
    QQuickItem *none = item("healthNone");
    QTRY_VERIFY(none->isVisible());
    QVERIFY(none->property("text").toString().contains("first full-enough discharges"));

    // Twenty days apart at 50 % load: new twice, then 95 % and 90 % of its first runtime.
    const int runtimes[] = {1800, 1800, 1710, 1620};
    for (int k = 0; k < 4; ++k) {
        const QDateTime start(QDate(2025, 10, 1).addDays(20 * k), QTime(14, 0));
        const QString at = start.toString("yyyy-MM-dd hh:mm:ss");
        exec(QStringLiteral("insert into alarm(dateTime, alarm) values('%1', 2), (datetime('%1', "
                            "'+%2 seconds'), 4), (datetime('%1', '+%3 seconds'), 3)")
                 .arg(at)
                 .arg(runtimes[k])
                 .arg(runtimes[k] + 60));
        exec(QStringLiteral("insert into device_data(dateTime, load) with recursive c(i) as "
                            "(select 0 union all select i + 1 from c where (i + 1) * 30 < %2) "
                            "select datetime('%1', '+' || (i * 30) || ' seconds'), 50 from c")
                 .arg(at)
                 .arg(runtimes[k]));
    }
    // Shown again: read again.
    choose(0);
    choose(5);
    QObject *trend = view->property("trend").value<QObject *>();
    QTRY_VERIFY(!trend->property("busy").toBool() &&
                trend->property("points").toList().size() == 4);
    QVERIFY(!none->isVisible());
    QObject *health = view->property("seriesHealth").value<QObject *>();
    QObject *worn = view->property("seriesWorn").value<QObject *>();
    QObject *projection = view->property("seriesProjection").value<QObject *>();
    QVERIFY(health && worn && projection);
    QTRY_COMPARE(health->property("count").toInt(), 4);
    QPointF last;
    QVERIFY(QMetaObject::invokeMethod(health, "at", Q_RETURN_ARG(QPointF, last), Q_ARG(int, 3)));
    QVERIFY2(std::abs(last.y() - 90) < 0.5, qPrintable(QString::number(last.y())));
    QCOMPARE(worn->property("count").toInt(), 2);
    QVERIFY(QMetaObject::invokeMethod(worn, "at", Q_RETURN_ARG(QPointF, last), Q_ARG(int, 0)));
    QCOMPARE(last.y(), 80.0);
    QCOMPARE(projection->property("count").toInt(), 2);
    QCOMPARE(item("healthNow")->property("text").toString(),
             QStringLiteral("Now 90 % of what its first discharges showed"));
    const QDate reaches =
        QDateTime::fromMSecsSinceEpoch(qint64(trend->property("wornMsecs").toDouble())).date();
    QVERIFY2(reaches > QDate(2025, 12, 10) && reaches < QDate(2026, 3, 1),
             qPrintable(reaches.toString()));
    QCOMPARE(item("healthOutlook")->property("text").toString(),
             "On course to fall below 80 % around " + reaches.toString(Qt::ISODate));
    // Newest first: when, health, load and how long it lasted.
    QQuickItem *list = item("listHealth");
    QCOMPARE(list->property("count").toInt(), 4);
    QVariant rows = list->property("model");
    if (rows.userType() == qMetaTypeId<QJSValue>())
        rows = rows.value<QJSValue>().toVariant();
    const QVariantMap newest = rows.toList().value(0).toMap();
    QCOMPARE(qRound(newest.value("seconds").toDouble()), 1620);
    QCOMPARE(qRound(newest.value("load").toDouble()), 50);
}

void TestPages::settingsShownAndWritten()
{
    // The network sharing page against the real network server.
    ServiceNetwork *network = m_host->root().serviceNetwork();
    // Values stored before the page exists: the page shows them and leaves them.
    Settings *settings = m_host->root().settings();
    settings->setSettings(Settings::NetworkEnable, true);
    settings->setSettings(Settings::NetworkListen, "127.0.0.1");
    settings->setSettings(Settings::NetworkPort, 0); // any free port
    settings->setSettings(Settings::NetworkAliases, "qnapups");
    settings->setSettings(Settings::NetworkHostSync, 30);
    QTRY_VERIFY_WITH_TIMEOUT(network->listeningPort() != 0, 10000);
    m_page = m_host->load(QStringLiteral("SettingsNetwork.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_dialog = item(m_page, "msgDialog");

    QCOMPARE(item(m_page, "switchEnable")->property("checked").toBool(), true);
    QCOMPARE(item(m_page, "textFieldAliases")->property("text").toString(), QString("qnapups"));
    QCOMPARE(item(m_page, "spinBoxHostSync")->property("value").toInt(), 30);
    QCOMPARE(item(m_page, "labelState")->property("text").toString(),
             QStringLiteral("Serving the UPS on port %1").arg(network->listeningPort()));
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(settings->list(Settings::NetworkAliases).join(','), QString("qnapups"));
    QCOMPARE(settings->list(Settings::NetworkListen).join(','), QString("127.0.0.1"));

    // Edits reach the settings when the page is left; lists are tidied.
    type(m_page, "textFieldAllow", " 192.168.1.0/24 , fd00::/8,");
    type(m_page, "textFieldUpsName", "rack");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(settings->getSettings(Settings::NetworkAllow).toStringList(),
             QStringList({"192.168.1.0/24", "fd00::/8"}));
    QCOMPARE(settings->text(Settings::NetworkUpsName), QString("rack"));

    // What the server could not use is refused in the form, marked and said, never stored.
    const struct
    {
        const char *field, *typed, *said;
    } refusals[] = {
        {"textFieldAllow", "192.168.1.0/24, 192.0.2.0/33",
         "Not a network (such as 192.168.1.0/24 or fd00::/8): 192.0.2.0/33"},
        {"textFieldListen", "127.0.0.1, localhost", "Not an IP address: localhost"},
        {"textFieldAliases", "rack b", "A UPS name holds letters, digits and . _ - @ only: rack b"},
    };
    for (const auto &r : refusals) {
        const QString before = settings->getSettings(Settings::NetworkAllow).toString() +
            settings->list(Settings::NetworkListen).join(',') +
            settings->list(Settings::NetworkAliases).join(',');
        type(m_page, r.field, QString::fromLatin1(r.typed));
        m_page->setVisible(false);
        m_page->setVisible(true);
        QVERIFY2(item(m_page, r.field)->property("refused").toBool(), r.field);
        QCOMPARE(text(m_page, "labelRefusal"), QString::fromLatin1(r.said));
        QCOMPARE(settings->getSettings(Settings::NetworkAllow).toString() +
                     settings->list(Settings::NetworkListen).join(',') +
                     settings->list(Settings::NetworkAliases).join(','),
                 before);
        type(m_page, r.field, r.field == QByteArray("textFieldListen") ? "127.0.0.1" : "");
        m_page->setVisible(false);
        m_page->setVisible(true);
        QVERIFY(!item(m_page, "labelRefusal")->isVisible());
    }

    // Switched off: the server stops and the page says so.
    item(m_page, "switchEnable")->setProperty("checked", false);
    QTRY_COMPARE(network->listeningPort(), 0);
    QCOMPARE(item(m_page, "labelState")->property("text").toString(), QString("Off"));

    // An address this computer does not have: once the server has tried, the switch goes back
    // off and the page says why.
    type(m_page, "textFieldListen", "192.0.2.1");
    m_page->setVisible(false);
    m_page->setVisible(true);
    item(m_page, "switchEnable")->setProperty("checked", true);
    QTRY_VERIFY(!item(m_page, "switchEnable")->property("checked").toBool());
    QVERIFY(!settings->flag(Settings::NetworkEnable));
    const QString state = text(m_page, "labelState");
    QVERIFY2(state.startsWith("Switched off: cannot listen on 192.0.2.1 port "), qPrintable(state));
    type(m_page, "textFieldListen", "127.0.0.1");
    m_page->setVisible(false);
    m_page->setVisible(true);
    item(m_page, "switchEnable")->setProperty("checked", true);
    QTRY_VERIFY(network->listeningPort() != 0);
    QCOMPARE(text(m_page, "labelState"),
             QStringLiteral("Serving the UPS on port %1").arg(network->listeningPort()));
}

void TestPages::accountsThroughThePopup()
{
    ServiceNetwork *network = m_host->root().serviceNetwork();
    QQuickItem *popup = item(m_page, "popupNutUser");
    QVERIFY(press(m_page, "buttonAddUser"));
    QVERIFY(popup->isVisible());
    type(popup, "textFieldName", "monuser");
    type(popup, "textFieldPassword", "not secret");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog("A password is 1 to 64 characters without blanks, quotes, backslashes or #.");
    QVERIFY(popup->isVisible()); // to be corrected
    type(popup, "textFieldPassword", "secret");
    QVERIFY(press(popup, "buttonSure"));
    QVERIFY(!popup->isVisible());
    QCOMPARE(listed("listViewUser", "name"), QStringList {"monuser"});
    QCOMPARE(listed("listViewUser", "role"), QStringList {"monitor"});

    QVERIFY(press(m_page, "buttonAddUser"));
    type(popup, "textFieldName", "monuser");
    type(popup, "textFieldPassword", "other");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog("An account of this name exists already.");
    QVERIFY(press(popup, "buttonCancel"));

    // Modify: the name stays, the role changes, an empty password keeps the old one.
    const QByteArray hash = network->users()->accounts().at(0).passwordHash;
    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonModifyUser"));
    QCOMPARE(item(popup, "textFieldName")->property("text").toString(), QString("monuser"));
    QVERIFY(!item(popup, "textFieldName")->isEnabled());
    item(popup, "comboBoxRole")->setProperty("currentIndex", 1);
    QVERIFY(press(popup, "buttonSure"));
    QCOMPARE(listed("listViewUser", "role"), QStringList {"admin"});
    QCOMPARE(network->users()->accounts().at(0).passwordHash, hash);

    // Another process (the command line) adds one: listed without a reload.
    Settings other;
    other.load();
    QCOMPARE(NutAccountStore(&other).setAccount("nas", NutAccount::Monitor, "pw"),
             NutAccountStore::Done);
    QTRY_COMPARE(listed("listViewUser", "name"), (QStringList {"monuser", "nas"}));

    item(m_page, "listViewUser")->setProperty("currentIndex", 0);
    QVERIFY(press(m_page, "buttonDeleteUser"));
    QCOMPARE(listed("listViewUser", "name"), QStringList {"nas"});
}

void TestPages::connectedClientsListed()
{
    ServiceNetwork *network = m_host->root().serviceNetwork();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, quint16(network->listeningPort()));
    QVERIFY(client.waitForConnected(5000));
    QTRY_COMPARE(listed("listViewClient", "address"), QStringList {"127.0.0.1"});
    client.write("USERNAME nas\nPASSWORD pw\nLOGIN rack\n");
    QTRY_COMPARE(listed("listViewClient", "loggedIn"), QStringList {"true"});
    QCOMPARE(listed("listViewClient", "user"), QStringList {"nas"});
    client.disconnectFromHost();
    QTRY_VERIFY(listed("listViewClient", "address").isEmpty());
}

// Entries added on the page; a supply no watched UPS has is said under the supplies, one of a
// whole server that has not answered yet is not.
void TestPages::watchedListAndSupplies()
{
    WatchService *watch = m_host->root().watchService();
    m_page = m_host->load(QStringLiteral("SettingsWatch.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    // A port nothing listens on: the page needs no server.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString port = QString::number(closed.serverPort());
    closed.close();
    const QList<QPair<QString, QString>> added = {{"Upstairs", "ups"}, {"lab", "*"}};
    for (const auto &entry : added) {
        type(m_page, "watchName", entry.first);
        type(m_page, "watchHost", "127.0.0.1");
        type(m_page, "watchPort", port);
        type(m_page, "watchUps", entry.second);
        item("watchPlain")->setProperty("checked", true);
        QVERIFY(press(m_page, "watchAdd"));
        // Added: the form starts afresh, not with this entry's port and plain link.
        QTRY_COMPARE(text(m_page, "watchPort"), QStringLiteral("3493"));
        QCOMPARE(text(m_page, "watchUps"), QStringLiteral("*"));
        QVERIFY(!item("watchPlain")->property("checked").toBool());
    }
    QTRY_COMPARE(watch->entryList().size(), 2);
    QCOMPARE(text(m_page, "watchEntry0"), "Upstairs - ups@127.0.0.1:" + port);
    QCOMPARE(text(m_page, "watchEntry1"), "lab - every UPS of 127.0.0.1:" + port);

    typeAndLeave(m_page, "watchSupplies", "local, Upstairs, lab/u1, Upstair");
    QCOMPARE(m_host->root().settings()->getSettings(Settings::ShutdownSupplies).toStringList(),
             QStringList({"local", "Upstairs", "lab/u1", "Upstair"}));
    QTRY_VERIFY(item("watchUnknownSupplies")->isVisible());
    QCOMPARE(m_host->root().supplyCount()->unknown(), QStringList {"Upstair"});
    const QString said = QStringLiteral("No watched UPS is named Upstair: it is never judged and "
                                        "counts as able to feed this computer.");
    QCOMPARE(text(m_page, "watchUnknownSupplies"), said);
    // Written elsewhere (an import, a restore, the command line): the fields follow.
    m_host->root().settings()->setSettings(Settings::ShutdownSupplies, "local, lab/u1");
    m_host->root().settings()->setSettings(Settings::ShutdownMinSupplies, 2);
    QCOMPARE(text(m_page, "watchMinSupplies"), QStringLiteral("2"));
    QCOMPARE(text(m_page, "watchSupplies"), QStringLiteral("local, lab/u1"));
    m_host->root().settings()->setSettings(Settings::ShutdownMinSupplies, 1);
    m_host->root().settings()->setSettings(Settings::ShutdownSupplies, "local, Upstair");
    QCOMPARE(text(m_page, "watchSupplies"), QStringLiteral("local, Upstair"));
    // The shutdown page says it too.
    m_page = m_host->load(QStringLiteral("SettingsShutdown.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    QVERIFY(item("labelUnknownSupplies")->isVisible());
    QCOMPARE(text(m_page, "labelUnknownSupplies"), said);
    m_host->root().settings()->setSettings(Settings::ShutdownSupplies, "local, Upstairs");
    QTRY_VERIFY(!item("labelUnknownSupplies")->isVisible());
    m_host->root().settings()->setSettings(Settings::ShutdownSupplies, QString());
}

int main(int argc, char **argv)
{
    // An English system, so the automatic choice differs from French.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pages.moc"
