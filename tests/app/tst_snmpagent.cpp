// ctest-needs: program
// The UPS MIB the whole way: a simulated UPS on a pseudo-terminal, the program reading it and
// serving the MIB as a subagent of Debian's snmpd (a private one: master AgentX on a socket in
// the test's folder, UDP on a free loopback port, a v2c community and a v3 user), walked with
// Debian's snmpbulkwalk in each condition of the UPS; a watched UPS (Debian's upsd with
// dummy-ups) in the context of its shown name; the notifications at Debian's snmptrapd; snmpd
// restarted under the subagent, and the subagent moved to a second snmpd. No MIB file ships with
// Debian, so objects go by number.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "logrecorder.h"
#include "nutserverprocess.h"
#include "settings.h"
#include "snmpservice.h"
#include "testroot.h"
#include "upssimprocess.h"
#include "watchlist.h"
#include "watchservice.h"

#include "childprocess.h"

#include <QUdpSocket>
#include <QtTest>

#include <cmath>

namespace {

const QString mib = QStringLiteral(".1.3.6.1.2.1.33.1.");

quint16 freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
    return probe.localPort();
}

QString rounded(double v)
{
    return QString::number(std::lround(v));
}

} // namespace

class TestSnmpAgent : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void mibFollowsTheUps();
    void notificationsReachTheTrapSink();
    void watchedUpsInItsContext();
    void nutReadsItThroughSnmp();
    void badRequestsLeaveThePollAlone();
    void masterRestarted();

