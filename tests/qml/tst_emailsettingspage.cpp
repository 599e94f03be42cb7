// The e-mail settings page against the real e-mail service and recipient list: addresses and
// the SMTP account are checked before they are stored, and the test mail's outcome is reported
// only for the page's own test.
#include "database.h"
#include "qmlpagehost.h"
#include "serviceemail.h"
#include "testroot.h"

#include <QQuickItem>
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

} // namespace

class TestEMailSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void storedValuesAreShownAndKept();
    void recipientsAreCheckedBeforeTheyAreStored();
    void accountMustBeAnAddress();
    void testMailOutcomeIsReportedOnlyForOwnTest();

private:
    void answerDialog(const QString &expectedText);

    TestRoot m_root;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
    QQuickItem *m_dialog = nullptr;
};

void TestEMailSettingsPage::initTestCase()
{
    // Values stored before the page exists: the page must show them, not overwrite them.
    ServiceEMail *service = ServiceEMail::instance();
    service->setEnable(true);
    service->setSenderName(QStringLiteral("Rack 4"));
    service->setServerPort(2525);
    service->setEncrypt(2);
    service->setDailyEnable(true);
    service->setDailyHour(7);
    service->setDailyMinute(5);
    service->setDailySecond(9);

    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("SettingsEMail.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));
    m_dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(m_dialog);
}

void TestEMailSettingsPage::answerDialog(const QString &expectedText)
{
    QVERIFY(m_dialog->isVisible());
    QCOMPARE(m_dialog->property("text").toString(), expectedText);
    QVERIFY(m_host->click(m_host->find(m_dialog, QStringLiteral("msgDialogSure"))));
    QVERIFY(!m_dialog->isVisible());
}

void TestEMailSettingsPage::storedValuesAreShownAndKept()
{
    auto field = [this](const char *name, const char *property) {
        return m_host->find(m_page, QLatin1String(name))->property(property);
    };
    QVERIFY(field("switchEnable", "checked").toBool());
    QCOMPARE(field("textFieldSenderName", "text").toString(), QStringLiteral("Rack 4"));
    QCOMPARE(field("textFieldServerPort", "text").toString(), QStringLiteral("2525"));
    QCOMPARE(field("comboBoxEncrypt", "currentIndex").toInt(), 2);
    QVERIFY(field("checkBoxDaily", "checked").toBool());
    QCOMPARE(field("spinBoxDailyHour", "value").toInt(), 7);
    QCOMPARE(field("spinBoxDailyMinute", "value").toInt(), 5);
    QCOMPARE(field("spinBoxDailySecond", "value").toInt(), 9);

    // Leaving the page writes back what it shows, which is what was stored.
    m_page->setVisible(false);
    m_page->setVisible(true);
    ServiceEMail *service = ServiceEMail::instance();
    QVERIFY(service->enable());
    QCOMPARE(service->senderName(), QStringLiteral("Rack 4"));
    QCOMPARE(int(service->serverPort()), 2525);
    QCOMPARE(service->encrypt(), 2);
    QVERIFY(service->dailyEnable());
    QCOMPARE(service->dailyHour(), 7);
    QCOMPARE(service->dailyMinute(), 5);
    QCOMPARE(service->dailySecond(), 9);

    // A change in a field reaches the service when the page is left.
    m_host->find(m_page, QStringLiteral("textFieldSenderName"))
        ->setProperty("text", QStringLiteral("Rack 5"));
    m_page->setVisible(false);
    m_page->setVisible(true);
    QCOMPARE(service->senderName(), QStringLiteral("Rack 5"));
}

void TestEMailSettingsPage::recipientsAreCheckedBeforeTheyAreStored()
{
    QmlPageHost &host = *m_host;
    QQuickItem *popup = host.find(m_page, QStringLiteral("popupAddEMailUser"));
    QQuickItem *field = host.find(popup, QStringLiteral("textFieldUser"));
    QVERIFY(popup && field);

    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonAddUser"))));
    QVERIFY(popup->isVisible());
    field->setProperty("text", QStringLiteral("ops@my-site.com"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    answerDialog(QStringLiteral("E-Mail address is invalid!"));
    QVERIFY(popup->isVisible()); // the user can correct it
    QVERIFY(storedRecipients().isEmpty());

    field->setProperty("text", QStringLiteral("ops@example.com"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    QVERIFY(!popup->isVisible());
    QCOMPARE(storedRecipients(), QStringList {QStringLiteral("ops@example.com")});

    // Modify the chosen row: the pop-up shows its address; an invalid change is refused.
    QQuickItem *list = host.find(m_page, QStringLiteral("listViewUser"));
    list->setProperty("currentIndex", 0);
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonModifyUser"))));
    QCOMPARE(field->property("text").toString(), QStringLiteral("ops@example.com"));
    field->setProperty("text", QStringLiteral("ops@example"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    answerDialog(QStringLiteral("E-Mail address is invalid!"));
    field->setProperty("text", QStringLiteral("night.shift@example.org"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    QCOMPARE(storedRecipients(), QStringList {QStringLiteral("night.shift@example.org")});

    list->setProperty("currentIndex", 0);
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonDeleteUser"))));
    QVERIFY(storedRecipients().isEmpty());
}

void TestEMailSettingsPage::accountMustBeAnAddress()
{
    QmlPageHost &host = *m_host;
    ServiceEMail *service = ServiceEMail::instance();
    service->setAuthAccount(QStringLiteral("before@example.com"));

    QQuickItem *auth = host.find(m_page, QStringLiteral("checkBoxAuth"));
    QVERIFY(host.click(auth));
    QTRY_VERIFY(service->authEnable());
    QQuickItem *popup = host.find(m_page, QStringLiteral("popupSetEMailSender"));
    QVERIFY(host.click(host.find(m_page, QStringLiteral("buttonAuthSettings"))));
    QVERIFY(popup->isVisible());
    QCOMPARE(host.find(popup, QStringLiteral("textFieldAccount"))->property("text").toString(),
             QStringLiteral("before@example.com"));

    host.find(popup, QStringLiteral("textFieldAccount"))
        ->setProperty("text", QStringLiteral("mailer"));
    host.find(popup, QStringLiteral("textFieldPassword"))
        ->setProperty("text", QStringLiteral("s3cret"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    answerDialog(QStringLiteral("User account is invalid!"));
    QCOMPARE(service->authAccount(), QStringLiteral("before@example.com"));

    host.find(popup, QStringLiteral("textFieldAccount"))
        ->setProperty("text", QStringLiteral("mailer@example.com"));
    QVERIFY(host.click(host.find(popup, QStringLiteral("buttonSure"))));
    QVERIFY(!popup->isVisible());
    QCOMPARE(service->authAccount(), QStringLiteral("mailer@example.com"));
    QCOMPARE(service->authPassword(), QStringLiteral("s3cret"));
}

void TestEMailSettingsPage::testMailOutcomeIsReportedOnlyForOwnTest()
{
    ServiceEMail *service = ServiceEMail::instance();

    // Another sender's outcome (an alarm mail, say) is none of the page's business.
    emit service->emailFinished();
    emit service->emailFailed(QStringLiteral("connection failed"));
    QVERIFY(!m_dialog->isVisible());

    // A server on loopback that takes the connection, says nothing, then hangs up.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    auto type = [this](const char *name, const QString &text) {
        m_host->find(m_page, QLatin1String(name))->setProperty("text", text);
    };
    type("textFieldServerAddress", QStringLiteral("127.0.0.1"));
    type("textFieldServerPort", QString::number(server.serverPort()));
    type("textFieldSenderAddress", QStringLiteral("ups@example.com"));
    service->setEncrypt(0);
    service->setAuthEnable(false);

    QVERIFY(m_host->click(m_host->find(m_page, QStringLiteral("buttonTestMail"))));
    QTRY_VERIFY_WITH_TIMEOUT(server.hasPendingConnections(), 10000);
    QTcpSocket *client = server.nextPendingConnection();
    QCoreApplication::processEvents();
    QCOMPARE(m_host->find(m_page, QStringLiteral("labelTestMail"))->property("text").toString(),
             QStringLiteral("Sending test E-Mail..."));
    QVERIFY(!m_host->find(m_page, QStringLiteral("buttonTestMail"))->property("enabled").toBool());
    QVERIFY(!m_dialog->isVisible());
    client->close();

    QTRY_VERIFY_WITH_TIMEOUT(m_dialog->isVisible(), 15000);
    QVERIFY(m_dialog->property("text").toString().startsWith(
        QStringLiteral("Failed to send test E-Mail!")));
    QVERIFY(m_host->click(m_host->find(m_dialog, QStringLiteral("msgDialogSure"))));
    QCOMPARE(m_host->find(m_page, QStringLiteral("labelTestMail"))->property("text").toString(),
             QString());

    // A late second signal of the same exchange opens nothing more.
    emit service->emailFinished();
    QVERIFY(!m_dialog->isVisible());
}

QTEST_MAIN(TestEMailSettingsPage)
#include "tst_emailsettingspage.moc"
