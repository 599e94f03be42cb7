// From the replies of a UPS to what the program makes of them. First the serial driver on its
// own, with no folder, settings or database: the poll cycle, the control encodings, how received
// bytes become lines, and what each reply kind puts in the state. The USB link through the hidapi
// seam, seen through DevComm: the report cycle, what is read once per connection, the UPS's own
// communication flag, reports of the wrong length, string descriptors, a device that vanishes and
// returns, and the control reports. Then what the program makes of
// the typed state: alarms from status flags, fault words and the link, the self-test recordings,
// the published map with its histories, and the status summary file.
#include "alarm.h"
#include "alarmrules.h"
#include "clock.h"
#include "devcomm.h"
#include "devdatamap.h"
#include "fakehid.h"
#include "megatec.h"
#include "megatecreply.h"
#include "platform.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "selftestrecorder.h"
#include "settings.h"
#include "statusfile.h"
#include "testroot.h"
#include "upsstate.h"
#include "usblink.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace RecordProbe;

namespace {

const quint16 vendorId = 0x0665;
const quint16 productId = 0x5161;

// Little-endian words from byte `at` on.
void put(QByteArray &r, int at, std::initializer_list<quint16> words)
{
    for (quint16 word : words) {
        r[at++] = char(word & 0xFF);
        r[at++] = char(word >> 8);
    }
}

QByteArray report(int id, int size)
{
    QByteArray r(size, '\0');
    r[0] = char(id);
    return r;
}

QByteArray faultReport(quint8 kind, int wordIndex, quint16 value)
{
    QByteArray r = report(103, 29);
    r[1] = char(kind);
    put(r, 2 + 2 * wordIndex, {value});
    return r;
}

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

const QString statusFile = QStringLiteral("/log/output/upsstatus.txt");
const QString selfTestFolder = QStringLiteral("/data/self_test/");

int storedRows(int code)
{
    return sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
}

// The self-test rows as "dateTime duration count" lines, with " drop" where one was kept and
// the outcome (" passed", " battery low", " UPS fault").
QStringList selfTestRows()
{
    QStringList rows;
    QSqlQuery query(
        QStringLiteral("select dateTime, duration, count, battVolDrop, result from log_self_test"));
    const QStringList outcomes = {" passed", " battery low", " UPS fault"};
    while (query.next())
        rows << query.value(0).toString() + ' ' + query.value(1).toString() + ' ' +
                query.value(2).toString() +
                (query.isNull(3) ? QString() : ' ' + QString::number(query.value(3).toDouble())) +
                (query.isNull(4) ? QString() : outcomes.value(query.value(4).toInt()));
    return rows;
}

// A data set of an answering UPS.
UpsState online(int status, float capacity = 100.0f, int load = 50, float inputVoltage = 230.0f)
{
    UpsState state;
    state.link = UpsState::Link::Online;
    state.setStatusByte(quint8(status));
    state.batteryCharge = capacity;
    state.load = load;
    state.inputVoltage = inputVoltage;
    state.outputVoltage = inputVoltage + 1000.0f;
    return state;
}

UpsState offline()
{
    UpsState state;
    state.link = UpsState::Link::Offline;
    return state;
}

UpsState faults(int kind, int word, quint16 value)
{
    UpsState state = online(0);
    state.faultKind = kind;
    state.faultWords[std::size_t(word)] = value;
    return state;
}

} // namespace

