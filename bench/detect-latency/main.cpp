// bench_detect_latency [--runs N] [--seed S]
// How soon a mains failure on the serial line becomes an alarm row and a status-file line, at
// 2400 and 9600 baud, against the simulator paced like a real line; then, with Debian's UPS
// server installed, the same through its driver and upsd over the network link (at most 30).
#include "compositionroot.h"
#include "detectlatency.h"
#include "nutserverprocess.h"
#include "paths.h"
#include "settings.h"
#include "startup.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
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

void print(const char *what, const QVector<double> &ms, double goalMs)
{
    const double p95 = percentile(ms, 0.95);
    std::printf("  %-18s p50 %6.0f ms   p95 %6.0f ms   max %6.0f ms   (goal p95 <= %.0f ms: %s)\n",
                what, percentile(ms, 0.5), p95,
                ms.isEmpty() ? 0.0 : *std::max_element(ms.begin(), ms.end()), goalMs,
                !ms.isEmpty() && p95 <= goalMs ? "met" : "missed");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int runs = 50;
    quint32 seed = QRandomGenerator::global()->generate();
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--runs"))
            runs = qMax(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--seed"))
            seed = args.at(i + 1).toUInt();
    }

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();
    CompositionRoot program;
    program.openStores();
    program.settings()->setSettings(Settings::UpsCommType, 1);
    program.settings()->setSettings(Settings::UpsComPort, QString());

    const QString simulator = QCoreApplication::applicationDirPath() + QStringLiteral("/upssim");
    std::printf("detect-latency: %d mains failures per baud rate, seed %u\n", runs, seed);
    DetectLatency bench(&program, simulator, root.path(), seed);
    const struct
    {
        int baud;
        double goalMs;
    } rates[] = {{2400, 1200}, {9600, 700}};
    for (const auto &rate : rates) {
        if (!bench.start(rate.baud)) {
            std::printf("%d baud: the simulator or the link did not come up\n", rate.baud);
            return 1;
        }
        const DetectLatency::Figures figures = bench.run(runs);
        std::printf("%d baud (%d measured, %d missed):\n", rate.baud, int(figures.alarmMs.size()),
                    figures.missed);
        const double cycle = percentile(figures.cycleMs, 0.5);
        print("to alarm row", figures.alarmMs, rate.goalMs);
        print("to status line", figures.statusMs, rate.goalMs);
        std::printf("  poll cycle (median time between two status replies) %.0f ms; "
                    "p95 to alarm row / cycle = %.2f\n",
                    cycle, cycle > 0 ? percentile(figures.alarmMs, 0.95) / cycle : 0.0);
        std::fflush(stdout);
    }
    // The same failures through a network UPS server: the simulator read by the server's
    // Megatec driver (nutdrv_qx, polling every second), served by upsd, watched by the
    // network link polling every 2 s.
    if (!NutServerProcess::available()) {
        std::printf("network link: the network UPS server is not installed; skipped\n");
        return 0;
    }
    const int nutRuns = qMin(runs, 30);
    NutServerProcess nut;
    if (!bench.startSimulator(2400)) {
        std::printf("network link: the simulator did not come up\n");
        return 1;
    }
    nut.addUps(QStringLiteral("qx"), QStringLiteral("nutdrv_qx"), bench.linkPath(),
               {QStringLiteral("protocol = megatec")});
    if (!nut.start(30000) || !bench.watchNetwork(nut.port(), QStringLiteral("qx"))) {
        std::printf("network link: the server or the link did not come up\n%s\n",
                    qPrintable(nut.output()));
        return 1;
    }
    const DetectLatency::Figures figures = bench.run(nutRuns);
    std::printf("network link, upssim 2400 baud -> nutdrv_qx -> upsd -> Quelta (%d measured, "
                "%d missed):\n",
                int(figures.alarmMs.size()), figures.missed);
    print("to alarm row", figures.alarmMs, 3500);
    print("to status line", figures.statusMs, 3500);
    std::printf("  poll cycle (median time between two data sets) %.0f ms\n",
                percentile(figures.cycleMs, 0.5));
    bench.stop();
    return 0;
}
