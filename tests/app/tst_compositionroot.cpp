// The whole service graph as the program builds it, without a window or a QML engine: a
// simulated UPS on a pseudo-terminal, and what a mains failure, a self-test and a silent line
// become in the alarm table, the status file, the samples, the self-test records and the
// shutdown countdown.
#include "alarm.h"
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "seriallink.h"
#include "servicenotification.h"
#include "serviceshutdown.h"
#include "servicenetwork.h"
#include "settingkeys.h"
#include "snmpservice.h"
#include "settings.h"
#include "settingsamples.h"
#include "supplycount.h"
#include "watchservice.h"
#include "webservice.h"
#include "testroot.h"
#include "upssimprocess.h"

#include <QtTest>

using namespace RecordProbe;

class TestCompositionRoot : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    UpsSimProcess m_sim {{QStringLiteral("--instant")}};
    CompositionRoot m_program;

    int rows(int code) const
    {
        m_program.recordWriter()->flush();
        return sqlCount(QStringLiteral("select count(*) from alarm where alarm = ?"), code);
    }
    QString statusField(int index) const
    {
        const QByteArrayList fields = TestRoot::statusFields(m_root.path());
        return fields.size() == 10 ? QString::fromLatin1(fields.at(index)) : QString();
    }
    bool online() const { return m_program.devComm()->state().online(); }
    // The link's requests sent at once instead of at its pace, each with its poll timer held
    // until the answer is in (an accepted one starts it again), until `done`.
    template<typename Done> bool pollUntil(Done done)
    {
        SerialLink *link = m_program.devComm()->findChild<SerialLink *>();
        auto *timer = link->findChild<QTimer *>(QStringLiteral("pollTimer"));
        for (int i = 0; i < 100 && !done(); ++i) {
            link->poll();
            timer->stop();
            QElapsedTimer waited;
            waited.start();
            while (link->pollInterval() != 100 && waited.elapsed() < 250)
                QTest::qWait(1);
        }
        return done();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.isReady());
        // Nothing is read, opened or written before the stores are opened.
        QVERIFY(!QFile::exists(m_root.file(QStringLiteral("/cfg/config.cfg"))));
        m_program.openStores();
        Settings *settings = m_program.settings();
        settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
        settings->setSettings(Settings::UpsComPort, m_sim.portPath());
        // A pseudo-terminal has no rate: at 115200 baud a reply is read as soon as it is in.
        settings->setSettings(Settings::UpsBaudRate, 115200);
        settings->setSettings(Settings::UpsDataSaveCycle, 5);
        settings->setSettings(Settings::ShutdownEnable, true);
        settings->setSettings(Settings::ShutdownMainFaultTime, 1);
        QVERIFY(m_sim.receivedFrames().isEmpty());
        m_program.start();
        QTRY_VERIFY_WITH_TIMEOUT(online(), 10000);
        QCOMPARE(rows(Alarm::CommNormal), 1);
        QCOMPARE(m_program.sampleStore()->interval(), 5000);
        // The battery counts from the first answer.
        QCOMPARE(settings->getSettings(Settings::BatteryFirstSeen).toString(),
                 Clock::now().date().toString(Qt::ISODate));
    }

    // The countdown itself is the shutdown suite's and the window's; here the wiring: the
    // desktop told of the failure and of the countdown it started, the alarm stored, and the
    // return of the mains cancelling the countdown, with nothing sent to the UPS, which was
    // asked for nothing.
    void mainsFailure()
    {
        QSignalSpy notices(m_program.serviceNotification(), &ServiceNotification::notify);
        QVERIFY(m_sim.run({"mains fail"}));
        QVERIFY(pollUntil([&] { return notices.count() == 2; }));
        QCOMPARE(QStringList({notices.at(0).at(1).toString(), notices.at(1).at(1).toString()}),
                 QStringList({"Shutdown countdown started", "Mains failure"}));
        QCOMPARE(rows(Alarm::MainsFault), 1);
        QCOMPARE(statusField(1), QStringLiteral("2"));

        m_sim.clearReceived();
        QVERIFY(m_sim.run({"mains return"}));
        QVERIFY(pollUntil([&] { return notices.count() == 4; }));
        QCOMPARE(QStringList({notices.at(2).at(1).toString(), notices.at(3).at(1).toString()}),
                 QStringList({"Shutdown countdown cancelled", "Mains returned"}));
        QCOMPARE(rows(Alarm::MainsNormal), 1);
        QVERIFY(pollUntil([this] { return m_sim.receivedFrames().count("Q1\r") >= 2; }));
        QVERIFY(!m_sim.receivedFrames().contains("C\r"));
    }

    void samplesAndSelfTest()
    {
        const int samples = sqlCount(QStringLiteral("select count(*) from device_data"));
        QSignalSpy newData(m_program.devComm(), &DevComm::stateChanged);
        QVERIFY(pollUntil([&] {
            return !newData.isEmpty();
        })); // what the timer stored before is not stored twice
        m_program.sampleStore()->store();
        m_program.recordWriter()->flush();
        QCOMPARE(sqlCount(QStringLiteral("select count(*) from device_data")), samples + 1);

        Clock::setNow(QDateTime(QDate(2026, 3, 1), QTime(10, 0, 0)));
        DevComm *dev = m_program.devComm();
        dev->setSelfTest(2, 0);
        QVERIFY(pollUntil([dev] { return dev->state().selfTest; }));
        QSignalSpy states(dev, &DevComm::stateChanged);
        for (int i = 1; i <= 3; ++i) {
            const int seen = states.count();
            QVERIFY(pollUntil([&] { return states.count() > seen; }));
            Clock::advance(1);
        }
        QVERIFY(m_sim.run({"selftest finish"}));
        QVERIFY(pollUntil([dev] { return !dev->state().selfTest; }));
        QCOMPARE(rows(Alarm::SelfTestFinished), 1);
        const QStringList files =
            QDir(m_root.file(QStringLiteral("/data/self_test"))).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY(files.first().startsWith(QStringLiteral("202603011000")));
        m_program.recordWriter()->flush();
        QCOMPARE(sqlCount(QStringLiteral("select count(*) from log_self_test where count >= 3 and "
                                         "battVolDrop >= 0")),
                 1);
        Clock::useSystemClock();
    }

    // On battery, with the charge read from the battery voltage: a reply with one field that is
    // no number (the voltage, then the status flags) is refused whole, so no sample, alarm,
    // status line or shorter countdown comes of it; the next whole reply is taken.
    void corruptField()
    {
        DevComm *dev = m_program.devComm();
        QSignalSpy countdown(m_program.serviceShutdown(), &ServiceShutdown::shutdownStarted);
        QVERIFY(m_sim.run({"answer BT Q1 A1", "mains fail"}));
        QVERIFY(pollUntil([&] { return countdown.count() == 1; }));
        QCOMPARE(countdown.at(0).at(0).toInt(), 60);
        QVERIFY(pollUntil([dev] { return dev->state().chargeEstimated; }));
        const auto stored = [this](const char *table) {
            m_program.sampleStore()->store();
            m_program.recordWriter()->flush();
            return sqlCount(QStringLiteral("select count(*) from %1").arg(table));
        };
        const auto corrupted = [this] { return m_sim.eventLines().filter("NOTE corrupted").size(); };
        QVERIFY(m_sim.run({"corrupt Q1 6 2?.2"}));
        int seen = corrupted();
        QVERIFY(pollUntil([&] { return corrupted() > seen; }));
        // From here every status reply is spoilt, one field then another.
        QSignalSpy states(dev, &DevComm::stateChanged);
        const int samples = stored("device_data");
        const int alarms = stored("alarm");
        const QByteArray status = m_root.read(QStringLiteral("/log/output/upsstatus.txt"));
        seen = corrupted();
        QVERIFY(pollUntil([&] { return corrupted() >= seen + 2; }));
        QVERIFY(m_sim.run({"corrupt Q1 off", "corrupt Q1 8 1000100x"}));
        seen = corrupted();
        QVERIFY(pollUntil([&] { return corrupted() >= seen + 2; }));
        QCOMPARE(states.count(), 0);
        QCOMPARE(countdown.count(), 1);
        QCOMPARE(stored("device_data"), samples);
        QCOMPARE(stored("alarm"), alarms);
        QCOMPARE(m_root.read(QStringLiteral("/log/output/upsstatus.txt")), status);
        QVERIFY(m_sim.run({"corrupt off"}));
        QVERIFY(pollUntil([&] { return states.count() >= 1; }));
        QVERIFY(dev->state().onBattery && dev->state().batteryCharge.value_or(0) > 90);

        QVERIFY(m_sim.run({"answer all", "mains return"}));
        QVERIFY(pollUntil([&] { return countdown.count() == 2; }));
    }

    // Silence loses the UPS: "Communication lost" alone in the list, the status line says so,
    // no more samples.
    void silentLine()
    {
        QVERIFY(m_sim.run({"silent on"}));
        SerialLink *link = m_program.devComm()->findChild<SerialLink *>();
        for (int i = 0; i < 9 && online(); ++i)
            link->poll();
        QVERIFY(!online());
        QCOMPARE(currentAlarmTexts(m_program.alarm()), QStringList({"Communication lost"}));
        QCOMPARE(rows(Alarm::CommLost), 1);
        QCOMPARE(statusField(2), QStringLiteral("1"));
        QCOMPARE(m_program.sampleStore()->interval(), -1);
        QVERIFY(m_sim.run({"speak"}));
        QVERIFY(pollUntil([this] { return online(); }));
        QCOMPARE(rows(Alarm::CommNormal), 2);
    }

    // Every key of the table, the watched list's included, changed in the file by another
    // program while the program runs, is in force: read back typed, and seen so by the part that
    // uses it. Each key has its entry below, a probe or none where the typed value is all there
    // is to see; a key without an entry fails, so a new key cannot be left out.
    void everyKeyIsTakenWhileRunning()
    {
        using Probe = std::function<QVariant()>;
        const Probe typedOnly;
        Settings *settings = m_program.settings();
        ServiceNetwork *network = m_program.serviceNetwork();
        WebService *web = m_program.webService();
        SnmpService *snmp = m_program.snmpService();
        SupplyCount *supplies = m_program.supplyCount();
        WatchService *watch = m_program.watchService();
        const auto entry = [watch](int index, const QString &field) -> Probe {
            return [=] {
                const QVariantList entries = watch->entryList();
                const QVariant value = index <= entries.size()
                    ? entries.at(index - 1).toMap().value(field)
                    : QVariant();
                return value;
            };
        };
        QMap<QString, Probe> probes = {
            {"language/auto", typedOnly}, {"language/type", typedOnly},
            {"email/enable", typedOnly}, {"email/userName", typedOnly},
            {"email/userAddr", typedOnly}, {"email/serverAddr", typedOnly},
            {"email/serverPort", typedOnly}, {"email/authEnable", typedOnly},
            {"email/authName", typedOnly}, {"email/authPasswd", typedOnly},
            {"email/dailyEnable", typedOnly}, {"email/dailyTime", typedOnly},
            {"email/receiver", typedOnly}, {"email/encrypt", typedOnly},
            {"shutdown/enable", typedOnly}, {"shutdown/mainFaultTime", typedOnly},
            {"shutdown/battLowTime", typedOnly}, {"shutdown/mainFaultCapacity", typedOnly},
            {"shutdown/shutdownMode", typedOnly}, {"shutdown/autoSave", typedOnly},
            {"shutdown/UPSOff", typedOnly}, {"shutdown/UPSOffTime", typedOnly},
            {"shutdown/execEnable", typedOnly}, {"shutdown/execTime", typedOnly},
            {"shutdown/execFile", typedOnly}, {"shutdown/osOff", typedOnly},
            {"shutdown/supplies", [supplies] { return QVariant(supplies->chosen()); }},
            {"shutdown/minSupplies", [supplies] { return QVariant(supplies->minimum()); }},
            {"shutdown/minRuntime", typedOnly},
            {"ups/commType", typedOnly}, {"ups/baudRate", typedOnly}, {"ups/comPort", typedOnly},
            {"ups/saveCycle", typedOnly},
            {"ups/nutHost", typedOnly}, {"ups/nutPort", typedOnly}, {"ups/nutUps", typedOnly},
            {"ups/nutUser", typedOnly}, {"ups/nutPassword", typedOnly},
            {"ups/nutCaFile", typedOnly}, {"ups/nutAllowPlain", typedOnly},
            {"notify/enable", typedOnly}, {"battery/installed", typedOnly},
            {"battery/replaceMonths", typedOnly}, {"battery/firstSeen", typedOnly},
            {"battery/noticeGiven", typedOnly}, {"battery/noticeMailed", typedOnly},
            {"network/enable", [network] { return QVariant(network->serving()); }},
            {"network/listen", typedOnly}, {"network/port", typedOnly},
            {"network/allow", typedOnly}, {"network/upsName", typedOnly},
            {"network/aliases", typedOnly},
            {"network/hostSync", typedOnly}, {"network/maxClients", typedOnly},
            {"network/certFile", typedOnly}, {"network/keyFile", typedOnly},
            {"web/enable", [web] { return QVariant(web->config().enabled); }},
            {"web/listen", [web] { return QVariant(web->config().listen); }},
            {"web/port", [web] { return QVariant(int(web->config().port)); }},
            {"web/allow", [web] { return QVariant(web->config().allow); }},
            {"web/certFile", [web] { return QVariant(web->config().certFile); }},
            {"web/keyFile", [web] { return QVariant(web->config().keyFile); }},
            {"snmp/enable", [snmp] { return QVariant(snmp->serving()); }},
            // The agent library is set up once a process: a new socket is told in the log and
            // taken at the next start.
            {"snmp/agentxSocket", typedOnly},
            {"watch/size", [watch] { return QVariant(watch->entryList().size()); }},
        };
        for (int i = 1; i <= 2; ++i) {
            for (const QString &field : SettingKeys::watchFields())
                probes.insert(QStringLiteral("watch/%1/%2").arg(i).arg(field),
                              entry(i, field == "password" ? QStringLiteral("passwordSet") : field));
        }

        // Two rounds, each value another than the one in force, every key in a form of its own.
        const QStringList keys = SettingKeys::names(2);
        for (int round = 0; round < 2; ++round) {
            QMap<QString, QVariant> expected;
            QByteArray text;
            QString group;
            for (int i = 0; i < keys.size(); ++i) {
                const QString &key = keys.at(i);
                QVERIFY2(probes.contains(key), qPrintable("no probe for " + key));
                SettingSamples::Sample sample = SettingSamples::of(key, round);
                if (sample.typed == settings->getSettings(key))
                    sample = SettingSamples::of(key, round + 1);
                // Two watched entries on the second round, one on the first.
                if (key == "watch/size") {
                    sample.typed = round + 1;
                    sample.forms = {QByteArray::number(round + 1)};
                }
                expected.insert(key, sample.typed);
                if (key.section('/', 0, 0) != group) {
                    group = key.section('/', 0, 0);
                    text += '[' + group.toLatin1() + "]\n";
                }
                text += key.section('/', 1).replace('/', '\\').toLatin1() + '=' +
                    sample.forms.at((round + i) % sample.forms.size()) + '\n';
            }
            QSaveFile file(settings->fileName());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
            QVERIFY(file.commit());

            const auto secret = [](const QString &key) {
                return SettingKeys::find(key)->kind == SettingKeys::Kind::Secret;
            };
            const auto inForce = [&](const QString &key) {
                const QVariant typed = settings->getSettings(key);
                if (secret(key) ? typed.toString() != expected.value(key).toString()
                                : typed != expected.value(key))
                    return false;
                const Probe &probe = probes.value(key);
                if (!probe)
                    return true;
                const int size = settings->getSettings("watch/size").toInt();
                if (key.startsWith("watch/") && key.section('/', 1, 1).toInt() > size)
                    return !probe().isValid(); // beyond the list: not watched
                // A watched entry shows only whether its password is set.
                if (key.startsWith("watch/") && key.endsWith("/password"))
                    return probe() == QVariant(!expected.value(key).toString().isEmpty());
                return secret(key) ? probe().toString() == expected.value(key).toString()
                                   : probe() == expected.value(key);
            };
            QElapsedTimer waited;
            waited.start();
            QStringList missing = keys;
            while (!missing.isEmpty() && waited.elapsed() < 5000) {
                QTest::qWait(20);
                missing.erase(std::remove_if(missing.begin(), missing.end(), inForce),
                              missing.end());
            }
            for (const QString &key : missing)
                qWarning() << key << settings->getSettings(key) << expected.value(key)
                           << (probes.value(key) ? probes.value(key)() : QVariant());
            QVERIFY2(missing.isEmpty(),
                     qPrintable(QString("round %1, not in force: %2")
                                    .arg(round)
                                    .arg(missing.join(", "))));
        }
    }
};

QTEST_GUILESS_MAIN(TestCompositionRoot)
#include "tst_compositionroot.moc"