class TestUpsState : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;
    RecordWriter m_writer;
    Alarm m_alarm {&m_writer};
    std::unique_ptr<DevComm> dev;
    UsbLink *usb = nullptr;
    void pollUsb(int times = 1)
    {
        for (int i = 0; i < times; ++i)
            usb->poll();
    }
    QVariant published(const char *key) const { return dev->devData().value(QLatin1String(key)); }
    const UpsState &usbState() const { return dev->state(); }
    QStringList alarms() const { return currentAlarmTexts(&m_alarm); }
    void tick() { m_alarm.onTimerEvent(); }

    QStringList recordings() const
    {
        return QDir(m_root.file(selfTestFolder)).entryList(QDir::Files, QDir::Name);
    }
    QByteArray recording(const QString &name) const { return m_root.read(selfTestFolder + name); }

    // The nine values of the status line; empty when there is no file.
    QList<int> summary() const
    {
        const QByteArray line = m_root.read(statusFile);
        if (line.isEmpty())
            return {};
        if (!line.endsWith("\r\n"))
            return {-1};
        QList<int> values;
        const QList<QByteArray> fields = line.trimmed().split(',');
        for (int i = 1; i < fields.size(); ++i)
            values << fields.at(i).toInt();
        return values;
    }

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
        driver.toggleBuzzer();
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
        driver.toggleBuzzer();
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
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &m) {
                if (type == QtWarningMsg)
                    logged << m;
            });
        Megatec driver;
        for (const QByteArray &reply :
             {field(q1, "2.25", "2?.2"), field(q1, "50.0", "-5.0"), field(q1, "2.25", "2?.2"),
              q1.left(40) + "\r", q1.left(40) + "\r", field(q1, "230.0 230.0", "2X0.0 230.0")})
            QVERIFY(!answer(driver, Megatec::CmdQueryBase, reply));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "#9999\r"));
        qInstallMessageHandler(previous);
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

    // The USB link, one device through the cases in turn.
    void usbLinkStarts();
    void usbSearchIsTold();
    void deviceList();
    void reportCycle();
    void oddReportsAndFlags();
    void vanishAndReturn();
    void controlReports();
    void heldByAnotherProgram();
    void switchingToSerialDropsTheDevice();

    void init()
    {
        m_alarm.clearAlarms();
        Clock::advance(3600);
        tick();
        QSqlQuery(QStringLiteral("delete from log_self_test"));
        for (const QString &name : recordings())
            QFile::remove(m_root.file(selfTestFolder + name));
        QFile::remove(m_root.file(statusFile));
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
    }

    void statusBits()
    {
        // Every bit raised and returned; the bypass bit of a standby unit means boost or buck.
        const QList<std::tuple<int, int, QStringList>> cases = {
            {0,
             0xEB,
             {"Input voltage fault", "Battery voltage low", "UPS fault", "In self-test",
              "In power off", "Buzzer open"}},
            {0xEB,
             0,
             {"Input voltage returns to normal", "Battery voltage returns to normal",
              "UPS returns to normal", "Self-test finished", "UPS returns from power off",
              "Buzzer silent"}},
            {0, 0x04, {"Bypass supply"}},
            {0x04, 0, {"Rectifier supply"}},
            {0x10, 0x14, {"Boost or buck activated"}},
            {0x14, 0x10, {"UPS returns from boost or buck"}},
            {0, 0x10, {}}, // standby type alone
            {0x0B, 0x0B, {}},
        };
        for (const auto &c : cases) {
            AlarmRules rules(&m_alarm);
            rules.updateState(online(std::get<0>(c)));
            m_alarm.clearAlarms();
            rules.updateState(online(std::get<1>(c)));
            QCOMPARE(alarms(), std::get<2>(c));
        }
    }

    void alarmsOverTimeAndTheLink()
    {
        AlarmRules rules(&m_alarm);
        const int rows = storedRows(Alarm::MainsFault);
        // The first data set: what it reports, then the UPS answering.
        rules.updateState(online(0x81));
        QCOMPARE(alarms(),
                 QStringList({"Input voltage fault", "Buzzer open", "Communication established"}));
        // The events leave after 11 s; the lasting alarm stays while the bit is set.
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList({"Input voltage fault"}));
        // Mains fails and returns in the same second: only the return is listed.
        rules.updateState(online(0x80));
        rules.updateState(online(0x81));
        rules.updateState(online(0x80));
        QCOMPARE(alarms(), QStringList({"Input voltage returns to normal"}));
        QCOMPARE(storedRows(Alarm::MainsFault), rows + 2);
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList());

        // The UPS reports it cannot communicate: the list stays and "Communication lost" joins
        // it; the beeper reported again when it is back only restarts its event.
        const int beeps = storedRows(Alarm::BuzzerOn);
        rules.updateState(online(0x00));
        rules.updateState(online(0x80));
        Clock::advance(5);
        tick();
        rules.updateState(offline());
        rules.upsCommFault();
        QCOMPARE(alarms(), QStringList({"Buzzer open", "Communication lost"}));
        rules.updateState(online(0x80));
        QCOMPARE(alarms(), QStringList({"Buzzer open", "Communication established"}));
        QCOMPARE(storedRows(Alarm::BuzzerOn), beeps + 1);
        Clock::advance(10);
        tick();
        QVERIFY(alarms().contains("Buzzer open"));

        // A lost data set raises and clears nothing; the link going down clears the list.
        m_alarm.clearAlarms();
        AlarmRules lost(&m_alarm);
        lost.updateState(online(0xB7));
        lost.updateFaults(faults(1, 3, 0x0008));
        QCOMPARE(m_alarm.alarmNum(), 7);
        lost.updateState(offline());
        QCOMPARE(m_alarm.alarmNum(), 7);
        lost.linkLost();
        Clock::advance(15);
        tick();
        QCOMPARE(alarms(), QStringList({"Communication lost"}));

        // Back online, every flag and fault still present is raised again.
        lost.updateState(online(0xB7));
        lost.updateFaults(faults(1, 3, 0x0008));
        QCOMPARE(alarms(),
                 QStringList({"Input voltage fault", "Battery voltage low",
                              "Boost or buck activated", "In self-test", "Buzzer open",
                              "Communication established", "Inverter fault"}));
    }

    void faultWordAlarms()
    {
        AlarmRules rules(&m_alarm);
        UpsState state = faults(1, 5, 0x0200); // offset 0x59
        state.faultWords[8] = 0x0010; // offset 0x84
        const int rbc = storedRows(0x10059);
        // The same words twice raise them once.
        for (int i = 0; i < 2; ++i)
            rules.updateFaults(state);
        QCOMPARE(alarms(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        QCOMPARE(storedRows(0x10059), rbc + 1);
        // A cleared bit becomes a timed return event; set again, the fault replaces it.
        state.faultWords[8] = 0;
        rules.updateFaults(state);
        QCOMPARE(alarms(),
                 QStringList({"RBC needs replacement", "Returned from: Fan inoperative"}));
        state.faultWords[8] = 0x0010;
        rules.updateFaults(state);
        QCOMPARE(alarms(), QStringList({"RBC needs replacement", "Fan inoperative"}));
        state.faultWords[8] = 0;
        rules.updateFaults(state);
        Clock::advance(11);
        tick();
        QCOMPARE(alarms(), QStringList({"RBC needs replacement"}));

        // Kind 1 -> 2: the same bits are raised anew as family 2 faults; the family 1 alarms
        // stay until cleared or the link goes down. Back to kind 1: raised again only where
        // not listed; nothing is cleared.
        m_alarm.clearAlarms();
        AlarmRules fresh(&m_alarm);
        UpsState both = faults(1, 1, 0x0002); // offset 0x11
        both.faultWords[2] = 0x0001; // offset 0x20
        fresh.updateFaults(both);
        both.faultKind = 2;
        fresh.updateFaults(both);
        QCOMPARE(alarms(),
                 QStringList({"-DC bus over voltage", "+DC bus discharge fail",
                              "Rectifier CPLD clock source fault", "Inverter fault"}));
        both.faultKind = 1;
        fresh.updateFaults(both);
        QCOMPARE(alarms().size(), 4);

        // Kinds without texts raise nothing; only the low byte of the kind counts.
        m_alarm.clearAlarms();
        for (int kind : {0, 3})
            fresh.updateFaults(faults(kind, 0, 0x0007));
        QCOMPARE(alarms(), QStringList());
        fresh.updateFaults(faults(0x101, 0, 0x0007));
        QCOMPARE(
            alarms(),
            QStringList({"Input phase sequence error", "Input voltage high", "Input voltage low"}));
    }

    void selfTestRecordings()
    {
        SelfTestRecorder recorder(&m_writer);
        QSignalSpy recorded(&recorder, &SelfTestRecorder::recorded);
        QVector<SelfTestResult> results;
        connect(&recorder, &SelfTestRecorder::finished,
                [&results](const SelfTestResult &result) { results.append(result); });
        UpsState idle = online(0, 98.0f, 40);
        idle.batteryVoltage = 27.4f;
        recorder.updateState(idle);
        Clock::advance(2);
        // Data sets come about every 700 ms; the test flag is up for ten seconds, while the
        // battery voltage falls by 0.1 V a data set, to 25.9 V, and is 26.9 V again at the end.
        float capacity = 98.0f;
        float voltage = 27.4f;
        for (int ms = 0; ms <= 10000; ms += 700) {
            UpsState testing = online(0x20, capacity, 40);
            voltage -= 0.1f;
            testing.batteryVoltage = voltage;
            recorder.updateState(testing);
            Clock::advance(0, 700);
            capacity = ms < 5000 ? 88.0f : 72.0f;
        }
        idle = online(0, 72.0f, 40);
        idle.batteryVoltage = 26.9f;
        recorder.updateState(idle);
        QCOMPARE(recordings(), QStringList({"20240902143002.txt"}));
        const QList<QByteArray> lines = recording("20240902143002.txt").split('\n');
        QCOMPARE(lines.size(), 11); // every line ends with a line feed
        QCOMPARE(lines.first(), QByteArray("0,40,98"));
        QCOMPARE(lines.at(1), QByteArray("1,40,88"));
        QCOMPARE(lines.at(9), QByteArray("9,40,72"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:02 10 10 1.5 passed"}));
        QCOMPARE(recorded.count(), 1);
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().seconds, 10);
        QVERIFY(results.first().passed());
        QCOMPARE(qRound(*results.first().voltageDrop * 100), 150);

        // The link is lost during a test: the recording ends with the samples taken (the lost
        // data set adds none, nor a voltage to the drop), says so, and nothing more is written
        // when the link comes back with the test over.
        init();
        recorder.updateState(online(0x20, 98.0f, 40));
        Clock::advance(1);
        UpsState falling = online(0x20, 97.0f, 40);
        falling.batteryVoltage = 26.0f;
        recorder.updateState(falling);
        Clock::advance(1);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("link to the UPS was lost during the self-test"));
        UpsState lost = offline(); // even one that still carries the test flag and a reading
        lost.selfTest = true;
        lost.batteryVoltage = 0.0f;
        recorder.updateState(lost);
        QCOMPARE(recording("20240902143000.txt"), QByteArray("0,40,98\n1,40,97\n"));
        QCOMPARE(selfTestRows(), QStringList({"2024-09-02 14:30:00 2 2 0.9"}));
        recorder.updateState(online(0));
        QCOMPARE(selfTestRows().size(), 1);
        // The drop runs from the idle 26.9 V before the test to the 26.0 V taken in it.
        QCOMPARE(results.size(), 2);
        QCOMPARE(qRound(*results.last().voltageDrop * 10), 9);

        // The battery ran low during the test: it failed, and is told so once. (A recording
        // that cannot be written is the full-disk suite's.)
        init();
        recorder.updateState(online(0x20, 0.0f, 50));
        Clock::advance(1);
        recorder.updateState(online(0x22, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        recorder.updateState(online(0, 0.0f, 50));
        QCOMPARE(results.size(), 3);
        QVERIFY(results.last().batteryLow && !results.last().passed());
    }

    // A sample is a measurement taken since the last one: while no data set comes (a line
    // whose replies are all refused), the last values are not stored again.
    void samplesOfNewDataOnly()
    {
        SampleStore store(&m_writer, m_root.settings());
        const QString rows = QStringLiteral("select count(*) from device_data");
        const int before = sqlCount(rows);
        store.updateState(online(0, 100.0f, 40));
        for (int i = 0; i < 3; ++i)
            store.store();
        QCOMPARE(sqlCount(rows), before + 1);
        store.updateState(online(0, 100.0f, 41));
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
        store.updateState(offline());
        store.store();
        QCOMPARE(sqlCount(rows), before + 2);
    }

    void publishedMap()
    {
        // Sixty values each: the zero of the start and the first value are gone.
        DevDataMap published;
        for (int i = 1; i <= 61; ++i)
            published.record(online(0, 100.0f, 50, float(i)));
        const UpsState state = online(0x81, 87.5f, 35, 230.0f);
        QVariantMap map = published.map(state, true);
        const QVariantList input = map.value("inputVolList").toList();
        QCOMPARE(input.size(), 60);
        QCOMPARE(input.first().toFloat(), 2.0f);
        QCOMPARE(map.value("outputVolList").toList().last().toFloat(), 1061.0f);
        // A voltage not reported (a network UPS without output voltage) is an empty entry, no 0.
        UpsState partial = online(0);
        partial.outputVoltage.reset();
        published.record(partial);
        QVERIFY(!published.map(partial, true).value("outputVolList").toList().last().isValid());
        // Only what the screens read: the link, and "devOnline" absent before it is known.
        QCOMPARE(map.keys(), (QStringList {"devOnline", "inputVolList", "outputVolList"}));
        QCOMPARE(map.value("devOnline"), QVariant(true));
        map = DevDataMap().map(UpsState(), false);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value("inputVolList"), QVariant(QVariantList {0.0f}));
    }

    void summaryValues()
    {
        StatusFile file;
        // Mode, battery level and load level at their bounds: {status, capacity, load, line}.
        const QList<std::tuple<int, float, int, QList<int>>> levels = {
            {0x09, 24.9f, 24, {4, 0, 3, 0, 0, 3, 0, 0, 0}},
            {0x05, 25.0f, 25, {2, 0, 2, 0, 0, 2, 0, 0, 0}},
            {0x14, 74.9f, 100, {1, 0, 1, 0, 0, 0, 0, 0, 0}},
            {0x10, 75.0f, 101, {3, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0xE2, 100.0f, 65535, {0, 0, 0, 0, 0, 4, 0, 0, 0}},
            {0x0C, 80.0f, 80, {4, 0, 0, 0, 0, 0, 0, 0, 0}},
        };
        for (const auto &c : levels) {
            file.updateState(online(std::get<0>(c), std::get<1>(c), std::get<2>(c)));
            QCOMPARE(summary(), std::get<3>(c));
        }

        // Fault positions: {kind, word, bit, position}, -1 for no position.
        const QList<std::array<int, 4>> positions = {
            {1, 8, 4, 3},  {1, 8, 9, 4},  {1, 5, 0, 6},  {1, 5, 11, 7}, {1, 3, 3, 8},
            {1, 8, 6, -1}, {2, 0, 7, 3},  {2, 7, 5, 4},  {2, 4, 2, 6},  {2, 0, 11, 7},
            {2, 2, 0, 8},  {2, 4, 3, -1}, {3, 8, 4, -1}, {0, 2, 0, -1},
        };
        file.updateState(online(0, 100.0f, 80));
        for (const auto &c : positions) {
            UpsState state = faults(c[0], c[1], quint16(1u << c[2]));
            state.load = 80;
            file.updateState(state);
            QList<int> expected = {0, 0, 0, 0, 0, 0, 0, 0, 0};
            if (c[3] >= 0)
                expected[c[3]] = 1;
            QVERIFY2(
                summary() == expected || (c[3] < 0 && summary().isEmpty()),
                qPrintable(QStringLiteral("kind %1 word %2 bit %3").arg(c[0]).arg(c[1]).arg(c[2])));
            file.updateState(online(0, 100.0f, 80));
        }
    }

    // The exit statuses of `status`: a bypass, a self-test or a pending output-off with power
    // still on the load are no danger; a fault of the UPS's words is, one of kind 3 is no fault.
    void healthForMonitoring()
    {
        using H = UpsState::Health;
        UpsState outputOff = online(0x40);
        outputOff.outputVoltage = 0.4f;
        UpsState fsd = online(0);
        fsd.forcedShutdown = true;
        const QList<std::pair<UpsState, H>> cases = {
            {UpsState(), H::NoUps},      {offline(), H::NoUps},
            {online(0), H::OnMains},     {online(0x24), H::OnMains}, // bypass, self-test
            {online(0x40), H::OnMains}, // output-off asked for, the load still fed
            {online(0x01), H::OnBattery}, {online(0x03), H::Critical},
            {online(0x08), H::Critical}, {outputOff, H::Critical}, {fsd, H::Critical},
            {faults(1, 8, 0x10), H::Critical}, {faults(2, 0, 0x80), H::Critical},
            {faults(3, 8, 0x10), H::OnMains},  {faults(1, 8, 0), H::OnMains},
        };
        for (int i = 0; i < cases.size(); ++i)
            QVERIFY2(cases[i].first.health() == cases[i].second, qPrintable(QString::number(i)));
    }

    void statusFileWrites()
    {
        Clock::setNow(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
        StatusFile file;
        // The first summary equals the remembered zeros: no file.
        file.updateState(online(0, 100.0f, 80));
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        file.updateState(online(0, 100.0f, 20));
        QCOMPARE(summary(), QList<int>({0, 0, 0, 0, 0, 3, 0, 0, 0}));
        // Same values again: the file is left alone.
        QFile::remove(m_root.file(statusFile));
        Clock::advance(5);
        file.updateState(online(0, 100.0f, 21));
        QVERIFY(!QFile::exists(m_root.file(statusFile)));
        // Any change rewrites it with the time of the change.
        file.updateState(online(0x01, 100.0f, 21));
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,2,0,0,0,0,3,0,0,0\r\n"));
        // Losing the link: everything zero but "communication lost".
        file.updateState(offline());
        QCOMPARE(m_root.read(statusFile), QByteArray("2024/05/06 07:08:14,0,1,0,0,0,0,0,0,0\r\n"));
    }

    void readerNeverSeesAPartialStatusLine()
    {
        StatusFile file;
        file.updateState(online(0, 100.0f, 10));
        std::atomic<bool> done {false};
        std::atomic<int> reads {0};
        std::atomic<int> bad {0};
        const QString path = m_root.file(statusFile);
        std::thread reader([&] {
            while (!done) {
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly)) {
                    ++bad; // the file must always be there
                    continue;
                }
                const QByteArray line = file.readAll();
                if (!line.endsWith("\r\n") || line.count(',') != 9 || line.count('\n') != 1)
                    ++bad;
                ++reads;
            }
        });
        for (int i = 0; i < 20000 && (i < 150 || reads < 50); ++i)
            file.updateState(online(0, 100.0f, i % 2 ? 10 : 90));
        done = true;
        reader.join();
        QVERIFY(reads > 0);
        QCOMPARE(bad.load(), 0);
    }
};

void TestUpsState::usbLinkStarts()
{
    QFile list(m_root.file(QStringLiteral("/cfg/usb.cfg")));
    QVERIFY(list.open(QIODevice::WriteOnly));
    // A bad entry first: the good one after it is still tried.
    list.write(R"({"usb": [[1, 2, 3], [1637, 20833]]})");
    list.close();
    m_root.settings()->setSettings(Settings::UpsCommType, int(DevComm::USB));

    FakeHid::reset();
    dev = std::make_unique<DevComm>(m_root.settings());
    usb = dev->findChild<UsbLink *>();
    QCOMPARE(FakeHid::initCalls(), 0); // nothing before the start
    dev->start();
    QCOMPARE(FakeHid::initCalls(), 1);
    // Tried at once; nothing attached yet.
    QCOMPARE(FakeHid::records().openCalls,
             (QList<QPair<quint16, quint16>> {{vendorId, productId}}));
    QCOMPARE(dev->commType(), int(DevComm::USB));
    QCOMPARE(usb->pollInterval(), 1500);
}

// With no UPS the log says once what was looked for and what is attached, and again when that
// changes: a HID device of other ids, a UPS of the list whose node this program may not open.
void TestUpsState::usbSearchIsTold()
{
    static QStringList told;
    told.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
            if (type == QtWarningMsg && text.startsWith("No USB UPS found"))
                told << text;
        });
    usb->stop();
    usb->start();
    pollUsb(3);
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.last(), "No USB UPS found: tried the ids 0665:5161 of " +
                 m_root.file("/cfg/usb.cfg") + "; HID devices seen: none");

    FakeHid::attach(0x046d, 0xc52b, "/dev/hidraw-keyboard");
    pollUsb(2);
    QCOMPARE(told.size(), 2);
    QVERIFY2(told.last().endsWith("seen: /dev/hidraw-keyboard (046d:c52b)"), qPrintable(told.last()));

    // A node the user may not open: the real library's open fails, as the fake's does. Root
    // may open anything, so the test gives up its real user id for a moment.
    QTemporaryFile node;
    QVERIFY(node.open());
    QVERIFY(node.setPermissions(QFile::Permissions()));
    FakeHid::attach(vendorId, productId, node.fileName());
    const bool root = ::getuid() == 0;
    QVERIFY(!root || ::setreuid(65534, 0) == 0);
    pollUsb(2);
    QVERIFY(!root || ::setreuid(0, 0) == 0);
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(told.size(), 3);
    for (const QString &part :
         {node.fileName() + " (0665:5161). " + node.fileName() + " is a UPS of the list, but this "
                                                                  "program may not read and write it",
          QString("udev rule")})
        QVERIFY2(told.last().contains(part), qPrintable(told.last()));

    FakeHid::detach();
    pollUsb();
    QCOMPARE(told.size(), 4);
    QVERIFY(told.last().endsWith("seen: none"));
    qInstallMessageHandler(previous);
    FakeHid::clearRecords();
    pollUsb();
}

