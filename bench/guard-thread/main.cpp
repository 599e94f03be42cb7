// bench_guard_thread [--days N] [--calm S] [--baud B]
// The thread that polls the UPS and counts a shutdown down, while the slow work that once ran on
// it runs together: an export of N days of samples (default 30: yesterday at one a second, the
// days before at one every ten seconds), the daily report of yesterday, and a power-off asked of
// a login manager that never answers (asked again at every tick after a command file). It prints
// the gaps between two status replies of the serial link (the simulator paced at B baud, 2400 by
// default) calm and loaded, their ratio (goal: the longest loaded gap under 1.2x the longest
// calm one) and how far the ticks of a countdown running meanwhile stray from one a second.
#include "compositionroot.h"
#include "database.h"
#include "devcomm.h"
#include "login1service.h"
#include "paths.h"
#include "privatebus.h"
#include "serviceemail.h"
#include "serviceshutdown.h"
#include "settings.h"
#include "startup.h"
#include "tablemodeldevdata.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

QElapsedTimer g_clock;

double nowMs()
{
    return double(g_clock.nsecsElapsed()) / 1.0e6;
}

// Runs the event loop until `done` holds or `timeoutMs` passed; true when it held.
bool runUntil(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(20);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

double median(QVector<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

double largest(const QVector<double> &values)
{
    return values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Yesterday at one sample a second, the days before at one every ten; without the retention
// trigger, whose row count would make a bulk insert quadratic (Database::init puts it back).
int fillSamples(int days)
{
    QSqlDatabase db = QSqlDatabase::database();
    QSqlQuery query;
    query.exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    db.transaction();
    query.prepare(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) values(?, ?, ?, ?, ?, ?, ?)"));
    const QDate yesterday = QDate::currentDate().addDays(-1);
    int rows = 0;
    for (int day = days - 1; day >= 0; --day) {
        const QDateTime start(yesterday.addDays(-day), QTime(0, 0));
        const int step = day == 0 ? 1 : 10;
        for (int second = 0; second < 86400; second += step) {
            query.addBindValue(
                start.addSecs(second).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
            query.addBindValue(229.0 + (second % 7) / 10.0);
            query.addBindValue(230.0);
            query.addBindValue(second % 101);
            query.addBindValue(50.0);
            query.addBindValue(13.5);
            query.addBindValue(25.0);
            query.exec();
            ++rows;
        }
    }
    db.commit();
    return rows;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("quelta.*.debug=false\nquelta.*.info=false"));
    int days = 30;
    int calmSeconds = 30;
    int baud = 2400;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--days"))
            days = qMax(1, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--calm"))
            calmSeconds = qMax(5, args.at(i + 1).toInt());
        else if (args.at(i) == QLatin1String("--baud"))
            baud = args.at(i + 1).toInt();
    }
    g_clock.start();

    QTemporaryDir root;
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();

    // A login manager that takes the power-off call and never answers it.
    PrivateBus bus;
    Login1Service silent(bus.address(), Login1Service::Hang);
    if (!bus.isRunning() || !silent.isReady()) {
        std::printf("guard-thread: no private bus or login manager stand-in\n");
        return 1;
    }
    qputenv("QUELTA_LOGIN1_BUS", bus.address().toUtf8());

    // The simulator paced like a real line.
    const QString link = root.path() + QStringLiteral("/ups");
    QProcess simulator;
    simulator.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/upssim"));
    simulator.setArguments(
        {QStringLiteral("--link"), link, QStringLiteral("--baud"), QString::number(baud)});
    simulator.setStandardOutputFile(QProcess::nullDevice());
    simulator.start();
    if (!simulator.waitForStarted(5000) ||
        !runUntil([&] { return QFileInfo::exists(link); }, 5000)) {
        std::printf("guard-thread: the simulator did not start\n");
        return 1;
    }

    CompositionRoot program;
    program.openStores();
    double mark = nowMs();
    const int rows = fillSamples(days);
    program.database()->init();
    std::printf("guard-thread: %d samples over %d days stored in %.1f s\n", rows, days,
                (nowMs() - mark) / 1000);

    Settings *settings = program.settings();
    settings->setSettings(Settings::UpsCommType, int(DevComm::COM));
    settings->setSettings(Settings::UpsComPort, link);
    settings->setSettings(Settings::UpsBaudRate, baud);
    // The report's mail to a port where nothing listens: the report is made, then its connection
    // fails. Alarm mails stay off, so the failure told is the report's.
    settings->setSettings(Settings::EMailServerAddress, QStringLiteral("127.0.0.1"));
    settings->setSettings(Settings::EMailServerPort, 9);
    settings->setSettings(Settings::EMailSenderAddress, QStringLiteral("ups@example.org"));
    QSqlQuery(QStringLiteral("insert into email_user(user) values('ops@example.org')"));
    // The power-off after a command file is asked again at every tick until the system goes.
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::ShutdownOsOff, true);
    settings->setSettings(Settings::ShutdownExec, true);
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/bin/true"));
    program.start();

    QVector<double> replies;
    QObject::connect(program.devComm(), &DevComm::devDataChanged, [&] { replies << nowMs(); });
    if (!runUntil([&] { return program.devComm()->state().online(); }, 15000)) {
        std::printf("guard-thread: the UPS did not answer\n");
        return 1;
    }
    // The identity and ratings are read first; then the cycle settles.
    runUntil([] { return false; }, 3000);
    const auto gaps = [&](double from, double to) {
        QVector<double> out;
        for (int i = 1; i < replies.size(); ++i) {
            if (replies.at(i - 1) >= from && replies.at(i) <= to)
                out << replies.at(i) - replies.at(i - 1);
        }
        return out;
    };

    const double calmFrom = nowMs();
    runUntil([] { return false; }, calmSeconds * 1000);
    const QVector<double> calm = gaps(calmFrom, nowMs());

    // The power-off is asked, and hangs.
    ServiceShutdown *shutdown = program.serviceShutdown();
    shutdown->startShutdown(0);
    if (!runUntil([&] { return !silent.calls().isEmpty(); }, 20000)) {
        std::printf("guard-thread: the power-off was never asked\n");
        return 1;
    }

    // Everything at once: the export, the daily report and a new countdown, the power-off
    // still unanswered and asked again at every tick.
    const double loadFrom = nowMs();
    QVector<double> ticks;
    QObject::connect(shutdown, &ServiceShutdown::shutdownTimeChanged, [&](int seconds) {
        ticks << nowMs();
        Q_UNUSED(seconds)
    });
    shutdown->startShutdown(1);
    TableModelDevData history;
    bool exported = false;
    double exportMs = 0;
    QObject::connect(&history, &TableModelDevData::exportFinished, [&](bool saved) {
        exported = true;
        exportMs = nowMs() - loadFrom;
        if (!saved)
            std::printf("guard-thread: the export failed\n");
    });
    const QDate yesterday = QDate::currentDate().addDays(-1);
    history.selectDate(yesterday.addDays(1 - days).toString(QStringLiteral("yyyy-MM-dd")),
                       yesterday.toString(QStringLiteral("yyyy-MM-dd")));
    history.saveAs(QUrl::fromLocalFile(root.path() + QStringLiteral("/export.xlsx")));
    bool reported = false;
    double reportMs = 0;
    QObject::connect(program.serviceEMail(), &ServiceEMail::emailFailed, [&] {
        reported = true;
        reportMs = nowMs() - loadFrom;
    });
    program.serviceEMail()->sendDailyReport();
    // At least as long as the calm phase, and until both are done and the hanging call has
    // timed out and been asked again once.
    runUntil(
        [&] {
            return exported && reported && nowMs() - loadFrom >= calmSeconds * 1000 &&
                silent.calls().size() >= 2;
        },
        600000);
    const double loadTo = nowMs();
    const QVector<double> loaded = gaps(loadFrom, loadTo);

    QVector<double> tickGaps;
    double lateness = 0;
    for (int i = 1; i < ticks.size(); ++i) {
        tickGaps << ticks.at(i) - ticks.at(i - 1);
        lateness = std::max(lateness, std::abs(ticks.at(i) - ticks.first() - 1000.0 * i));
    }
    std::printf("calm, %d s: %d status replies, gap median %.0f ms, longest %.0f ms\n", calmSeconds,
                int(calm.size()), median(calm), largest(calm));
    std::printf("loaded, %.0f s: %d status replies, gap median %.0f ms, longest %.0f ms\n",
                (loadTo - loadFrom) / 1000, int(loaded.size()), median(loaded), largest(loaded));
    std::printf("  longest loaded gap / longest calm gap: %.2f (goal < 1.2: %s)\n",
                largest(loaded) / largest(calm),
                largest(loaded) < 1.2 * largest(calm) ? "met" : "missed");
    std::printf("  export of %d days: %.1f s; daily report made and its mail failed: %.1f s; "
                "power-off calls asked: %d, none answered\n",
                days, exportMs / 1000, reportMs / 1000, int(silent.calls().size()));
    std::printf("countdown meanwhile: %d ticks, between two %.0f to %.0f ms, the furthest from "
                "its second %.0f ms\n",
                int(ticks.size()),
                tickGaps.isEmpty() ? 0.0 : *std::min_element(tickGaps.begin(), tickGaps.end()),
                largest(tickGaps), lateness);

    settings->setSettings(Settings::ShutdownEnable, false);
    simulator.write("quit\n");
    simulator.waitForFinished(3000);
    return 0;
}
