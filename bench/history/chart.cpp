// The history chart over a year of one-second samples of this computer's UPS beside 50 watched
// UPSes at one sample a minute: how long summarising them takes (what an older database of that
// size costs once, in the background), how long the reduced selection of a day, a week, a month
// and the year takes on its thread, and how long the chart then takes to draw (filling its five
// series and rendering one frame of the real chart component); a watched UPS's month likewise;
// then the export of the month.
#include "chart.h"

#include "historychart.h"
#include "historyseries.h"
#include "database.h"
#include "schemamigration.h"
#include "summaryfill.h"
#include "tablemodeldevdata.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickView>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianOf(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

constexpr qint64 yearSamples = 365LL * 86400;
constexpr int watchedUpses = 50;

// 2025 at one sample a second, with a slow daily swing and spikes, and 50 watched UPSes at one
// a minute: 57.8 million rows. Stored as an older version stored them (no summaries), then
// summarised the way such a database is when it is opened: a chunk at a time.
void fillYear()
{
    QSqlQuery count;
    count.exec(QStringLiteral("select count(*) from device_data where ups = '' and dateTime >= "
                              "'2025-01-01' and dateTime < '2026-01-01'"));
    if (count.next() && count.value(0).toLongLong() >= yearSamples)
        return;
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query;
    query.exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    query.exec(QStringLiteral("drop trigger if exists device_data_summary"));
    QSqlDatabase::database().transaction();
    query.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) with recursive c(i) as (select 0 union all select i + 1 from c where i < "
        "%1) select datetime('2025-01-01 00:00:00', '+' || i || ' seconds'), "
        "case when i % 86399 = 0 then 290 else 225 + (i % 86400) / 8640.0 end, 230 + (i % 7) / "
        "10.0, 30 + (i % 3600) / 180, 50, 27 - (i % 600) / 1000.0, 25 + (i % 86400) / 17280.0 "
        "from c").arg(yearSamples - 1));
    query.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature, ups) with recursive c(i) as (select 0 union all select i + 1 from c where "
        "i < %1) select datetime('2025-01-01 00:00:00', '+' || ((i / %2) * 60) || ' seconds'), "
        "220 + (i % 200) / 10.0, 230, i % 101, 50, 27, 25, 'w' || (i % %2) from c")
                   .arg(yearSamples / 60 * watchedUpses - 1)
                   .arg(watchedUpses));
    QSqlDatabase::database().commit();
    std::printf("database filled with %.1f million samples in %.0f s\n",
                double(yearSamples + yearSamples / 60 * watchedUpses) / 1e6,
                timer.elapsed() / 1000.0);

    timer.restart();
    query.exec(QStringLiteral("delete from summary_fill"));
    query.exec(QStringLiteral("delete from device_data_minute"));
    query.exec(QStringLiteral("delete from device_data_hour"));
    query.exec(QStringLiteral("insert into summary_fill select min(id), max(id) from device_data"));
    for (const QString &sql : SchemaMigration::summaryStatements())
        query.exec(sql);
    QSqlDatabase db = QSqlDatabase::database();
    QString error;
    while (SummaryFill::step(db, SummaryFill::chunkRows, &error)) {
    }
    if (!error.isEmpty())
        std::fprintf(stderr, "summarising failed: %s\n", qPrintable(error));
    std::printf("summarised in %.0f s (an older database of this size, once, in the background)\n",
                timer.elapsed() / 1000.0);
}

} // namespace

