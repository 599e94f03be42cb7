// The settings pages against the real services they set, one program for all of them: the
// module "Quelta" 1.0 the screens import (each singleton the root's own object), the address
// rule of the e-mail settings; the e-mail page, whose addresses and SMTP account are checked
// before they are stored and whose test mail's outcome is reported only for its own test; the
// common page: the language box shows the language in use, chosen or taken from the system, the
// export says where the file went and has the keyboard after a file dialog, the notice switch,
// the battery fields and the calendar's weekday names.
#include "alarm.h"
#include "batteryage.h"
#include "clock.h"
#include "compositionroot.h"
#include "database.h"
#include "devcomm.h"
#include "listmodelemailuser.h"
#include "pagesettingscommon.h"
#include "qmlpagehost.h"
#include "serviceemail.h"
#include "servicenotification.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "testroot.h"
#include "translator.h"

#include <QApplication>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList storedRecipients()
{
    QStringList users;
    QSqlQuery query;
    query.exec(QStringLiteral("select user from %1 order by id")
                   .arg(Database::tableName(Database::TableEMailUser)));
    while (query.next())
        users << query.value(0).toString();
    return users;
}

// Values stored before the page exists: the page must show them, not overwrite them.
const struct
{
    const char *property;
    QVariant value;
    const char *field, *shownAs;
} storedBefore[] = {
    {"enable", true, "switchEnable", "checked"},
    {"senderName", "Rack 4", "textFieldSenderName", "text"},
    {"serverPort", 2525, "textFieldServerPort", "text"},
    {"encrypt", 2, "comboBoxEncrypt", "currentIndex"},
    {"dailyEnable", true, "checkBoxDaily", "checked"},
    {"dailyHour", 7, "spinBoxDailyHour", "value"},
    {"dailyMinute", 5, "spinBoxDailyMinute", "value"},
    {"dailySecond", 9, "spinBoxDailySecond", "value"},
};

// Each singleton and context property by name, through a QML function.
QObject *wiringProbe(QQmlEngine *engine, QQmlContext *context)
{
    QByteArray qml = "import QtQuick 2.15\nimport Quelta 1.0\nQtObject {\n"
                     "function named(name) {\n";
    for (const char *name :
         {"Translator", "Alarm", "Settings", "DevComm", "ServiceEMail", "ServiceShutdown",
          "PageSettingsCommon", "appName", "appVersion", "window", "listModelEMailUser"})
        qml += QByteArray("if (name === \"") + name + "\") return " + name + "\n";
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

} // namespace

class TestSettingsPages : public QObject
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

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_dialog = nullptr;
    QTemporaryDir m_out;
};

void TestSettingsPages::initTestCase()
{
    Clock::setNow(QDateTime(QDate(2026, 2, 10), QTime(9, 0)));
    m_host.reset(new QmlPageHost);
    for (const auto &stored : storedBefore)
        QVERIFY(m_host->root().serviceEMail()->setProperty(stored.property, stored.value));

    m_page = m_host->load(QStringLiteral("SettingsEMail.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(m_dialog);
}

void TestSettingsPages::singletonsAreTheRootsObjects()
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
    QCOMPARE(named(first.data(), "appName").toString(), QStringLiteral("QUELTA"));
    QCOMPARE(named(first.data(), "appVersion").toString(), QStringLiteral("v1.0.12"));
    QCOMPARE(named(first.data(), "window").value<QObject *>(), m_host->view());
    QCOMPARE(named(first.data(), "listModelEMailUser").value<QObject *>(),
             static_cast<QObject *>(root.serviceEMail()->listModelEMailUser()));
    auto *page = named(first.data(), "PageSettingsCommon").value<QObject *>();
    QVERIFY(qobject_cast<PageSettingsCommon *>(page));
    QCOMPARE(named(first.data(), "PageSettingsCommon").value<QObject *>(), page);

    // A second engine: the same objects, a page object of its own that goes with it.
    QPointer<QObject> other;
    {
        QQmlEngine engine;
        QScopedPointer<QObject> second(wiringProbe(&engine, engine.rootContext()));
        QVERIFY(second);
        for (const auto &entry : owned)
            QCOMPARE(named(second.data(), entry.first).value<QObject *>(), entry.second);
        other = named(second.data(), "PageSettingsCommon").value<QObject *>();
        QVERIFY(qobject_cast<PageSettingsCommon *>(other) && other != page);
    }
    QVERIFY(other.isNull());
    QCOMPARE(root.alarm()->alarmNum(), 0);
}

void TestSettingsPages::mailAddressRule()
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

void TestSettingsPages::answerDialog(const QString &expectedText)
{
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->property("text").toString(), expectedText);
    QVERIFY(press(m_dialog, "msgDialogSure"));
    QVERIFY(!m_dialog->isVisible());
}

