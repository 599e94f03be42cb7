#include "smtpclient.h"
#include "smtptestserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

// The client against a real SMTP server on loopback: what arrives, and how each kind of failure
// comes back.
class TestSmtpClient : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void plainDeliveryAndRefusedRecipients();
    void encryptedDeliveryAndLogin();
    void failuresGiveTheirSignal();
    void abortStopsTheTransferSilently();

private:
    struct Spies
    {
        explicit Spies(SmtpClient *c)
            : connection(c, &SmtpClient::connectionFailed),
              encryption(c, &SmtpClient::encryptionFailed),
              authentication(c, &SmtpClient::authenticationFailed),
              refused(c, &SmtpClient::mailFailed),
              finished(c, &SmtpClient::finished)
        {
        }
        int total() const
        {
            return connection.count() + encryption.count() + authentication.count() +
                refused.count() + finished.count();
        }
        QSignalSpy connection, encryption, authentication, refused, finished;
    };

    static MailMessage simpleMessage(const QString &to = QStringLiteral("to@example.org"))
    {
        MailMessage message;
        message.sender = QStringLiteral("Quelta<ups@example.org>");
        message.recipients = QStringList {to};
        message.subject = QStringLiteral("Test E-Mail");
        message.body = QStringLiteral("This is a test E-Mail!");
        message.date = QDateTime::currentDateTime();
        return message;
    }
};

void TestSmtpClient::initTestCase()
{
    QVERIFY(QFile::exists(SmtpTestServer::certificateFile()));
}

void TestSmtpClient::init()
{
    qputenv("QUELTA_SMTP_CAFILE", SmtpTestServer::certificateFile().toUtf8());
    SmtpClient::setTimeouts(0, 0);
}

// One queue: a message with everything a header can hold and a binary attachment, then
// recipients the server or the client refuses, and the queue going on after them.
void TestSmtpClient::plainDeliveryAndRefusedRecipients()
{
    SmtpTestServer server(SmtpTestServer::Plain, QString(), 0, {QStringLiteral("refused")});
    QVERIFY(server.isRunning());

    QByteArray workbook;
    for (int i = 0; i < 5000; ++i)
        workbook.append(char(i * 7 % 256)); // every byte value, zeros and line ends included
    MailMessage message;
    message.sender = QStringLiteral("Élodie Dupont, UPS<elodie@example.org>");
    message.recipients =
        QStringList {QStringLiteral("a@example.org"), QStringLiteral("refused@example.org"),
                     QStringLiteral("b@example.org")};
    const QString subject =
        QStringLiteral("不间断电源告警：输入电压异常，请尽快检查 — Alarme déclenchée");
    message.subject = subject;
    message.body = QStringLiteral("Entrée coupée 输入\r\n\t\t\t\tFrom Quelta");
    message.date = QDateTime(QDate(2024, 3, 10), QTime(12, 0, 5), Qt::OffsetFromUTC, 3600);
    message.attachments.append(
        {QStringLiteral("record.xlsx"), "application/octet-stream", workbook});

    SmtpClient client;
    Spies spies(&client);
    client.setStartTlsDisabled(true);
    client.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    client.send(message); // delivered to the ones accepted
    client.send(simpleMessage(QStringLiteral("refused@example.org"))); // refused: reported
    client.send(simpleMessage(QStringLiteral("jörg@exämple.org"))); // not ASCII: refused too
    client.send(simpleMessage(QStringLiteral("last@example.org"))); // the queue goes on
    QTRY_COMPARE_WITH_TIMEOUT(spies.finished.count(), 1, 30000);
    QCOMPARE(spies.refused.count(), 2);
    QCOMPARE(spies.total(), 3);
    QVERIFY(!client.isBusy());

    const QJsonArray received = server.messages();
    QCOMPARE(received.size(), 2);
    QCOMPARE(received.at(1).toObject().value("envelope_to").toArray(),
             QJsonArray({"last@example.org"}));
    const QJsonObject mail = received.at(0).toObject();
    QCOMPARE(mail.value("defects").toArray(), QJsonArray());
    QCOMPARE(mail.value("envelope_from").toString(), QStringLiteral("elodie@example.org"));
    QCOMPARE(mail.value("envelope_to").toArray(), QJsonArray({"a@example.org", "b@example.org"}));
    QCOMPARE(mail.value("from_name").toString(), QStringLiteral("Élodie Dupont, UPS"));
    QCOMPARE(mail.value("subject").toString(), subject);
    QCOMPARE(mail.value("body").toString().trimmed(),
             QStringLiteral("Entrée coupée 输入\n\t\t\t\tFrom Quelta"));
    QCOMPARE(mail.value("date").toString(), QStringLiteral("Sun, 10 Mar 2024 12:00:05 +0100"));
    QVERIFY(mail.value("message_id").toString().endsWith(QStringLiteral("@example.org>")));

    const QJsonArray attachments = mail.value("attachments").toArray();
    QCOMPARE(attachments.size(), 1);
    const QJsonObject file = attachments.at(0).toObject();
    QCOMPARE(file.value("filename").toString(), QStringLiteral("record.xlsx"));
    QCOMPARE(file.value("content_type").toString(), QStringLiteral("application/octet-stream"));
    QFile saved(file.value("path").toString());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), workbook);
}