private:
    bool startMaster();
    void stopMaster();
    // The MIB as snmpbulkwalk prints it, object by number: numbers bare, texts unquoted.
    QMap<QString, QString> walk(const QStringList &how = {});
    QStringList v2c() const { return {"-v2c", "-c", "public"}; }
    QStringList v3(const QString &context) const
    {
        return {"-v3",        "-u", "watcher", "-l", "authPriv",   "-a", "SHA",  "-A",
                "watcher-pw", "-x", "AES",     "-X", "watcher-pw", "-n", context};
    }
    QString agent() const { return QStringLiteral("127.0.0.1:%1").arg(m_udpPort); }
    // Retries the walk until `check` holds on it, for up to `ms`.
    bool walkUntil(const std::function<bool(const QMap<QString, QString> &)> &check,
                   const QStringList &how = {}, int ms = 10000);
    QString traps() const
    {
        QFile f(m_dir.filePath("traps.log"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // Notifications received of upsTraps N.
    int received(int n) const
    {
        return traps().count(QRegularExpression(
            QStringLiteral("OID: \\.1\\.3\\.6\\.1\\.2\\.1\\.33\\.2\\.%1(?![.0-9])").arg(n)));
    }

    TestRoot m_root {TestRoot::FoldersOnly};
    QTemporaryDir m_dir;
    UpsSimProcess m_sim {{QStringLiteral("--instant")}};
    NutServerProcess m_nut;
    std::unique_ptr<ChildProcess> m_master;
    ChildProcess m_trapd;
    CompositionRoot m_program;
    quint16 m_udpPort = 0;
    quint16 m_trapPort = 0;
};

bool TestSnmpAgent::startMaster()
{
    m_master = std::make_unique<ChildProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", ""); // serves by numbers, as the subagent does
    env.insert("MIBDIRS", m_dir.path());
    m_master->setProcessEnvironment(env);
    m_master->setProcessChannelMode(QProcess::MergedChannels);
    QFile::remove(m_dir.filePath("agentx"));
    m_master->start("/usr/sbin/snmpd",
                    {"-f", "-Lo", "-C", "-c", m_dir.filePath("snmpd.conf"), "--persistentDir",
                     m_dir.filePath("persist"), "-p", m_dir.filePath("snmpd.pid"),
                     QStringLiteral("udp:%1").arg(agent())});
    return QTest::qWaitFor([this] { return QFile::exists(m_dir.filePath("agentx")); }, 10000);
}

void TestSnmpAgent::stopMaster()
{
    m_master->terminate();
    QVERIFY(m_master->waitForFinished(10000));
}

void TestSnmpAgent::initTestCase()
{
    for (const char *tool : {"/usr/sbin/snmpd", "/usr/sbin/snmptrapd", "/usr/bin/snmpbulkwalk"}) {
        if (!QFile::exists(QString::fromLatin1(tool)))
            QSKIP(
                qPrintable(QStringLiteral("%1 is missing (scripts/setup installs it)").arg(tool)));
    }
    if (!NutServerProcess::available())
        QSKIP("Debian's nut-server is not installed");
    QVERIFY(m_sim.isReady());
    LogRecorder::install();
    m_udpPort = freeUdpPort();
    m_trapPort = freeUdpPort();
    // The lines the README gives, with the test's socket, community, user and trap sink.
    QVERIFY(TestRoot::writeFile(
        m_dir.filePath("snmpd.conf"),
        QStringLiteral("master agentx\n"
                       "agentXSocket %1\n"
                       "agentXPerms 0660 0770\n"
                       "view upsview included .1.3.6.1.2.1.33\n"
                       "rocommunity public 127.0.0.1 -V upsview\n"
                       "createUser watcher SHA watcher-pw AES watcher-pw\n"
                       "group watchers usm watcher\n"
                       "access watchers \"\" usm priv prefix upsview none none\n"
                       "trap2sink 127.0.0.1:%2 public\n")
            .arg(m_dir.filePath("agentx"))
            .arg(m_trapPort)
            .toUtf8()));
    QVERIFY(TestRoot::writeFile(m_dir.filePath("snmptrapd.conf"), "disableAuthorization yes\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", "");
    env.insert("MIBDIRS", m_dir.path());
    m_trapd.setProcessEnvironment(env);
    m_trapd.start("/usr/sbin/snmptrapd",
                  {"-f", "-On", "-Lf", m_dir.filePath("traps.log"), "-C", "-c",
                   m_dir.filePath("snmptrapd.conf"), "--persistentDir",
                   m_dir.filePath("trapd-persist"),
                   QStringLiteral("udp:127.0.0.1:%1").arg(m_trapPort)});
    QVERIFY(m_trapd.waitForStarted(5000));
    QVERIFY(startMaster());

    m_nut.addDummyUps(QStringLiteral("ups"),
                      QStringLiteral("ups.status: OB\nbattery.charge: 64\ninput.voltage: 0\n"
                                     "output.voltage: 229\nups.load: 31\nbattery.runtime: 600\n"));
    QVERIFY2(m_nut.start(), qPrintable(m_nut.output()));

    m_program.openStores();
    Settings *settings = m_program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, m_sim.portPath());
    settings->setSettings(Settings::NetworkUpsName, QStringLiteral("rack"));
    settings->setSettings(Settings::SnmpEnable, true);
    settings->setSettings(Settings::SnmpAgentxSocket, m_dir.filePath("agentx"));
    WatchEntry up;
    up.name = QStringLiteral("Upstairs");
    up.host = QStringLiteral("127.0.0.1");
    up.port = m_nut.port();
    up.ups = QStringLiteral("ups");
    up.allowPlain = true;
    QVERIFY(WatchList::write(settings, {up}));
    m_program.start();
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().online(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_program.snmpService()->connected(), 10000);
    QVERIFY(m_sim.run({"input 231.4", "frequency 49.8", "load 42", "temperature 33.6"}));
}

void TestSnmpAgent::cleanup()
{
    Clock::useSystemClock();
    if (m_program.devComm()->state().selfTest)
        QVERIFY(m_sim.run({"selftest finish"}));
    for (const char *c : {"mains return", "lowbatt auto", "fault off", "speak", "output on"})
        QVERIFY(m_sim.run({QString::fromLatin1(c)}));
    QTRY_VERIFY_WITH_TIMEOUT(
        m_program.devComm()->state().online() && !m_program.devComm()->state().onBattery, 20000);
}

QMap<QString, QString> TestSnmpAgent::walk(const QStringList &how)
{
    QProcess p;
    p.setProcessEnvironment([] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MIBS", "");
        return env;
    }());
    p.start("snmpbulkwalk",
            (how.isEmpty() ? v2c() : how) +
                QStringList {"-On", "-Oq", "-Oe", "-Ot", "-t", "2", "-r", "1", agent(),
                             ".1.3.6.1.2.1.33"});
    QMap<QString, QString> out;
    if (!p.waitForFinished(20000) || p.exitCode() != 0)
        return out;
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        const int space = line.indexOf(' ');
        if (space < 0)
            continue;
        QString value = line.mid(space + 1).trimmed();
        if (value.startsWith("No more variables") || value.startsWith("No Such"))
            continue; // the end of the view, or nothing there
        if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        out.insert(line.left(space), value);
    }
    return out;
}