void TestSettingsPages::storedValuesAreShownAndKept()
{
    // Shown, and left as they were when the page is left (it writes back what it shows).
    ServiceEMail *service = m_host->root().serviceEMail();
    m_page->setVisible(false);
    m_page->setVisible(true);
    for (const auto &stored : storedBefore) {
        QCOMPARE(item(m_page, stored.field)->property(stored.shownAs).toString(),
                 stored.value.toString());
        QCOMPARE(service->property(stored.property).toString(), stored.value.toString());
    }

    // A change in a field reaches the service when the page is left.
    type(m_page, "textFieldSenderName", "Rack 5");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(service->senderName(), QStringLiteral("Rack 5"));
}

void TestSettingsPages::recipientsAreCheckedBeforeTheyAreStored()
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

void TestSettingsPages::accountMustBeAnAddress()
{
    ServiceEMail *service = m_host->root().serviceEMail();
    service->setAuthAccount(QStringLiteral("before@example.com"));
    QVERIFY(press(m_page, "checkBoxAuth"));
    QTRY_VERIFY(service->authEnable());
    QQuickItem *popup = item(m_page, "popupSetEMailSender");
    QVERIFY(press(m_page, "buttonAuthSettings"));
    QVERIFY(popup->isVisible());
    QCOMPARE(item(popup, "textFieldAccount")->property("text").toString(),
             QString("before@example.com"));

    type(popup, "textFieldAccount", "mailer");
    type(popup, "textFieldPassword", "s3cret");
    QVERIFY(press(popup, "buttonSure"));
    answerDialog(QStringLiteral("User account is invalid!"));
    QCOMPARE(service->authAccount(), QStringLiteral("before@example.com"));

    type(popup, "textFieldAccount", "mailer@example.com");
    QVERIFY(press(popup, "buttonSure"));
    QVERIFY(!popup->isVisible());
    QCOMPARE(service->authAccount(), QStringLiteral("mailer@example.com"));
    QCOMPARE(service->authPassword(), QStringLiteral("s3cret"));
}

void TestSettingsPages::senderIsCheckedAndMissingSettingsNamed()
{
    ServiceEMail *service = m_host->root().serviceEMail();
    service->setAuthEnable(false);
    QQuickItem *sender = item(m_page, "textFieldSenderAddress");
    type(m_page, "textFieldSenderAddress", "ups@example.com");
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(service->senderAddress(), QStringLiteral("ups@example.com"));

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
        QCOMPARE(service->senderAddress(), QString::fromUtf8(c.stored));
        // Leaving the page keeps a refused address out of the settings too.
        m_page->setVisible(false);
        m_page->setVisible(true);
        QCOMPARE(service->senderAddress(), QString::fromUtf8(c.stored));
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
    QCOMPARE(service->senderAddress(), QString());
}

void TestSettingsPages::testMailOutcomeIsReportedOnlyForOwnTest()
{
    ServiceEMail *service = m_host->root().serviceEMail();

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
    service->setEncrypt(0);
    service->setAuthEnable(false);

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
void TestSettingsPages::languageBoxShowsTheLanguageInUse()
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

void TestSettingsPages::exportSaysWhereAndTakesTheKeyboard()
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

void TestSettingsPages::noticeSwitchAndBattery()
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
    item("spinBoxReplaceMonths")->setProperty("value", 48);
    QCOMPARE(age->replaceMonths(), 48);
    QCOMPARE(item("labelBatteryDue")->property("text").toString(),
             QStringLiteral("Replacement due on 2026-11-30."));
    // Settings written elsewhere (an import) reach the fields.
    settings->setSettings(Settings::BatteryReplaceMonths, 24);
    QCOMPARE(item("spinBoxReplaceMonths")->property("value").toInt(), 24);
}

void TestSettingsPages::calendarSpeaksTheLanguage()
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

int main(int argc, char **argv)
{
    // An English system, so the automatic choice differs from French.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestSettingsPages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingspages.moc"
