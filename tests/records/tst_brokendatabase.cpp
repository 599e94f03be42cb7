#include "database.h"
#include "listmodelemailuser.h"
#include "paths.h"
#include "pythonscript.h"
#include "recordprobe.h"
#include "serviceemail.h"
#include "settings.h"
#include "smtpclient.h"
#include "tablemodelalarm.h"
#include "tablemodeldevdata.h"
#include "tablemodelselftest.h"
#include "testroot.h"

#include <QtTest>

// A database file that is not a database: everything that reads it comes back empty, with a
// log line, and nothing crashes or hangs.
class TestBrokenDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(TestRoot::writeFile(Paths::file(QStringLiteral("/data/quelta.db")),
                                    QByteArray(4096, 'x')));
        m_database.open();
        m_database.init(); // every statement fails, each with its log line
    }
    void modelsComeBackEmpty();
    void mailServiceSendsNothing();

private:
    TestRoot m_root {TestRoot::WithSettings};
    Database m_database;
};

void TestBrokenDatabase::modelsComeBackEmpty()
{
    TableModelDevData samples;
    samples.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-10"));
    QCOMPARE(samples.rowCount(), 0);
    const QString path = Paths::file(QStringLiteral("/export.xlsx"));
    QVERIFY(RecordProbe::exported(samples, path));
    QCOMPARE(PythonScript::dumpWorkbook(path).value("rows").toArray().size(), 1);

    TableModelAlarm alarms;
    alarms.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-11"));
    QCOMPARE(alarms.rowCount(), 0);

    TableModelSelfTest selfTests;
    QSignalSpy finished(&selfTests, &TableModelSelfTest::readLogFinished);
    selfTests.selectDate(QStringLiteral("2024-03-10"), QStringLiteral("2024-03-11"));
    selfTests.selectLog(0);
    QCOMPARE(finished.count(), 1);

    ListModelEMailUser users;
    users.addUser(QStringLiteral("a@example.org"));
    QCOMPARE(users.rowCount(), 0);
    users.removeAll();
}

void TestBrokenDatabase::mailServiceSendsNothing()
{
    ServiceEMail email(m_root.settings());
    ServiceEMail *service = &email;
    service->start();
    m_root.settings()->setSettings(Settings::EMailEnable, true);
    m_root.settings()->setSettings(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
    m_root.settings()->setSettings(Settings::EMailServerPort,
                                   9); // nothing would answer; nothing must try
    QSignalSpy failed(service, &ServiceEMail::emailFailed);
    QCOMPARE(service->emailUsers(), QStringList());
    service->sendAlarmEMail(QStringLiteral("alarm"));
    service->sendDailyReport();
    // No recipient could be read: no connection was even set up.
    QVERIFY(!service->findChild<SmtpClient *>());
    QCOMPARE(failed.count(), 0);

    // The report itself still comes out, with its title row only.
    QVERIFY(service->createDailyReport());
    const QJsonObject book =
        PythonScript::dumpWorkbook(Paths::file(QStringLiteral("/record.xlsx")));
    QCOMPARE(book.value("rows").toArray().size(), 1);
    QCOMPARE(book.value("rows").toArray().at(0).toArray().size(), 7);
}

QTEST_MAIN(TestBrokenDatabase)
#include "tst_brokendatabase.moc"