bool TestSnmpAgent::walkUntil(const std::function<bool(const QMap<QString, QString> &)> &check,
                              const QStringList &how, int ms)
{
    QMap<QString, QString> last;
    const bool held = QTest::qWaitFor(
        [&] {
            last = walk(how);
            return check(last);
        },
        ms);
    if (!held) {
        for (auto it = last.constBegin(); it != last.constEnd(); ++it)
            qWarning().noquote() << it.key() << it.value();
    }
    return held;
}

void TestSnmpAgent::mibFollowsTheUps()
{
    // What the UPS reads, object by object, against what the program itself has of it.
    const auto readings = [this](const QMap<QString, QString> &m) {
        const UpsState s = m_program.devComm()->state();
        if (!s.online())
            return false;
        const QMap<QString, QString> expected {
            {"1.1.0", s.manufacturer.simplified()},
            {"1.2.0", s.model.simplified()},
            {"1.3.0", s.firmware.simplified()},
            {"1.5.0", "rack"},
            {"2.5.0", rounded(*s.batteryVoltage * 10)},
            {"2.4.0", rounded(*s.batteryCharge)},
            {"2.3.0", QString::number(*s.runtime)},
            {"2.7.0", "34"},
            {"3.2.0", "1"},
            {"4.4.1.2.1", rounded(*s.outputVoltage)},
            {"4.4.1.5.1", "42"},
            {"9.3.0", rounded(*s.ratedOutputVoltage)},
            {"9.2.0", rounded(*s.ratedFrequency * 10)},
            {"9.5.0", rounded(*s.ratedOutputVoltage * *s.ratedCurrent)}};
        for (auto it = expected.constBegin(); it != expected.constEnd(); ++it) {
            if (m.value(mib + it.key()) != it.value()) {
                qInfo().noquote() << it.key() << "is" << m.value(mib + it.key()) << "not"
                                  << it.value();
                return false;
            }
        }
        return true;
    };
    const QString onBattery = mib + "6.3.2";
    const QString low = mib + "6.3.3";
    const auto alarms = [](const QMap<QString, QString> &m) {
        QStringList out;
        for (auto it = m.constBegin(); it != m.constEnd(); ++it) {
            if (it.key().startsWith(mib + "6.2.1.2."))
                out << it.value();
        }
        out.sort();
        return out;
    };

    // On mains.
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return readings(m) && m.value(mib + "2.1.0") == "2" && m.value(mib + "2.2.0") == "0" &&
            m.value(mib + "3.3.1.3.1") == "231" && m.value(mib + "3.3.1.2.1") == "498" &&
            m.value(mib + "4.1.0") == "3" && m.value(mib + "6.1.0") == "0" && alarms(m).isEmpty() &&
            m.value(mib + "7.3.0") == "6";
    }));
    const int lineBads = walk().value(mib + "3.1.0").toInt();

    // On battery: the source, the alarm, a line bad more, the seconds going on.
    QVERIFY(m_sim.run({"mains fail"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return readings(m) && m.value(mib + "2.1.0") == "2" && m.value(mib + "4.1.0") == "5" &&
            m.value(mib + "6.1.0") == "1" && alarms(m) == QStringList {onBattery} &&
            m.value(mib + "3.1.0").toInt() == lineBads + 1 && m.value(mib + "2.2.0").toInt() >= 1;
    }));
    // The alarm keeps its number and time while it stands.
    const QMap<QString, QString> before = walk();
    QVERIFY(m_sim.run({"battery 80"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "2.4.0") == "80" &&
            m.value(mib + "6.2.1.3.1") == before.value(mib + "6.2.1.3.1") &&
            m.value(mib + "6.2.1.2.1") == onBattery;
    }));

    // Low: the battery's status and a second alarm.
    QVERIFY(m_sim.run({"lowbatt on"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "2.1.0") == "3" && m.value(mib + "6.1.0") == "2" &&
            alarms(m) == QStringList {onBattery, low};
    }));

    // Back on mains: no alarm stands.
    QVERIFY(m_sim.run({"lowbatt auto", "mains return"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "4.1.0") == "3" && m.value(mib + "2.2.0") == "0" &&
            m.value(mib + "6.1.0") == "0";
    }));

    // A fault of the UPS: the general fault alarm.
    QVERIFY(m_sim.run({"fault on"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return alarms(m) == QStringList {mib + "6.3.18"};
    }));
    QVERIFY(m_sim.run({"fault off"}));

    // A self-test: in progress with its alarm, then passed with its time.
    QVERIFY(m_sim.run({"selftest 10s"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "7.3.0") == "5" && m.value(mib + "7.1.0") == mib + "7.7.3" &&
            alarms(m) == QStringList {mib + "6.3.24"};
    }));
    QVERIFY(m_sim.run({"selftest finish"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "7.3.0") == "1" && m.value(mib + "7.4.0") == "Passed" &&
            m.value(mib + "7.1.0") == mib + "7.7.1" && m.value(mib + "7.2.0") == "1" &&
            m.value(mib + "7.5.0").toInt() > 0 && alarms(m).isEmpty();
    }));

    // The output off: no source, and the alarm of an output off.
    QVERIFY(m_sim.run({"output off"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return m.value(mib + "4.1.0") == "2" && alarms(m).contains(mib + "6.3.14");
    }));
    QVERIFY(m_sim.run({"output on"}));

    // The link lost: the battery's status unknown, readings gone, the one alarm that says so.
    QVERIFY(m_sim.run({"silent on"}));
    QVERIFY(walkUntil(
        [&](const QMap<QString, QString> &m) {
            return m.value(mib + "2.1.0") == "1" && !m.contains(mib + "2.4.0") &&
                !m.contains(mib + "3.3.1.3.1") && m.value(mib + "4.1.0") == "1" &&
                alarms(m) == QStringList {mib + "6.3.20"} && m.value(mib + "1.5.0") == "rack";
        },
        {}, 30000));
    QVERIFY(m_sim.run({"speak"}));
    QVERIFY(walkUntil([&](const QMap<QString, QString> &m) {
        return readings(m) && m.value(mib + "6.1.0") == "0";
    }));
}

