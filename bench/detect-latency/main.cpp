// bench_detect_latency [--runs N] [--seed S]
// How soon a mains failure on the serial line becomes an alarm row and a status-file line, at
// 2400 and 9600 baud, against the simulator paced like a real line.
#include "compositionroot.h"
#include "detectlatency.h"
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
    bench.stop();
    return 0;
}
