#pragma once

#include "dischargemodel.h"

#include <QString>

// The battery's measured health over time for one UPS: one figure per stored discharge to
// battery low, derived from the same discharges and by the same model the runtime learner reads
// at start, so its last figure is the one every face shows. Read on a read-only connection of
// the calling thread.
class BatteryHealthHistory
{
public:
    struct Result
    {
        QVector<DischargeModel::Measured> points; // oldest first
        bool worn = false; // DischargeModel::worn()
        bool wearing = false; // DischargeModel::wearing()
        // When the trend reaches DischargeModel::WornHealth (ms since the epoch); -1 while it
        // does not fall, too little is known, or the battery is worn already.
        qint64 wornMs = -1;
        int cutShort = 0; // discharges ended by the mains before battery low
        QString error; // empty when the statements ran
    };
    static Result read(const QString &databaseFile, const QString &ups);
};
