// Each reply kind: what it stores, what it publishes, what it rejects.
#include "alarm.h"
#include "megatec.h"
#include "megatechelpers.h"
#include "megatecreply.h"
#include "testroot.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <cstring>

namespace {

QByteArray slot(const char *text, std::size_t size)
{
    return QByteArray(text, int(qstrnlen(text, uint(size))));
}

QStringList listedTexts()
{
    QStringList texts;
    const QVariantList all = Alarm::instance()->allAlarm();
    for (const QVariant &entry : all)
        texts << entry.toMap().value(QStringLiteral("alarm")).toString();
    return texts;
}

bool sameRecord(const UpsData &a, const UpsData &b)
{
    return std::memcmp(&a, &b, sizeof(UpsData)) == 0;
}

} // namespace

class TestMegatecReplies : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root;

private slots:
    void statusReplyFields()
    {
        Megatec driver;
        QSignalSpy changed(&driver, &Megatec::dataChanged);
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(241.5 000.0 230.3 000 49.9 2.25 48.0 00000001\r"));
        const UpsData &data = *driver.upsData();
        QCOMPARE(data.inputVol, 241.5f);
        QCOMPARE(data.inputFaultVol, 0.0f);
        QCOMPARE(data.outputVol, 230.3f);
        QCOMPARE(data.load, quint16(0));
        QCOMPARE(data.inputFreq, 49.9f);
        QCOMPARE(data.battVol, 2.25f);
        QCOMPARE(data.temperature, 48.0f);
        QCOMPARE(data.status, quint8(0x80)); // beeper on
        // One cell: 1.667 V empty, 2.267 V full.
        QVERIFY(std::abs(data.battCapacity - 97.1667f) < 0.001f);
        QCOMPARE(data.battRemainTime, quint16(116));
        QCOMPARE(changed.count(), 1);
        QVERIFY(driver.isOnline());

        const QVariantMap map = driver.data();
        QCOMPARE(map.value("inputVol").toFloat(), 241.5f);
        QCOMPARE(map.value("buzzer").toInt(), 1);
        QCOMPARE(map.value("mainsFault").toInt(), 0);
        QCOMPARE(map.value("battRemainTime").toInt(), 116);

        // Fields that are not numbers read as 0; the reply is still accepted.
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(nan inf 1e999 0x5 -1.0 2.25 48.00000 0000100x\r"));
        QCOMPARE(data.inputVol, 0.0f);
        QCOMPARE(data.inputFaultVol, 0.0f);
        QCOMPARE(data.outputVol, 0.0f);
        QCOMPARE(data.load, quint16(0));
        QCOMPARE(data.inputFreq, -1.0f);
        QCOMPARE(data.status, quint8(0));
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       QByteArray("(230.0 230.0 229.8 0\0005 50.0 2.25 30.5 00000001\r", 47)));
        QCOMPARE(data.load, quint16(0));
        QCOMPARE(data.status, quint8(0x80));
    }

    void statusRejected()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000")));
        const UpsData before = *driver.upsData();
        const QVariantMap published = driver.data();
        QSignalSpy changed(&driver, &Megatec::dataChanged);

        const QByteArrayList bad = {
            "(230.0 230.0 229.8 035 50.0 2.25 30.5x00001001\r", // 7 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30 5 00001001\r", // 9 fields
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 0001001\r", // 46 bytes
            "(230.0 230.0 229.8 035 50.0 2.25 30.5 000010011\r", // 48 bytes
            "#230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r", // wrong start
            " 230.0 230.0 229.8 035 50.0 2.25 30.5 00001001\r",
        };
        for (const QByteArray &reply : bad) {
            QVERIFY2(!answer(driver, Megatec::CmdQueryBase, reply), reply.constData());
            QVERIFY(sameRecord(*driver.upsData(), before));
        }
        QCOMPARE(driver.data(), published);
        QCOMPARE(changed.count(), 0);
    }

    void statusField()
    {
        QCOMPARE(MegatecReply::statusByte("00001001"), quint8(0x90));
        QCOMPARE(MegatecReply::statusByte("12345678"), quint8(0x55)); // odd digits: 0, 2, 4, 6
        QCOMPARE(MegatecReply::statusByte("10000000"), quint8(0x01));
        QCOMPARE(MegatecReply::statusByte("11111111"), quint8(0xFF));
        QCOMPARE(MegatecReply::statusByte("1001"), quint8(0x90)); // leading zeros implied
        QCOMPARE(MegatecReply::statusByte("910000001"), quint8(0x81)); // ninth digit ignored
        QCOMPARE(MegatecReply::statusByte("-0000001"), quint8(0x80));
        QCOMPARE(MegatecReply::statusByte("99999999999"), quint8(0)); // does not convert
        QCOMPARE(MegatecReply::statusByte("0000 001"), quint8(0));
        QCOMPARE(MegatecReply::statusByte(""), quint8(0));
    }

    void capacityEstimate()
    {
        using MegatecReply::estimateCapacity;
        // One cell.
        QCOMPARE(estimateCapacity(1.667f, 0.0f, 0), 0.0f);
        QVERIFY(std::abs(estimateCapacity(1.967f, 0.0f, 0) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.3f, 0.0f, 0), 100.0f);
        QCOMPARE(estimateCapacity(0.0f, 24.0f, 0), 0.0f);
        // Standby type: 20..27.2 V per 24 V of rated battery voltage.
        QCOMPARE(estimateCapacity(20.0f, 24.0f, 0x10), 0.0f);
        QVERIFY(std::abs(estimateCapacity(23.6f, 24.0f, 0x10) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(27.2f, 24.0f, 0x10), 100.0f);
        QVERIFY(std::abs(estimateCapacity(47.2f, 48.0f, 0x10) - 50.0f) < 0.01f);
        QCOMPARE(estimateCapacity(2.25f, 24.0f, 0x10), 0.0f);
        // No rated voltage yet, or a nonsense one: always a number from 0 to 100.
        for (float rated : {0.0f, -24.0f, INFINITY, NAN}) {
            for (float volts : {0.0f, 27.0f, -5.0f}) {
                const float capacity = estimateCapacity(volts, rated, 0x10);
                QVERIFY(capacity >= 0.0f && capacity <= 100.0f);
            }
        }
    }

    void capturedStandbyUps()
    {
        // A standby UPS asked for its status before its ratings are known, then after.
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(233.0 000.0 233.0 014 49.0 27.0 20.8 00001001\r"));
        const UpsData &data = *driver.upsData();
        QVERIFY(data.battCapacity >= 0.0f && data.battCapacity <= 100.0f);
        QVERIFY(data.battRemainTime <= 120);
        QVERIFY(std::isfinite(driver.data().value("battCapacity").toFloat()));

        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"));
        QVERIFY(answer(driver, Megatec::CmdQueryBase,
                       "(233.0 000.0 233.0 014 49.0 27.0 20.8 00001001\r"));
        QCOMPARE(data.status, quint8(0x90));
        QVERIFY(std::abs(data.battCapacity - 97.222f) < 0.01f);
        QCOMPARE(data.battRemainTime, quint16(116));
        QCOMPARE(data.load, quint16(14));
        QCOMPARE(driver.data().value("workState").toInt(), 1);
    }

    void ratingReply()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50.0\r"));
        const QVariantMap map = driver.data();
        QCOMPARE(map.value("ratingOutputVol").toFloat(), 220.0f);
        QCOMPARE(map.value("ratingCurrent").toInt(), 5);
        QCOMPARE(map.value("ratingBattVol").toFloat(), 24.0f);
        QCOMPARE(map.value("ratingFreq").toFloat(), 50.0f);
        // Asked no more once answered.
        for (int i = 0; i < 8; ++i)
            QVERIFY(driver.nextCommand() != "F\r");

        Megatec other;
        QVERIFY(!answer(other, Megatec::CmdQueryRatingInfo, "#220.0 005 24.00 50 0\r"));
        QVERIFY(!answer(other, Megatec::CmdQueryRatingInfo, "#220.0 005 24.0050.00\r"));
        QVERIFY(!answer(other, Megatec::CmdQueryRatingInfo, "(220.0 005 24.00 50.0\r"));
        QCOMPARE(other.upsData()->ratingOutputVol, 0.0f);
        QVERIFY(answer(other, Megatec::CmdQueryRatingInfo, "#220.0 -05 24.00 50.0\r"));
        QCOMPARE(other.upsData()->ratingCurrent, quint16(0));
    }

    void identityReplies()
    {
        {
            Megatec driver;
            // Fixed columns: the blanks are part of the fields.
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                           "#-------------   ------     VT12046Q  \r"));
            QCOMPARE(driver.data().value("compName").toString(), QStringLiteral("-------------  "));
            QCOMPARE(driver.data().value("UPSModel").toString(), QStringLiteral("------    "));
            QCOMPARE(driver.data().value("version").toString(), QStringLiteral("VT12046Q  "));
            // Asked no more once answered.
            QVERIFY(requestFor(driver, Megatec::CmdQueryDevInfo).isEmpty());

            // A later serial/model/company reply writes its columns over the start of the slots
            // (the company slot keeps its last five characters) and is published at once, as
            // no identity reply follows it any more.
            QVERIFY(answer(driver, Megatec::CmdOrvakNqu,
                           "#SN0123456789ABCDEFGHI UPS MODEL 20 CHARS.. COMPANY-10\r"));
            const QVariantMap map = driver.data();
            QCOMPARE(map.value("sn").toString(), QStringLiteral("SN0123456789ABCDEFGHI"));
            QCOMPARE(map.value("UPSModel").toString(), QStringLiteral("UPS MODEL 20 CHARS.."));
            QCOMPARE(map.value("compName").toString(), QStringLiteral("COMPANY-10---  "));
            QCOMPARE(map.value("version").toString(), QStringLiteral("VT12046Q  "));
        }
        {
            Megatec driver;
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "(ACME POWER      LINE-1000  V2.01     \r"));
            QVERIFY(!answer(driver, Megatec::CmdQueryDevInfo,
                            "#ACME POWER      LINE-1000  V2.01    \r"));
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                           "!ACME POWER      LINE-1000  V2.01     \r"));
            QCOMPARE(driver.data().value("compName").toString(), QStringLiteral("ACME POWER     "));
            QCOMPARE(driver.data().value("UPSModel").toString(), QStringLiteral("LINE-1000 "));
            QCOMPARE(driver.data().value("version").toString(), QStringLiteral("V2.01     "));
        }
        {
            // In the usual order the serial/model/company reply comes first in the cycle; it
            // is published with the identity reply, which then only changes the version.
            Megatec driver;
            QVERIFY(answer(driver, Megatec::CmdOrvakNqu,
                           "#SN0123456789ABCDEFGHI UPS MODEL 20 CHARS.. COMPANY-10\r"));
            const UpsData &data = *driver.upsData();
            QCOMPARE(slot(data.sn, sizeof data.sn), QByteArray("SN0123456789ABCDEFGHI"));
            QCOMPARE(driver.data().value("sn").toString(), QString());
            QVERIFY(answer(driver, Megatec::CmdQueryDevInfo,
                           QByteArray("#OTHER COMPANY   OTHER      V4\0000      \r", 39)));
            const QVariantMap map = driver.data();
            QCOMPARE(map.value("sn").toString(), QStringLiteral("SN0123456789ABCDEFGHI"));
            QCOMPARE(map.value("UPSModel").toString(), QStringLiteral("UPS MODEL 20 CHARS.."));
            QCOMPARE(map.value("compName").toString(), QStringLiteral("COMPANY-10"));
            // A NUL inside a text ends it as published; the slot stays terminated.
            QCOMPARE(map.value("version").toString(), QStringLiteral("V4"));
            QCOMPARE(data.version[10], '\0');

            // A reset forgets everything and asks again.
            driver.reset();
            QCOMPARE(driver.data().value("sn").toString(), QString());
            QCOMPARE(requestFor(driver, Megatec::CmdOrvakNqu), QByteArray("NQU\r"));
            QCOMPARE(requestFor(driver, Megatec::CmdQueryDevInfo), QByteArray("I\r"));
        }
    }

    void remainingTimeAndPercentage()
    {
        Megatec driver;
        QVERIFY(answer(driver, Megatec::CmdOrvakBT, "#00123 0001\r"));
        QCOMPARE(driver.upsData()->battRemainTime, quint16(123));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#0012300001\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBT, "#001 23 001\r"));
        QCOMPARE(driver.upsData()->battRemainTime, quint16(123));

        // With a percentage reply the status reply keeps both figures from the UPS.
        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#0875\r"));
        QCOMPARE(driver.upsData()->battCapacity, 87.5f);
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "2.25")));
        QCOMPARE(driver.upsData()->battCapacity, 87.5f);
        QCOMPARE(driver.upsData()->battRemainTime, quint16(123));
        QCOMPARE(driver.data().value("battCapacity").toFloat(), 87.5f);
        // Without one, the next status reply estimates both.
        QVERIFY(answer(driver, Megatec::CmdQueryBase, statusReply("00000000", "1.96")));
        QVERIFY(driver.upsData()->battCapacity < 50.0f);
        QCOMPARE(driver.upsData()->battRemainTime, quint16(driver.upsData()->battCapacity * 1.2f));

        QVERIFY(answer(driver, Megatec::CmdOrvakBP, "#08x5\r"));
        QCOMPARE(driver.upsData()->battCapacity, 0.0f);
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "#875\r"));
        QVERIFY(!answer(driver, Megatec::CmdOrvakBP, "(0875\r"));
    }

    void faultWordReply()
    {
        Megatec driver;
        Megatec::FaultWords words {};
        words[5] = 0x0200; // word 5, bit 9: offset 0x59
        const QByteArray reply = faultReply(1, words);
        QCOMPARE(reply.size(), 69);
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, reply));
        QVERIFY(listedTexts().contains("RBC needs replacement"));

        // Twelve words: too short with two extra characters, or the full length with two
        // words run together.
        QByteArray twelve = "#01";
        for (int i = 0; i < 12; ++i)
            twelve += " 0000";
        QVERIFY(!answer(driver, Megatec::CmdOrvakA1, twelve + "xx\r"));
        QByteArray joined = reply;
        joined[8] = '0';
        QCOMPARE(joined.size(), 69);
        QVERIFY(!answer(driver, Megatec::CmdOrvakA1, joined));
        QVERIFY(!answer(driver, Megatec::CmdOrvakA1, "(" + reply.mid(1)));

        // Words that are not hexadecimal read as 0: the fault clears.
        QByteArray garbled = reply;
        garbled.replace(" 0200 ", " 02G0 ");
        QVERIFY(answer(driver, Megatec::CmdOrvakA1, garbled));
        QVERIFY(!listedTexts().contains("RBC needs replacement"));
        QVERIFY(listedTexts().contains("Returned from: RBC needs replacement"));
    }
};

QTEST_GUILESS_MAIN(TestMegatecReplies)
#include "tst_megatecreplies.moc"
