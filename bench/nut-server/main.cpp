// bench_nut_server [--clients N] [--seconds S] [--runs R] [--seed S]
// The network server under N clients (200) that each ask LIST VAR once a second, while the UPS
// is polled over a serial line at 2400 baud: how long the clients wait for their replies, how
// much of a core the program takes, and how soon a mains failure is detected, against the same
// figures without clients measured in the same run.
#include "compositionroot.h"
#include "detectlatency.h"
#include "listmodelnutclient.h"
#include "nutload.h"
#include "nutupspublisher.h"
#include "paths.h"
#include "servicenetwork.h"
#include "settings.h"
#include "startup.h"
#include "upsdreference.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

double percentile(QVector<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const int index = qBound(0, int(p * values.size() + 0.999999) - 1, values.size() - 1);
    return values.at(index);
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1.0e6;
}

// The program's share of one core over `seconds` of its own event loop, nothing else running.
double cpuPercent(int seconds)
{
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return 100.0 * (cpuSeconds() - before) / (double(wall.elapsed()) / 1000.0);
}

// The client side, run as a process of its own so its work is not counted as the program's.
int runClients(quint16 port, int clients, int seconds)
{
    NutLoad load(QHostAddress::LocalHost, port, clients);
    QEventLoop loop;
    QObject::connect(&load, &NutLoad::finished, &loop, &QEventLoop::quit);
    load.start(seconds);
    loop.exec();
    QJsonArray replies;
    for (double ms : load.replyMs())
        replies.append(ms);
    std::printf("%s\n",
                QJsonDocument(QJsonObject {{QStringLiteral("replyMs"), replies},
                                           {QStringLiteral("failures"), load.failures()}})
                    .toJson(QJsonDocument::Compact)
                    .constData());
    return 0;
}

struct Crowd
{
    QVector<double> replyMs;
    int failures = 0;
};

void startCrowd(QProcess &crowd, quint16 port, int clients, int seconds)
{
    crowd.setProgram(QCoreApplication::applicationFilePath());
    crowd.setArguments({QStringLiteral("--client-side"), QStringLiteral("--port"),
                        QString::number(port), QStringLiteral("--clients"),
                        QString::number(clients), QStringLiteral("--seconds"),
                        QString::number(seconds)});
    crowd.start();
    crowd.waitForStarted(5000);
}

