// bench_web [--pages N] [--seconds S]
// The web service with N open pages (50), each holding its event stream, and a scraper asking
// for the metrics and the UPS's state once a second, while the UPS is polled over a serial line
// at 2400 baud and its mains fails and returns every 5 s (so every page gets events): the
// program's extra CPU, the scraper's reply times and the longest gap between two polls, against
// the same service with no client, measured in the same run.
#include "benchfigures.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "paths.h"
#include "settings.h"
#include "startup.h"
#include "upssimprocess.h"
#include "webload.h"
#include "webservice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

using BenchFigures::percentile;
using BenchFigures::cpuSeconds;
using BenchFigures::wait;

// The clients, run as a process of their own so their work is not counted as the program's.
int runClients(quint16 port, int pages, int seconds)
{
    WebLoad load(QHostAddress::LocalHost, port, QStringLiteral("ups"), pages);
    QEventLoop loop;
    QObject::connect(&load, &WebLoad::finished, &loop, &QEventLoop::quit);
    int streams = 0;
    QTimer::singleShot(3000, &load, [&] { streams = load.streamsOpen(); });
    load.start(seconds);
    loop.exec();
    QJsonArray replies;
    for (double ms : load.replyMs())
        replies.append(ms);
    std::printf("%s\n", QJsonDocument(QJsonObject {{QStringLiteral("replyMs"), replies},
                                                   {QStringLiteral("failures"), load.failures()},
                                                   {QStringLiteral("streams"), streams},
                                                   {QStringLiteral("events"), load.events()}})
                            .toJson(QJsonDocument::Compact)
                            .constData());
    return 0;
}

// A stretch of the program's own event loop: its share of one core and the longest gap between
// two data sets of the UPS, while the mains fails and returns every 5 s.
struct Stretch
{
    double cpuPercent = 0;
    qint64 longestGapMs = 0;
    int polls = 0;
};

Stretch measure(DevComm *devComm, UpsSimProcess &sim, int seconds)
{
    Stretch out;
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
    bool fail = true;
    QTimer mains;
    QObject::connect(&mains, &QTimer::timeout, &watch, [&] {
        sim.command(fail ? QStringLiteral("mains fail") : QStringLiteral("mains return"), 0);
        fail = !fail;
    });
    mains.start(5000);
    const double before = cpuSeconds();
    wait(seconds * 1000);
    out.cpuPercent = 100.0 * (cpuSeconds() - before) / (double(wall.elapsed()) / 1000.0);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int pages = 50, seconds = 30;
    quint16 port = 0;
    bool clientSide = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (args.at(i) == QLatin1String("--pages"))
            pages = qMax(1, next.toInt());
        else if (args.at(i) == QLatin1String("--seconds"))
            seconds = qMax(5, next.toInt());
        else if (args.at(i) == QLatin1String("--client-side"))
            clientSide = true;
        else if (args.at(i) == QLatin1String("--port"))
            port = quint16(next.toUInt());
    }
    if (clientSide)
        return runClients(port, pages, seconds);

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();
    UpsSimProcess sim {QStringList()}; // 2400 baud, as a real serial UPS
    if (!sim.isReady()) {
        std::printf("the simulator did not come up\n");
        return 1;
    }
    CompositionRoot program;
    program.openStores();
    Settings *settings = program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, sim.portPath());
    settings->setSettings(Settings::WebEnable, true);
    settings->setSettings(Settings::WebPort, 0);
    program.start();
    QElapsedTimer waited;
    waited.start();
    while ((program.webService()->listeningPort() == 0 || !program.devComm()->state().online()) &&
           waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (program.webService()->listeningPort() == 0 || !program.devComm()->state().online()) {
        std::printf("the web service or the UPS did not come up\n");
        return 1;
    }
    const quint16 webPort = quint16(program.webService()->listeningPort());
    std::printf("web: %d open pages and a scrape a second, UPS at 2400 baud, %d s a stretch\n",
                pages, seconds);

    wait(3000);
    const Stretch alone = measure(program.devComm(), sim, seconds);

    QProcess clients;
    clients.setProgram(QCoreApplication::applicationFilePath());
    clients.setArguments({QStringLiteral("--client-side"), QStringLiteral("--port"),
                          QString::number(webPort), QStringLiteral("--pages"),
                          QString::number(pages), QStringLiteral("--seconds"),
                          QString::number(seconds + 6)});
    clients.start();
    wait(3000);
    const int streams = program.webService()->openStreams();
    const Stretch loaded = measure(program.devComm(), sim, seconds);
    while (clients.state() != QProcess::NotRunning)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    const QJsonObject result = QJsonDocument::fromJson(clients.readAllStandardOutput()).object();
    QVector<double> replyMs;
    for (const QJsonValue &v : result.value(QStringLiteral("replyMs")).toArray())
        replyMs.append(v.toDouble());

    std::printf("  event streams open %d (clients saw %d), events received %d\n", streams,
                result.value(QStringLiteral("streams")).toInt(),
                result.value(QStringLiteral("events")).toInt());
    std::printf("  reply time (metrics and state)  p50 %6.2f ms  p95 %6.2f ms  max %6.2f ms  "
                "(%d replies, %d failures)\n",
                percentile(replyMs, 0.5), percentile(replyMs, 0.95),
                replyMs.isEmpty() ? 0.0 : *std::max_element(replyMs.begin(), replyMs.end()),
                int(replyMs.size()), result.value(QStringLiteral("failures")).toInt());
    std::printf("  CPU of the program  %5.2f %% of a core with the clients, %5.2f %% without: "
                "%+.2f %%\n",
                loaded.cpuPercent, alone.cpuPercent, loaded.cpuPercent - alone.cpuPercent);
    std::printf("  longest gap between two polls  %lld ms with the clients, %lld ms without "
                "(%d and %d polls)\n",
                loaded.longestGapMs, alone.longestGapMs, loaded.polls, alone.polls);
    return 0;
}
