// The UPS control page against the real device link on a simulated UPS: each order chosen on
// the page and confirmed with "Sure" reaches the serial line as its request; the orders that cut
// the power or drain the battery ask first, and nothing reaches the UPS when the answer is no.
#include "compositionroot.h"
#include "devcomm.h"
#include "globaldatadef.h"
#include "qmlpagehost.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QQuickItem>
#include <QQuickView>
#include <QtTest>

class TestControlPage : public QObject
{
    Q_OBJECT

private slots:
    void sureSendsTheChosenOrder();

private:
    TestRoot m_root {TestRoot::FoldersOnly};
};

namespace {

// The control requests the UPS received since the last call, once two more status queries
// have gone out after the call (a request jumps the polling queue, so it would be among them).
QList<QByteArray> controlFramesSoFar(UpsSimProcess &sim)
{
    const auto polls = [&sim] {
        const QList<QByteArray> frames = sim.receivedFrames();
        return int(std::count(frames.begin(), frames.end(), QByteArray("Q1\r")));
    };
    const int before = polls();
    if (!QTest::qWaitFor([&] { return polls() >= before + 2; }, 10000))
        return {"no polls"};
    return sim.takeControlFrames();
}

} // namespace

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

    // Each number says what it counts.
    for (const char *unit : {"labelTestMinutesUnit", "labelCloseDelayUnit"}) {
        QQuickItem *label = host.find(page, QLatin1String(unit));
        QVERIFY2(label, unit);
        QVERIFY(label->property("text").toString().startsWith(QStringLiteral("minute(s)")));
    }

    enum Answer { NoQuestion, Yes, No, Escape };
    const struct
    {
        const char *radio, *field; // the field, when there is one, is set to `value` first
        int value;
        Answer answer;
        const char *question; // how the question starts
        QByteArray frame; // empty: nothing may reach the UPS
        int selfTestAfter; // -1: not looked at
    } orders[] = {
        {"radioBuzzer", nullptr, 0, NoQuestion, nullptr, "Q\r", -1},
        // The default delay: the power goes 12 s later, so never without a yes.
        {"radioCloseOutput", "spinBoxCloseDelay", 0, No,
         "The UPS output switches off in about 12 seconds: this computer", "", -1},
        {"radioCloseOutput", "spinBoxCloseDelay", 3, Yes,
         "The UPS output switches off in 3 minute(s): this computer", "S03R9999\r", -1},
        {"radioCancelCloseOutput", nullptr, 0, NoQuestion, nullptr, "C\r", -1},
        {"radioSelfTestCustom", "spinBoxTestMinutes", 5, Yes,
         "The UPS runs on its battery for 5 minute(s).", "T05\r", 1},
        {"radioSelfTestCancel", nullptr, 0, NoQuestion, nullptr, "CT\r", 0},
        // A 10-second test is harmless: no question.
        {"radioSelfTest10S", nullptr, 0, NoQuestion, nullptr, "T\r", 1},
        {"radioSelfTestCancel", nullptr, 0, NoQuestion, nullptr, "CT\r", 0},
        {"radioSelfTestEOD", nullptr, 0, Escape,
         "The UPS runs on its battery until the battery is low.", "", -1},
        {"radioSelfTestEOD", nullptr, 0, Yes,
         "The UPS runs on its battery until the battery is low.", "TL\r", -1},
    };
    QQuickItem *dialog = host.find(page, QStringLiteral("msgDialog"));
    for (const auto &order : orders) {
        const QByteArray row = QByteArray(order.radio) + " " + QByteArray::number(order.value);
        if (order.field)
            host.find(page, QLatin1String(order.field))->setProperty("value", order.value);
        QQuickItem *choice = host.find(page, QLatin1String(order.radio));
        QVERIFY(host.click(choice));
        QVERIFY(choice->property("checked").toBool());

        sim.clearReceived();
        QVERIFY(host.click(host.find(page, QStringLiteral("buttonSure"))));
        QVERIFY2(dialog->isVisible(), row.constData());
        if (order.answer != NoQuestion) {
            QVERIFY2(dialog->property("text").toString().startsWith(QLatin1String(order.question)),
                     qPrintable(dialog->property("text").toString()));
            QCOMPARE(dialog->property("dialogType").toInt(), int(GlobalDataDef::MsgDialogWarning));
            if (order.answer == Escape)
                QTest::keyClick(host.view(), Qt::Key_Escape);
            else
                QVERIFY(host.click(host.find(
                    dialog,
                    QLatin1String(order.answer == Yes ? "msgDialogSure" : "msgDialogCancel"))));
        }
        if (order.frame.isEmpty()) {
            QVERIFY2(!dialog->isVisible(), row.constData());
            QCOMPARE(controlFramesSoFar(sim), QList<QByteArray>());
            continue;
        }
        QVERIFY2(dialog->isVisible(), row.constData());
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
