// bench_nut_server [--clients N[,N...]] [--seconds S] [--runs R] [--churn C] [--seed S]
// The network server under crowds of clients (200 and 1,000) that each ask LIST VAR once a
// second, while the UPS is polled over a serial line at 2400 baud: how long the clients wait for
// their replies, how much of a core and how much memory the program takes, and how soon a mains
// failure is detected (under the largest crowd), against the same figures without clients
// measured in the same run. NUT's upsd serves the same variables to the same crowds as the
// reference. --churn C adds C rounds of the largest crowd connecting, asking once and leaving,
// with the resident memory of both servers after each round. --runs 0 leaves out detection.
#include "benchfigures.h"
#include "compositionroot.h"
#include "detectlatency.h"
#include "listmodelnutclient.h"
#include "nutload.h"
#include "nutupspublisher.h"
#include "paths.h"
#include "platform.h"
#include "servicenetwork.h"
#include "settings.h"
#include "startup.h"
#include "upsdreference.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
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

using BenchFigures::percentile;
using BenchFigures::cpuSeconds;
using BenchFigures::wait;

// Resident memory of this process (the program and the bench around it), kB.
qint64 rssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

double mb(qint64 kb)
{
    return double(kb) / 1024.0;
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
    platform::raiseOpenFileLimit();
    NutLoad load(QHostAddress::LocalHost, port, clients);
    load.run(seconds);
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

// One round of churn on the client side: every client connects, asks LIST VAR once, reads the
// whole reply and goes. Prints how many got their reply.
int runChurnRound(quint16 port, int clients)
{
    platform::raiseOpenFileLimit();
    int done = 0;
    int over = 0;
    QEventLoop loop;
    const QByteArray end("END LIST VAR ups\n");
    for (int i = 0; i < clients; ++i) {
        auto *socket = new QTcpSocket(&loop);
        auto *buffer = new QByteArray;
        auto finish = [&, socket, buffer](bool replied) {
            if (socket->property("over").toBool())
                return;
            socket->setProperty("over", true);
            done += replied ? 1 : 0;
            delete buffer;
            socket->abort();
            if (++over == clients)
                loop.quit();
        };
        QObject::connect(socket, &QTcpSocket::connected, socket, [socket] {
            socket->write("LIST VAR ups\n");
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
            *buffer += socket->readAll();
            if (buffer->endsWith(end))
                finish(true);
        });
        QObject::connect(socket, &QAbstractSocket::errorOccurred, socket,
                         [=] { finish(false); });
        socket->connectToHost(QHostAddress::LocalHost, port);
    }
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    std::printf("%d\n", done);
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

// Waits for a child with the event loop asleep: a loop of processEvents would spin on a core the
// servers under test need.
void waitForEnd(QProcess &child)
{
    if (child.state() == QProcess::NotRunning)
        return;
    QEventLoop loop;
    QObject::connect(&child, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop,
                     &QEventLoop::quit);
    QObject::connect(&child, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    if (child.state() != QProcess::NotRunning)
        loop.exec();
}

Crowd collect(QProcess &crowd)
{
    waitForEnd(crowd);
    const QJsonObject result = QJsonDocument::fromJson(crowd.readAllStandardOutput()).object();
    Crowd out;
    for (const QJsonValue &v : result.value(QStringLiteral("replyMs")).toArray())
        out.replyMs.append(v.toDouble());
    out.failures = result.value(QStringLiteral("failures")).toInt();
    return out;
}

// Runs one churn round in a process of its own; how many clients got their reply.
int churnRound(quint16 port, int clients)
{
    QProcess round;
    round.setProgram(QCoreApplication::applicationFilePath());
    round.setArguments({QStringLiteral("--churn-round"), QStringLiteral("--port"),
                        QString::number(port), QStringLiteral("--clients"),
                        QString::number(clients)});
    round.start();
    round.waitForStarted(5000);
    waitForEnd(round);
    return round.readAllStandardOutput().trimmed().toInt();
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
    QVector<int> sizes {200, 1000};
    int seconds = 30, runs = 20, churn = 0;
    quint16 port = 0;
    bool clientSide = false, churnSide = false;
    quint32 seed = QRandomGenerator::global()->generate();
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (args.at(i) == QLatin1String("--clients")) {
            sizes.clear();
            for (const QString &n : next.split(QLatin1Char(',')))
                sizes.append(qMax(1, n.toInt()));
        } else if (args.at(i) == QLatin1String("--seconds")) {
            seconds = qMax(5, next.toInt());
        } else if (args.at(i) == QLatin1String("--runs")) {
            runs = qMax(0, next.toInt());
        } else if (args.at(i) == QLatin1String("--churn")) {
            churn = qMax(0, next.toInt());
        } else if (args.at(i) == QLatin1String("--seed")) {
            seed = next.toUInt();
        } else if (args.at(i) == QLatin1String("--client-side")) {
            clientSide = true;
        } else if (args.at(i) == QLatin1String("--churn-round")) {
            churnSide = true;
        } else if (args.at(i) == QLatin1String("--port")) {
            port = quint16(next.toUInt());
        }
    }
    const int largest = *std::max_element(sizes.cbegin(), sizes.cend());
    if (clientSide)
        return runClients(port, sizes.first(), seconds);
    if (churnSide)
        return runChurnRound(port, sizes.first());

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
    // Room for the whole crowd from one address: a quarter of the places is kept for others.
    settings->setSettings(Settings::NetworkMaxClients, qMax(64, largest * 4 / 3 + 16));

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
    const quint16 ourPort = quint16(network->listeningPort());
    QStringList sizeTexts;
    for (int n : sizes)
        sizeTexts.append(QString::number(n));
    std::printf("nut-server: %s clients asking LIST VAR once a second, UPS at 2400 baud, seed %u\n",
                qPrintable(sizeTexts.join(QLatin1String(", "))), seed);

    // Without clients: the reference.
    const double idleCpu = cpuPercent(10);
    const qint64 baseKb = rssKb();
    const DetectLatency::Figures alone = runs > 0 ? detect.run(runs) : DetectLatency::Figures();

    // With clients: the CPU over a stretch of plain event loop, the memory while they are served,
    // then (under the largest crowd) the detection while they keep asking.
    struct Served
    {
        int clients = 0;
        int connected = 0;
        Crowd ours, theirs;
        double cpu = 0, upsdCpu = -1;
        qint64 rssKb = 0, upsdRssKb = 0;
    };
    QVector<Served> served;
    DetectLatency::Figures loaded;
    for (int n : sizes) {
        Served s;
        s.clients = n;
        const bool detecting = runs > 0 && n == largest;
        QProcess crowd;
        startCrowd(crowd, ourPort, n, seconds + (detecting ? 30 + runs * 4 : 3));
        wait(3000);
        s.connected = network->clients()->rowCount();
        s.cpu = cpuPercent(seconds);
        s.rssKb = rssKb();
        if (detecting)
            loaded = detect.run(runs);
        s.ours = collect(crowd);
        served.append(s);
    }
    const QByteArray variables = servedVariables(ourPort);

    // Churn: the largest crowd comes, asks once and goes, round after round.
    QVector<qint64> churnKb, upsdChurnKb;
    for (int round = 0; round < churn; ++round) {
        const int replied = churnRound(ourPort, largest);
        waited.restart();
        while (network->clients()->rowCount() > 0 && waited.elapsed() < 10000)
            wait(100);
        // The server gives the heap back two seconds after a crowd has gone; the round is
        // measured once it has settled.
        wait(2500);
        churnKb.append(rssKb());
        if (replied < largest)
            std::printf("  churn round %d: %d of %d clients had their reply\n", round + 1,
                        replied, largest);
    }
    detect.stop();

    // The reference: NUT's upsd serving the same variables to the same crowds.
    UpsdReference upsd;
    qint64 upsdBaseKb = 0;
    const quint16 upsdPort = freePort();
    bool reference = false;
    if (!UpsdReference::available()) {
        std::printf("  (no reference: NUT's upsd and dummy-ups are not installed)\n");
    } else if (!upsd.start(variables, upsdPort)) {
        std::printf("  (no reference: upsd did not come up)\n");
    } else {
        reference = true;
        upsdBaseKb = upsd.rssKb();
        for (Served &s : served) {
            QProcess crowd;
            startCrowd(crowd, upsdPort, s.clients, seconds + 3);
            wait(3000);
            const double before = upsd.cpuSeconds();
            QElapsedTimer wall;
            wall.start();
            wait(seconds * 1000 / 2);
            s.upsdRssKb = upsd.rssKb();
            s.theirs = collect(crowd);
            s.upsdCpu = 100.0 * (upsd.cpuSeconds() - before) / (double(wall.elapsed()) / 1000.0);
        }
        for (int round = 0; round < churn; ++round) {
            churnRound(upsdPort, largest);
            wait(1000);
            upsdChurnKb.append(upsd.rssKb());
        }
    }

    std::printf("  memory without clients: program %.1f MB RSS%s\n", mb(baseKb),
                reference ? qPrintable(QStringLiteral(", upsd %1 MB").arg(mb(upsdBaseKb), 0, 'f', 1))
                          : "");
    for (const Served &s : served) {
        std::printf(" %d clients (%d connected)\n", s.clients, s.connected);
        const double p95 = percentile(s.ours.replyMs, 0.95);
        printReplies("Quelta", s.ours);
        if (s.upsdCpu >= 0) {
            printReplies("upsd", s.theirs);
            std::printf("  reply p95 Quelta / upsd = %.2f\n",
                        p95 / qMax(0.001, percentile(s.theirs.replyMs, 0.95)));
        }
        // The reply-time goal is set for crowds up to 1,000; larger ones are held against upsd.
        if (s.clients <= 1000)
            std::printf("  reply p95 goal <= 5 ms: %s\n",
                        !s.ours.replyMs.isEmpty() && p95 <= 5.0 ? "met" : "missed");
        std::printf("  CPU of the program  %5.2f %% of a core with the clients, %5.2f %% without "
                    "(goal <= 5 %%: %s)\n",
                    s.cpu, idleCpu, s.cpu <= 5.0 ? "met" : "missed");
        if (s.upsdCpu >= 0)
            std::printf("  CPU of upsd         %5.2f %% of a core with the clients\n", s.upsdCpu);
        std::printf("  memory while served: program %.1f MB RSS (+%.1f MB over its base)", mb(s.rssKb),
                    mb(s.rssKb - baseKb));
        if (s.upsdRssKb > 0) {
            std::printf(", upsd %.1f MB (goal: growth <= 2x upsd: %s)", mb(s.upsdRssKb),
                        s.rssKb - baseKb <= 2 * s.upsdRssKb ? "met" : "missed");
        }
        std::printf("\n");
    }
    if (churn > 0) {
        std::printf(" churn: %d rounds of %d clients connecting, asking once and leaving; RSS after "
                    "each round\n  program:",
                    churn, largest);
        for (qint64 kb : churnKb)
            std::printf(" %.1f", mb(kb));
        std::printf(" MB\n");
        if (!upsdChurnKb.isEmpty()) {
            std::printf("  upsd:   ");
            for (qint64 kb : upsdChurnKb)
                std::printf(" %.1f", mb(kb));
            std::printf(" MB\n");
        }
        // Flat: the second half of the rounds adds nothing worth a round's traffic.
        const int half = churnKb.size() / 2;
        const qint64 drift = churnKb.last() - churnKb.at(half);
        std::printf("  program after round %d to %d: %+.1f MB (goal flat, within 1 MB: %s)\n",
                    half + 1, churn, mb(drift), qAbs(drift) <= 1024 ? "met" : "missed");
    }
    if (runs > 0) {
        printDetection("without clients", alone);
        printDetection("with clients", loaded);
        const double p95Loaded = percentile(loaded.alarmMs, 0.95);
        std::printf("  detection p95 with / without clients = %.2f (goal p95 <= 1200 ms: %s)\n",
                    percentile(alone.alarmMs, 0.95) > 0
                        ? p95Loaded / percentile(alone.alarmMs, 0.95)
                        : 0.0,
                    !loaded.alarmMs.isEmpty() && p95Loaded <= 1200 ? "met" : "missed");
    }
    return 0;
}
