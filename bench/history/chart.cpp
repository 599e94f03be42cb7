// The history chart over a month of one-second samples: how long the reduced selection of a day,
// a week and the month takes on its thread, and how long the chart then takes to draw (filling
// its five series and rendering one frame of the real chart component).
#include "chart.h"

#include "historychart.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

// April 2025 at one sample a second: 2,592,000 rows, with a slow daily swing and spikes.
void fillMonth()
{
    QSqlQuery count;
    count.exec(QStringLiteral("select count(*) from device_data where dateTime >= '2025-04-01' "
                              "and dateTime < '2025-05-01'"));
    if (count.next() && count.value(0).toLongLong() >= 2592000)
        return;
    QElapsedTimer timer;
    timer.start();
    QSqlQuery query;
    query.exec(QStringLiteral("drop trigger if exists device_data_trigger"));
    QSqlDatabase::database().transaction();
    query.exec(QStringLiteral(
        "insert into device_data(dateTime, inputVol, outputVol, load, inputFreq, battVol, "
        "temperature) with recursive c(i) as (select 0 union all select i + 1 from c where i < "
        "2591999) select datetime('2025-04-01 00:00:00', '+' || i || ' seconds'), "
        "case when i % 86399 = 0 then 290 else 225 + (i % 86400) / 8640.0 end, 230 + (i % 7) / "
        "10.0, 30 + (i % 3600) / 180, 50, 27 - (i % 600) / 1000.0, 25 + (i % 86400) / 17280.0 "
        "from c"));
    QSqlDatabase::database().commit();
    std::printf("database filled with a month of one-second samples in %.1f s\n",
                timer.elapsed() / 1000.0);
}

} // namespace

void benchChart(const QString &qmlFolder, const QString &imageFolder)
{
    fillMonth();

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
    };
    const Range ranges[] = {{"a day", "2025-04-10", "2025-04-10"},
                            {"a week", "2025-04-07", "2025-04-13"},
                            {"a month", "2025-04-01", "2025-04-30"}};
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
                    "its thread %.0f ms, drawn in %.0f ms after it (goal < 300 ms)\n",
                    range.name, history.samples(), history.pointCount(0),
                    int(history.marks().size()), medianOf(queryTimes), medianOf(drawTimes));
    }
}