void benchChart(const QString &qmlFolder, const QString &imageFolder)
{
    fillYear();

    HistoryChart history;
    QQuickView view;
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(980, 420);
    view.setSource(QUrl::fromLocalFile(qmlFolder + QStringLiteral("/HistoryChartView.qml")));
    QQuickItem *chart = view.rootObject();
    if (!chart) {
        std::fprintf(stderr, "the chart component did not load\n");
        return;
    }
    chart->setProperty("history", QVariant::fromValue<QObject *>(&history));
    view.show();
    QElapsedTimer exposing;
    exposing.start();
    while (!view.isExposed() && exposing.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    view.grabWindow();

    struct Range
    {
        const char *name;
        const char *first;
        const char *last;
        int goalMs; // for the query
    };
    const Range ranges[] = {{"a day", "2025-04-10", "2025-04-10", 50},
                            {"a week", "2025-04-07", "2025-04-13", 100},
                            {"a month", "2025-04-01", "2025-04-30", 100},
                            {"the year", "2025-01-01", "2025-12-31", 300}};
    for (const Range &range : ranges) {
        std::vector<double> queryTimes;
        std::vector<double> drawTimes;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer timer;
            timer.start();
            history.select(QString::fromLatin1(range.first), QString::fromLatin1(range.last));
            if (!history.waitForLoaded(120000)) {
                std::fprintf(stderr, "the selection of %s took longer than two minutes\n",
                             range.name);
                return;
            }
            queryTimes.push_back(timer.nsecsElapsed() / 1e6);
            // The page filled the series on loaded(); again here, timed, until a frame shows
            // them: the chart renders its scene once the event loop has passed the changes on.
            timer.restart();
            QMetaObject::invokeMethod(chart, "redraw");
            QImage frame;
            for (int pass = 0; pass < 2; ++pass) {
                QCoreApplication::processEvents();
                frame = view.grabWindow();
            }
            drawTimes.push_back(timer.nsecsElapsed() / 1e6);
            if (frame.isNull())
                std::fprintf(stderr, "no frame was drawn\n");
            if (i == 0 && !imageFolder.isEmpty())
                frame.save(imageFolder + QStringLiteral("/chart-%1.png").arg(range.first));
        }
        std::printf("chart, %s (%.0f samples, %d points per series, %d alarm marks): query on "
                    "its thread %.0f ms (goal <= %d ms), drawn in %.0f ms after it\n",
                    range.name, history.samples(), history.pointCount(0),
                    int(history.marks().size()), medianOf(queryTimes), range.goalMs,
                    medianOf(drawTimes));
    }

    // A watched UPS's month, as the API reads it: its own rows only, through the index by UPS.
    std::vector<double> watchedTimes;
    qint64 watchedSamples = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        const HistorySeries::Result r = HistorySeries::reduce(
            Database::fileName(), QDate(2025, 4, 1), QDate(2025, 4, 30),
            HistorySeries::defaultBuckets, nullptr, QStringLiteral("w17"));
        watchedTimes.push_back(timer.nsecsElapsed() / 1e6);
        watchedSamples = r.samples;
    }
    std::printf("a watched UPS's month (%lld samples) read in %.1f ms (goal <= 100 ms)\n",
                static_cast<long long>(watchedSamples), medianOf(watchedTimes));

    // What deciding between samples and minutes costs: the month's samples counted through
    // the hourly summaries, as the export does, and through the index by UPS for reference.
    QSqlQuery count;
    std::vector<double> summaryCounts;
    std::vector<double> indexCounts;
    qint64 counted = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        count.exec(QStringLiteral("select coalesce(sum(count), 0) from device_data_hour where ups "
                                  "= '' and start >= '2025-04-01 00:00:00' and start <= "
                                  "'2025-04-30 23:59:59'"));
        if (count.next())
            counted = count.value(0).toLongLong();
        summaryCounts.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        count.exec(QStringLiteral("select count(*) from device_data where ups = '' and dateTime "
                                  ">= '2025-04-01 00:00:00' and dateTime <= '2025-04-30 "
                                  "23:59:59'"));
        count.next();
        indexCounts.push_back(timer.nsecsElapsed() / 1e6);
    }
    count.finish();
    std::printf("counting the month's %lld samples: through the hourly summaries %.2f ms, "
                "through the index by UPS %.0f ms\n",
                static_cast<long long>(counted), medianOf(summaryCounts), medianOf(indexCounts));

    // This computer's month of one-second samples exported, as the history page does: on the
    // history reader's thread, one row per minute since it holds more than a sheet takes. The
    // export's log line says what it wrote.
    static QString exportedLine;
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context,
                                         const QString &message) {
        if (message.startsWith(QLatin1String("Exported")))
            exportedLine = message;
        previous(type, context, message);
    });
    const QString exportFile = QDir::temp().filePath(QStringLiteral("bench-month.xlsx"));
    std::vector<double> exportTimes;
    bool saved = true;
    for (int i = 0; i < 3; ++i) {
        TableModelDevData month;
        QElapsedTimer timer;
        timer.start();
        month.selectDate(QStringLiteral("2025-04-01"), QStringLiteral("2025-04-30"));
        QEventLoop done;
        QObject::connect(&month, &TableModelDevData::exportFinished, &done, [&](bool ok) {
            saved = saved && ok;
            done.quit();
        });
        if (month.saveAs(QUrl::fromLocalFile(exportFile)))
            done.exec();
        exportTimes.push_back(timer.nsecsElapsed() / 1e9);
    }
    qInstallMessageHandler(previous);
    std::printf("export of a month of this computer's samples: %s in %.2f s (goal <= 3 s), %lld "
                "bytes; %s\n",
                saved ? "written" : "FAILED", medianOf(exportTimes),
                static_cast<long long>(QFileInfo(exportFile).size()),
                qPrintable(exportedLine.section(QLatin1String(" to "), 0, 0)));
    QFile::remove(exportFile);
}