// STARTTLS and the service's choice of transport are covered by the e-mail service's test mail.
void TestSmtpClient::encryptedDeliveryAndLogin()
{
    // TLS from the start, a login with a password that is not ASCII accepted, then refused.
    SmtpTestServer server(SmtpTestServer::Tls, QStringLiteral("ups:s3cret é"));
    QVERIFY(server.isRunning());
    auto login = [&server](SmtpClient &client, const QString &password) {
        client.setStartTlsDisabled(true);
        client.setUsername("ups");
        client.setPassword(password.toUtf8());
        client.connectToSecureHost(QStringLiteral("127.0.0.1"), server.port());
        client.send(simpleMessage());
    };
    SmtpClient good;
    Spies goodSpies(&good);
    login(good, QStringLiteral("s3cret é"));
    QTRY_COMPARE_WITH_TIMEOUT(goodSpies.finished.count(), 1, 20000);
    QCOMPARE(goodSpies.total(), 1);
    const QJsonObject mail = server.messages().at(0).toObject();
    QCOMPARE(mail.value("tls").toBool(), true);
    QCOMPARE(mail.value("login").toString(), QStringLiteral("ups"));

    SmtpClient bad;
    Spies badSpies(&bad);
    login(bad, QStringLiteral("wrong"));
    bad.send(simpleMessage()); // dropped with the first: no retry
    QTRY_COMPARE_WITH_TIMEOUT(badSpies.authentication.count(), 1, 20000);
    QTest::qWait(200);
    QCOMPARE(badSpies.total(), 1);
    QCOMPARE(server.messageCount(), 1);
}

