#include "statusreport.h"

#include "nutserverstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const char *const healthNames[] = {"on-mains", "on-battery", "critical", "no-ups"};

} // namespace

namespace StatusReport {

QString healthName(UpsState::Health health)
{
    return QString::fromLatin1(healthNames[int(health)]);
}

UpsState::Health healthOf(const QString &name)
{
    for (int i = 0; i < 4; ++i) {
        if (name == QLatin1String(healthNames[i]))
            return UpsState::Health(i);
    }
    return UpsState::Health::NoUps;
}

QByteArray document(const QVector<Ups> &upses, const QString &settingsNotice)
{
    QJsonArray list;
    for (const Ups &ups : upses) {
        QJsonObject variables;
        if (!ups.snapshot.stale) {
            for (const NutVariable &v : NutServerState::served(ups.snapshot, false))
                variables.insert(QString::fromLatin1(v.name), QString::fromUtf8(v.value));
        }
        QJsonObject entry {
            {QStringLiteral("name"), ups.name},
            {QStringLiteral("health"), healthName(ups.state.health())},
            {QStringLiteral("variables"), variables},
            {QStringLiteral("alarms"), QJsonArray::fromStringList(ups.snapshot.alarms)}};
        if (!ups.problem.isEmpty())
            entry.insert(QStringLiteral("problem"), ups.problem);
        // The runtime learned from the UPS's discharges, with its band, or why there is none.
        if (ups.learned.predicted) {
            entry.insert(QStringLiteral("runtimePredicted"),
                         QJsonObject {{QStringLiteral("seconds"), *ups.learned.predicted},
                                      {QStringLiteral("low"), ups.learned.low.value_or(0)},
                                      {QStringLiteral("high"), ups.learned.high.value_or(0)}});
        } else if (!ups.learned.why.isEmpty()) {
            entry.insert(QStringLiteral("runtimePredictedWhy"), ups.learned.why);
        }
        if (ups.learned.health)
            entry.insert(QStringLiteral("batteryHealth"), *ups.learned.health);
        list.append(entry);
    }
    QJsonObject document {{QStringLiteral("ups"), list}};
    if (!settingsNotice.isEmpty())
        document.insert(QStringLiteral("settings"), settingsNotice);
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

} // namespace StatusReport
