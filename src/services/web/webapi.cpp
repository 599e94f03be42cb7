#include "webapi.h"

#include "nutupspublisher.h"
#include "upsentry.h"
#include "webtexts.h"

#include <QJsonArray>
#include <QLocale>

#include <cmath>
#include <optional>

namespace {

template<typename T> void put(QJsonObject &object, const char *key, const std::optional<T> &value)
{
    if (value && std::isfinite(double(*value)))
        object.insert(QLatin1String(key), WebApi::decimal(double(*value)));
}

void putText(QJsonObject &object, const char *key, const QString &value)
{
    const QString text = value.simplified();
    if (!text.isEmpty())
        object.insert(QLatin1String(key), text);
}

const char *const linkNames[] = {"unknown", "online", "offline"};

// The columns of the history series under the names of the readings.
const char *const seriesNames[HistorySeries::ColumnCount] = {
    "inputVoltage", "outputVoltage", "load", "batteryVoltage", "temperature"};

} // namespace

QStringList WebApi::statusFlags(const UpsEntry &entry)
{
    if (!entry.state.online())
        return {};
    NutStatusFlags::Flags flags = NutUpsPublisher::statusFlags(entry.state);
    if (!entry.faults.isEmpty())
        flags |= NutStatusFlags::Alarm;
    if (entry.state.forcedShutdown)
        flags |= NutStatusFlags::ForcedShutdown;
    return QString::fromLatin1(NutStatusFlags::join(flags)).split(QLatin1Char(' '));
}

QJsonObject WebApi::computer(const UpsDirectory::Computer &c)
{
    return QJsonObject {{QStringLiteral("countdown"), c.countdown},
                        {QStringLiteral("cancellable"), c.cancellable},
                        {QStringLiteral("suppliesAble"), c.suppliesAble},
                        {QStringLiteral("suppliesNeeded"), c.suppliesNeeded},
                        {QStringLiteral("suppliesLost"), QJsonArray::fromStringList(c.suppliesLost)}};
}

