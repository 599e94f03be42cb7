// Requests and framing: the poll cycle, the control encodings, how received bytes become lines.
#include "megatec.h"
#include "megatechelpers.h"
#include "testroot.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QByteArray goodStatus = "(233.0 000.0 233.0 014 49.0 27.0 20.8 00001001\r";

// One well-formed reply per query.
const QList<QPair<int, QByteArray>> goodReplies = {
    {Megatec::CmdQueryBase, goodStatus},
    {Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"},
    {Megatec::CmdQueryDevInfo, "#-------------   ------     VT12046Q  \r"},
    {Megatec::CmdOrvakNqu, "#SN0123456789ABCDEFGHI UPS MODEL 20 CHARS.. COMPANY-10\r"},
    {Megatec::CmdOrvakBT, "#00123 0001\r"},
    {Megatec::CmdOrvakBP, "#0875\r"},
    {Megatec::CmdOrvakA1, "#01 0000 0000 0000 0000 0000 0200 0000 0000 0000 0000 0000 0000 0000\r"},
};

QByteArrayList cycle(Megatec &driver, int requests)
{
    QByteArrayList frames;
    for (int i = 0; i < requests; ++i)
        frames << driver.nextCommand();
    return frames;
}

} // namespace

class TestMegatecFraming : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

private slots:
    void wellFormedRepliesHaveTheirLengths()
    {
        const QList<int> lengths = {47, 22, 39, 55, 12, 6, 69};
        for (int i = 0; i < goodReplies.size(); ++i) {
            QCOMPARE(goodReplies.at(i).second.size(), lengths.at(i));
            Megatec driver;
            QVERIFY2(answer(driver, goodReplies.at(i).first, goodReplies.at(i).second),
                     goodReplies.at(i).second.constData());
        }
    }

    void pollCycle()
    {
        Megatec driver;
        const QByteArrayList first = {"BT\r", "BP\r", "NQU\r", "F\r", "I\r", "Q1\r", "A1\r"};
        // Unanswered queries simply come up again in the next cycle.
        QCOMPARE(cycle(driver, 7), first);
        QCOMPARE(cycle(driver, 7), first);

        // Identity and ratings are asked until answered once.
        QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodReplies.at(3).second));
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, goodReplies.at(1).second));
        QVERIFY(answer(driver, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));
        QCOMPARE(driver.nextCommand(), QByteArray("Q1\r")); // the rest of the cycle under way
        QCOMPARE(driver.nextCommand(), QByteArray("A1\r"));
        const QByteArrayList steady = {"BT\r", "BP\r", "Q1\r", "A1\r"};
        QCOMPARE(cycle(driver, 4), steady);
        QCOMPARE(cycle(driver, 4), steady);

        // A reset forgets them; the cycle under way is finished first.
        QCOMPARE(driver.nextCommand(), QByteArray("BT\r"));
        driver.reset();
        QCOMPARE(cycle(driver, 3), QByteArrayList({"BP\r", "Q1\r", "A1\r"}));
        QCOMPARE(cycle(driver, 7), first);
    }

    void controlEncodings_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("command");

        const int off = Megatec::CmdCloseOutput;
        QTest::newRow("off now, mains")
            << 0 << "shutdown" << 1 << 0 << QByteArray("S.2R9999\r") << off;
        QTest::newRow("off now, battery")
            << 1 << "shutdown" << 1 << 0 << QByteArray("S.2\r") << off;
        QTest::newRow("off 5, mains")
            << 0 << "shutdown" << 1 << 5 << QByteArray("S05R9999\r") << off;
        QTest::newRow("off 1, battery") << 1 << "shutdown" << 1 << 1 << QByteArray("S01\r") << off;
        QTest::newRow("off 10, mains")
            << 0 << "shutdown" << 1 << 10 << QByteArray("S10R9999\r") << off;
        QTest::newRow("off 11") << 0 << "shutdown" << 1 << 11 << QByteArray() << 0;
        QTest::newRow("off -1") << 1 << "shutdown" << 1 << -1 << QByteArray() << 0;
        QTest::newRow("cancel off") << 1 << "shutdown" << 0 << 99 << QByteArray("C\r") << off;
        QTest::newRow("cancel test, none runs") << 0 << "selfTest" << 1 << 0 << QByteArray() << 0;
        QTest::newRow("cancel test")
            << 0x20 << "selfTest" << 1 << 0 << QByteArray("CT\r") << int(Megatec::CmdSCCancel);
        QTest::newRow("10 s test")
            << 0 << "selfTest" << 2 << 0 << QByteArray("T\r") << int(Megatec::CmdSC10S);
        QTest::newRow("10 s test while testing")
            << 0x20 << "selfTest" << 2 << 0 << QByteArray() << 0;
        QTest::newRow("test to low battery")
            << 1 << "selfTest" << 3 << 0 << QByteArray("TL\r") << int(Megatec::CmdSCEOD);
        QTest::newRow("test 30 min")
            << 0 << "selfTest" << 4 << 30 << QByteArray("T30\r") << int(Megatec::CmdSCCustom);
        QTest::newRow("test 5 min")
            << 0 << "selfTest" << 4 << 5 << QByteArray("T05\r") << int(Megatec::CmdSCCustom);
        QTest::newRow("test 99 min")
            << 0 << "selfTest" << 4 << 99 << QByteArray("T99\r") << int(Megatec::CmdSCCustom);
        QTest::newRow("test 100 min") << 0 << "selfTest" << 4 << 100 << QByteArray() << 0;
        QTest::newRow("test 0 min") << 0 << "selfTest" << 4 << 0 << QByteArray() << 0;
        QTest::newRow("test type 5") << 0 << "selfTest" << 5 << 1 << QByteArray() << 0;
        QTest::newRow("buzzer") << 0x80 << "buzzer" << 0 << 0 << QByteArray("Q\r")
                                << int(Megatec::CmdBuzzer);
    }

    void controlEncodings()
    {
        QFETCH(int, status);
        QFETCH(QString, call);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(QByteArray, frame);
        QFETCH(int, command);

        Megatec driver;
        driver.setStatus(quint8(status));
        if (call == QLatin1String("shutdown"))
            driver.shutdown(a != 0, b);
        else if (call == QLatin1String("selfTest"))
            driver.selfTest(a, b);
        else
            driver.toggleBuzzer();

        if (frame.isEmpty()) {
            QCOMPARE(driver.nextCommand(), QByteArray("BT\r")); // nothing in front of the cycle
            return;
        }
        QCOMPARE(driver.nextCommand(), frame);
        QCOMPARE(driver.currentCommand(), command);
        // The UPS acknowledges control requests in its own way; no reply is parsed for them.
        QVERIFY(!driver.handleResponse(goodStatus));
        QCOMPARE(driver.data().value(QStringLiteral("inputVol")).toFloat(), 0.0f);
        QCOMPARE(driver.nextCommand(), QByteArray("BT\r"));
    }

    void controlRequestsJumpTheQueue()
    {
        Megatec driver;
        QCOMPARE(cycle(driver, 2), QByteArrayList({"BT\r", "BP\r"}));
        driver.selfTest(2, 0);
        driver.toggleBuzzer();
        // Each goes to the front: the later call first, then the earlier, then the cycle goes on.
        QCOMPARE(cycle(driver, 4), QByteArrayList({"Q\r", "T\r", "NQU\r", "F\r"}));
    }

    void chunks()
    {
        Megatec driver;
        driver.nextCommand();
        QVERIFY(requestFor(driver, Megatec::CmdQueryBase) == "Q1\r");
        QVERIFY(!driver.handleResponse(goodStatus.left(1)));
        QVERIFY(!driver.handleResponse(goodStatus.mid(1, 20)));
        QVERIFY(!driver.handleResponse(QByteArray()));
        QVERIFY(!driver.handleResponse(goodStatus.mid(21, 25)));
        QVERIFY(driver.handleResponse(goodStatus.mid(46)));
        QCOMPARE(driver.upsData()->inputVol, 233.0f);

        // Byte by byte.
        requestFor(driver, Megatec::CmdOrvakA1);
        const QByteArray faults = goodReplies.at(6).second;
        for (int i = 0; i < faults.size() - 1; ++i)
            QVERIFY(!driver.handleResponse(faults.mid(i, 1)));
        QVERIFY(driver.handleResponse("\r"));
    }

    void bytesAfterTheLine()
    {
        Megatec driver;
        QSignalSpy changed(&driver, &Megatec::dataChanged);
        // Bytes behind the carriage return in the same chunk are dropped.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus + "(garbage"));
        QCOMPARE(changed.count(), 1);
        // A second line for the same request is appended and rejected by its length.
        QVERIFY(!driver.handleResponse(goodStatus));
        QCOMPARE(changed.count(), 1);

        // A short line followed by one that makes up the expected length is rejected as well.
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse("#1\r"));
        QVERIFY(!driver.handleResponse("#2\r"));
        QCOMPARE(driver.upsData()->battCapacity, driver.data().value("battCapacity").toFloat());
        QVERIFY(driver.upsData()->battCapacity > 90.0f);
    }

    void overflow()
    {
        Megatec driver;
        requestFor(driver, Megatec::CmdOrvakBP);
        // 128 bytes are kept; the 129th empties the buffer and the rest of the chunk is dropped.
        QVERIFY(!driver.handleResponse(QByteArray(128, '#')));
        QVERIFY(!driver.handleResponse(QByteArray("0875\r")));
        QVERIFY(driver.handleResponse(QByteArray("#0875\r")));
        QCOMPARE(driver.upsData()->battCapacity, 87.5f);

        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x') + "#0125\r"));
        QVERIFY(driver.handleResponse("#0125\r"));
        QCOMPARE(driver.upsData()->battCapacity, 12.5f);
    }

    void rejectedLines()
    {
        Megatec driver;
        QSignalSpy changed(&driver, &Megatec::dataChanged);
        const QVariantMap before = driver.data();

        // Nothing outstanding yet.
        QVERIFY(!driver.handleResponse(goodStatus));

        requestFor(driver, Megatec::CmdQueryBase);
        QVERIFY(!driver.handleResponse("NAK\r"));
        requestFor(driver, Megatec::CmdQueryBase);
        QVERIFY(!driver.handleResponse("Q1\r")); // an echo of the request

        // No carriage return, then silence: the next request drops the partial line.
        requestFor(driver, Megatec::CmdQueryBase);
        QVERIFY(!driver.handleResponse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001"));
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0500\r"));
        QCOMPARE(driver.upsData()->battCapacity, 50.0f);
        QCOMPARE(driver.upsData()->inputVol, 0.0f);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(driver.data(), before);
    }

    void lateReplies()
    {
        // A reply to one query arriving while another is outstanding never fits: every reply
        // kind has its own length.
        for (const auto &outstanding : goodReplies) {
            for (const auto &late : goodReplies) {
                if (late.first == outstanding.first)
                    continue;
                Megatec driver;
                requestFor(driver, outstanding.first);
                QVERIFY2(!driver.handleResponse(late.second),
                         qPrintable(QStringLiteral("%1 answered by %2")
                                        .arg(outstanding.first)
                                        .arg(late.first)));
                QCOMPARE(driver.upsData()->battCapacity, 0.0f);
                QCOMPARE(driver.upsData()->ratingOutputVol, 0.0f);
                QCOMPARE(driver.upsData()->version[0], '\0');
            }
        }

        // The tail of a late status reply after the next request is taken is a short line.
        Megatec driver;
        requestFor(driver, Megatec::CmdQueryBase);
        QVERIFY(!driver.handleResponse(goodStatus.left(30)));
        QCOMPARE(driver.nextCommand(), QByteArray("A1\r"));
        QVERIFY(!driver.handleResponse(goodStatus.mid(30)));
        QVERIFY(!driver.isOnline());
    }
};

QTEST_GUILESS_MAIN(TestMegatecFraming)
#include "tst_megatecframing.moc"