// A closed port and STARTTLS that is not offered are covered by the e-mail service's failure
// texts.
void TestSmtpClient::failuresGiveTheirSignal()
{
    SmtpTestServer plain(SmtpTestServer::Plain);
    SmtpTestServer tls(SmtpTestServer::Tls);
    SmtpTestServer silent(SmtpTestServer::Silent);
    QVERIFY(plain.isRunning() && tls.isRunning() && silent.isRunning());

    auto attempt = [](bool secure, quint16 port, const char *expected) {
        SmtpClient client;
        Spies spies(&client);
        client.setStartTlsDisabled(true);
        if (secure)
            client.connectToSecureHost(QStringLiteral("127.0.0.1"), port);
        else
            client.connectToHost(QStringLiteral("127.0.0.1"), port);
        client.send(simpleMessage());
        QSignalSpy *spy =
            QByteArray(expected) == "connection" ? &spies.connection : &spies.encryption;
        QTRY_COMPARE_WITH_TIMEOUT(spy->count(), 1, 20000);
        QTest::qWait(100);
        QCOMPARE(spies.total(), 1);
    };

    // TLS spoken to a plain server; a certificate nobody vouches for.
    attempt(true, plain.port(), "encryption");
    qunsetenv("QUELTA_SMTP_CAFILE");
    attempt(true, tls.port(), "encryption");
    qputenv("QUELTA_SMTP_CAFILE", SmtpTestServer::certificateFile().toUtf8());

    // Servers that never answer: bounded by the time-outs.
    SmtpClient::setTimeouts(1500, 1500);
    QElapsedTimer timer;
    timer.start();
    attempt(false, silent.port(), "connection");
    attempt(false, tls.port(), "connection"); // plain spoken to a TLS port
    QVERIFY2(timer.elapsed() < 15000, "time-outs did not bound the wait");

    // Not a host name at all.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^SMTP server address is not a host"));
    SmtpClient client;
    Spies spies(&client);
    client.connectToHost(QStringLiteral("smtp.example.org/evil path"), 25);
    client.send(simpleMessage());
    QTRY_COMPARE_WITH_TIMEOUT(spies.connection.count(), 1, 10000);
}

void TestSmtpClient::abortStopsTheTransferSilently()
{
    SmtpTestServer server(SmtpTestServer::Plain, QString(), 5.0);
    QVERIFY(server.isRunning());
    auto *client = new SmtpClient;
    Spies spies(client);
    client->setStartTlsDisabled(true);
    client->connectToHost(QStringLiteral("127.0.0.1"), server.port());
    MailMessage first = simpleMessage();
    first.subject = QStringLiteral("first");
    MailMessage second = simpleMessage();
    second.subject = QStringLiteral("second");
    client->send(first);
    client->send(second);
    QTRY_VERIFY_WITH_TIMEOUT(server.output().contains(QStringLiteral("DATA 1")), 20000);
    QVERIFY(client->isBusy());

    QElapsedTimer timer;
    timer.start();
    const QList<MailMessage> unsent = client->abort();
    QVERIFY2(timer.elapsed() < 3000, "abort waited for the server");
    QCOMPARE(unsent.size(), 2);
    QCOMPARE(unsent.at(0).subject, QStringLiteral("first"));
    QCOMPARE(unsent.at(1).subject, QStringLiteral("second"));
    client->send(second); // ignored once aborted
    QTest::qWait(300);
    QCOMPARE(spies.total(), 0);
    delete client;

    // Deleting a client that waits on a silent server returns at once as well.
    SmtpTestServer silent(SmtpTestServer::Silent);
    auto *waiting = new SmtpClient;
    waiting->connectToHost(QStringLiteral("127.0.0.1"), silent.port());
    waiting->send(first);
    QTest::qWait(300);
    timer.restart();
    delete waiting;
    QVERIFY2(timer.elapsed() < 3000, "deleting waited for the server");

    // A server that takes the mail and then never answers the farewell: the client is stuck
    // in libcurl's closing exchange, and abort() still returns at once.
    SmtpTestServer mute(SmtpTestServer::Plain, QString(), 0, QStringList(), true);
    auto *closing = new SmtpClient;
    Spies closingSpies(closing);
    closing->setStartTlsDisabled(true);
    closing->connectToHost(QStringLiteral("127.0.0.1"), mute.port());
    closing->send(first);
    QTRY_COMPARE_WITH_TIMEOUT(mute.messageCount(), 1, 20000);
    QTest::qWait(300);
    QVERIFY(closing->isBusy());
    timer.restart();
    closing->abort();
    QVERIFY2(timer.elapsed() < 3000, "abort waited for the farewell");
    QTest::qWait(100);
    QCOMPARE(closingSpies.total(), 0);
    delete closing;
}

QTEST_MAIN(TestSmtpClient)
#include "tst_smtpclient.moc"
