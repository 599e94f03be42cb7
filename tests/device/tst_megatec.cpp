// The serial driver on its own, with no folder, settings or database: the poll cycle, the
// control encodings, how received bytes become lines, and what each reply kind puts in the state.
#include "megatec.h"
#include "megatechelpers.h"
#include "megatecreply.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

const QByteArray goodStatus = "(233.0 000.0 233.0 014 49.0 27.0 20.8 00001001\r";
const QByteArray goodIdentity = "#SN0123456789ABCDEFGHI UPS MODEL 20 CHARS.. COMPANY-10\r";

// One well-formed reply per query.
const QList<QPair<int, QByteArray>> goodReplies = {
    {Megatec::CmdQueryBase, goodStatus},
    {Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"},
    {Megatec::CmdQueryDevInfo, "#-------------   ------     VT12046Q  \r"},
    {Megatec::CmdOrvakNqu, goodIdentity},
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

float charge(const Megatec &driver)
{
    return driver.state().batteryCharge.value_or(0.0f);
}

// The status field of a reply with this status byte: bit k is the (k+1)-th digit.
QByteArray statusField(int status)
{
    QByteArray field(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        field[bit] = (status >> bit) & 1 ? '1' : '0';
    return field;
}

} // namespace

class TestMegatec : public QObject
{
    Q_OBJECT

private slots:
    void pollCycle()
    {
        Megatec driver;
        const QByteArrayList first = {"BT\r", "BP\r", "NQU\r", "F\r", "I\r", "Q1\r", "A1\r"};
        // Unanswered queries simply come up again in the next cycle.
        QCOMPARE(cycle(driver, 7), first);
        QCOMPARE(cycle(driver, 7), first);

        // Identity and ratings are asked until answered once.
        QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, goodReplies.at(1).second));
        QVERIFY(answer(driver, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));
        QCOMPARE(cycle(driver, 2), QByteArrayList({"Q1\r", "A1\r"})); // the cycle under way
        QCOMPARE(cycle(driver, 4), QByteArrayList({"BT\r", "BP\r", "Q1\r", "A1\r"}));

        // A reset forgets them; the cycle under way is finished first.
        QCOMPARE(driver.nextCommand(), QByteArray("BT\r"));
        driver.reset();
        QCOMPARE(cycle(driver, 3), QByteArrayList({"BP\r", "Q1\r", "A1\r"}));
        QCOMPARE(cycle(driver, 7), first);

        // Control requests go to the front: the later call first, then the cycle goes on.
        driver.selfTest(2, 0);
        driver.toggleBuzzer();
        QCOMPARE(cycle(driver, 4), QByteArrayList({"Q\r", "T\r", "BT\r", "BP\r"}));
    }

    void controlEncodings()
    {
        struct Case
        {
            int status;
            char call; // s: shutdown, t: self-test, b: beeper
            int a, b;
            const char *frame; // empty: nothing is sent
        };
        // A self-test is cancelled only while one runs, started only while none does.
        const QList<Case> cases = {{0, 's', 1, 0, "S.2R9999\r"},
                                   {1, 's', 1, 0, "S.2\r"},
                                   {0, 's', 1, 5, "S05R9999\r"},
                                   {1, 's', 1, 1, "S01\r"},
                                   {0, 's', 1, 10, "S10R9999\r"},
                                   {0, 's', 1, 11, ""},
                                   {1, 's', 1, -1, ""},
                                   {1, 's', 0, 99, "C\r"},
                                   {0, 't', 1, 0, ""},
                                   {0x20, 't', 1, 0, "CT\r"},
                                   {0, 't', 2, 0, "T\r"},
                                   {0x20, 't', 2, 0, ""},
                                   {1, 't', 3, 0, "TL\r"},
                                   {0, 't', 4, 5, "T05\r"},
                                   {0, 't', 4, 99, "T99\r"},
                                   {0, 't', 4, 100, ""},
                                   {0, 't', 4, 0, ""},
                                   {0, 't', 5, 1, ""},
                                   {0x80, 'b', 0, 0, "Q\r"}};
        for (const Case &c : cases) {
            const QByteArray label = c.call + QByteArray::number(c.a) + ' ' +
                QByteArray::number(c.b) + " status " + QByteArray::number(c.status);
            Megatec driver;
            QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply(statusField(c.status))));
            if (c.call == 's')
                driver.shutdown(c.a != 0, c.b);
            else if (c.call == 't')
                driver.selfTest(c.a, c.b);
            else
                driver.toggleBuzzer();
            if (!*c.frame) {
                QVERIFY2(driver.nextCommand() == "A1\r", label); // nothing in front of the cycle
                continue;
            }
            QVERIFY2(driver.nextCommand() == c.frame, label);
            // The UPS acknowledges control requests in its own way; no reply is parsed for them.
            QVERIFY(!driver.handleResponse(goodStatus));
            QCOMPARE(*driver.state().inputVoltage, 230.0f);
        }
    }

    void framing()
    {
        Megatec driver;
        QVERIFY(requestFor(driver, Megatec::CmdQueryBase) == "Q1\r");
        for (const QByteArray &chunk : {goodStatus.left(1), goodStatus.mid(1, 20), QByteArray()})
            QVERIFY(!driver.handleResponse(chunk));
        QVERIFY(driver.handleResponse(goodStatus.mid(21)));
        QCOMPARE(*driver.state().inputVoltage, 233.0f);

        // Byte by byte.
        requestFor(driver, Megatec::CmdOrvakA1);
        const QByteArray faults = goodReplies.at(6).second;
        for (int i = 0; i < faults.size() - 1; ++i)
            QVERIFY(!driver.handleResponse(faults.mid(i, 1)));
        QVERIFY(driver.handleResponse("\r"));

        // Bytes behind the carriage return in the same chunk are dropped; a second line for the
        // same request is appended and rejected by its length.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus + "(garbage"));
        QVERIFY(!driver.handleResponse(goodStatus));
        // A short line followed by one that makes up the expected length is rejected as well.
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse("#1\r"));
        QVERIFY(!driver.handleResponse("#2\r"));
        QVERIFY(charge(driver) > 90.0f);

        // 128 bytes are kept; the 129th empties the buffer and the rest of the chunk is dropped.
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(128, '#')));
        QVERIFY(!driver.handleResponse(QByteArray("0875\r")));
        QVERIFY(driver.handleResponse(QByteArray("#0875\r")));
        QCOMPARE(charge(driver), 87.5f);
        // A UPS that never sends a carriage return is warned about once until a reply is good.
        static int overflowWarnings = 0;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &message) {
                if (type == QtWarningMsg && message.startsWith("Reply longer than"))
                    ++overflowWarnings;
            });
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x') + "#0125\r"));
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x')));
        QCOMPARE(overflowWarnings, 1);
        QVERIFY(driver.handleResponse("#0125\r"));
        QCOMPARE(charge(driver), 12.5f);
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x')));
        qInstallMessageHandler(previous);
        QCOMPARE(overflowWarnings, 2);
    }

    void rejectedAndLateLines()
    {
        {
            Megatec driver;
            const UpsState before = driver.state();
            QVERIFY(!driver.handleResponse(goodStatus)); // nothing outstanding yet
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("NAK\r"));
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("Q1\r")); // an echo of the request
            // No carriage return, then silence: the next request drops the partial line.
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001"));
            QVERIFY(driver.state() == before);
            QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0500\r"));
            QCOMPARE(charge(driver), 50.0f);
        }

        // A reply to one query arriving while another is outstanding never fits: every reply
        // kind has its own length.
        for (const auto &outstanding : goodReplies) {
            Megatec accepting;
            QVERIFY2(answer(accepting, outstanding.first, outstanding.second),
                     outstanding.second.constData());
            for (const auto &late : goodReplies) {
                if (late.first == outstanding.first)
                    continue;
                Megatec driver;
                requestFor(driver, outstanding.first);
                QVERIFY2(!driver.handleResponse(late.second), late.second.constData());
                QVERIFY(driver.state() == UpsState());
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

    // A line that echoes what it receives puts the request in front of the reply; only that
    // exact echo, once, is passed over.
    void echoedRequests()
    {
        const QList<std::tuple<const char *, QByteArrayList, bool>> cases = {
            {"echo and reply in one chunk", {"Q1\r" + goodStatus}, true},
            {"echo, then the reply", {"Q1\r", goodStatus}, true},
            {"echo cut in two", {"Q", "1\r" + goodStatus.left(9), goodStatus.mid(9)}, true},
            {"echo of another request", {"BT\r" + goodStatus}, false},
            {"echo twice", {"Q1\rQ1\r" + goodStatus}, false},
            {"echo with a stray byte", {"Q1 \r" + goodStatus}, false},
            {"echo in lower case", {"q1\r" + goodStatus}, false},
            {"half an echo", {"Q\r" + goodStatus}, false},
            {"echo behind garbage", {"xQ1\r" + goodStatus}, false},
        };
        for (const auto &c : cases) {
            Megatec driver;
            requestFor(driver, Megatec::CmdQueryBase);
            bool accepted = false;
            for (const QByteArray &chunk : std::get<1>(c))
                accepted = driver.handleResponse(chunk);
            QVERIFY2(accepted == std::get<2>(c), std::get<0>(c));
            QCOMPARE(driver.isOnline(), std::get<2>(c));
        }

        // Every query of the cycle, each echoed; the next request starts afresh.
        Megatec driver;
        for (const auto &reply : goodReplies) {
            const QByteArray request = requestFor(driver, reply.first);
            QVERIFY2(driver.handleResponse(request + reply.second), request.constData());
        }
        // A control request has no reply: its echo is passed over and nothing is accepted.
        driver.toggleBuzzer();
        QCOMPARE(driver.nextCommand(), QByteArray("Q\r"));
        QVERIFY(!driver.handleResponse("Q\r"));
        QVERIFY(!driver.handleResponse(goodStatus));
    }

    void statusReplies()
    {
        Megatec driver;
        QSignalSpy online(&driver, &Megatec::onlineChanged);
        QStringList order;
        connect(&driver, &Megatec::onlineChanged, this, [&] { order << "online"; });
        connect(&driver, &Megatec::stateChanged, this, [&] { order << "state"; });
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(241.5 000.0 230.3 000 49.9 2.25 48.0 00000001\r"));
        QCOMPARE(order, QStringList({"online", "state"}));
        const UpsState &state = driver.state();
        QVERIFY(*state.inputVoltage == 241.5f && *state.outputVoltage == 230.3f &&
                *state.inputFrequency == 49.9f && *state.temperature == 48.0f);
        QCOMPARE(state.statusByte(), quint8(0x80)); // beeper on
        QVERIFY(state.beeper && !state.onBattery);
        // One cell: 1.667 V empty, 2.267 V full; both figures estimated.
        QVERIFY(std::abs(*state.batteryCharge - 97.1667f) < 0.001f);
        QCOMPARE(*state.runtime, 116);
        QVERIFY(state.chargeEstimated && state.runtimeEstimated && state.online());

        // Fields that are not numbers read as 0; the reply is still accepted.
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(nan inf 1e999 0x5 -1.0 2.25 48.00000 0000100x\r"));
        QVERIFY(*state.inputVoltage == 0.0f && *state.inputFaultVoltage == 0.0f &&
                *state.outputVoltage == 0.0f && *state.load == 0);
        QCOMPARE(*state.inputFrequency, -1.0f);
        QCOMPARE(state.statusByte(), quint8(0));
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       QByteArray("(230.0 230.0 229.8 0\0005 50.0 2.25 30.5 00000001\r", 47)));
        QCOMPARE(*state.load, 0);
        QCOMPARE(state.statusByte(), quint8(0x80));

        // Wrong shapes change nothing at all.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000")));
        const UpsState before = state;
        const QByteArrayList bad = {
            "(230.0 230.0 229.8 035 50.0 2.25 30.5x00001001\r", // 7 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30 5 00001001\r", // 9 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 0001001\r", // 46 bytes
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 000010011\r", // 48 bytes
            "#230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r", // wrong start
        };
        for (const QByteArray &reply : bad) {
            QVERIFY2(!answer(driver, Megatec::CmdQueryBase, reply), reply.constData());
            QVERIFY(state == before);
        }

        // The status field: odd digits, leading zeros implied, ninth digit ignored.
        const QList<QPair<const char *, int>> fields = {
            {"00001001", 0x90}, {"12345678", 0x55}, {"1001", 0x90},  {"910000001", 0x81},
            {"-0000001", 0x80}, {"99999999999", 0}, {"0000 001", 0}, {"", 0}};
        for (const auto &field : fields)
            QVERIFY2(MegatecReply::statusByte(field.first) == quint8(field.second), field.first);

        // A reset forgets everything and takes the UPS offline once; an offline one stays quiet.
        QSignalSpy changed(&driver, &Megatec::stateChanged);
        driver.reset();
        driver.reset();
        QCOMPARE(online.count(), 2);
        QCOMPARE(changed.count(), 1);
        QVERIFY(!state.online() && state.link == UpsState::Link::Offline);
        QVERIFY(!state.inputVoltage && !state.batteryCharge && state.statusByte() == 0);
    }

    void capacityEstimate()
    {
        using MegatecReply::estimateCapacity;
        // One cell, then a standby type: 20..27.2 V per 24 V of rated battery voltage.
        QVERIFY(std::abs(estimateCapacity(1.967f, 0.0f, false) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.3f, 0.0f, false), 100.0f);
        QCOMPARE(estimateCapacity(20.0f, 24.0f, true), 0.0f);
        QVERIFY(std::abs(estimateCapacity(47.2f, 48.0f, true) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.25f, 24.0f, true), 0.0f);
        // No rated voltage yet, or a nonsense one: always a number from 0 to 100.
        for (float rated : {0.0f, -24.0f, INFINITY, NAN}) {
            for (float volts : {0.0f, 27.0f, -5.0f}) {
                const float capacity = estimateCapacity(volts, rated, true);
                QVERIFY(capacity >= 0.0f && capacity <= 100.0f);
            }
        }

        // A standby UPS asked for its status before its ratings are known, then after.
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        const UpsState &state = driver.state();
        QVERIFY(charge(driver) >= 0.0f && charge(driver) <= 100.0f);
        QVERIFY(*state.runtime <= 120);
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, goodReplies.at(1).second));
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        QCOMPARE(state.statusByte(), quint8(0x90));
        QVERIFY(state.standbyType && state.beeper && state.mode() == UpsState::Mode::Standby);
        QVERIFY(std::abs(charge(driver) - 97.222f) < 0.01f);
        QCOMPARE(*state.runtime, 116);
        QCOMPARE(*state.load, 14);
    }

    void ratingAndBatteryReplies()
    {
        Megatec driver;
        const UpsState &state = driver.state();
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"));
        QVERIFY(*state.ratedOutputVoltage == 220.0f && *state.ratedBatteryVoltage == 24.0f &&
                *state.ratedCurrent == 5 && *state.ratedFrequency == 50.0f);
        Megatec other;
        for (const char *bad :
             {"#220.0 005 24.00 50 0\r", "#220.0 005 24.0050.00\r", "(220.0 005 24.00 50.0\r"})
            QVERIFY2(!answer(other, Megatec::CmdQueryRatingInfo, bad), bad);
        QVERIFY(!other.state().ratedOutputVoltage);
        QVERIFY(answer(other, Megatec::CmdQueryRatingInfo, "#220.0 -05 24.00 50.0\r"));
        QCOMPARE(*other.state().ratedCurrent, 0);

        QVERIFY(answer(driver, Megatec::CmdOrvakBT, "#00123 0001\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#0012300001\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#001 23 001\r"));
        QCOMPARE(*state.runtime, 123);
        // With a percentage reply the status reply keeps both figures from the UPS.
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0875\r"));
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.25")));
        QCOMPARE(charge(driver), 87.5f);
        QCOMPARE(*state.runtime, 123);
        QVERIFY(!state.chargeEstimated && !state.runtimeEstimated);
        // Without one, the next status reply estimates both.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "1.96")));
        QVERIFY(charge(driver) < 50.0f && state.chargeEstimated && state.runtimeEstimated);
        QCOMPARE(*state.runtime, int(quint16(charge(driver) * 1.2f)));
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#08x5\r"));
        QCOMPARE(charge(driver), 0.0f);
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "#875\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "(0875\r"));
    }

    void identityReplies()
    {
        {
            Megatec driver;
            // Fixed columns: the blanks are part of the fields.
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));
            const UpsState &state = driver.state();
            QCOMPARE(state.manufacturer, QStringLiteral("-------------  "));
            QCOMPARE(state.model, QStringLiteral("------    "));
            QCOMPARE(state.firmware, QStringLiteral("VT12046Q  "));
            QVERIFY(requestFor(driver, Megatec::CmdQueryDevInfo).isEmpty()); // asked no more
            // A later serial/model/company reply writes its columns over the start of the slots
            // (the company slot keeps its last five characters) and is published at once.
            QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
            QCOMPARE(state.serialNumber, QStringLiteral("SN0123456789ABCDEFGHI"));
            QCOMPARE(state.model, QStringLiteral("UPS MODEL 20 CHARS.."));
            QCOMPARE(state.manufacturer, QStringLiteral("COMPANY-10---  "));
            QCOMPARE(state.firmware, QStringLiteral("VT12046Q  "));
        }
        {
            Megatec driver;
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "(ACME POWER      LINE-1000  V2.01     \r"));
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "#ACME POWER      LINE-1000  V2.01    \r"));
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                           "!ACME POWER      LINE-1000  V2.01     \r"));
            QCOMPARE(driver.state().model, QStringLiteral("LINE-1000 "));
        }
        // In the usual order the serial/model/company reply comes first in the cycle; it is
        // published with the identity reply, which then only changes the version.
        Megatec driver;
        const UpsState &state = driver.state();
        QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
        QCOMPARE(state.serialNumber, QString());
        QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                       QByteArray("#OTHER COMPANY   OTHER      V4\0000      \r", 39)));
        QCOMPARE(state.serialNumber, QStringLiteral("SN0123456789ABCDEFGHI"));
        QCOMPARE(state.model, QStringLiteral("UPS MODEL 20 CHARS.."));
        QCOMPARE(state.manufacturer, QStringLiteral("COMPANY-10"));
        // A NUL inside a text ends it.
        QCOMPARE(state.firmware, QStringLiteral("V4"));
        // A reset forgets everything and asks again.
        driver.reset();
        QCOMPARE(state.serialNumber, QString());
        QCOMPARE(requestFor(driver, Megatec::CmdOrvakNqu), QByteArray("NQU\r"));
        QCOMPARE(requestFor(driver, Megatec::CmdQueryDevInfo), QByteArray("I\r"));
    }

    void faultWordReply()
    {
        Megatec driver;
        QSignalSpy faults(&driver, &Megatec::faultsChanged);
        const QByteArray reply = goodReplies.at(6).second; // kind 1, word 5 = 0x0200
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, reply));
        QCOMPARE(faults.count(), 1);
        QVERIFY(driver.state().faultKind == 1 && driver.state().faultWords[5] == 0x0200);

        // Twelve words: too short with two extra characters, or the full length with two
        // words run together; a wrong start.
        QByteArray joined = reply;
        joined[8] = '0';
        const QByteArrayList bad = {reply.left(63) + "xx\r", joined, "(" + reply.mid(1)};
        for (const QByteArray &line : bad)
            QVERIFY2(!answer(driver, Megatec::CmdOrvakA1, line), line.constData());
        QCOMPARE(faults.count(), 1);

        // Words that are not hexadecimal read as 0.
        QByteArray garbled = reply;
        garbled.replace(" 0200 ", " 02G0 ");
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, garbled));
        QCOMPARE(driver.state().faultWords[5], quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestMegatec)
#include "tst_megatec.moc"
