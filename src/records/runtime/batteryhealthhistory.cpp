#include "batteryhealthhistory.h"

#include "dischargehistory.h"

BatteryHealthHistory::Result BatteryHealthHistory::read(const QString &databaseFile,
                                                        const QString &ups)
{
    Result out;
    const DischargeHistory::Result stored = DischargeHistory::read(databaseFile, ups);
    out.cutShort = stored.cutShort;
    out.error = stored.error;
    if (!out.error.isEmpty())
        return out;
    DischargeModel model;
    out.points = DischargeModel::measure(stored.discharges, &model);
    out.worn = model.worn();
    out.wearing = model.wearing();
    const double days = model.daysUntilHealth(DischargeModel::WornHealth);
    if (!out.points.isEmpty() && !out.worn && model.health() >= DischargeModel::WornHealth &&
        days >= 0)
        out.wornMs = out.points.last().lowMs + qint64(days * 86400000.0);
    return out;
}