void TestSnmpAgent::notificationsReachTheTrapSink()
{
    // A mains failure: upsTrapOnBattery with its objects, through snmpd to snmptrapd.
    const int before = received(1);
    QVERIFY(m_sim.run({"mains fail"}));
    QTRY_VERIFY_WITH_TIMEOUT(received(1) > before, 10000);
    const QString text = traps();
    const QString last = text.mid(text.lastIndexOf(QStringLiteral("OID: .1.3.6.1.2.1.33.2.1")));
    QVERIFY2(last.contains(mib + "2.3.0") && last.contains(mib + "2.2.0") &&
                 last.contains(mib + "1.5.0 = STRING: \"rack\""),
             qPrintable(last));
    // Told again each minute while on battery, with the seconds on battery gone on.
    Clock::setNow(QDateTime::currentDateTime());
    const int first = received(1);
    const int seconds = walk().value(mib + "2.2.0").toInt();
    Clock::advance(61);
    QTRY_VERIFY_WITH_TIMEOUT(received(1) > first, 10000);
    QVERIFY(walk().value(mib + "2.2.0").toInt() >= seconds + 61);
    Clock::useSystemClock();
    // A fault is an alarm entry added, and removed when it goes.
    QVERIFY(m_sim.run({"fault on"}));
    QTRY_VERIFY_WITH_TIMEOUT(received(3) > 0, 10000);
    QVERIFY(m_sim.run({"fault off"}));
    QTRY_VERIFY_WITH_TIMEOUT(received(4) > 0, 10000);
    // A finished self-test.
    QVERIFY(m_sim.run({"mains return", "selftest 10s"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_program.devComm()->state().selfTest, 10000);
    QVERIFY(m_sim.run({"selftest finish"}));
    QTRY_VERIFY_WITH_TIMEOUT(received(2) > 0, 10000);
}

void TestSnmpAgent::watchedUpsInItsContext()
{
    // The watched UPS in the context of its shown name, on battery as its server says; this
    // computer's stays in the default context.
    QVERIFY(walkUntil(
        [&](const QMap<QString, QString> &m) {
            return m.value(mib + "1.5.0") == "Upstairs" && m.value(mib + "4.1.0") == "5" &&
                m.value(mib + "2.4.0") == "64" && m.value(mib + "2.3.0") == "10" &&
                m.value(mib + "4.4.1.5.1") == "31";
        },
        v3(QStringLiteral("Upstairs")), 20000));
    QCOMPARE(walk(v3(QString())).value(mib + "1.5.0"), QStringLiteral("rack"));
    m_nut.writeDeviceFile(QStringLiteral("ups"),
                          QStringLiteral("ups.status: OL\nbattery.charge: 97\ninput.voltage: 228\n"
                                         "output.voltage: 229\nups.load: 31\n"));
    QVERIFY(walkUntil(
        [&](const QMap<QString, QString> &m) {
            return m.value(mib + "4.1.0") == "3" && m.value(mib + "2.4.0") == "97" &&
                m.value(mib + "3.3.1.3.1") == "228";
        },
        v3(QStringLiteral("Upstairs")), 20000));
}

void TestSnmpAgent::nutReadsItThroughSnmp()
{
    // The closed loop: Debian's snmp-ups driver reads the MIB through snmpd as it reads a UPS's
    // network card, and its upsd tells what Quelta knows.
    NutServerProcess loop;
    loop.addUps(QStringLiteral("viasnmp"), QStringLiteral("snmp-ups"), agent(),
                {QStringLiteral("mibs = ietf"), QStringLiteral("community = public"),
                 QStringLiteral("pollfreq = 2")});
    QVERIFY2(loop.start(), qPrintable(loop.output()));
    const auto var = [&](const char *name) {
        return loop.upsc(QStringLiteral("viasnmp"), QString::fromLatin1(name));
    };
    QTRY_COMPARE_WITH_TIMEOUT(var("ups.status"), QStringLiteral("OL"), 20000);
    const UpsState s = m_program.devComm()->state();
    QCOMPARE(var("ups.mfr"), s.manufacturer.simplified());
    QCOMPARE(var("ups.model"), s.model.simplified());
    QTRY_COMPARE_WITH_TIMEOUT(var("ups.load").toDouble(), 42.0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(var("input.voltage").toDouble(), 231.0, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(var("input.frequency").toDouble(), 49.8, 10000);
    QVERIFY(m_sim.run({"mains fail"}));
    QTRY_COMPARE_WITH_TIMEOUT(var("ups.status"), QStringLiteral("OB"), 20000);
    QVERIFY(m_sim.run({"lowbatt on"}));
    const auto flags = [&] {
        QStringList out = var("ups.status").split(' ');
        out.sort();
        return out;
    };
    QTRY_COMPARE_WITH_TIMEOUT(flags(), (QStringList {"LB", "OB"}), 20000);
    QTRY_COMPARE_WITH_TIMEOUT(var("battery.charge").toDouble(),
                              double(std::lround(*m_program.devComm()->state().batteryCharge)),
                              20000);
}

void TestSnmpAgent::badRequestsLeaveThePollAlone()
{
    const int polls = m_sim.receivedFrames().size();
    // A context nobody registered: snmpd refuses it.
    QProcess p;
    p.start("snmpget",
            v3(QStringLiteral("Nowhere")) +
                QStringList {"-t", "1", "-r", "0", agent(), mib + "1.5.0"});
    QVERIFY(p.waitForFinished(10000));
    QVERIFY(p.exitCode() != 0);
    // A huge get-bulk: answered, as much as fits.
    p.start("snmpbulkget", v2c() + QStringList {"-Cr100000", "-On", agent(), ".1.3.6.1.2.1.33"});
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(p.readAllStandardOutput().contains("1.3.6.1.2.1.33.1.1.5.0"));
    // A set: the MIB is read-only here.
    p.start("snmpset", v2c() + QStringList {agent(), mib + "1.5.0", "s", "renamed"});
    QVERIFY(p.waitForFinished(10000));
    QVERIFY(p.exitCode() != 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim.receivedFrames().size() > polls + 5, 5000);
    QCOMPARE(walk().value(mib + "1.5.0"), QStringLiteral("rack"));
}

void TestSnmpAgent::masterRestarted()
{
    // Started again: what counts is that the MIB is served again in both contexts (a request
    // read before the master went may mark the session up for a moment, so the flag alone
    // proves nothing).
    const auto servedAgain = [this] {
        // The scenario: snmpd away for a moment, as a restart leaves it.
        QTest::qWait(500);
        return startMaster() &&
            QTest::qWaitFor([this] { return m_program.snmpService()->connected(); }, 10000) &&
            walkUntil([](const QMap<QString, QString> &m) {
                return m.value(mib + "1.5.0") == "rack";
            }) &&
            walkUntil([](const QMap<QString, QString> &m) {
                return m.value(mib + "1.5.0") == "Upstairs";
            }, v3(QStringLiteral("Upstairs")));
    };
    // Killed in the middle of walks (one object a request, one walk after another), then
    // started again.
    QProcess walker;
    walker.start("sh",
                 {"-c",
                  QStringLiteral("for i in $(seq 200); do MIBS= snmpbulkwalk -v2c "
                                 "-c public -Cr1 -t 1 -r 0 %1 .1.3.6.1.2.1.33 "
                                 ">/dev/null 2>&1; done")
                      .arg(agent())});
    QVERIFY(walker.waitForStarted(5000));
    QTest::qWait(300); // the scenario: killed with walks under way
    m_master->kill();
    QVERIFY(m_master->waitForFinished(10000));
    QVERIFY(servedAgain());
    walker.kill();
    walker.waitForFinished(5000);
    // Stopped in order, then started again.
    stopMaster();
    QVERIFY(servedAgain());

    // Switched off, the subagent leaves; on again, it is back.
    m_program.settings()->setSettings(Settings::SnmpEnable, false);
    QVERIFY(!m_program.snmpService()->connected());
    QVERIFY(walkUntil([](const QMap<QString, QString> &m) { return !m.contains(mib + "1.5.0"); }));
    m_program.settings()->setSettings(Settings::SnmpEnable, true);
    QTRY_VERIFY_WITH_TIMEOUT(m_program.snmpService()->connected(), 10000);
    QVERIFY(walkUntil(
        [](const QMap<QString, QString> &m) { return m.value(mib + "1.5.0") == "rack"; }));

    // Its socket set to a second snmpd's while running: the subagent moves there, both contexts
    // with it, and leaves the first; set back, it returns.
    QFile conf(m_dir.filePath("snmpd.conf"));
    QVERIFY(conf.open(QIODevice::ReadOnly));
    const quint16 firstPort = m_udpPort, secondPort = freeUdpPort();
    const QString second = m_dir.filePath("agentx2");
    QFile conf2(m_dir.filePath("snmpd2.conf"));
    QVERIFY(conf2.open(QIODevice::WriteOnly));
    conf2.write(
        QString::fromUtf8(conf.readAll()).replace(m_dir.filePath("agentx"), second).toUtf8());
    conf2.close();
    ChildProcess master2;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MIBS", "");
    master2.setProcessEnvironment(env);
    master2.start("/usr/sbin/snmpd",
                  {"-f", "-Lo", "-C", "-c", conf2.fileName(), "--persistentDir",
                   m_dir.filePath("persist2"), "-p", m_dir.filePath("snmpd2.pid"),
                   QStringLiteral("udp:127.0.0.1:%1").arg(secondPort)});
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(second); }, 10000));
    // Through the snmpd at `port`: both UPSes in their contexts, or neither.
    const auto servedAt = [this, firstPort](quint16 port, bool served) {
        const auto named = [served](const QString &name) {
            return [served, name](const QMap<QString, QString> &m) {
                return m.value(mib + "1.5.0") == (served ? name : QString());
            };
        };
        m_udpPort = port;
        const bool held = walkUntil(named("rack")) &&
            walkUntil(named("Upstairs"), v3(QStringLiteral("Upstairs")));
        m_udpPort = firstPort;
        return held;
    };
    m_program.settings()->setSettings(Settings::SnmpAgentxSocket, second);
    QVERIFY(servedAt(secondPort, true));
    QVERIFY(servedAt(firstPort, false));
    QVERIFY(m_program.snmpService()->connected());
    m_program.settings()->setSettings(Settings::SnmpAgentxSocket, m_dir.filePath("agentx"));
    QVERIFY(servedAt(firstPort, true));
    QVERIFY(servedAt(secondPort, false));
    master2.terminate();
    QVERIFY(master2.waitForFinished(10000));
}

QTEST_GUILESS_MAIN(TestSnmpAgent)
#include "tst_snmpagent.moc"
