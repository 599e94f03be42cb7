// The e-mail settings page against the real e-mail service and recipient list: addresses and
// the SMTP account are checked before they are stored, and the test mail's outcome is reported
// only for the page's own test.
#include "compositionroot.h"
#include "database.h"
#include "qmlpagehost.h"
#include "serviceemail.h"
#include "testroot.h"

#include <QQuickItem>
#include <QQuickView>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
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

} // namespace

class TestEMailSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storedValuesAreShownAndKept();
    void recipientsAreCheckedBeforeTheyAreStored();
    void accountMustBeAnAddress();
    void senderIsCheckedAndMissingSettingsNamed();
    void testMailOutcomeIsReportedOnlyForOwnTest();

private:
    void answerDialog(const QString &expectedText);
    QQuickItem *item(QObject *under, const char *name) const
    {
        return m_host->find(under, QLatin1String(name));
    }
    bool press(QObject *under, const char *name) { return m_host->click(item(under, name)); }
    void type(QObject *under, const char *name, const QString &text)
    {
        item(under, name)->setProperty("text", text);
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_dialog = nullptr;
};

void TestEMailSettingsPage::initTestCase()
{
    m_host.reset(new QmlPageHost);
    for (const auto &stored : storedBefore)
        QVERIFY(m_host->root().serviceEMail()->setProperty(stored.property, stored.value));

    m_page = m_host->load(QStringLiteral("SettingsEMail.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(m_dialog);
}

void TestEMailSettingsPage::answerDialog(const QString &expectedText)
{
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->property("text").toString(), expectedText);
    QVERIFY(press(m_dialog, "msgDialogSure"));
    QVERIFY(!m_dialog->isVisible());
}

void TestEMailSettingsPage::storedValuesAreShownAndKept()
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

void TestEMailSettingsPage::recipientsAreCheckedBeforeTheyAreStored()
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

void TestEMailSettingsPage::accountMustBeAnAddress()
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

void TestEMailSettingsPage::senderIsCheckedAndMissingSettingsNamed()
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

void TestEMailSettingsPage::testMailOutcomeIsReportedOnlyForOwnTest()
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

QTEST_MAIN(TestEMailSettingsPage)
#include "tst_emailsettingspage.moc"
