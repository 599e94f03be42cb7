#pragma once

#include "dischargemodel.h"

#include <QString>

// The discharges already stored for one UPS: from each mains failure or self-test to the battery
// low that followed, its load samples, so that a model learns at once from an existing database.
// Read on a read-only connection of the calling thread (never the one that polls the UPS).
class DischargeHistory
{
public:
    struct Result
    {
        QVector<DischargeModel::Discharge> discharges; // oldest first, those that reached low
        int cutShort = 0; // ended by the mains before battery low
        QString error; // empty when the statements ran
    };
    // The newest `limit` discharges at most, from alarms of the last `alarmLimit` rows.
    static Result read(const QString &databaseFile, const QString &ups, int limit = 16,
                       int alarmLimit = 5000);
};
