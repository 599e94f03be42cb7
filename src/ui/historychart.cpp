#include "historychart.h"

#include "alarm.h"
#include "database.h"
#include "historyreader.h"
#include "historyseries.h"
#include "logcategories.h"

#include <QDate>
#include <QEventLoop>
#include <QTimer>
#include <QtCharts/QXYSeries>

#include <algorithm>
#include <cmath>
#include <memory>

class HistoryChartPrivate
{
public:
    HistoryChart *q = nullptr;
    HistorySeries::Result result;
    // Set when the chart goes: a selection under way ends at its next slice.
    std::shared_ptr<std::atomic_bool> stop = std::make_shared<std::atomic_bool>(false);
    HistoryReader reader;
    bool running = false;
    QString ups;
    // The newest selection asked for while another ran.
    bool pending = false;
    QDate pendingFirst, pendingLast;
    QString pendingUps;

    void start(const QDate &first, const QDate &last, const QString &rowsOf);
};

void HistoryChartPrivate::start(const QDate &first, const QDate &last, const QString &rowsOf)
{
    running = true;
    // The reader opens a connection of its own to the file the program's connection uses.
    const QString file = Database::openedFile();
    auto reduced = std::make_shared<HistorySeries::Result>();
    reader.run(
        [file, first, last, rowsOf, reduced, stop = stop] {
            *reduced = HistorySeries::reduce(file, first, last, HistorySeries::defaultBuckets,
                                             stop.get(), rowsOf);
        },
        [this, reduced] {
            running = false;
            if (pending) {
                pending = false;
                start(pendingFirst, pendingLast, pendingUps);
                return;
            }
            reduced->marks.squeeze();
            result = std::move(*reduced);
            emit q->busyChanged();
            emit q->loaded();
        });
}

HistoryChart::HistoryChart(QObject *parent) : QObject(parent), d(new HistoryChartPrivate)
{
    d->q = this;
}

HistoryChart::~HistoryChart()
{
    *d->stop = true;
}

bool HistoryChart::busy() const
{
    return d->running;
}

double HistoryChart::fromMsecs() const
{
    return double(d->result.fromMsecs);
}

double HistoryChart::toMsecs() const
{
    return double(d->result.toMsecs);
}

double HistoryChart::samples() const
{
    return double(d->result.samples);
}

QVariantList HistoryChart::marks() const
{
    QVariantList list;
    for (const HistorySeries::Mark &mark : d->result.marks) {
        list.append(QVariantMap {{QStringLiteral("time"), double(mark.msecs)},
                                 {QStringLiteral("text"), Alarm::alarmText(mark.code)},
                                 {QStringLiteral("count"), mark.count}});
    }
    return list;
}

QString HistoryChart::ups() const
{
    return d->ups;
}

void HistoryChart::setUps(const QString &ups)
{
    d->ups = ups;
}

void HistoryChart::select(const QString &dateStart, const QString &dateEnd)
{
    const QDate first = QDate::fromString(dateStart, QStringLiteral("yyyy-MM-dd"));
    const QDate last = QDate::fromString(dateEnd, QStringLiteral("yyyy-MM-dd"));
    if (d->running) {
        d->pending = true;
        d->pendingFirst = first;
        d->pendingLast = last;
        d->pendingUps = d->ups;
        return;
    }
    d->start(first, last, d->ups);
    emit busyChanged();
}

void HistoryChart::fill(QtCharts::QAbstractSeries *series, int which) const
{
    auto *line = qobject_cast<QtCharts::QXYSeries *>(series);
    if (!line || which < 0 || which >= HistorySeries::ColumnCount)
        return;
    line->replace(d->result.points[which]);
}

int HistoryChart::pointCount(int which) const
{
    if (which < 0 || which >= HistorySeries::ColumnCount)
        return 0;
    return d->result.points[which].size();
}

QPointF HistoryChart::valueRange(const QVariantList &which) const
{
    double low = NAN;
    double high = NAN;
    for (const QVariant &entry : which) {
        const int column = entry.toInt();
        if (column < 0 || column >= HistorySeries::ColumnCount ||
            std::isnan(d->result.minimum[column]))
            continue;
        low =
            std::isnan(low) ? d->result.minimum[column] : std::min(low, d->result.minimum[column]);
        high = std::isnan(high) ? d->result.maximum[column]
                                : std::max(high, d->result.maximum[column]);
    }
    if (std::isnan(low))
        return QPointF(0, 1);
    double span = high - low;
    if (span <= 0)
        span = std::max(1.0, std::abs(high) * 0.1);
    const double step = std::pow(10.0, std::floor(std::log10(span))) / 10;
    double bottom = std::floor((low - span * 0.05) / step) * step;
    const double top = std::ceil((high + span * 0.05) / step) * step;
    // Values that are never negative get no negative room.
    if (low >= 0)
        bottom = std::max(0.0, bottom);
    return QPointF(bottom, top);
}

bool HistoryChart::waitForLoaded(int milliseconds)
{
    if (!d->running)
        return true;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    connect(this, &HistoryChart::loaded, &loop, &QEventLoop::quit);
    loop.exec();
    return !d->running;
}
