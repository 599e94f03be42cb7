// A program of the test suites: the service graph the program builds, without a window or a
// device, made to write as fast as it can what a watched UPS makes it write, so that a test can
// kill it at any moment of a write. Everything goes through the product's own objects; only the
// data sets are made up here.
//
//   crashwriter run SECONDS       write until killed: samples, alarms, status lines, self-tests;
//                                 "step N committed ROWS" after each data set
//   crashwriter selftest SECONDS  one self-test that never ends, "line N" after each sample
//   crashwriter open SECONDS      open the stores (completing cut recordings) and end
//
// SECONDS (since 1970, UTC) is where the frozen clock starts; each data set moves it on by one
// second. The program folder is QUELTA_HOME.
#include "clock.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "recordwriter.h"
#include "samplestore.h"
#include "selftestrecorder.h"
#include "upsstate.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

// The data set of step `n` of a cycle of 12: the mains fails and returns, the battery runs
// low, the beeper toggles, and a self-test runs through steps 6 to 9.
UpsState dataSet(quint64 n, bool alwaysTesting)
{
    const int step = int(n % 12);
    quint8 status = 0;
    if (step >= 1 && step < 4)
        status |= 0x01; // mains failure
    if (step >= 2 && step < 4)
        status |= 0x02; // battery low
    if (step % 4 == 0)
        status |= 0x80; // beeper
    if (alwaysTesting || (step >= 6 && step < 10))
        status |= 0x20; // self-test
    UpsState state;
    state.link = UpsState::Link::Online;
    state.setStatusByte(status);
    state.inputVoltage = 220.0f + float(step);
    state.outputVoltage = 230.0f;
    state.load = 10 + int(n % 90);
    state.inputFrequency = 50.0f;
    state.batteryVoltage = 27.0f;
    state.temperature = 30.0f;
    state.batteryCharge = float(100 - step);
    return state;
}

void say(const char *text, quint64 number)
{
    std::printf("%s %llu\n", text, static_cast<unsigned long long>(number));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    bool numeric = false;
    const qint64 start = args.value(2).toLongLong(&numeric);
    if (args.size() != 3 || !numeric ||
        (mode != QLatin1String("run") && mode != QLatin1String("selftest") &&
         mode != QLatin1String("open"))) {
        std::fprintf(stderr, "usage: crashwriter run|selftest|open SECONDS\n");
        return 2;
    }
    Clock::setNow(QDateTime::fromSecsSinceEpoch(start));

    CompositionRoot root;
    root.openStores();
    if (mode == QLatin1String("open")) {
        say("opened", 0);
        return 0;
    }

    const bool alwaysTesting = mode == QLatin1String("selftest");
    DevComm *dev = root.devComm();
    quint64 n = 0;
    QTimer pace;
    QObject::connect(&pace, &QTimer::timeout, [&] {
        emit dev->stateChanged(dataSet(n, alwaysTesting));
        root.sampleStore()->store();
        Clock::advance(1);
        ++n;
        if (alwaysTesting) {
            say("line", n);
        } else {
            std::printf("step %llu committed %llu\n", static_cast<unsigned long long>(n),
                        static_cast<unsigned long long>(root.recordWriter()->committedRows()));
            std::fflush(stdout);
        }
    });
    pace.start(0);
    return app.exec();
}
