#pragma once

#include <QObject>
#include <QPointF>
#include <QVariantList>

#include <memory>

namespace QtCharts {
class QAbstractSeries;
}
class HistoryChartPrivate;

// The history page's chart: select() reads a date range on the history reader's thread (the poll
// and the window go on meanwhile), reduced to at most a few thousand points per series; loaded()
// then says the series can be filled in one go with fill(). A selection made while one runs
// follows when it is done, and only the newest one waiting counts.
class HistoryChart : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(double fromMsecs READ fromMsecs NOTIFY loaded)
    Q_PROPERTY(double toMsecs READ toMsecs NOTIFY loaded)
    Q_PROPERTY(double samples READ samples NOTIFY loaded)
    // Each {"time": msecs, "text": alarm text, "count": alarms in the mark}.
    Q_PROPERTY(QVariantList marks READ marks NOTIFY loaded)
    // The `ups` value of the rows drawn by the next select(): a watched UPS's shown name, empty
    // for this computer's UPS.
    Q_PROPERTY(QString ups READ ups WRITE setUps)

public:
    // The numbers of HistorySeries::Column.
    enum Series { InputVoltage, OutputVoltage, Load, BatteryVoltage, Temperature };
    Q_ENUM(Series)

    explicit HistoryChart(QObject *parent = nullptr);
    ~HistoryChart() override;

    bool busy() const;
    double fromMsecs() const;
    double toMsecs() const;
    double samples() const;
    QVariantList marks() const;
    QString ups() const;
    void setUps(const QString &ups);

    // Days as "yyyy-MM-dd", both whole days included.
    Q_INVOKABLE void select(const QString &dateStart, const QString &dateEnd);
    // Replaces the points of a line series by those of one measurement.
    Q_INVOKABLE void fill(QtCharts::QAbstractSeries *series, int which) const;
    Q_INVOKABLE int pointCount(int which) const;
    // The value range the chosen measurements (a list of Series numbers) span, widened to
    // round numbers with a little room above and below; (0, 1) when none has a value.
    Q_INVOKABLE QPointF valueRange(const QVariantList &which) const;

    // Waits for the selection under way (tests, benchmarks); false when it took too long.
    bool waitForLoaded(int milliseconds);

signals:
    void busyChanged();
    void loaded();

private:
    std::unique_ptr<HistoryChartPrivate> d;
};
