// The UPS control page against the real device link on a simulated UPS: each order chosen on
// the page and confirmed with "Sure" reaches the serial line as its request.
#include "compositionroot.h"
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
    void sureSendsTheChosenOrder();

private:
    TestRoot m_root {TestRoot::FoldersOnly};
};

void TestControlPage::sureSendsTheChosenOrder()
{
    UpsSimProcess sim({QStringLiteral("--instant")});
    QVERIFY(sim.isReady());
    QmlPageHost host;
    QQuickItem *page = host.load(QStringLiteral("MainPanelControl.qml"));
    QVERIFY2(page, qPrintable(host.errors()));
    DevComm *link = host.root().devComm();
    QVERIFY(link->openDevice(DevComm::COM, sim.portPath()));
    QTRY_VERIFY_WITH_TIMEOUT(link->devData().value(QStringLiteral("devOnline")).toBool(), 10000);

    const struct
    {
        const char *radio, *field; // the field, when there is one, is set to 3 or 5 first
        QByteArray frame;
        int selfTestAfter; // -1: not looked at
    } orders[] = {
        {"radioBuzzer", nullptr, "Q\r", -1},
        {"radioCloseOutput", "spinBoxCloseDelay", "S03R9999\r", -1}, // on mains: with the restart
        {"radioCancelCloseOutput", nullptr, "C\r", -1},
        {"radioSelfTestCustom", "spinBoxTestMinutes", "T05\r", 1},
        {"radioSelfTestCancel", nullptr, "CT\r", 0}, // only accepted while a test runs
        {"radioSelfTest10S", nullptr, "T\r", 1},
        {"radioSelfTestCancel", nullptr, "CT\r", 0},
        {"radioSelfTestEOD", nullptr, "TL\r", -1},
    };
    QQuickItem *dialog = host.find(page, QStringLiteral("msgDialog"));
    for (const auto &order : orders) {
        if (order.field)
            host.find(page, QLatin1String(order.field))
                ->setProperty("value", qstrcmp(order.field, "spinBoxCloseDelay") == 0 ? 3 : 5);
        QQuickItem *choice = host.find(page, QLatin1String(order.radio));
        QVERIFY(host.click(choice));
        QVERIFY(choice->property("checked").toBool());

        sim.clearReceived();
        QVERIFY(host.click(host.find(page, QStringLiteral("buttonSure"))));
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->property("text").toString(), QStringLiteral("Order has been issued!"));
        QVERIFY(host.click(host.find(dialog, QStringLiteral("msgDialogSure"))));
        QVERIFY2(sim.waitForFrame(order.frame, 5000), order.frame.constData());
        if (order.selfTestAfter >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(link->devData().value(QStringLiteral("selfTest")).toInt(),
                                      order.selfTestAfter, 5000);
    }
}

QTEST_MAIN(TestControlPage)
#include "tst_controlpage.moc"