Crowd collect(QProcess &crowd)
{
    while (crowd.state() != QProcess::NotRunning)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    const QJsonObject result = QJsonDocument::fromJson(crowd.readAllStandardOutput()).object();
    Crowd out;
    for (const QJsonValue &v : result.value(QStringLiteral("replyMs")).toArray())
        out.replyMs.append(v.toDouble());
    out.failures = result.value(QStringLiteral("failures")).toInt();
    return out;
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void printReplies(const char *who, const Crowd &c)
{
    std::printf("  reply time %-7s p50 %6.2f ms  p95 %6.2f ms  max %6.2f ms  (%d replies, %d "
                "failures)\n",
                who, percentile(c.replyMs, 0.5), percentile(c.replyMs, 0.95),
                c.replyMs.isEmpty() ? 0.0 : *std::max_element(c.replyMs.begin(), c.replyMs.end()),
                int(c.replyMs.size()), c.failures);
}

// The variables the server serves now, as "name: value" lines for NUT's dummy driver.
QByteArray servedVariables(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("LIST VAR ups\n");
    QByteArray reply;
    while (!reply.endsWith("END LIST VAR ups\n") && socket.waitForReadyRead(5000))
        reply += socket.readAll();
    QByteArray lines;
    for (const QByteArray &line : reply.split('\n')) {
        if (!line.startsWith("VAR ups "))
            continue;
        const QByteArray rest = line.mid(8);
        const int blank = rest.indexOf(' ');
        QByteArray value = rest.mid(blank + 2);
        value.chop(1);
        lines += rest.left(blank) + ": " + value.replace("\\", "") + '\n';
    }
    return lines;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void printDetection(const char *what, const DetectLatency::Figures &f)
{
    std::printf("  detection %-15s p50 %5.0f ms  p95 %5.0f ms  (%d measured, %d missed)\n", what,
                percentile(f.alarmMs, 0.5), percentile(f.alarmMs, 0.95), int(f.alarmMs.size()),
                f.missed);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int clients = 200, seconds = 30, runs = 20;
    quint16 port = 0;
    bool clientSide = false;
    quint32 seed = QRandomGenerator::global()->generate();
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (args.at(i) == QLatin1String("--clients"))
            clients = qMax(1, next.toInt());
        else if (args.at(i) == QLatin1String("--seconds"))
            seconds = qMax(5, next.toInt());
        else if (args.at(i) == QLatin1String("--runs"))
            runs = qMax(1, next.toInt());
        else if (args.at(i) == QLatin1String("--seed"))
            seed = next.toUInt();
        else if (args.at(i) == QLatin1String("--client-side"))
            clientSide = true;
        else if (args.at(i) == QLatin1String("--port"))
            port = quint16(next.toUInt());
    }
    if (clientSide)
        return runClients(port, clients, seconds);

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();
    CompositionRoot program;
    program.openStores();
    Settings *settings = program.settings();
    settings->setSettings(Settings::UpsCommType, 1);
    settings->setSettings(Settings::UpsComPort, QString());
    settings->setSettings(Settings::NetworkEnable, true);
    settings->setSettings(Settings::NetworkListen, QStringLiteral("127.0.0.1"));
    settings->setSettings(Settings::NetworkPort, 0);
    settings->setSettings(Settings::NetworkMaxClients, qMax(64, clients + 8));

    const QString simulator = QCoreApplication::applicationDirPath() + QStringLiteral("/upssim");
    DetectLatency detect(&program, simulator, root.path(), seed);
    program.nutUpsPublisher()->start();
    program.serviceNetwork()->start();
    if (!detect.start(2400)) {
        std::printf("the simulator or the link did not come up\n");
        return 1;
    }
    ServiceNetwork *network = program.serviceNetwork();
    QElapsedTimer waited;
    waited.start();
    while (network->listeningPort() == 0 && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (network->listeningPort() == 0) {
        std::printf("the network server did not listen\n");
        return 1;
    }
    std::printf("nut-server: %d clients asking LIST VAR once a second, UPS at 2400 baud, seed %u\n",
                clients, seed);

    // Without clients: the reference.
    const double idleCpu = cpuPercent(10);
    const DetectLatency::Figures alone = detect.run(runs);

    // With clients: the CPU over a stretch of plain event loop, then the detection while they
    // keep asking.
    QProcess crowd;
    startCrowd(crowd, quint16(network->listeningPort()), clients, seconds + 30 + runs * 4);
    wait(3000);
    const int connected = network->clients()->rowCount();
    const double loadCpu = cpuPercent(seconds);
    const DetectLatency::Figures loaded = detect.run(runs);
    const Crowd ours = collect(crowd);
    const QByteArray variables = servedVariables(quint16(network->listeningPort()));
    detect.stop();

    // The reference: NUT's upsd serving the same variables to the same crowd.
    Crowd theirs;
    double upsdCpu = -1;
    UpsdReference upsd;
    const quint16 upsdPort = freePort();
    if (!UpsdReference::available()) {
        std::printf("  (no reference: NUT's upsd and dummy-ups are not installed)\n");
    } else if (!upsd.start(variables, upsdPort)) {
        std::printf("  (no reference: upsd did not come up)\n");
    } else {
        QProcess reference;
        startCrowd(reference, upsdPort, clients, seconds + 3);
        wait(3000);
        const double before = upsd.cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        theirs = collect(reference);
        upsdCpu = 100.0 * (upsd.cpuSeconds() - before) / (double(wall.elapsed()) / 1000.0);
    }

    std::printf("  clients connected %d\n", connected);
    const double p95 = percentile(ours.replyMs, 0.95);
    printReplies("Quelta", ours);
    if (upsdCpu >= 0) {
        printReplies("upsd", theirs);
        std::printf("  reply p95 Quelta / upsd = %.2f\n",
                    p95 / qMax(0.001, percentile(theirs.replyMs, 0.95)));
    }
    std::printf("  reply p95 goal <= 5 ms: %s\n",
                !ours.replyMs.isEmpty() && p95 <= 5.0 ? "met" : "missed");
    std::printf("  CPU of the program  %5.2f %% of a core with the clients, %5.2f %% without "
                "(goal <= 5 %%: %s)\n",
                loadCpu, idleCpu, loadCpu <= 5.0 ? "met" : "missed");
    if (upsdCpu >= 0)
        std::printf("  CPU of upsd         %5.2f %% of a core with the clients\n", upsdCpu);
    printDetection("without clients", alone);
    printDetection("with clients", loaded);
    const double p95Loaded = percentile(loaded.alarmMs, 0.95);
    std::printf("  detection p95 with / without clients = %.2f (goal p95 <= 1200 ms: %s)\n",
                percentile(alone.alarmMs, 0.95) > 0 ? p95Loaded / percentile(alone.alarmMs, 0.95)
                                                    : 0.0,
                !loaded.alarmMs.isEmpty() && p95Loaded <= 1200 ? "met" : "missed");
    return 0;
}
