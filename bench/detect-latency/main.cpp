// bench_detect_latency [--runs N] [--seed S] [--baud B] [--network-link]
// How soon a mains failure on the serial line becomes an alarm row and a status-file line,
// against the simulator paced like a real line (2400 baud, or each --baud given), beside NUT's
// chain at its tightest on the same simulated UPS in the same run: Debian's nutdrv_qx polling
// every second, upsd, and upsmon polling every second, timed to upsmon's ONBATT notice. Prints
// p50, p95 and max of each, Quelta's p95 as a multiple of the line's limit at that rate, and the
// ratio of the p95s (goal <= 0.5x). With --network-link, also
// the failures read through upsd by Quelta's network link.
#include "benchfigures.h"
#include "childprocess.h"
#include "compositionroot.h"
#include "detectlatency.h"
#include "megatec.h"
#include "nutserverprocess.h"
#include "paths.h"
#include "platform.h"
#include "seriallink.h"
#include "settings.h"
#include "startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

using BenchFigures::percentile;

void print(const char *what, const QVector<double> &ms)
{
    std::printf("  %-24s p50 %6.0f ms   p95 %6.0f ms   max %6.0f ms\n", what,
                percentile(ms, 0.5), percentile(ms, 0.95),
                ms.isEmpty() ? 0.0 : *std::max_element(ms.begin(), ms.end()));
}

void printLoad(const char *when)
{
    QFile load(QStringLiteral("/proc/loadavg"));
    load.open(QIODevice::ReadOnly);
    std::printf("load %s: %s\n", when, load.readAll().trimmed().constData());
    std::fflush(stdout);
}

bool write(const QString &path, const QByteArray &text, QFileDevice::Permissions mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) > 0 &&
        file.setPermissions(mode);
}

// Every process below pid, deepest first.
QList<pid_t> descendants(pid_t pid)
{
    QList<pid_t> found;
    const QStringList tasks = QDir(QStringLiteral("/proc/%1/task").arg(pid)).entryList(QDir::Dirs);
    for (const QString &task : tasks) {
        QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(pid).arg(task));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &child : children.readAll().split(' ')) {
            if (child.trimmed().isEmpty())
                continue;
            found = descendants(pid_t(child.toInt())) + found;
            found.append(pid_t(child.toInt()));
        }
    }
    return found;
}

// upsmon watching `ups` on the server at `port` as its primary, polling every second, with a
// notice command that appends "<ns since 1970> <type>" to `notices`.
class Upsmon
{
public:
    Upsmon(quint16 port, const QString &ups)
    {
        const QString conf = m_dir.filePath(QStringLiteral("upsmon.conf"));
        const QString script = m_dir.filePath(QStringLiteral("notify.sh"));
        m_notices = m_dir.filePath(QStringLiteral("notices"));
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        write(script,
              QStringLiteral("#!/bin/sh\necho \"$(date +%s%N) $NOTIFYTYPE\" >> %1\n")
                  .arg(m_notices)
                  .toUtf8(),
              owner | QFileDevice::ExeOwner);
        write(conf,
              QStringLiteral("MONITOR %1@127.0.0.1:%2 1 monuser secret primary\nMINSUPPLIES 1\n"
                             "SHUTDOWNCMD \"/bin/true\"\nPOWERDOWNFLAG %3/killpower\n"
                             "POLLFREQ 1\nPOLLFREQALERT 1\nNOTIFYCMD %4\n"
                             "NOTIFYFLAG ONBATT EXEC\nNOTIFYFLAG ONLINE EXEC\n")
                  .arg(ups)
                  .arg(port)
                  .arg(m_dir.path(), script)
                  .toUtf8(),
              owner);
        write(m_dir.filePath(QStringLiteral("nut.conf")), "MODE=netserver\n", owner);
        QFile::setPermissions(m_dir.path(), owner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"NUT_CONFPATH", "NUT_STATEPATH", "NUT_ALTPIDPATH"})
            env.insert(QString::fromLatin1(name), m_dir.path());
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(m_dir.path());
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments {QStringLiteral("-F")};
        if (geteuid() == 0)
            arguments << QStringLiteral("-u") << QStringLiteral("root");
        // Its PID file in this folder, not /run/nut: it runs beside the machine's own upsmon.
        m_process.start(QStringLiteral(QUELTA_SOURCE_DIR "/tests/support/nut_private_run.sh"),
                        QStringList {m_dir.path(), QStringLiteral("/lib/nut/upsmon")} +
                            arguments);
        m_process.waitForStarted(5000);
    }
    ~Upsmon()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        // Its child stays behind the parent: each is ended.
        for (pid_t pid : descendants(pid_t(m_process.processId())))
            ::kill(pid, SIGTERM);
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    QString notices() const { return m_notices; }
    QString output() { return QString::fromUtf8(m_process.readAll()); }

