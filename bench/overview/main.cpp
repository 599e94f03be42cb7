// bench_overview COUNT [REPEATS]
// How long the window's overview takes to open with COUNT watched UPSes: the program is built
// under QUELTA_HOME (whose settings list the servers), waits until every watched UPS has
// answered, then loads the overview screen and stops the clock at the first frame drawn with
// every card in it. Prints the first opening and the median of the REPEATS after it (the screen
// compiled by then), in ms. Run it offscreen with the software renderer, as bench/many does.
#include "benchfigures.h"
#include "compositionroot.h"
#include "paths.h"
#include "qmlpagehost.h"
#include "startup.h"
#include "watchedups.h"
#include "watchservice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>

namespace {

int cardCount(QmlPageHost &host)
{
    QQuickItem *flow = host.find(QStringLiteral("overviewCards"));
    if (!flow)
        return -1;
    int n = 0;
    for (QQuickItem *child : flow->childItems())
        n += child->width() > 0 ? 1 : 0;
    return n;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 0;
    const int repeats = argc > 2 ? QByteArray(argv[2]).toInt() : 4;
    // The folders of a program root, as start-up makes them.
    Paths::setRoot(QString::fromLocal8Bit(qgetenv("QUELTA_HOME")));
    Startup::createAppDirectories();
    QmlPageHost host;
    WatchService *watch = host.root().watchService();
    const auto answered = [&] {
        const auto units = watch->units();
        if (units.size() < count)
            return false;
        for (WatchedUps *unit : units)
            if (unit->state().link != UpsState::Link::Online)
                return false;
        return true;
    };
    QElapsedTimer waited;
    waited.start();
    while (!answered() && waited.elapsed() < 60000)
        QTest::qWait(50);
    if (!answered()) {
        std::fprintf(stderr, "overview: %d of %d watched UPSes answered\n",
                     int(watch->units().size()), count);
        return 1;
    }
    QVector<double> ms;
    for (int i = 0; i <= repeats; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!host.load(QStringLiteral("MainPanelOverview.qml"), QSize(1280, 800))) {
            std::fprintf(stderr, "overview: %s\n", qPrintable(host.errors()));
            return 1;
        }
        // The cards are all laid out when a frame shows them: this computer's and each watched.
        QSignalSpy drawn(host.view(), &QQuickWindow::frameSwapped);
        host.view()->update();
        while (drawn.isEmpty() || cardCount(host) < count + 1) {
            if (clock.elapsed() > 30000) {
                std::fprintf(stderr, "overview: %d cards shown\n", cardCount(host));
                return 1;
            }
            drawn.clear();
            host.view()->update();
            drawn.wait(20);
        }
        ms.append(clock.nsecsElapsed() / 1e6);
    }
    const double first = ms.takeFirst();
    std::printf("overview %d cards: first %.0f ms, again %.0f ms (median of %d)\n", count + 1,
                first, BenchFigures::percentile(ms, 0.5), int(ms.size()));
    return 0;
}
