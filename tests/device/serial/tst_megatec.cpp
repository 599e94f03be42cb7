// The serial driver on its own, with no folder, settings or database: the poll cycle, the
// control encodings, how received bytes become lines, and what each reply kind puts in the state.
#include "clock.h"
#include "logrecorder.h"
#include "megatec.h"
#include "megatecreply.h"
#include "upsstate.h"

#include <QtTest>

#include <cmath>

namespace {

const QByteArray goodStatus = "(233.0 000.0 233.0 014 49.0 27.0 20.8 00001001\r";
const QByteArray goodIdentity = "#SN0123456789ABCDEFGHI UPS MODEL 20 CHARS.. COMPANY-10\r";
const QByteArray goodFaults =
    "#01 0000 0000 0000 0000 0000 0200 0000 0000 0000 0000 0000 0000 0000\r";

// One well-formed reply per query.
const QList<QPair<int, QByteArray>> goodReplies = {
    {Megatec::CmdQueryBase, goodStatus},
    {Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"},
    {Megatec::CmdQueryDevInfo, "#-------------   ------     VT12046Q  \r"},
    {Megatec::CmdOrvakNqu, goodIdentity},
    {Megatec::CmdOrvakBT, "#00123 0001\r"},
    {Megatec::CmdOrvakBP, "#0875\r"},
    {Megatec::CmdOrvakA1, goodFaults},
};

// Takes requests off the queue until one for `command` is outstanding and returns its frame;
// empty when none comes up within two poll cycles.
QByteArray requestFor(Megatec &driver, int command)
{
    for (int i = 0; i < 100; ++i) {
        const QByteArray frame = driver.nextCommand();
        if (driver.currentCommand() == command)
            return frame;
    }
    return QByteArray();
}

bool answer(Megatec &driver, int command, const QByteArray &reply)
{
    return !requestFor(driver, command).isEmpty() && driver.handleResponse(reply);
}

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

// A 47-byte status reply: status field (bit k is the (k+1)-th digit) and battery voltage.
QByteArray statusReply(const QByteArray &status, const QByteArray &battVol = "2.25")
{
    return "(230.0 230.0 229.8 035 50.0 " + battVol + " 30.5 " + status + '\r';
}

QByteArray statusField(int status)
{
    QByteArray field(8, '0');
    for (int bit = 0; bit < 8; ++bit)
        field[bit] = (status >> bit) & 1 ? '1' : '0';
    return field;
}

// Everything the state holds, in one line; estimated figures marked with "~".
QString describe(const UpsState &s)
{
    QStringList out;
    if (s.link != UpsState::Link::Unknown)
        out << (s.online() ? "online" : "offline");
    if (s.online() || s.statusByte())
        out << "status" << QString::number(s.statusByte(), 16);
    const auto number = [&out](const char *name, auto value, bool estimated = false) {
        if (value)
            out << name << QString::number(double(*value), 'g', 5) + (estimated ? "~" : "");
    };
    number("in", s.inputVoltage);
    number("fault", s.inputFaultVoltage);
    number("out", s.outputVoltage);
    number("load", s.load);
    number("freq", s.inputFrequency);
    number("batt", s.batteryVoltage);
    number("temp", s.temperature);
    number("charge", s.batteryCharge, s.chargeEstimated);
    number("runtime", s.runtime, s.runtimeEstimated);
    number("rOut", s.ratedOutputVoltage);
    number("rBatt", s.ratedBatteryVoltage);
    number("rCur", s.ratedCurrent);
    number("rFreq", s.ratedFrequency);
    const QStringList id {s.manufacturer, s.model, s.firmware, s.serialNumber};
    if (!id.join(QString()).isEmpty())
        out << "id '" + id.join("'|'") + "'";
    if (s.faultKind >= 0) {
        out << "faults" << QString::number(s.faultKind);
        for (int i = 0; i < UpsState::FaultWordCount; ++i) {
            if (s.faultWords[std::size_t(i)])
                out << QStringLiteral("w%1=%2").arg(i).arg(s.faultWords[std::size_t(i)], 4, 16,
                                                           QLatin1Char('0'));
        }
    }
    return out.join(' ');
}

} // namespace

class TestMegatec : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LogRecorder::install(); }
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

        // Online, the status query is asked back to back, and each slow query in turn after ten
        // of them; on battery after two.
        QByteArrayList tenStatus;
        for (int i = 0; i < 10; ++i)
            tenStatus << "Q1\r";
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        QCOMPARE(cycle(driver, 1), QByteArrayList({"A1\r"}));
        QCOMPARE(cycle(driver, 33),
                 tenStatus + QByteArrayList {"BT\r"} + tenStatus + QByteArrayList {"BP\r"} +
                     tenStatus + QByteArrayList {"A1\r"});
        QCOMPARE(driver.nextCommand(), QByteArray("Q1\r"));
        QVERIFY(driver.handleResponse(QByteArray(goodStatus).replace(38, 1, "1")));
        QVERIFY(driver.state().onBattery);
        QCOMPARE(cycle(driver, 13), QByteArrayList({"Q1\r", "BT\r", "Q1\r", "Q1\r", "BP\r",
                                                   "Q1\r", "Q1\r", "A1\r", "Q1\r", "Q1\r",
                                                   "BT\r", "Q1\r", "Q1\r"}));

        // A reset forgets them; the request under way is finished first.
        QCOMPARE(driver.nextCommand(), QByteArray("BP\r"));
        driver.reset();
        QCOMPARE(cycle(driver, 1), QByteArrayList({"Q1\r"}));
        QCOMPARE(cycle(driver, 7), first);

        // Control requests go to the front: the later call first, then the cycle goes on.
        driver.selfTest(2, 0);
        driver.toggleBeeper();
        QCOMPARE(cycle(driver, 4), QByteArrayList({"Q\r", "T\r", "BT\r", "BP\r"}));

        // Identity queries a unit never answers stay in the rotation of the slow ones.
        Megatec plain;
        QVERIFY(answer(plain, Megatec::CmdQueryRatingInfo, goodReplies.at(1).second));
        QVERIFY(answer(plain, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));
        QVERIFY(answer(plain, Megatec::CmdQueryBase, goodStatus));
        cycle(plain, 1);
        QByteArrayList slow = cycle(plain, 44);
        QCOMPARE(slow.count("Q1\r"), 40);
        slow.removeAll("Q1\r");
        QCOMPARE(slow, QByteArrayList({"BT\r", "BP\r", "NQU\r", "A1\r"}));
        // Answered at its turn, the identity leaves the rotation and A1 still comes next.
        QVERIFY(answer(plain, Megatec::CmdOrvakNqu, goodIdentity));
        slow = cycle(plain, 33);
        slow.removeAll("Q1\r");
        QCOMPARE(slow, QByteArrayList({"A1\r", "BT\r", "BP\r"}));
    }

    // While the UPS is well and on mains, readings are told once a second; a changed flag, and
    // every reply while something is wrong, at once.
    void steadyReadingsToldOnceASecond()
    {
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
        Megatec driver;
        QSignalSpy told(&driver, &Megatec::stateChanged);
        const auto status = [&driver](const QByteArray &input, const QByteArray &bits) {
            QByteArray reply = goodStatus;
            reply.replace(1, 5, input).replace(38, 8, bits);
            return answer(driver, Megatec::CmdQueryBase, reply);
        };
        QVERIFY(status("231.0", "00001001"));
        QCOMPARE(told.count(), 1);
        QVERIFY(status("232.0", "00001001"));
        QCOMPARE(told.count(), 1); // held
        QCOMPARE(*driver.state().inputVoltage, 232.0f); // but read
        Clock::advance(1);
        QVERIFY(status("233.0", "00001001"));
        QCOMPARE(told.count(), 2);
        QVERIFY(status("000.0", "10001001")); // the mains fails: at once, and every reply after
        QVERIFY(status("000.0", "10001001"));
        QVERIFY(status("000.0", "11001001"));
        QCOMPARE(told.count(), 5);
        QVERIFY(status("230.0", "00001001")); // back on mains: told, then held again
        QVERIFY(status("231.0", "00001001"));
        QCOMPARE(told.count(), 6);
        Clock::useSystemClock();
    }

    void controlEncodings()
    {
        struct Case
        {
            int status;
            char call; // s: output off (a: 1) or its cancel (a: 0), t: self-test, b: beeper
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
                driver.toggleBeeper();
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
        for (int i = 0; i < goodFaults.size() - 1; ++i)
            QVERIFY(!driver.handleResponse(goodFaults.mid(i, 1)));
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
        const auto overflowWarnings = [before = LogRecorder::count("Reply longer than")] {
            return LogRecorder::count("Reply longer than") - before;
        };
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x') + "#0125\r"));
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x')));
        QCOMPARE(overflowWarnings(), 1);
        QVERIFY(driver.handleResponse("#0125\r"));
        QCOMPARE(charge(driver), 12.5f);
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x')));
        QCOMPARE(overflowWarnings(), 2);
    }

    void rejectedAndLateLines()
    {
        {
            Megatec driver;
            QVERIFY(!driver.handleResponse(goodStatus)); // nothing outstanding yet
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("NAK\r"));
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("Q1\r")); // an echo of the request
            // No carriage return, then silence: the next request drops the partial line.
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001"));
            QVERIFY(driver.state() == UpsState());
            QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0500\r"));
            QCOMPARE(charge(driver), 50.0f);
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
        driver.toggleBeeper();
        QCOMPARE(driver.nextCommand(), QByteArray("Q\r"));
        QVERIFY(!driver.handleResponse("Q\r"));
        QVERIFY(!driver.handleResponse(goodStatus));
    }

    // Wrong shapes, replies to another query (every reply kind has its own length), and fields
    // that are not written the way the protocol writes them: each refused by a driver that has
    // read a cycle, which then holds what it held. Each kind of fault is logged once.
    void refusedReplies()
    {
        const QByteArray q1 = "(230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r";
        const auto field = [](QByteArray line, const QByteArray &from, const QByteArray &to) {
            return line.replace(line.indexOf(from), from.size(), to);
        };
        QList<QPair<int, QByteArray>> cases = {
            {Megatec::CmdQueryBase, "(230.0 230.0 229.8 035 50.0 2.25 30.5x00001001\r"},
            {Megatec::CmdQueryBase, "(230.0 230.0 229.8 035 50.0 2.25 30 5 00001001\r"},
            {Megatec::CmdQueryBase, "(230.0 230.0 229.8 035 50.0 2.25 30.5 0001001\r"},
            {Megatec::CmdQueryBase, "(230.0 230.0 229.8 035 50.0 2.25 30.5 000010011\r"},
            {Megatec::CmdQueryBase, "#230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r"},
            {Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50 0\r"},
            {Megatec::CmdQueryRatingInfo, "#220.0 005 24.0050.00\r"},
            {Megatec::CmdQueryRatingInfo, "(220.0 005 24.00 50.0\r"},
            {Megatec::CmdQueryRatingInfo, "#220.0 -05 24.00 50.0\r"},
            {Megatec::CmdQueryRatingInfo, "#220.0 0x5 24.00 50.0\r"},
            {Megatec::CmdOrvakBT, "#0012300001\r"},
            {Megatec::CmdOrvakBT, "#001 23 001\r"},
            {Megatec::CmdOrvakBT, "#-0123 0001\r"},
            {Megatec::CmdOrvakBT, "#00123 00.1\r"},
            {Megatec::CmdOrvakBP, "#875\r"},
            {Megatec::CmdOrvakBP, "(0875\r"},
            {Megatec::CmdOrvakBP, "#08x5\r"},
            {Megatec::CmdOrvakBP, "#-875\r"},
            {Megatec::CmdOrvakBP, "#1001\r"}, // above 100.0 %
            {Megatec::CmdQueryDevInfo, "(ACME POWER      LINE-1000  V2.01     \r"},
            {Megatec::CmdQueryDevInfo, "#ACME POWER      LINE-1000  V2.01    \r"},
            {Megatec::CmdQueryDevInfo, "#ACME\x01POWER      LINE-1000  V2.01     \r"},
            {Megatec::CmdOrvakNqu, field(goodIdentity, " ", "\xff")},
            {Megatec::CmdOrvakA1, goodFaults.left(63) + "xx\r"}, // twelve words and two bytes
            {Megatec::CmdOrvakA1, QByteArray(goodFaults).replace(8, 1, "0")}, // two run together
            {Megatec::CmdOrvakA1, "(" + goodFaults.mid(1)},
            {Megatec::CmdOrvakA1, field(goodFaults, "0200", "02G0")},
            {Megatec::CmdOrvakA1, field(goodFaults, "0200", "+200")},
            {Megatec::CmdOrvakA1, field(goodFaults, "#01", "#-1")},
        };
        // One corrupt field of a status reply of the right length and field count.
        for (const auto &bad :
             QList<QPair<QByteArray, QByteArray>> {{"230.0 230.0", "2X0.0 230.0"},
                                                   {"2.25", "2?.2"},
                                                   {"2.25", "9e99"},
                                                   {"50.0", "-5.0"},
                                                   {"30.5", "+0.5"},
                                                   {"035", "0x5"},
                                                   {"035", "nan"},
                                                   {"035", "inf"},
                                                   {"2.25", "2.2."},
                                                   {"2.25", ".225"},
                                                   {"50.0", "50,0"},
                                                   {"2.25", "2.5 "},
                                                   {"035 ", " 035"},
                                                   {"00001001", "0000100x"},
                                                   {"00001001", "00001002"},
                                                   {"00001001", "-0001001"},
                                                   {"035", QByteArray("0\0005", 3)}}) {
            cases.append({Megatec::CmdQueryBase, field(q1, bad.first, bad.second)});
            QCOMPARE(cases.last().second.size(), q1.size());
        }
        for (const auto &outstanding : goodReplies) {
            for (const auto &late : goodReplies) {
                if (late.first != outstanding.first)
                    cases.append({outstanding.first, late.second});
            }
        }
        for (const auto &c : cases) {
            Megatec driver;
            for (int i : {0, 4, 5, 6})
                QVERIFY(answer(driver, goodReplies.at(i).first, goodReplies.at(i).second));
            const UpsState before = driver.state();
            QSignalSpy changed(&driver, &Megatec::stateChanged);
            QVERIFY2(!answer(driver, c.first, c.second), c.second.constData());
            QVERIFY2(driver.currentCommand() == c.first && driver.state() == before,
                     c.second.constData());
            QCOMPARE(changed.count(), 0);
            QCOMPARE(driver.refusedReplies(), 1);
        }

        // A UPS that keeps sending the same faults: one line per kind, every reply counted.
        LogRecorder::take();
        Megatec driver;
        for (const QByteArray &reply :
             {field(q1, "2.25", "2?.2"), field(q1, "50.0", "-5.0"), field(q1, "2.25", "2?.2"),
              q1.left(40) + "\r", q1.left(40) + "\r", field(q1, "230.0 230.0", "2X0.0 230.0")})
            QVERIFY(!answer(driver, Megatec::CmdQueryBase, reply));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "#9999\r"));
        const QStringList logged = LogRecorder::take(QtWarningMsg);
        QCOMPARE(driver.refusedReplies(), 7);
        QCOMPARE(logged.size(), 3);
        QVERIFY2(logged.at(0).startsWith("Reply to Q1 refused, field 6 is not a number") &&
                     logged.at(0).contains("\"(230.0 230.0 229.8 035 50.0 2?.2 30.5 00001001\\r\""),
                 qPrintable(logged.at(0)));
        QVERIFY(logged.at(1).startsWith("Reply to Q1 refused, not a reply of its kind"));
        QVERIFY(logged.at(2).startsWith("Reply to BP refused, field 1 is out of range"));
        QVERIFY(!driver.isOnline());
        QVERIFY(answer(driver, Megatec::CmdQueryBase, q1));
        // A unit without a temperature sensor: that reading is absent, the reply stands.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, field(q1, "30.5", "--.-")));
        QVERIFY(!driver.state().temperature && driver.state().batteryVoltage);
        QVERIFY(!answer(driver, Megatec::CmdQueryBase, field(q1, "30.5", "3-.5")));
    }

    // Each step is a request frame and the reply to it, handed to one driver in turn and
    // accepted; then the state holds what they said.
    void replies_data()
    {
        QTest::addColumn<QByteArrayList>("steps");
        QTest::addColumn<QString>("state");

        const auto row = [](const char *name, const QByteArrayList &steps, const QString &state) {
            QTest::newRow(name) << steps << state;
        };
        const QByteArray q1 = "Q1\r";
        // One cell: 1.667 V empty, 2.267 V full; both figures estimated.
        row("status", {q1 + "(241.5 000.0 230.3 000 49.9 2.25 48.0 00000001\r"},
            "online status 80 in 241.5 fault 0 out 230.3 load 0 freq 49.9 batt 2.25 temp 48 "
            "charge 97.167~ runtime 116~");

        // A standby type: 20..27.2 V per 24 V of rated battery voltage. Without a rating yet, a
        // present voltage counts as full, so a missing rating never cuts a shutdown short.
        row("standby unit before its ratings", {q1 + goodStatus},
            "online status 90 in 233 fault 0 out 233 load 14 freq 49 batt 27 temp 20.8 "
            "charge 100~ runtime 120~");
        // The same line again after the ratings is read again, under them.
        row("standby unit after its ratings",
            {q1 + goodStatus, "F\r" + goodReplies.at(1).second, q1 + goodStatus},
            "online status 90 in 233 fault 0 out 233 load 14 freq 49 batt 27 temp 20.8 "
            "charge 97.222~ runtime 116~ rOut 220 rBatt 24 rCur 5 rFreq 50");

        // With the percentage query last asked answered, status replies keep both figures
        // from the UPS; once it goes unanswered, the next status reply estimates both, the same
        // line as before included.
        const QByteArrayList fromUps = {q1 + statusReply("00000000", "2.20"), "BT\r#00123 0001\r",
                                        "BP\r#0875\r", q1 + statusReply("00000000", "2.25"),
                                        q1 + statusReply("00000000", "2.20")};
        row("runtime and charge from the UPS", fromUps,
            "online status 0 in 230 fault 230 out 229.8 load 35 freq 50 batt 2.2 temp 30.5 "
            "charge 87.5 runtime 123");
        row("estimated again",
            fromUps + QByteArrayList {"BP\r", q1 + statusReply("00000000", "1.96")},
            "online status 0 in 230 fault 230 out 229.8 load 35 freq 50 batt 1.96 temp 30.5 "
            "charge 48.833~ runtime 58~");
        row("the same line estimated again",
            fromUps + QByteArrayList {"BP\r", q1 + statusReply("00000000", "2.20")},
            "online status 0 in 230 fault 230 out 229.8 load 35 freq 50 batt 2.2 temp 30.5 "
            "charge 88.833~ runtime 106~");

        // Fixed columns: the blanks are part of the fields. A later serial/model/company reply
        // writes its columns over the start of the slots (the company slot keeps its last five
        // characters) and is published at once.
        const QByteArray devInfo = "I\r" + goodReplies.at(2).second;
        row("identity", {devInfo}, "id '-------------  '|'------    '|'VT12046Q  '|''");
        row("identity, then serial", {devInfo, "NQU\r" + goodIdentity},
            "id 'COMPANY-10---  '|'UPS MODEL 20 CHARS..'|'VT12046Q  '|'SN0123456789ABCDEFGHI'");
        row("identity: other start", {"I\r!ACME POWER      LINE-1000  V2.01     \r"},
            "id 'ACME POWER     '|'LINE-1000 '|'V2.01     '|''");
        // In the usual order the serial reply comes first and is published with the identity
        // reply, which then only changes the version.
        row("serial alone", {"NQU\r" + goodIdentity}, "");
        row("serial, then identity",
            {"NQU\r" + goodIdentity, "I\r#OTHER COMPANY   OTHER      V4        \r"},
            "id 'COMPANY-10'|'UPS MODEL 20 CHARS..'|'V4        '|'SN0123456789ABCDEFGHI'");

        row("fault words", {"A1\r" + goodFaults}, "faults 1 w5=0200");
    }

    void replies()
    {
        QFETCH(QByteArrayList, steps);
        QFETCH(QString, state);

        Megatec driver;
        for (const QByteArray &step : steps) {
            const int end = step.indexOf('\r') + 1;
            for (int i = 0; i < 100 && driver.nextCommand() != step.left(end); ++i) { }
            // A request alone goes unanswered.
            QVERIFY2(step.size() == end || driver.handleResponse(step.mid(end)), step.constData());
        }
        QCOMPARE(describe(driver.state()), state);
    }

    // The status field is eight bits written as "0" and "1", nothing else.
    void statusFieldAndCapacity()
    {
        QCOMPARE(MegatecReply::statusByte("00001001"), std::optional<quint8>(0x90));
        QCOMPARE(MegatecReply::statusByte("10000000"), std::optional<quint8>(0x01));
        for (const char *field :
             {"12345678", "1001", "910000001", "-0000001", "0000 001", "", "0000100x", "0000100\0"})
            QVERIFY2(!MegatecReply::statusByte(field), field);

        using MegatecReply::estimateCapacity;
        QVERIFY(std::abs(estimateCapacity(1.967f, 0.0f, false) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.3f, 0.0f, false), 100.0f);
        QCOMPARE(estimateCapacity(20.0f, 24.0f, true), 0.0f);
        QVERIFY(std::abs(estimateCapacity(47.2f, 48.0f, true) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.25f, 24.0f, true), 0.0f);
        // A nonsense rated voltage: always a number from 0 to 100.
        for (float rated : {0.0f, -24.0f, INFINITY, NAN}) {
            for (float volts : {0.0f, 27.0f, -5.0f}) {
                const float capacity = estimateCapacity(volts, rated, true);
                QVERIFY(capacity >= 0.0f && capacity <= 100.0f);
            }
        }
    }

    // Online before the state; fault words told when read; a reset forgets everything and
    // takes the UPS offline once, and an offline one stays quiet.
    void signalsAndReset()
    {
        Megatec driver;
        QSignalSpy online(&driver, &Megatec::onlineChanged);
        QSignalSpy faults(&driver, &Megatec::faultsChanged);
        QStringList order;
        connect(&driver, &Megatec::onlineChanged, this, [&] { order << "online"; });
        connect(&driver, &Megatec::stateChanged, this, [&] { order << "state"; });
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        QCOMPARE(order, QStringList({"online", "state"}));
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, goodFaults));
        QVERIFY(!answer(driver, Megatec::CmdOrvakA1, "(" + goodFaults.mid(1)));
        QCOMPARE(faults.count(), 1);
        QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
        QVERIFY(answer(driver, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));

        QSignalSpy changed(&driver, &Megatec::stateChanged);
        driver.reset();
        driver.reset();
        QCOMPARE(online.count(), 2);
        QCOMPARE(changed.count(), 1);
        UpsState offline;
        offline.link = UpsState::Link::Offline;
        QVERIFY(driver.state() == offline);
    }
};

QTEST_GUILESS_MAIN(TestMegatec)
#include "tst_megatec.moc"
