// The serial driver on its own: the poll cycle, the control encodings, how received bytes become
// lines, and what each reply kind stores and rejects.
#include "alarm.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "megatecreply.h"
#include "recordprobe.h"
#include "testroot.h"

#include <QtTest>

#include <cmath>
#include <cstring>

using namespace RecordProbe;

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

QString text(Megatec &driver, const char *key)
{
    return driver.data().value(QLatin1String(key)).toString();
}

} // namespace

class TestMegatec : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

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
            driver.setStatus(quint8(c.status));
            if (c.call == 's')
                driver.shutdown(c.a != 0, c.b);
            else if (c.call == 't')
                driver.selfTest(c.a, c.b);
            else
                driver.toggleBuzzer();
            if (!*c.frame) {
                QVERIFY2(driver.nextCommand() == "BT\r", label); // nothing in front of the cycle
                continue;
            }
            QVERIFY2(driver.nextCommand() == c.frame, label);
            // The UPS acknowledges control requests in its own way; no reply is parsed for them.
            QVERIFY(!driver.handleResponse(goodStatus));
            QCOMPARE(driver.upsData()->inputVol, 0.0f);
        }
    }

    void framing()
    {
        Megatec driver;
        QVERIFY(requestFor(driver, Megatec::CmdQueryBase) == "Q1\r");
        for (const QByteArray &chunk : {goodStatus.left(1), goodStatus.mid(1, 20), QByteArray()})
            QVERIFY(!driver.handleResponse(chunk));
        QVERIFY(driver.handleResponse(goodStatus.mid(21)));
        QCOMPARE(driver.upsData()->inputVol, 233.0f);

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
        QVERIFY(driver.upsData()->battCapacity > 90.0f);

        // 128 bytes are kept; the 129th empties the buffer and the rest of the chunk is dropped.
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(128, '#')));
        QVERIFY(!driver.handleResponse(QByteArray("0875\r")));
        QVERIFY(driver.handleResponse(QByteArray("#0875\r")));
        QCOMPARE(driver.upsData()->battCapacity, 87.5f);
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
        QCOMPARE(driver.upsData()->battCapacity, 12.5f);
        requestFor(driver, Megatec::CmdOrvakBP);
        QVERIFY(!driver.handleResponse(QByteArray(300, 'x')));
        qInstallMessageHandler(previous);
        QCOMPARE(overflowWarnings, 2);
    }

    void rejectedAndLateLines()
    {
        {
            Megatec driver;
            const QVariantMap before = driver.data();
            QVERIFY(!driver.handleResponse(goodStatus)); // nothing outstanding yet
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("NAK\r"));
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("Q1\r")); // an echo of the request
            // No carriage return, then silence: the next request drops the partial line.
            requestFor(driver, Megatec::CmdQueryBase);
            QVERIFY(!driver.handleResponse("(233.0 000.0 232.0 015 50.0 27.0 20.8 00001"));
            QCOMPARE(driver.data(), before);
            QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0500\r"));
            QCOMPARE(driver.upsData()->battCapacity, 50.0f);
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
                const UpsData &data = *driver.upsData();
                QVERIFY(data.battCapacity == 0.0f && data.ratingOutputVol == 0.0f &&
                        !*data.version);
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

    void statusReplies()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(241.5 000.0 230.3 000 49.9 2.25 48.0 00000001\r"));
        const UpsData &data = *driver.upsData();
        QVERIFY(data.inputVol == 241.5f && data.outputVol == 230.3f && data.inputFreq == 49.9f);
        QCOMPARE(data.temperature, 48.0f);
        QCOMPARE(data.status, quint8(0x80)); // beeper on
        // One cell: 1.667 V empty, 2.267 V full.
        QVERIFY(std::abs(data.battCapacity - 97.1667f) < 0.001f);
        QCOMPARE(data.battRemainTime, quint16(116));
        QVERIFY(driver.isOnline());
        QCOMPARE(driver.data().value("buzzer").toInt(), 1);

        // Fields that are not numbers read as 0; the reply is still accepted.
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(nan inf 1e999 0x5 -1.0 2.25 48.00000 0000100x\r"));
        QVERIFY(data.inputVol == 0.0f && data.inputFaultVol == 0.0f && data.outputVol == 0.0f);
        QCOMPARE(data.load, quint16(0));
        QCOMPARE(data.inputFreq, -1.0f);
        QCOMPARE(data.status, quint8(0));
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       QByteArray("(230.0 230.0 229.8 0\0005 50.0 2.25 30.5 00000001\r", 47)));
        QCOMPARE(data.load, quint16(0));
        QCOMPARE(data.status, quint8(0x80));

        // Wrong shapes change nothing at all.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000")));
        UpsData before;
        std::memcpy(&before, &data, sizeof before);
        const QVariantMap published = driver.data();
        const QByteArrayList bad = {
            "(230.0 230.0 229.8 035 50.0 2.25 30.5x00001001\r", // 7 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30 5 00001001\r", // 9 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 0001001\r", // 46 bytes
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 000010011\r", // 48 bytes
            "#230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r", // wrong start
        };
        for (const QByteArray &reply : bad) {
            QVERIFY2(!answer(driver, Megatec::CmdQueryBase, reply), reply.constData());
            QVERIFY(std::memcmp(&data, &before, sizeof before) == 0);
        }
        QCOMPARE(driver.data(), published);

        // The status field: odd digits, leading zeros implied, ninth digit ignored.
        const QList<QPair<const char *, int>> fields = {
            {"00001001", 0x90}, {"12345678", 0x55}, {"1001", 0x90},  {"910000001", 0x81},
            {"-0000001", 0x80}, {"99999999999", 0}, {"0000 001", 0}, {"", 0}};
        for (const auto &field : fields)
            QVERIFY2(MegatecReply::statusByte(field.first) == quint8(field.second), field.first);
    }

    void capacityEstimate()
    {
        using MegatecReply::estimateCapacity;
        // One cell, then a standby type: 20..27.2 V per 24 V of rated battery voltage.
        QVERIFY(std::abs(estimateCapacity(1.967f, 0.0f, 0) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.3f, 0.0f, 0), 100.0f);
        QCOMPARE(estimateCapacity(20.0f, 24.0f, 0x10), 0.0f);
        QVERIFY(std::abs(estimateCapacity(47.2f, 48.0f, 0x10) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.25f, 24.0f, 0x10), 0.0f);
        // No rated voltage yet, or a nonsense one: always a number from 0 to 100.
        for (float rated : {0.0f, -24.0f, INFINITY, NAN}) {
            for (float volts : {0.0f, 27.0f, -5.0f}) {
                const float capacity = estimateCapacity(volts, rated, 0x10);
                QVERIFY(capacity >= 0.0f && capacity <= 100.0f);
            }
        }

        // A standby UPS asked for its status before its ratings are known, then after.
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        const UpsData &data = *driver.upsData();
        QVERIFY(data.battCapacity >= 0.0f && data.battCapacity <= 100.0f);
        QVERIFY(data.battRemainTime <= 120);
        QVERIFY(std::isfinite(driver.data().value("battCapacity").toFloat()));
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, goodReplies.at(1).second));
        QVERIFY(answer(driver, Megatec::CmdQueryBase, goodStatus));
        QCOMPARE(data.status, quint8(0x90));
        QVERIFY(std::abs(data.battCapacity - 97.222f) < 0.01f);
        QCOMPARE(data.battRemainTime, quint16(116));
        QCOMPARE(data.load, quint16(14));
    }

    void ratingAndBatteryReplies()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"));
        QCOMPARE(driver.data().value("ratingOutputVol").toFloat(), 220.0f);
        QCOMPARE(driver.data().value("ratingBattVol").toFloat(), 24.0f);
        Megatec other;
        for (const char *bad :
             {"#220.0 005 24.00 50 0\r", "#220.0 005 24.0050.00\r", "(220.0 005 24.00 50.0\r"})
            QVERIFY2(!answer(other, Megatec::CmdQueryRatingInfo, bad), bad);
        QCOMPARE(other.upsData()->ratingOutputVol, 0.0f);
        QVERIFY(answer(other, Megatec::CmdQueryRatingInfo, "#220.0 -05 24.00 50.0\r"));
        QCOMPARE(other.upsData()->ratingCurrent, quint16(0));

        QVERIFY(answer(driver, Megatec::CmdOrvakBT, "#00123 0001\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#0012300001\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#001 23 001\r"));
        QCOMPARE(driver.upsData()->battRemainTime, quint16(123));
        // With a percentage reply the status reply keeps both figures from the UPS.
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0875\r"));
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.25")));
        QCOMPARE(driver.upsData()->battCapacity, 87.5f);
        QCOMPARE(driver.upsData()->battRemainTime, quint16(123));
        // Without one, the next status reply estimates both.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "1.96")));
        QVERIFY(driver.upsData()->battCapacity < 50.0f);
        QCOMPARE(driver.upsData()->battRemainTime, quint16(driver.upsData()->battCapacity * 1.2f));
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#08x5\r"));
        QCOMPARE(driver.upsData()->battCapacity, 0.0f);
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "#875\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "(0875\r"));
    }

    void identityReplies()
    {
        {
            Megatec driver;
            // Fixed columns: the blanks are part of the fields.
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo, goodReplies.at(2).second));
            QCOMPARE(text(driver, "compName"), QStringLiteral("-------------  "));
            QCOMPARE(text(driver, "UPSModel"), QStringLiteral("------    "));
            QCOMPARE(text(driver, "version"), QStringLiteral("VT12046Q  "));
            QVERIFY(requestFor(driver, Megatec::CmdQueryDevInfo).isEmpty()); // asked no more
            // A later serial/model/company reply writes its columns over the start of the slots
            // (the company slot keeps its last five characters) and is published at once.
            QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
            QCOMPARE(text(driver, "sn"), QStringLiteral("SN0123456789ABCDEFGHI"));
            QCOMPARE(text(driver, "UPSModel"), QStringLiteral("UPS MODEL 20 CHARS.."));
            QCOMPARE(text(driver, "compName"), QStringLiteral("COMPANY-10---  "));
            QCOMPARE(text(driver, "version"), QStringLiteral("VT12046Q  "));
        }
        {
            Megatec driver;
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "(ACME POWER      LINE-1000  V2.01     \r"));
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "#ACME POWER      LINE-1000  V2.01    \r"));
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                           "!ACME POWER      LINE-1000  V2.01     \r"));
            QCOMPARE(text(driver, "UPSModel"), QStringLiteral("LINE-1000 "));
        }
        // In the usual order the serial/model/company reply comes first in the cycle; it is
        // published with the identity reply, which then only changes the version.
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdOrvakNqu, goodIdentity));
        QCOMPARE(text(driver, "sn"), QString());
        QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                       QByteArray("#OTHER COMPANY   OTHER      V4\0000      \r", 39)));
        QCOMPARE(text(driver, "sn"), QStringLiteral("SN0123456789ABCDEFGHI"));
        QCOMPARE(text(driver, "UPSModel"), QStringLiteral("UPS MODEL 20 CHARS.."));
        QCOMPARE(text(driver, "compName"), QStringLiteral("COMPANY-10"));
        // A NUL inside a text ends it as published; the slot stays terminated.
        QCOMPARE(text(driver, "version"), QStringLiteral("V4"));
        QCOMPARE(driver.upsData()->version[10], '\0');
        // A reset forgets everything and asks again.
        driver.reset();
        QCOMPARE(text(driver, "sn"), QString());
        QCOMPARE(requestFor(driver, Megatec::CmdOrvakNqu), QByteArray("NQU\r"));
        QCOMPARE(requestFor(driver, Megatec::CmdQueryDevInfo), QByteArray("I\r"));
    }

    void faultWordReply()
    {
        Megatec driver;
        const QByteArray reply = goodReplies.at(6).second; // word 5, bit 9
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, reply));
        QVERIFY(currentAlarmTexts().contains("RBC needs replacement"));

        // Twelve words: too short with two extra characters, or the full length with two
        // words run together; a wrong start.
        QByteArray joined = reply;
        joined[8] = '0';
        const QByteArrayList bad = {reply.left(63) + "xx\r", joined, "(" + reply.mid(1)};
        for (const QByteArray &line : bad)
            QVERIFY2(!answer(driver, Megatec::CmdOrvakA1, line), line.constData());

        // Words that are not hexadecimal read as 0: the fault clears.
        QByteArray garbled = reply;
        garbled.replace(" 0200 ", " 02G0 ");
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, garbled));
        QVERIFY(!currentAlarmTexts().contains("RBC needs replacement"));
        QVERIFY(currentAlarmTexts().contains("Returned from: RBC needs replacement"));
    }
};

QTEST_GUILESS_MAIN(TestMegatec)
#include "tst_megatec.moc"
