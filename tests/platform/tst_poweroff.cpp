// The power-off request against a login manager on a private bus.
#include "login1service.h"
#include "platform.h"
#include "privatebus.h"

#include <QRegularExpression>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(platform::PowerOffResult)

class TestPowerOff : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { qunsetenv("QUELTA_LOGIN1_BUS"); }
    void outcome_data();
    void outcome();
};

void TestPowerOff::outcome_data()
{
    QTest::addColumn<int>("mode"); // -1: nobody owns the name, -2: no bus at all
    QTest::addColumn<platform::PowerOffResult>("expected");
    QTest::addColumn<QString>("logged");

    QTest::newRow("accepted") << int(Login1Service::Accept) << platform::PowerOffResult::Requested
                              << "accepted by the login manager";
    QTest::newRow("polkit says no")
        << int(Login1Service::Refuse) << platform::PowerOffResult::Refused << "refused .*polkit";
    QTest::newRow("other error") << int(Login1Service::Fail) << platform::PowerOffResult::Failed
                                 << "failed.*OperationInProgress";
    QTest::newRow("no logind") << -1 << platform::PowerOffResult::Unavailable << "no login manager";
    QTest::newRow("no bus") << -2 << platform::PowerOffResult::Unavailable
                            << "cannot reach the system bus";
}

void TestPowerOff::outcome()
{
    QFETCH(int, mode);
    QFETCH(platform::PowerOffResult, expected);
    QFETCH(QString, logged);

    PrivateBus bus;
    QVERIFY(bus.isRunning());
    std::unique_ptr<Login1Service> service;
    if (mode >= 0) {
        service.reset(new Login1Service(bus.address(), Login1Service::Mode(mode)));
        QVERIFY(service->isReady());
    }
    qputenv("QUELTA_LOGIN1_BUS",
            mode == -2 ? QByteArray("unix:path=/nonexistent/no-such-bus") : bus.address().toUtf8());

    QTest::ignoreMessage(expected == platform::PowerOffResult::Requested ? QtInfoMsg : QtWarningMsg,
                         QRegularExpression(logged));
    QCOMPARE(platform::powerOff(), expected);
    if (service) {
        // Never interactive: at that moment nobody may be there to type a password.
        QTRY_COMPARE_WITH_TIMEOUT(service->calls(), QStringList {"PowerOff false"}, 2000);
    }

    // A second call opens a fresh connection and asks again.
    QTest::ignoreMessage(expected == platform::PowerOffResult::Requested ? QtInfoMsg : QtWarningMsg,
                         QRegularExpression(logged));
    QCOMPARE(platform::powerOff(), expected);
    if (service)
        QTRY_COMPARE_WITH_TIMEOUT(service->calls().size(), 2, 2000);
}

QTEST_GUILESS_MAIN(TestPowerOff)
#include "tst_poweroff.moc"
