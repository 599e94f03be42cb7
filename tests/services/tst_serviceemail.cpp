#include "alarm.h"
#include "clock.h"
#include "compositionroot.h"
#include "listmodelemailuser.h"
#include "paths.h"
#include "pythonscript.h"
#include "serviceemail.h"
#include "settings.h"
#include "smtpclient.h"
#include "smtptestserver.h"
#include "testroot.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

// Every outcome signal of one client.
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
        return connection.count() + encryption.count() + authentication.count() + refused.count() +
            finished.count();
    }
    QSignalSpy connection, encryption, authentication, refused, finished;
};

MailMessage simpleMessage(const QString &to = QStringLiteral("to@example.org"))
{
    MailMessage message;
    message.sender = QStringLiteral("Quelta<ups@example.org>");
    message.recipients = QStringList {to};
    message.subject = QStringLiteral("Test E-Mail");
    message.body = QStringLiteral("This is a test E-Mail!");
    message.date = QDateTime::currentDateTime();
    return message;
}

} // namespace

// The e-mail service of the program and the SMTP client under it, against a real SMTP server on
// loopback: what arrives, and how each kind of failure comes back.
class TestServiceEMail : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void settingsAndTimerRules();
    void testMailOverEachTransport();
    void failureTexts();
    void alarmMailToEveryRecipient();
    void dailyReportOfYesterday();
    void secondSendWhileTheFirstIsUnderWay();
    void clientDeliveryAndRefusedRecipients();
    void clientFailuresGiveTheirSignal();
    void clientAbortStopsTheTransferSilently();

private:
    ServiceEMail *service() const { return m_program.serviceEMail(); }
    void set(int type, const QVariant &value) { m_program.settings()->setSettings(type, value); }
    void useServer(const SmtpTestServer &server, int encrypt)
    {
        set(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
        set(Settings::EMailServerPort, server.port());
        set(Settings::EMailEncrypt, encrypt);
    }
    void setRecipients(const QStringList &users)
    {
        service()->listModelEMailUser()->removeAll();
        for (const QString &user : users)
            service()->listModelEMailUser()->addUser(user);
    }
    void tickAt(const QDateTime &when)
    {
        Clock::setNow(when);
        QMetaObject::invokeMethod(service(), "onTimerTimeout");
    }
    static QString signature(const QString &text) { return text + "\n\t\t\t\tFrom Quelta"; }

    // The program's own e-mail service, alarms joined to it as the program joins them.
    TestRoot m_root {TestRoot::FoldersOnly};
    CompositionRoot m_program;
};

void TestServiceEMail::initTestCase()
{
    m_program.openStores();
    service()->start();
    qputenv("QUELTA_SMTP_CAFILE", SmtpTestServer::certificateFile().toUtf8());
    QSqlQuery insert;
    QVERIFY(insert.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) values ('2024-03-09 23:59:59', 220, 220, 1, 50, 13, 25), "
        "('2024-03-10 12:00:00', 231.04, 230, 38, 50, 13.5, 25), "
        "('2024-03-10 00:00:00', 229.96, 230.04, 37, 49.96, 13.456, 24.26), "
        "('2024-03-10 23:59:59', 232, 230, 39, 50.04, 13.444, 25.55), "
        "('2024-03-11 00:00:00', 233, 230, 40, 50, 13.5, 25)")));
}

void TestServiceEMail::init()
{
    SmtpClient::setTimeouts(0, 0);
    set(Settings::EMailSenderName, QStringLiteral("UPS Room"));
    set(Settings::EMailSenderAddress, QStringLiteral("ups@example.org"));
    set(Settings::EMailAuthEnable, false);
}

