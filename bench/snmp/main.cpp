// bench_snmp [--seconds S] [--rate N]
// The UPS MIB served through a private snmpd (master AgentX on a socket of its own folder, UDP on
// a free loopback port) while the program watches ten UPSes of Debian's upsd besides its own on
// a serial line at 2400 baud: the time of a whole walk of the MIB with snmpbulkwalk (the
// program's UPS, v2c; a watched UPS in its context, v3), the program's extra CPU while N walks a
// second (100) come in, and the longest gap between two polls with and without them. A walk's
// time is the client process's, start to end; a one-object snmpget is timed too as the floor
// that the process itself costs.
#include "benchfigures.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "nutserverprocess.h"
#include "paths.h"
#include "settings.h"
#include "snmpservice.h"
#include "startup.h"
#include "upssimprocess.h"
#include "watchlist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <list>
#include <memory>

namespace {

using BenchFigures::percentile;
using BenchFigures::cpuSeconds;
using BenchFigures::wait;

QProcessEnvironment noMibs()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MIBS"), QString());
    return env;
}

QString agent;
QStringList v2c()
{
    return {"-v2c", "-c", "public"};
}
QStringList v3(const QString &context)
{
    return {"-v3",        "-u", "bench", "-l", "authPriv",   "-a", "SHA",  "-A",
            "bench-pass", "-x", "AES",   "-X", "bench-pass", "-n", context};
}

// One client run to its end, timed; -1 when it failed.
double timed(const QString &program, const QStringList &arguments, int *lines = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(noMibs());
    QElapsedTimer t;
    t.start();
    p.start(program, arguments);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return -1;
    const double ms = double(t.nsecsElapsed()) / 1.0e6;
    if (lines)
        *lines = p.readAllStandardOutput().count('\n');
    return ms;
}

// The walks, started from a process of their own so that starting them is not counted as the
// program's: `rate` a second (at most 8 at once) for `seconds`; prints each one's time as JSON.
int runClients(int rate, int seconds)
{
    QVector<double> walkMs;
    int failures = 0;
    std::list<std::pair<std::unique_ptr<QProcess>, QElapsedTimer>> running;
    QObject owner;
    QTimer start;
    QObject::connect(&start, &QTimer::timeout, &owner, [&] {
        if (running.size() >= 8)
            return;
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(noMibs());
        p->setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p->start(QStringLiteral("snmpbulkwalk"),
                 v2c() + QStringList {"-On", agent, ".1.3.6.1.2.1.33"});
        running.emplace_back(std::move(p), t);
    });
    QTimer reap;
    QObject::connect(&reap, &QTimer::timeout, &owner, [&] {
        for (auto it = running.begin(); it != running.end();) {
            if (it->first->state() != QProcess::NotRunning) {
                ++it;
                continue;
            }
            if (it->first->exitCode() == 0)
                walkMs << double(it->second.nsecsElapsed()) / 1.0e6;
            else
                ++failures;
            it = running.erase(it);
        }
    });
    start.start(1000 / rate);
    reap.start(1);
    wait(seconds * 1000);
    start.stop();
    while (!running.empty()) {
        running.front().first->waitForFinished(5000);
        running.pop_front();
    }
    QJsonArray times;
    for (double ms : walkMs)
        times.append(ms);
    std::printf("%s\n",
                QJsonDocument(QJsonObject {{QStringLiteral("walkMs"), times},
                                           {QStringLiteral("failures"), failures}})
                    .toJson(QJsonDocument::Compact)
                    .constData());
    return 0;
}

struct Stretch
{
    double cpuPercent = 0;
    qint64 longestGapMs = 0;
    int polls = 0;
    QVector<double> walkMs;
    int failures = 0;
};

