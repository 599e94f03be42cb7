#pragma once

#include <QObject>
#include <QVariantList>

#include <memory>

class HealthTrendPrivate;

// The history page's battery health: select() reads the chosen UPS's stored discharges on the
// history reader's thread and measures the health each showed; loaded() follows.
class HealthTrend : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    // Oldest first, each {"time": msecs of battery low, "health": share, "load": percent,
    // "seconds": from the start to battery low}.
    Q_PROPERTY(QVariantList points READ points NOTIFY loaded)
    Q_PROPERTY(double wornBelow READ wornBelow CONSTANT)
    Q_PROPERTY(bool worn READ worn NOTIFY loaded)
    Q_PROPERTY(bool wearing READ wearing NOTIFY loaded)
    // When the trend reaches wornBelow, msecs since the epoch; 0 when it does not say.
    Q_PROPERTY(double wornMsecs READ wornMsecs NOTIFY loaded)
    Q_PROPERTY(QString error READ error NOTIFY loaded)
    // The `ups` value of the rows read by the next select(): empty for this computer's UPS.
    Q_PROPERTY(QString ups READ ups WRITE setUps)

public:
    explicit HealthTrend(QObject *parent = nullptr);
    ~HealthTrend() override;

    bool busy() const;
    QVariantList points() const;
    double wornBelow() const;
    bool worn() const;
    bool wearing() const;
    double wornMsecs() const;
    QString error() const;
    QString ups() const;
    void setUps(const QString &ups);

    Q_INVOKABLE void select();

signals:
    void busyChanged();
    void loaded();

private:
    std::unique_ptr<HealthTrendPrivate> d;
};