private:
    QTemporaryDir m_dir;
    QString m_notices;
    ChildProcess m_process;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int runs = 30;
    quint32 seed = QRandomGenerator::global()->generate();
    QList<int> bauds;
    bool networkLink = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const bool more = i + 1 < args.size();
        if (args.at(i) == QLatin1String("--runs") && more)
            runs = qMax(1, args.at(++i).toInt());
        else if (args.at(i) == QLatin1String("--seed") && more)
            seed = args.at(++i).toUInt();
        else if (args.at(i) == QLatin1String("--baud") && more)
            bauds << args.at(++i).toInt();
        else if (args.at(i) == QLatin1String("--network-link"))
            networkLink = true;
    }
    if (bauds.isEmpty())
        bauds << 2400;

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();
    CompositionRoot program;
    program.openStores();
    program.settings()->setSettings(Settings::UpsCommType, 1);
    program.settings()->setSettings(Settings::UpsComPort, QString());

    const QString simulator = QCoreApplication::applicationDirPath() + QStringLiteral("/upssim");
    std::printf("detect-latency: %d mains failures a side, seed %u\n", runs, seed);
    printLoad("at the start");
    // Quelta's side polls on this thread, at the priority the service gives its polling thread.
    std::string why;
    if (platform::raiseThreadPriority(&why))
        std::printf("polling at real-time priority, as the service does\n");
    else
        std::printf("polling at normal priority (%s), as the service does where refused\n",
                    why.c_str());
    DetectLatency bench(&program, simulator, root.path(), seed);
    QMap<int, double> quelta; // p95 to the alarm row, by baud rate
    for (const int baud : qAsConst(bauds)) {
        if (!bench.start(baud)) {
            std::printf("%d baud: the simulator or the link did not come up\n", baud);
            return 1;
        }
        const DetectLatency::Figures figures = bench.run(runs);
        std::printf("Quelta, serial link at %d baud (%d measured, %d missed):\n", baud,
                    int(figures.alarmMs.size()), figures.missed);
        print("to alarm row", figures.alarmMs);
        print("to status line", figures.statusMs);
        const double cycle = percentile(figures.cycleMs, 0.5);
        std::printf("  median time between two data sets told (a steady one once a second) %.0f ms\n",
                    cycle);
        // The line's limit: a failure waits for the status query under way (the p95 of a wait
        // spread evenly over the exchange, or over the pace where the line is faster), then
        // for one status query and its reply to cross the line.
        const double exchange = Megatec::statusExchangeBytes() * 10 * 1000.0 / baud;
        const double limit = 0.95 * std::max(exchange, double(SerialLink::statusPace())) + exchange;
        const double p95 = percentile(figures.alarmMs, 0.95);
        std::printf("  the line's limit at %d baud (p95): %.0f ms; Quelta's p95 to the alarm row "
                    "%.2fx of it (goal <= 1.15x)\n",
                    baud, limit, limit > 0 ? p95 / limit : 0.0);
        quelta.insert(baud, p95);
        std::fflush(stdout);
        bench.closeLink();
    }

    if (!NutServerProcess::available() || !QFile::exists(QStringLiteral("/lib/nut/upsmon")) ||
        !QFile::exists(QStringLiteral("/lib/nut/nutdrv_qx"))) {
        std::printf("NUT chain: nut-server and nut-client are not installed; no ratio\n");
        return 0;
    }
    for (const int baud : qAsConst(bauds)) {
        NutServerProcess nut;
        if (!bench.startSimulator(baud)) {
            std::printf("NUT chain: the simulator did not come up\n");
            return 1;
        }
        nut.addUps(QStringLiteral("qx"), QStringLiteral("nutdrv_qx"), bench.linkPath(),
                   {QStringLiteral("protocol = megatec")});
        nut.addUser(QStringLiteral("monuser"), QStringLiteral("secret"),
                    {QStringLiteral("upsmon primary")});
        if (!nut.start(30000)) {
            std::printf("NUT chain: the server did not come up\n%s\n", qPrintable(nut.output()));
            return 1;
        }
        Upsmon upsmon(nut.port(), QStringLiteral("qx"));
        QThread::sleep(3); // logged in and polling
        if (!upsmon.running()) {
            std::printf("NUT chain: upsmon did not stay up\n%s\n", qPrintable(upsmon.output()));
            return 1;
        }
        const DetectLatency::Figures figures = bench.runNotices(runs, upsmon.notices());
        std::printf("NUT chain at its tightest, %d baud: nutdrv_qx (pollinterval 1) -> upsd -> "
                    "upsmon (POLLFREQ 1) (%d measured, %d missed):\n",
                    baud, int(figures.alarmMs.size()), figures.missed);
        print("to upsmon's ONBATT", figures.alarmMs);
        const double nutP95 = percentile(figures.alarmMs, 0.95);
        std::printf("  Quelta / NUT, p95 to the alarm: %.2fx (goal <= 0.5x)\n",
                    nutP95 > 0 ? quelta.value(baud) / nutP95 : 0.0);
        std::fflush(stdout);
        bench.stop();
    }
    if (networkLink) {
        const int baud = bauds.first();
        NutServerProcess nut;
        if (!bench.startSimulator(baud))
            return 1;
        nut.addUps(QStringLiteral("qx"), QStringLiteral("nutdrv_qx"), bench.linkPath(),
                   {QStringLiteral("protocol = megatec")});
        if (!nut.start(30000) || !bench.watchNetwork(nut.port(), QStringLiteral("qx"))) {
            std::printf("network link: the server or the link did not come up\n%s\n",
                        qPrintable(nut.output()));
            return 1;
        }
        const DetectLatency::Figures figures = bench.run(runs);
        std::printf("network link, upssim %d baud -> nutdrv_qx -> upsd -> Quelta (%d measured, "
                    "%d missed):\n",
                    baud, int(figures.alarmMs.size()), figures.missed);
        print("to alarm row", figures.alarmMs);
        print("to status line", figures.statusMs);
        bench.stop();
    }
    printLoad("at the end");
    return 0;
}