void TestUpsState::deviceList()
{
    using List = QVector<QPair<quint16, quint16>>;
    for (const char *bad : {"not json", "[1, 2]", R"({"usb": {"a": 1}})"})
        QCOMPARE(UsbLink::parseDeviceList(bad), List());
    // Not a pair, not a whole number (counts as 0, which would match any device), strings,
    // id 0: skipped. Out of range: the low 16 bits.
    QCOMPARE(UsbLink::parseDeviceList(R"({"usb": [[1], [1,2,3], "x", [1.5, 2], ["1637", 20833],
                                                  [0, 5], [70000, 5], [-1, 7], [9, 10]]})"),
             (List {{4464, 5}, {65535, 7}, {9, 10}}));
}

void TestUpsState::reportCycle()
{
    QSignalSpy versionSpy(dev.get(), &DevComm::usbVersionChanged);
    QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);

    // Nothing attached: every poll tries to open, at the slow pace.
    pollUsb();
    QCOMPARE(FakeHid::records().openCalls.size(), 2);

    FakeHid::attach(vendorId, productId);
    FakeHid::setReport(100, QByteArray("\x64\x02\x00\x0d\x00\x00", 6)); // version 2.0.13
    QByteArray rating = report(101, 10);
    put(rating, 1, {2200, 2400, 5, 500});
    FakeHid::setReport(101, rating);
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x00));
    FakeHid::setReport(103, faultReport(1, 8, 0x0010)); // fan inoperative
    FakeHid::setString(17, QString(), true); // empty: asked again next poll
    FakeHid::setString(17, QStringLiteral("SN-0042"));
    FakeHid::setString(18, QStringLiteral("ORVAK Power"));
    FakeHid::setString(20, QStringLiteral("QuadraLine 3000 Pro")); // wider than its slot
    FakeHid::setString(21, QStringLiteral("V2.13"));
    FakeHid::clearRecords();

    pollUsb();
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(versionSpy.count(), 1);
    QCOMPARE(usb->pollInterval(), 100);

    pollUsb(); // ratings
    QVERIFY(usbState().ratedOutputVoltage == 220.0f && usbState().ratedBatteryVoltage == 24.0f);
    QVERIFY(usbState().ratedCurrent == 5 && usbState().ratedFrequency == 50.0f);

    pollUsb(); // first measurement: online
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(usbState().inputVoltage.value_or(0), 230.1f);
    QCOMPARE(usbState().batteryVoltage.value_or(0), 27.1f);
    QCOMPARE(usbState().load.value_or(0), 35);
    QCOMPARE(usbState().batteryCharge.value_or(0), 87.0f);
    QCOMPARE(usbState().runtime.value_or(0), 42);
    QVERIFY(!usbState().chargeEstimated && !usbState().runtimeEstimated);

    QSignalSpy faults(dev.get(), &DevComm::faultsChanged);
    pollUsb(); // fault words: fan inoperative
    QCOMPARE(faults.count(), 1);
    QVERIFY(usbState().faultKind == 1 && usbState().faultWords[8] == 0x0010);
    pollUsb(8);

    // Version and ratings once per connection, then measurement and fault words in turn; the
    // strings one per poll, an empty one asked again.
    QCOMPARE(FakeHid::records().reportRequests,
             (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 17, 18, 20, 21}));
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(usbState().manufacturer, QStringLiteral("ORVAK Power"));
    QCOMPARE(usbState().firmware, QStringLiteral("V2.13"));
    QCOMPARE(usbState().model, QStringLiteral("QuadraLine"));
}

