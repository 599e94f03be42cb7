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
    QStringList flags =
        QString::fromLatin1(NutUpsPublisher::statusFlags(entry.state)).split(QLatin1Char(' '));
    if (!entry.faults.isEmpty())
        flags << QStringLiteral("ALARM");
    if (entry.state.forcedShutdown)
        flags.prepend(QStringLiteral("FSD"));
    return flags;
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
        if (s.runtime)
            readings.insert(QStringLiteral("runtimeSeconds"), qMax(0, *s.runtime) * 60);
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
        alarms.append(QJsonObject {{QStringLiteral("time"), isoTime(time)},
                                   {QStringLiteral("code"), a.code},
                                   {QStringLiteral("text"), texts.alarm(language, a.code)},
                                   {QStringLiteral("standing"), !a.timed}});
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
        rows.append(QJsonObject {{QStringLiteral("time"), isoTime(row.time)},
                                 {QStringLiteral("code"), row.code},
                                 {QStringLiteral("text"), texts.alarm(language, row.code)}});
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