QJsonObject WebApi::ups(const UpsEntry &e, const WebTexts &texts, int language)
{
    const UpsState &s = e.state;
    QJsonObject out;
    out.insert(QStringLiteral("name"), e.name);
    out.insert(QStringLiteral("link"), QLatin1String(linkNames[int(s.link)]));
    out.insert(QStringLiteral("linkBusy"), e.linkBusy);
    out.insert(QStringLiteral("condition"), QLatin1String(UpsCondition::key(e.condition())));
    out.insert(QStringLiteral("conditionText"), texts.condition(language, e));
    out.insert(QStringLiteral("status"), QJsonArray::fromStringList(statusFlags(e)));

    // What the UPS reads now; nothing while it does not answer, as the window shows it.
    QJsonObject readings;
    if (s.online()) {
        put(readings, "inputVoltage", s.inputVoltage);
        put(readings, "inputFaultVoltage", s.inputFaultVoltage);
        put(readings, "outputVoltage", s.outputVoltage);
        put(readings, "inputFrequency", s.inputFrequency);
        put(readings, "batteryVoltage", s.batteryVoltage);
        put(readings, "batteryCharge", s.batteryCharge);
        put(readings, "load", s.load);
        put(readings, "temperature", s.temperature);
        // The one runtime (the UPS's own, else the learned one) and the learned one with its
        // band, or why there is none.
        if (const std::optional<int> runtime = e.runtimeSeconds())
            readings.insert(QStringLiteral("runtimeSeconds"), *runtime);
        put(readings, "runtimePredicted", e.learned.predicted);
        put(readings, "runtimePredictedLow", e.learned.low);
        put(readings, "runtimePredictedHigh", e.learned.high);
        if (!e.learned.predicted)
            putText(readings, "runtimePredictedWhy", e.learned.why);
        put(readings, "batteryHealth", e.learned.health);
        readings.insert(QStringLiteral("beeper"), s.beeper);
        readings.insert(QStringLiteral("selfTest"), s.selfTest);
    }
    out.insert(QStringLiteral("readings"), readings);
    QJsonObject rated;
    put(rated, "outputVoltage", s.ratedOutputVoltage);
    put(rated, "batteryVoltage", s.ratedBatteryVoltage);
    put(rated, "current", s.ratedCurrent);
    put(rated, "frequency", s.ratedFrequency);
    out.insert(QStringLiteral("rated"), rated);
    QJsonObject identity;
    putText(identity, "manufacturer", s.manufacturer);
    putText(identity, "model", s.model);
    putText(identity, "firmware", s.firmware);
    putText(identity, "serial", s.serialNumber);
    out.insert(QStringLiteral("identity"), identity);

    out.insert(
        QStringLiteral("countdown"),
        QJsonObject {{QStringLiteral("shutdownSeconds"), e.countdown},
                     {QStringLiteral("cancellable"), e.cancellable},
                     {QStringLiteral("outputOffSeconds"),
                      e.outputOffSeconds >= 0 ? QJsonValue(e.outputOffSeconds) : QJsonValue()}});
    QJsonArray alarms;
    for (const Alarm::Current &a : e.alarms) {
        const QDateTime time =
            QLocale::c().toDateTime(a.time, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        QJsonObject alarm {{QStringLiteral("time"), isoTime(time)},
                           {QStringLiteral("code"), a.code},
                           {QStringLiteral("text"), texts.alarm(language, a.code)},
                           {QStringLiteral("standing"), !a.timed}};
        putText(alarm, "detail", a.detail);
        alarms.append(alarm);
    }
    out.insert(QStringLiteral("alarms"), alarms);
    QJsonObject battery {{QStringLiteral("replacementDue"), e.batteryReplacementDue}};
    putText(battery, "installed", e.batteryInstalled);
    putText(battery, "due", e.batteryDue);
    out.insert(QStringLiteral("battery"), battery);
    out.insert(
        QStringLiteral("commands"),
        QJsonObject {
            {QStringLiteral("cancelShutdown"), e.countdown > 0 && e.cancellable},
            {QStringLiteral("selfTest"), s.online() && e.selfTestOffered && !s.selfTest},
            {QStringLiteral("selfTestCancel"), s.online() && e.selfTestOffered && s.selfTest},
            {QStringLiteral("beeper"), s.online() && e.beeperOffered}});
    out.insert(QStringLiteral("history"), !e.recordFile.isEmpty());
    return out;
}

QJsonObject WebApi::alarms(const RecordReader::Alarms &alarms, const WebTexts &texts, int language)
{
    QJsonArray rows;
    for (const RecordReader::AlarmRow &row : alarms.rows) {
        QJsonObject alarm {{QStringLiteral("time"), isoTime(row.time)},
                           {QStringLiteral("code"), row.code},
                           {QStringLiteral("text"), texts.alarm(language, row.code)}};
        putText(alarm, "detail", row.detail);
        rows.append(alarm);
    }
    return {{QStringLiteral("alarms"), rows}, {QStringLiteral("truncated"), alarms.truncated}};
}

QJsonObject WebApi::samples(const HistorySeries::Result &result, const WebTexts &texts,
                            int language)
{
    QJsonObject series;
    for (int column = 0; column < HistorySeries::ColumnCount; ++column) {
        QJsonArray points;
        for (const QPointF &p : result.points[size_t(column)])
            points.append(QJsonArray {qint64(p.x()), decimal(p.y())});
        series.insert(QLatin1String(seriesNames[column]), points);
    }
    QJsonArray marks;
    for (const HistorySeries::Mark &m : result.marks) {
        marks.append(QJsonObject {{QStringLiteral("time"), m.msecs},
                                  {QStringLiteral("code"), m.code},
                                  {QStringLiteral("count"), m.count},
                                  {QStringLiteral("text"), texts.alarm(language, m.code)}});
    }
    return {{QStringLiteral("from"), result.fromMsecs},
            {QStringLiteral("to"), result.toMsecs},
            {QStringLiteral("samples"), result.samples},
            {QStringLiteral("series"), series},
            {QStringLiteral("marks"), marks}};
}

QJsonObject WebApi::selfTests(const RecordReader::SelfTests &tests)
{
    QJsonArray rows;
    for (const RecordReader::SelfTestRow &row : tests.rows) {
        const char *result = row.upsFailed ? "upsFault" : row.batteryLow ? "batteryLow" : "passed";
        rows.append(QJsonObject {{QStringLiteral("start"), isoTime(row.start)},
                                 {QStringLiteral("seconds"), row.seconds},
                                 {QStringLiteral("samples"), row.samples},
                                 {QStringLiteral("batteryVoltageDrop"), row.batteryVoltageDrop},
                                 {QStringLiteral("result"), QLatin1String(result)}});
    }
    return {{QStringLiteral("selfTests"), rows}};
}

QJsonObject WebApi::health(const BatteryHealthHistory::Result &result)
{
    QJsonArray points;
    for (const DischargeModel::Measured &m : result.points) {
        points.append(
            QJsonObject {{QStringLiteral("time"), isoTime(QDateTime::fromMSecsSinceEpoch(m.lowMs))},
                         {QStringLiteral("msecs"), m.lowMs},
                         {QStringLiteral("health"), decimal(m.health)},
                         {QStringLiteral("load"), decimal(m.load)},
                         {QStringLiteral("seconds"), qRound64((m.lowMs - m.startMs) / 1000.0)}});
    }
    return {{QStringLiteral("discharges"), points},
            {QStringLiteral("wornBelow"), DischargeModel::WornHealth},
            {QStringLiteral("worn"), result.worn},
            {QStringLiteral("wearing"), result.wearing},
            {QStringLiteral("wornAt"),
             result.wornMs >= 0 ? QJsonValue(isoTime(QDateTime::fromMSecsSinceEpoch(result.wornMs)))
                                : QJsonValue()},
            {QStringLiteral("cutShort"), result.cutShort}};
}

bool WebApi::parseTime(const QString &text, QDateTime *time)
{
    bool number = false;
    const qint64 seconds = text.toLongLong(&number);
    if (number) {
        *time = QDateTime::fromSecsSinceEpoch(seconds);
        return seconds >= 0;
    }
    const QDate day = QDate::fromString(text, Qt::ISODate);
    if (day.isValid() && text.size() == 10) {
        *time = QDateTime(day, QTime(0, 0));
        return true;
    }
    // A "+" of an offset that came unescaped in the query reads as a blank.
    *time = QDateTime::fromString(QString(text).replace(QLatin1Char(' '), QLatin1Char('+')),
                                  Qt::ISODate);
    if (time->isValid())
        *time = time->toLocalTime();
    return time->isValid();
}

double WebApi::decimal(double value)
{
    return QByteArray::number(value, 'g', 7).toDouble();
}

QString WebApi::isoTime(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}