void TestUpsState::oddReportsAndFlags()
{
    QSignalSpy dataSpy(dev.get(), &DevComm::devDataChanged);
    QSignalSpy onlineSpy(dev.get(), &DevComm::onlineChanged);
    FakeHid::clearRecords();
    const float before = usbState().inputVoltage.value_or(0);
    // A 20-byte measurement, a long fault report and an id nobody asked for are all ignored.
    FakeHid::setReport(1, FakeHid::measurement(1234, 0x01).left(20), true);
    FakeHid::setReport(103, faultReport(1, 8, 0x0000) + QByteArray(3, '\0'), true);
    pollUsb(2);
    QCOMPARE(usb->pollInterval(), 100); // a report came back all the same
    FakeHid::setReport(1, QByteArray::fromHex("07616263"), true); // id 7: nobody asked
    pollUsb(2);
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(usbState().inputVoltage.value_or(0), before);
    QCOMPARE(usbState().faultWords[8], quint16(0x0010));
    // Zero bytes: nothing read, the slow pace.
    FakeHid::setReport(1, QByteArray(), true);
    pollUsb();
    QCOMPARE(usb->pollInterval(), 1500);
    pollUsb();
    QCOMPARE(dataSpy.count(), 0);
    QCOMPARE(FakeHid::records().stringRequests, QList<int>());

    // The UPS says it cannot talk: offline, and said so without a lost link.
    QSignalSpy commFault(dev.get(), &DevComm::upsCommFault);
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x00, true), true);
    pollUsb(2);
    QCOMPARE(onlineSpy.count(), 1);
    QCOMPARE(published("devOnline").toBool(), false);
    QVERIFY(commFault.count() == 1 && lost.count() == 0);

    // A failed read of a device still attached is passing: it stays open.
    FakeHid::setReportFailure(101, true);
    pollUsb();
    QCOMPARE(FakeHid::records().enumerateCalls, 1);
    QCOMPARE(FakeHid::openHandles(), 1);
    QCOMPARE(usb->pollInterval(), 1500);

    // Back online, with the ratings and strings the reset had cleared read again.
    pollUsb(5);
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(usbState().ratedOutputVoltage.value_or(0), 220.0f);
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(FakeHid::records().reportRequests.count(100), 0);
}

