#include "samplesummary.h"

#include <QStringList>

namespace SampleSummary {

const char *const columns[columnCount] = {"inputVol", "outputVol", "load", "battVol",
                                          "temperature"};

namespace {

const char *const starts[TableCount] = {"%Y-%m-%d %H:%M:00", "%Y-%m-%d %H:00:00"};

// A row of the table merged into the one it meets: the new lowest, highest, sum and count.
QString merge()
{
    QStringList set {QStringLiteral("count = count + excluded.count")};
    for (const char *c : columns) {
        const QString n = QString::fromLatin1(c);
        set << QStringLiteral("%1Min = min(coalesce(%1Min, excluded.%1Min), "
                              "coalesce(excluded.%1Min, %1Min))")
                   .arg(n)
            << QStringLiteral("%1Max = max(coalesce(%1Max, excluded.%1Max), "
                              "coalesce(excluded.%1Max, %1Max))")
                   .arg(n)
            << QStringLiteral("%1Sum = coalesce(%1Sum + excluded.%1Sum, %1Sum, excluded.%1Sum)")
                   .arg(n)
            << QStringLiteral("%1N = %1N + excluded.%1N").arg(n);
    }
    return QStringLiteral(" on conflict(ups, start) do update set ") + set.join(QStringLiteral(", "));
}

QString start(Table table, const char *dateTime)
{
    return QStringLiteral("strftime('%1', %2)").arg(QLatin1String(starts[table]), QLatin1String(dateTime));
}

} // namespace

const char *tableName(Table table)
{
    return table == Minute ? "device_data_minute" : "device_data_hour";
}

int seconds(Table table)
{
    return table == Minute ? 60 : 3600;
}

QString trigger()
{
    QString body;
    for (int t = 0; t < TableCount; ++t) {
        const Table table = Table(t);
        QStringList values {QStringLiteral("new.ups"), start(table, "new.dateTime"),
                            QStringLiteral("1")};
        for (const char *c : columns) {
            const QString v = QStringLiteral("new.") + QLatin1String(c);
            values << v << v << v << v + QStringLiteral(" is not null");
        }
        // A sample whose time does not read is stored, only not summarised.
        body += QStringLiteral("insert into %1 select %2 where %3 is not null%4; ")
                    .arg(QLatin1String(tableName(table)), values.join(QStringLiteral(", ")),
                         start(table, "new.dateTime"), merge());
    }
    return body;
}

QString fill(Table table)
{
    QStringList values {QStringLiteral("ups"), start(table, "dateTime"), QStringLiteral("count(*)")};
    for (const char *c : columns) {
        const QString n = QString::fromLatin1(c);
        values << QStringLiteral("min(%1)").arg(n) << QStringLiteral("max(%1)").arg(n)
               << QStringLiteral("sum(%1)").arg(n) << QStringLiteral("count(%1)").arg(n);
    }
    return QStringLiteral("insert into %1 select %2 from device_data where id >= :first and id < "
                          ":end and %3 is not null group by 1, 2%4")
        .arg(QLatin1String(tableName(table)), values.join(QStringLiteral(", ")),
             start(table, "dateTime"), merge());
}

} // namespace SampleSummary
