// upssim: a simulated UPS on a serial line. See --help.
#include "eventlog.h"
#include "simulator.h"
#include "simulatoroptions.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("upssim"));

    SimulatorOptions options;
    QString error;
    if (!options.parse(QCoreApplication::arguments(), &error)) {
        std::fprintf(stderr, "upssim: %s\n(see upssim --help)\n", qPrintable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(SimulatorOptions::usage()), stdout);
        return 0;
    }

    Simulator simulator;
    QObject::connect(&simulator, &Simulator::finished, &app, &QCoreApplication::quit);
    if (!simulator.start(options, &error)) {
        std::fprintf(stderr, "upssim: %s\n", qPrintable(error));
        return 1;
    }
    return app.exec();
}