void TestUpsState::vanishAndReturn()
{
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    FakeHid::detach();
    FakeHid::clearRecords();
    pollUsb();
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(published("devOnline").toBool(), false);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(usbState().manufacturer, QString());
    pollUsb(3);
    QCOMPARE(FakeHid::records().openCalls.size(), 3); // tried again at every poll

    // Back: strings, version and ratings are read again; a string that fails is not retried.
    FakeHid::setStringFailure(20);
    FakeHid::attach(vendorId, productId);
    FakeHid::clearRecords();
    pollUsb(8);
    QCOMPARE(FakeHid::records().reportRequests, (QList<quint8> {100, 101, 1, 103, 1, 103, 1, 103}));
    QCOMPARE(FakeHid::records().stringRequests, (QList<int> {17, 18, 20, 21}));
    QCOMPARE(dev->usbVersion(), QStringLiteral("v2.0.13"));
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(usbState().serialNumber, QStringLiteral("SN-0042"));
    QCOMPARE(usbState().model, QString());
}

void TestUpsState::controlReports()
{
    auto sent = [] {
        const QList<QByteArray> reports = FakeHid::records().sentReports;
        FakeHid::clearRecords();
        return reports;
    };
    struct Case
    {
        char call; // s: shutdown, t: self-test
        int a, b;
        const char *report; // two bytes; empty: nothing sent
    };
    // Past 254 minutes the delay would wrap to 0, a cancel: the longest delay instead.
    const QList<Case> cases = {
        {'s', 1, 11, "\x03\x0c"},  {'s', 1, 0, "\x03\x01"},  {'s', 0, 7, "\x03\x00"},
        {'s', 1, 255, "\x03\xff"}, {'t', 1, 0, "\x02\x03"},  {'t', 2, 0, "\x02\x01"},
        {'t', 3, 0, "\x02\x02"},   {'t', 4, 30, "\x02\x21"}, {'t', 4, 253, "\x02\x00"},
        {'t', 5, 10, ""},
    };
    sent();
    for (const Case &c : cases) {
        if (c.call == 's')
            dev->setShutdown(c.a != 0, c.b);
        else
            dev->setSelfTest(c.a, c.b);
        QList<QByteArray> expected;
        if (*c.report)
            expected.append(QByteArray(c.report, 2));
        QCOMPARE(sent(), expected);
    }

    // The beeper report follows the published state.
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x02", 2)});
    FakeHid::setReport(1, FakeHid::measurement(2301, 0x80));
    pollUsb(2);
    QVERIFY(usbState().beeper);
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray> {QByteArray("\x04\x01", 2)});

    // No device: nothing goes out.
    FakeHid::detach();
    pollUsb();
    dev->setShutdown(true, 1);
    dev->setBuzzer();
    QCOMPARE(sent(), QList<QByteArray>());
    FakeHid::attach(vendorId, productId);
    pollUsb(4);
    QCOMPARE(published("devOnline").toBool(), true);
}