void TestServiceEMail::settingsAndTimerRules()
{
    Settings *settings = m_program.settings();
    // The daily timer runs only while both the e-mail and the daily report are on.
    QVERIFY(!service()->isDailyTimerActive());
    set(Settings::EMailDailyEnable, true);
    QVERIFY(!service()->isDailyTimerActive());
    set(Settings::EMailEnable, true);
    QVERIFY(service()->isDailyTimerActive());
    set(Settings::EMailEnable, false);
    QVERIFY(!service()->isDailyTimerActive());
    set(Settings::EMailEnable, true);
    set(Settings::EMailDailyEnable, false);
    QVERIFY(!service()->isDailyTimerActive());

    // The password is stored protected, and read as the text it was.
    set(Settings::EMailAuthPassword, QStringLiteral("pässwörd"));
    QCOMPARE(settings->text(Settings::EMailAuthPassword), QStringLiteral("pässwörd"));
    QVERIFY(settings->getSettings(Settings::EMailAuthPassword, true).toByteArray() !=
            QStringLiteral("pässwörd").toUtf8());

    // Written by someone else (an import or restore): followed at once, the timer with it.
    settings->setSettings(Settings::EMailDailyEnable, true);
    QVERIFY(service()->isDailyTimerActive());
    set(Settings::EMailDailyEnable, false);
    set(Settings::EMailEnable, false);

    // A stored time that is no time, or a port that is none: the defaults, said once each.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("dailyTime=noon .* 12:00:00 is used"));
    settings->setSettings(Settings::EMailDailyTime, QStringLiteral("noon"));
    QCOMPARE(settings->text(Settings::EMailDailyTime), QStringLiteral("12:00:00"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("serverPort=66123 .* 25 is used"));
    settings->setSettings(Settings::EMailServerPort, 65536 + 587);
    QCOMPARE(settings->number(Settings::EMailServerPort), 25);
    settings->setSettings(Settings::EMailDailyTime, QStringLiteral("12:00:00"));
}

void TestServiceEMail::testMailOverEachTransport()
{
    setRecipients({}); // the test mail goes to the sender whatever the list holds
    set(Settings::EMailEnable, false);
    const SmtpTestServer::Mode modes[] = {SmtpTestServer::Plain, SmtpTestServer::StartTls,
                                          SmtpTestServer::Tls};
    for (int encrypt = 0; encrypt < 3; ++encrypt) {
        SmtpTestServer server(modes[encrypt], QStringLiteral("mailer:pa55 é"));
        QVERIFY(server.isRunning());
        useServer(server, encrypt);
        set(Settings::EMailAuthEnable, encrypt == 2);
        set(Settings::EMailAuthName, QStringLiteral("mailer"));
        set(Settings::EMailAuthPassword, QStringLiteral("pa55 é")); // not ASCII
        QSignalSpy finished(service(), &ServiceEMail::emailFinished);
        QSignalSpy failed(service(), &ServiceEMail::emailFailed);
        service()->sendTestEMail();
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
        QCOMPARE(failed.count(), 0);

        const QJsonArray received = server.messages();
        QCOMPARE(received.size(), 1);
        const QJsonObject mail = received.at(0).toObject();
        QCOMPARE(mail.value("from_name").toString(), QStringLiteral("UPS Room"));
        QCOMPARE(mail.value("envelope_to").toArray(), QJsonArray({"ups@example.org"}));
        QCOMPARE(mail.value("subject").toString(), QStringLiteral("Test E-Mail"));
        QCOMPARE(mail.value("body").toString().trimmed(), signature("This is a test E-Mail!"));
        QCOMPARE(mail.value("tls").toBool(), encrypt != 0);
        QCOMPARE(mail.value("login").toString(),
                 encrypt == 2 ? QStringLiteral("mailer") : QString());
    }
}

// Each failure signal of the client becomes its text; how the client tells the failures apart
// is its own test.
void TestServiceEMail::failureTexts()
{
    SmtpTestServer plain(SmtpTestServer::Plain);
    SmtpTestServer tls(SmtpTestServer::Tls, QStringLiteral("mailer:pa55"));
    quint16 closedPort = 0;
    {
        SmtpTestServer gone(SmtpTestServer::Plain);
        closedPort = gone.port();
    }
    auto expectFailure = [this](const QString &text) {
        QSignalSpy finished(service(), &ServiceEMail::emailFinished);
        QSignalSpy failed(service(), &ServiceEMail::emailFailed);
        service()->sendTestEMail();
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 20000);
        QCOMPARE(failed.at(0).at(0).toString(), text);
        // A failed connection ends the client's queue: no "finished" follows (the client's own
        // cases show that nothing else comes after it).
        QCOMPARE(finished.count(), 0);
    };

    set(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
    set(Settings::EMailServerPort, closedPort);
    set(Settings::EMailEncrypt, 0);
    expectFailure(QStringLiteral("connection failed"));
    useServer(plain, 1); // STARTTLS chosen, not offered
    expectFailure(QStringLiteral("encryption failed"));
    QCOMPARE(plain.messageCount(), 0);
    useServer(tls, 2);
    set(Settings::EMailAuthEnable, true);
    set(Settings::EMailAuthName, QStringLiteral("mailer"));
    set(Settings::EMailAuthPassword, QStringLiteral("wrong"));
    expectFailure(QStringLiteral("authentication failed"));

    // A test mail that lacks what it needs names it instead of trying to connect.
    set(Settings::EMailServerAddress, QString());
    expectFailure(QStringLiteral("no server address"));
    set(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
    set(Settings::EMailSenderAddress, QStringLiteral(" "));
    set(Settings::EMailAuthName, QString());
    expectFailure(QStringLiteral("no sender address (the test mail goes to it), no login account"));
    QCOMPARE(tls.messageCount(), 0);
    set(Settings::EMailAuthEnable, false);
}

void TestServiceEMail::alarmMailToEveryRecipient()
{
    SmtpTestServer server(SmtpTestServer::Plain);
    QVERIFY(server.isRunning());
    useServer(server, 0);
    QSignalSpy finished(service(), &ServiceEMail::emailFinished);

    // Off, or nobody to tell: no connection at all.
    setRecipients({QStringLiteral("a@example.org")});
    set(Settings::EMailEnable, false);
    service()->sendAlarmEMail(QStringLiteral("ignored"));
    set(Settings::EMailEnable, true);
    setRecipients({});
    service()->sendAlarmEMail(QStringLiteral("ignored"));
    // No server set: the log says so rather than report a failed connection.
    setRecipients({QStringLiteral("a@example.org")});
    set(Settings::EMailServerAddress, QStringLiteral(" "));
    QTest::ignoreMessage(QtWarningMsg,
                         "Alarm mail not sent (set these on the E-Mail page): no server address");
    service()->sendAlarmEMail(QStringLiteral("ignored"));
    useServer(server, 0);

    setRecipients({QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                   QStringLiteral("a@example.org")});
    service()->sendAlarmEMail(QStringLiteral("Entrée: 输入电压异常"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    // The mail sent after them is the server's first connection and the first signal.
    QCOMPARE(server.output().count(QStringLiteral("CONNECT")), 1);

    // Raised through the alarm catalogue: mailed once, however often it is raised.
    QVERIFY(m_program.alarm()->addAlarm(Alarm::MainsFault));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
    QVERIFY(m_program.alarm()->addAlarm(Alarm::MainsFault));
    service()->sendAlarmEMail(QStringLiteral("after"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 20000);

    const QJsonArray received = server.messages();
    QCOMPARE(received.size(), 3);
    QCOMPARE(received.at(2).toObject().value("body").toString().trimmed(), signature("after"));
    const QJsonObject first = received.at(0).toObject();
    QCOMPARE(first.value("envelope_to").toArray(),
             QJsonArray({"a@example.org", "b@example.org", "a@example.org"}));
    QCOMPARE(first.value("subject").toString(), QStringLiteral("UPS Alarm"));
    QCOMPARE(first.value("body").toString().trimmed(), signature("Entrée: 输入电压异常"));
    QCOMPARE(received.at(1).toObject().value("body").toString().trimmed(),
             signature("Input voltage fault"));
    m_program.alarm()->delAlarm(Alarm::MainsFault);
}

void TestServiceEMail::dailyReportOfYesterday()
{
    SmtpTestServer server(SmtpTestServer::Plain);
    QVERIFY(server.isRunning());
    useServer(server, 0);
    set(Settings::EMailEnable, true);
    set(Settings::EMailDailyEnable, true);
    QVERIFY(service()->isDailyTimerActive());
    QSignalSpy finished(service(), &ServiceEMail::emailFinished);
    // Told at once when a report goes out (the mail itself is sent on the client's thread).
    QSignalSpy sent(service(), &ServiceEMail::dailyReportSent);
    const QString report = Paths::file(QStringLiteral("/record.xlsx"));

    // Nobody to send it to: no workbook, no connection.
    setRecipients({});
    QFile::remove(report);
    tickAt(QDateTime(QDate(2024, 3, 9), QTime(12, 0, 0)));
    QVERIFY(!QFile::exists(report));
    QCOMPARE(sent.count(), 0);

    setRecipients({QStringLiteral("ops@example.org")});
    tickAt(QDateTime(QDate(2024, 3, 11), QTime(11, 59, 59)));
    QCOMPARE(sent.count(), 0);
    tickAt(QDateTime(QDate(2024, 3, 11), QTime(12, 0, 0)));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    QVERIFY(QFile::exists(report));
    // Later ticks of the same minute, the same second included, send nothing more.
    tickAt(QDateTime(QDate(2024, 3, 11), QTime(12, 0, 0)));
    tickAt(QDateTime(QDate(2024, 3, 11), QTime(12, 0, 30)));
    QCOMPARE(sent.count(), 1);
    // A note (the battery's age) goes with the next report only.
    service()->setDailyNote(QStringLiteral("battery"), QStringLiteral("Replace the battery."));
    // A report that cannot go out for want of a server keeps its note for the next one.
    set(Settings::EMailServerAddress, QString());
    QTest::ignoreMessage(QtWarningMsg,
                         "Daily report not sent (set these on the E-Mail page): no server address");
    service()->sendDailyReport();
    QCOMPARE(sent.count(), 1);
    useServer(server, 0);
    // The next day the first tick comes late (the GUI thread was busy): still sent.
    tickAt(QDateTime(QDate(2024, 3, 12), QTime(12, 0, 45)));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
    // A whole minute late is too late; a day without samples gets the title row only.
    tickAt(QDateTime(QDate(2024, 3, 13), QTime(12, 1, 0)));
    tickAt(QDateTime(QDate(2024, 3, 14), QTime(12, 0, 1)));
    QCOMPARE(sent.count(), 3);
    QCOMPARE(sent.at(1).at(0).toStringList(), QStringList({"battery"}));
    QCOMPARE(sent.at(2).at(0).toStringList(), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 3, 20000);

    const QJsonArray received = server.messages();
    QCOMPARE(received.size(), 3);
    const QJsonArray titles {"Date",
                             "Input Voltage(V)",
                             "Output Voltage(V)",
                             "UPS Load(%)",
                             "Input Frequency(Hz)",
                             "Battery voltage(V)",
                             QStringLiteral("Temperature(℃)")};
    const QJsonArray expectedRows[] = {
        QJsonArray({titles, QJsonArray({"2024-03-10 00:00:00", 230, 230, 37, 50, 13.46, 24.3}),
                    QJsonArray({"2024-03-10 12:00:00", 231, 230, 38, 50, 13.5, 25}),
                    // 25.55 read in single precision is 25.549999...
                    QJsonArray({"2024-03-10 23:59:59", 232, 230, 39, 50, 13.44, 25.5})}),
        QJsonArray({titles, QJsonArray({"2024-03-11 00:00:00", 233, 230, 40, 50, 13.5, 25})}),
        QJsonArray({titles})};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject mail = received.at(i).toObject();
        QCOMPARE(mail.value("subject").toString(), QStringLiteral("Daily Report"));
        QCOMPARE(
            mail.value("body").toString().trimmed(),
            signature(i == 1 ? "UPS daily report.\n\nReplace the battery." : "UPS daily report."));
        const QJsonArray attachments = mail.value("attachments").toArray();
        QCOMPARE(attachments.size(), 1);
        const QJsonObject file = attachments.at(0).toObject();
        QCOMPARE(file.value("filename").toString(), QStringLiteral("record.xlsx"));
        QCOMPARE(file.value("content_type").toString(), QStringLiteral("application/octet-stream"));
        const QJsonObject book = PythonScript::dumpWorkbook(file.value("path").toString());
        QCOMPARE(book.value("alignments").toArray(), QJsonArray({"center/center"}));
        QVERIFY2(book.value("rows").toArray() == expectedRows[i],
                 QJsonDocument(book.value("rows").toArray()).toJson(QJsonDocument::Compact));
    }
    set(Settings::EMailDailyEnable, false);
}

void TestServiceEMail::secondSendWhileTheFirstIsUnderWay()
{
    SmtpTestServer server(SmtpTestServer::Plain, QString(), 1.0);
    QVERIFY(server.isRunning());
    useServer(server, 0);
    set(Settings::EMailEnable, true);
    setRecipients({QStringLiteral("ops@example.org")});
    QSignalSpy finished(service(), &ServiceEMail::emailFinished);
    QSignalSpy failed(service(), &ServiceEMail::emailFailed);

    service()->sendAlarmEMail(QStringLiteral("first"));
    QTRY_VERIFY_WITH_TIMEOUT(server.output().contains(QStringLiteral("DATA 1")), 20000);
    service()->sendAlarmEMail(QStringLiteral("second")); // replaces the client under way
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    // The replaced client was stopped and joined before the new one started: whatever it had
    // posted is handed over now, and dropped.
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 1); // the replaced client never signals
    QCOMPARE(failed.count(), 0);

    // Neither alarm is lost: the interrupted one went out again with the new client.
    QStringList bodies;
    const QJsonArray received = server.messages();
    for (const QJsonValue &mail : received)
        bodies << mail.toObject().value("body").toString().trimmed();
    QVERIFY2(bodies.contains(signature("first")), qPrintable(bodies.join('|')));
    QCOMPARE(bodies.count(signature("second")), 1);
}

// One queue: a message with everything a header can hold and a binary attachment, then
// recipients the server or the client refuses, and the queue going on after them.
void TestServiceEMail::clientDeliveryAndRefusedRecipients()
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
    QCOMPARE(TestRoot::readFile(file.value("path").toString()), workbook);
}

// TLS spoken to a plain server or plain to a TLS one, a certificate nobody vouches for, a
// refused login, silent servers and a host name that is none.
void TestServiceEMail::clientFailuresGiveTheirSignal()
{
    SmtpTestServer plain(SmtpTestServer::Plain);
    SmtpTestServer tls(SmtpTestServer::Tls, QStringLiteral("ups:s3cret"));
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
        // One outcome per run: a second send runs after the first has ended, so anything the
        // first still had to say would come before the second's outcome.
        client.send(simpleMessage());
        QTRY_COMPARE_WITH_TIMEOUT(spy->count(), 2, 20000);
        QCOMPARE(spies.total(), 2);
    };

    // TLS spoken to a plain server; a certificate nobody vouches for.
    attempt(true, plain.port(), "encryption");
    qunsetenv("QUELTA_SMTP_CAFILE");
    attempt(true, tls.port(), "encryption");
    qputenv("QUELTA_SMTP_CAFILE", SmtpTestServer::certificateFile().toUtf8());

    // A refused login drops the queue with the first message: one signal, no retry.
    SmtpClient bad;
    Spies badSpies(&bad);
    bad.setStartTlsDisabled(true);
    bad.setUsername("ups");
    bad.setPassword("wrong");
    bad.connectToSecureHost(QStringLiteral("127.0.0.1"), tls.port());
    bad.send(simpleMessage());
    bad.send(simpleMessage());
    QTRY_COMPARE_WITH_TIMEOUT(badSpies.authentication.count(), 1, 20000);
    // A third message runs after the first run has ended: had the second message been kept,
    // its own refusal would come first.
    bad.send(simpleMessage());
    QTRY_COMPARE_WITH_TIMEOUT(badSpies.authentication.count(), 2, 20000);
    QCOMPARE(badSpies.total(), 2);
    QCOMPARE(tls.messageCount(), 0);

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

void TestServiceEMail::clientAbortStopsTheTransferSilently()
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
    // abort() joined the worker: whatever it posted is handed over now, and dropped.
    QCoreApplication::processEvents();
    QCOMPARE(spies.total(), 0);
    delete client;

    // Deleting a client that waits on a silent server returns at once as well.
    SmtpTestServer silent(SmtpTestServer::Silent);
    auto *waiting = new SmtpClient;
    waiting->connectToHost(QStringLiteral("127.0.0.1"), silent.port());
    waiting->send(first);
    QTRY_VERIFY_WITH_TIMEOUT(silent.output().contains(QStringLiteral("CONNECT")), 20000);
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
    QTRY_VERIFY_WITH_TIMEOUT(mute.output().contains(QStringLiteral("QUIT")), 20000);
    QCOMPARE(mute.messageCount(), 1);
    QVERIFY(closing->isBusy());
    timer.restart();
    closing->abort();
    QVERIFY2(timer.elapsed() < 3000, "abort waited for the farewell");
    QCoreApplication::processEvents();
    QCOMPARE(closingSpies.total(), 0);
    delete closing;
}

QTEST_MAIN(TestServiceEMail)
#include "tst_serviceemail.moc"