// The program's share of a core and the longest gap between two data sets of its UPS, while
// the clients' process walks `rate` times a second, none when 0.
Stretch measure(DevComm *devComm, int seconds, int rate)
{
    Stretch out;
    QProcess clients;
    if (rate > 0) {
        clients.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--client-side"), QStringLiteral("--agent"), agent,
                       QStringLiteral("--rate"), QString::number(rate), QStringLiteral("--seconds"),
                       QString::number(seconds)});
        clients.waitForStarted(5000);
    }
    QElapsedTimer wall;
    wall.start();
    qint64 last = -1;
    QObject watch;
    QObject::connect(devComm, &DevComm::stateChanged, &watch, [&] {
        if (last >= 0)
            out.longestGapMs = std::max(out.longestGapMs, wall.elapsed() - last);
        last = wall.elapsed();
        ++out.polls;
    });
    const double before = cpuSeconds();
    wait(seconds * 1000);
    out.cpuPercent = 100.0 * (cpuSeconds() - before) / (double(wall.elapsed()) / 1000.0);
    if (rate > 0) {
        while (clients.state() != QProcess::NotRunning)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
        const QJsonObject result =
            QJsonDocument::fromJson(clients.readAllStandardOutput()).object();
        for (const QJsonValue &v : result.value(QStringLiteral("walkMs")).toArray())
            out.walkMs << v.toDouble();
        out.failures = result.value(QStringLiteral("failures")).toInt();
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int seconds = 15, rate = 100;
    bool clientSide = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (args.at(i) == QLatin1String("--seconds"))
            seconds = qMax(5, next.toInt());
        else if (args.at(i) == QLatin1String("--rate"))
            rate = qBound(1, next.toInt(), 1000);
        else if (args.at(i) == QLatin1String("--client-side"))
            clientSide = true;
        else if (args.at(i) == QLatin1String("--agent"))
            agent = next;
    }
    if (clientSide)
        return runClients(rate, seconds);
    if (!QFile::exists(QStringLiteral("/usr/sbin/snmpd")) || !NutServerProcess::available()) {
        std::printf("snmpd or Debian's nut-server is missing (scripts/setup installs them)\n");
        return 1;
    }

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();

    QTemporaryDir folder;
    quint16 port = 0;
    {
        QUdpSocket probe;
        probe.bind(QHostAddress(QHostAddress::LocalHost), 0);
        port = probe.localPort();
    }
    agent = QStringLiteral("127.0.0.1:%1").arg(port);
    QFile conf(folder.filePath(QStringLiteral("snmpd.conf")));
    conf.open(QIODevice::WriteOnly);
    conf.write(QStringLiteral("master agentx\nagentXSocket %1\n"
                              "view upsview included .1.3.6.1.2.1.33\n"
                              "rocommunity public 127.0.0.1 -V upsview\n"
                              "createUser bench SHA bench-pass AES bench-pass\n"
                              "group benchers usm bench\n"
                              "access benchers \"\" usm priv prefix upsview none none\n")
                   .arg(folder.filePath(QStringLiteral("agentx")))
                   .toUtf8());
    conf.close();
    QProcess snmpd;
    snmpd.setProcessEnvironment(noMibs());
    snmpd.start(QStringLiteral("/usr/sbin/snmpd"),
                {"-f", "-Lo", "-C", "-c", conf.fileName(), "--persistentDir",
                 folder.filePath(QStringLiteral("persist")), QStringLiteral("udp:") + agent});

    NutServerProcess nut;
    QList<WatchEntry> watched;
    for (int i = 1; i <= 10; ++i) {
        const QString name = QStringLiteral("u%1").arg(i);
        nut.addDummyUps(name,
                        QStringLiteral("ups.status: OL\nbattery.charge: %1\ninput.voltage: "
                                       "230\noutput.voltage: 230\nups.load: 20\n"
                                       "battery.runtime: 1800\n")
                            .arg(90 + i % 10));
        WatchEntry e;
        e.name = QStringLiteral("Room%1").arg(i);
        e.host = QStringLiteral("127.0.0.1");
        e.ups = name;
        e.allowPlain = true;
        watched << e;
    }
    UpsSimProcess sim {QStringList()}; // 2400 baud, as a real serial UPS
    if (!nut.start() || !sim.isReady()) {
        std::printf("upsd or the simulator did not come up\n");
        return 1;
    }
    for (WatchEntry &e : watched)
        e.port = nut.port();

    CompositionRoot program;
    program.openStores();
    Settings *settings = program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, sim.portPath());
    settings->setSettings(Settings::SnmpEnable, true);
    settings->setSettings(Settings::SnmpAgentxSocket, folder.filePath(QStringLiteral("agentx")));
    WatchList::write(settings, watched);
    program.start();
    QElapsedTimer waited;
    waited.start();
    const auto ready = [&] {
        return program.devComm()->state().online() && program.snmpService()->connected() &&
            timed(QStringLiteral("snmpget"),
                  v3(QStringLiteral("Room10")) +
                      QStringList {"-t", "1", "-r", "0", agent, ".1.3.6.1.2.1.33.1.1.5.0"}) > 0;
    };
    while (!ready() && waited.elapsed() < 30000)
        wait(200);
    if (!ready()) {
        std::printf("the UPSes or the subagent did not come up\n");
        return 1;
    }
    std::printf("snmp: the UPS MIB of this computer's UPS and 10 watched ones through snmpd, "
                "UPS at 2400 baud, %d s a stretch\n",
                seconds);

    // Walks one after another: the time of each.
    QVector<double> walks, contextWalks, gets;
    int objects = 0;
    for (int i = 0; i < 100; ++i) {
        const double w = timed(QStringLiteral("snmpbulkwalk"),
                               v2c() + QStringList {"-On", agent, ".1.3.6.1.2.1.33"}, &objects);
        const double c = timed(QStringLiteral("snmpbulkwalk"),
                               v3(QStringLiteral("Room%1").arg(i % 10 + 1)) +
                                   QStringList {"-On", agent, ".1.3.6.1.2.1.33"});
        const double g = timed(QStringLiteral("snmpget"),
                               v2c() + QStringList {"-On", agent, ".1.3.6.1.2.1.33.1.1.5.0"});
        if (w >= 0)
            walks << w;
        if (c >= 0)
            contextWalks << c;
        if (g >= 0)
            gets << g;
    }
    std::printf("  walk of the MIB (%d objects), v2c    p50 %6.2f ms  p95 %6.2f ms  (%d of 100)\n",
                objects, percentile(walks, 0.5), percentile(walks, 0.95), int(walks.size()));
    std::printf("  walk in a watched UPS's context, v3  p50 %6.2f ms  p95 %6.2f ms  (%d of 100)\n",
                percentile(contextWalks, 0.5), percentile(contextWalks, 0.95),
                int(contextWalks.size()));
    std::printf("  one-object snmpget, the floor        p50 %6.2f ms  p95 %6.2f ms\n",
                percentile(gets, 0.5), percentile(gets, 0.95));

    wait(2000);
    const Stretch alone = measure(program.devComm(), seconds, 0);
    const Stretch loaded = measure(program.devComm(), seconds, rate);
    std::printf("  %d walks a second asked: %d walked (%.1f a second), %d failed, p95 %6.2f ms\n",
                rate, int(loaded.walkMs.size()), loaded.walkMs.size() / double(seconds),
                loaded.failures, percentile(loaded.walkMs, 0.95));
    std::printf("  CPU of the program  %5.2f %% of a core with the walks, %5.2f %% without: "
                "%+.2f %%\n",
                loaded.cpuPercent, alone.cpuPercent, loaded.cpuPercent - alone.cpuPercent);
    std::printf("  longest gap between two polls  %lld ms with the walks, %lld ms without "
                "(%d and %d polls)\n",
                loaded.longestGapMs, alone.longestGapMs, loaded.polls, alone.polls);
    snmpd.terminate();
    snmpd.waitForFinished(5000);
    return 0;
}