// The device another program holds (the service, say): closed again at once and told, then
// taken once it is free. A plain file stands for the node.
void TestUpsState::heldByAnotherProgram()
{
    QTemporaryFile node;
    QVERIFY(node.open());
    FakeHid::detach();
    pollUsb();
    bool busy = false;
    const int other = platform::claimDevice(node.fileName().toStdWString(), &busy);
    QVERIFY(other >= 0 && !busy);
    FakeHid::attach(vendorId, productId, node.fileName());
    QSignalSpy busySpy(dev.get(), &DevComm::linkBusyChanged);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("in use by another program"));
    pollUsb(3);
    QVERIFY(dev->linkBusy());
    QCOMPARE(busySpy.count(), 1);
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(published("devOnline").toBool(), false);

    platform::releaseDevice(other);
    pollUsb(4);
    QVERIFY(!dev->linkBusy());
    QCOMPARE(busySpy.count(), 2);
    QCOMPARE(published("devOnline").toBool(), true);
    // Now this program holds it.
    QCOMPARE(platform::claimDevice(node.fileName().toStdWString(), &busy), -1);
    QVERIFY(busy);
}

void TestUpsState::switchingToSerialDropsTheDevice()
{
    QSignalSpy lost(dev.get(), &DevComm::linkLost);
    QVERIFY(dev->openDevice(DevComm::COM, QString()));
    QCOMPARE(dev->commType(), int(DevComm::COM));
    // What the USB device reported must not stay published while nothing polls it.
    QCOMPARE(FakeHid::openHandles(), 0);
    QCOMPARE(published("devOnline").toBool(), false);
    QCOMPARE(dev->usbVersion(), QString());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(usb->pollInterval(), -1); // nothing polls it any more
    FakeHid::clearRecords();

    QVERIFY(dev->openDevice(DevComm::USB));
    pollUsb(3);
    QCOMPARE(published("devOnline").toBool(), true);
    QCOMPARE(FakeHid::records().reportRequests.first(), quint8(100));
}

QTEST_GUILESS_MAIN(TestUpsState)
#include "tst_upsstate.moc"
