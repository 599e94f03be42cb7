// The UPS control page against the real device link on a simulated UPS: each order chosen on
// the page and confirmed with "Sure" reaches the serial line as its request.
#include "devcomm.h"
#include "qmlpagehost.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QQuickItem>
#include <QtTest>

class TestControlPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sureSendsTheChosenOrder();

private:
    void order(const char *radio, const QByteArray &frame);
    bool selfTestRunning() const;

    TestRoot m_root;
    QScopedPointer<UpsSimProcess> m_sim;
    QScopedPointer<QmlPageHost> m_host;
    QQuickItem *m_page = nullptr;
};

void TestControlPage::initTestCase()
{
    m_sim.reset(new UpsSimProcess({QStringLiteral("--instant")}));
    QVERIFY(m_sim->isReady());
    m_host.reset(new QmlPageHost);
    m_page = m_host->load(QStringLiteral("MainPanelControl.qml"));
    QVERIFY2(m_page, qPrintable(m_host->errors()));

    DevComm *link = DevComm::instance();
    QVERIFY(link->openDevice(DevComm::COM, m_sim->portPath()));
    QTRY_VERIFY_WITH_TIMEOUT(link->devData().value(QStringLiteral("devOnline")).toBool(), 10000);
}

bool TestControlPage::selfTestRunning() const
{
    return DevComm::instance()->devData().value(QStringLiteral("selfTest")).toBool();
}

void TestControlPage::order(const char *radio, const QByteArray &frame)
{
    QQuickItem *choice = m_host->find(m_page, QLatin1String(radio));
    QVERIFY(choice);
    QVERIFY(m_host->click(choice));
    QVERIFY(choice->property("checked").toBool());

    m_sim->clearReceived();
    QVERIFY(m_host->click(m_host->find(m_page, QStringLiteral("buttonSure"))));
    QQuickItem *dialog = m_host->find(m_page, QStringLiteral("msgDialog"));
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->property("text").toString(), QStringLiteral("Order has been issued!"));
    QVERIFY(m_host->click(m_host->find(dialog, QStringLiteral("msgDialogSure"))));

    QVERIFY2(m_sim->waitForFrame(frame, 5000), frame.constData());
}

// A failure inside order() ends the whole test function, not only the helper.
#define ORDER(radio, frame) \
    do { \
        order(radio, frame); \
        if (QTest::currentTestFailed()) \
            return; \
    } while (false)

void TestControlPage::sureSendsTheChosenOrder()
{
    ORDER("radioBuzzer", "Q\r");

    m_host->find(m_page, QStringLiteral("spinBoxCloseDelay"))->setProperty("value", 3);
    ORDER("radioCloseOutput", "S03R9999\r"); // on mains: with the restart
    ORDER("radioCancelCloseOutput", "C\r");

    m_host->find(m_page, QStringLiteral("spinBoxTestMinutes"))->setProperty("value", 5);
    ORDER("radioSelfTestCustom", "T05\r");
    QTRY_VERIFY_WITH_TIMEOUT(selfTestRunning(), 5000);
    ORDER("radioSelfTestCancel", "CT\r"); // only accepted while a test runs
    QTRY_VERIFY_WITH_TIMEOUT(!selfTestRunning(), 5000);

    ORDER("radioSelfTest10S", "T\r");
    QTRY_VERIFY_WITH_TIMEOUT(selfTestRunning(), 5000);
    ORDER("radioSelfTestCancel", "CT\r");
    QTRY_VERIFY_WITH_TIMEOUT(!selfTestRunning(), 5000);

    ORDER("radioSelfTestEOD", "TL\r");
}

QTEST_MAIN(TestControlPage)
#include "tst_controlpage.moc"
