#include "webtexts.h"

#include "alarm.h"
#include "alarmcatalogue.h"
#include "logcategories.h"
#include "paths.h"
#include "upsentry.h"

#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

struct Word
{
    const char *key;
    const char *context;
    const char *source;
};

// The page's words in a context of their own, so a screen's renamed file never drops one; where
// the page shows what the window shows, the words are the window's.
const Word words[] = {
    {"condition.waiting", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS disconnect")},
    {"condition.normal", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Normal")},
    {"condition.onbattery", "WebPage", QT_TRANSLATE_NOOP("WebPage", "On Battery")},
    {"condition.batterylow", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery Low")},
    {"condition.outputoffpending", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Output off in %1")},
    {"condition.outputoffsoon", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Output off pending")},
    {"condition.outputoff", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Output Off")},
    {"condition.fault", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Fault")},
    {"condition.commlost", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Communication Lost")},
    {"condition.portbusy", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Port busy")},
    {"inputVoltage", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Input Voltage(V)")},
    {"outputVoltage", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Output Voltage(V)")},
    {"load", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Load(%)")},
    {"batteryVoltage", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Battery voltage(V)")},
    {"temperature", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Temperature(℃)")},
    {"inputFrequency", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Input Frequency(Hz)")},
    {"batteryCharge", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery Capacity")},
    {"runtime", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Battery Remaining Time")},
    {"countdown", "WebPage", QT_TRANSLATE_NOOP("WebPage", "System Shutdown CountDown")},
    {"outputOffIn", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Output Off In")},
    {"cancelShutdown", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Cancel shutdown")},
    {"manufacturer", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Manufacturer:")},
    {"model", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Model:")},
    {"firmware", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS Version:")},
    {"serial", "WebPage", QT_TRANSLATE_NOOP("WebPage", "UPS SN:")},
    {"alarms", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Alarm")},
    {"date", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Date")},
    {"duration", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Duration")},
    {"samplesCount", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Count")},
    {"voltageDrop", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery voltage drop (V)")},
    {"passed", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Passed.")},
    {"failedBatteryLow", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Failed: the battery ran low.")},
    {"failedFault", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Failed: the UPS reported a fault.")},
    {"battery", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery")},
    {"batteryInstalled", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Battery installed on:")},
    {"firstSeen", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Counted from the first day a UPS answers.")},
    {"dueOn", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Replacement due on %1.")},
    {"dueSince", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Replacement due since %1.")},
    {"samples", "WebPage", QT_TRANSLATE_NOOP("WebPage", "%1 samples")},
    {"oneSample", "WebPage", QT_TRANSLATE_NOOP("WebPage", "1 sample")},
    {"overview", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Overview")},
    {"suppliesLost", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Supplies lost: %1")},
    {"suppliesAble", "WebPage", QT_TRANSLATE_NOOP("WebPage", "%1 of %2 needed can still feed")},
    {"selfTest", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS Self-test for 10S")},
    {"selfTestCancel", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS Self-test cancel")},
    {"beeper", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS buzzer toggle")},
    {"control", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS Control")},
    {"issued", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Order has been issued!")},
    {"user", "WebPage", QT_TRANSLATE_NOOP("WebPage", "User name:")},
    {"password", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Password:")},
    {"history", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Historical Data")},
    {"runtimeBoth", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS says %1 · measured %2")},
    {"runtimeMeasured", "WebPage", QT_TRANSLATE_NOOP("WebPage", "measured %1")},
    {"batteryHealth", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery health")},
    {"day", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Day")},
    {"week", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Week")},
    {"month", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Month")},
    {"measurements", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Measurements")},
    {"noAlarms", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No current alarm.")},
    {"selfTests", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Last self-tests")},
    {"noSelfTests", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No self-test was recorded.")},
    {"healthTrend", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Battery health by discharge")},
    {"healthPercent", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Health (%)")},
    {"loadPercent", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Load (%)")},
    {"wornAround", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "On course to fall below %1 % around %2")},
    {"wornNow", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "Below %1 %: plan the battery's replacement.")},
    {"noDischarges", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "The battery's health is measured from the first full-enough "
                                  "discharges: a mains failure or a self-test that runs a charged "
                                  "battery down to battery low. None is stored yet.")},
    {"noSamples", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No samples were stored in this time.")},
    {"logIn", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Log in")},
    {"logOut", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Log out")},
    {"adminOnly", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS commands need a network account with the admin role.")},
    {"httpsOnly", "WebPage",
     QT_TRANSLATE_NOOP("WebPage", "UPS commands are offered over HTTPS only.")},
    {"loginFailed", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Wrong user name or password.")},
    {"refused", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Not done: %1")},
    {"live", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Live")},
    {"reconnecting", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Reconnecting...")},
    {"unknownUps", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No UPS of this name is known.")},
};

QString translated(const QTranslator *catalogue, const QTranslator *english, const char *context,
                   const char *source)
{
    if (catalogue) {
        const QString text = catalogue->translate(context, source);
        if (!text.isEmpty())
            return text;
    }
    if (english) {
        const QString text = english->translate(context, source);
        if (!text.isEmpty())
            return text;
    }
    return QString::fromUtf8(source);
}

// Every code that has a text: the events, then the faults of both families and their returns.
QVector<int> alarmCodes()
{
    using namespace AlarmCatalogue;
    QVector<int> codes;
    for (int code = 0; code < eventCount; ++code)
        codes.append(code);
    for (int base : {familyOneBase, familyTwoBase}) {
        for (int offset = 0; offset < faultOffsets; ++offset) {
            codes.append(base + offset);
            codes.append(base + returnOffset + offset);
        }
    }
    return codes;
}

} // namespace

void WebTexts::load(const QString &folder)
{
    const auto open = [&folder](int language) {
        auto catalogue = std::make_unique<QTranslator>();
        const QString name = Languages::catalogueName(language) + QStringLiteral(".qm");
        const QString file = folder.isEmpty()
            ? Paths::shipped(QStringLiteral("/translations/") + name)
            : folder + QLatin1Char('/') + name;
        if (file.isEmpty() || !catalogue->load(file)) {
            if (language != Languages::English)
                qCWarning(lcNetwork)
                    << "The web page has no catalogue" << name << "; it shows English instead";
            return std::unique_ptr<QTranslator>();
        }
        return catalogue;
    };
    const std::unique_ptr<QTranslator> english = open(Languages::English);
    const QVector<int> codes = alarmCodes();
    for (int language = 0; language < Languages::count; ++language) {
        const std::unique_ptr<QTranslator> own =
            language == Languages::English ? nullptr : open(language);
        Catalogue &c = m_catalogues[size_t(language)];
        c.table = QJsonObject();
        c.alarms.clear();
        for (const Word &w : words)
            c.table.insert(QLatin1String(w.key),
                           translated(own.get(), english.get(), w.context, w.source));
        c.table.insert(QStringLiteral("lang"), Languages::tag(language));
        for (int code : codes) {
            const QString text = Alarm::alarmTextIn(code, [&](const char *source) {
                return translated(own.get(), english.get(), "Alarm", source);
            });
            if (!text.isEmpty())
                c.alarms.insert(code, text);
        }
    }
}

int WebTexts::languageOf(const QByteArray &acceptLanguage)
{
    // "fr-CH, fr;q=0.9, en;q=0.8, *;q=0.5": the first of the highest weight the program speaks.
    int best = Languages::English;
    double bestWeight = 0;
    for (const QByteArray &item : acceptLanguage.split(',')) {
        const QList<QByteArray> parts = item.trimmed().split(';');
        const QByteArray tag = parts.value(0).trimmed();
        double weight = 1;
        for (int i = 1; i < parts.size(); ++i) {
            const QByteArray p = parts[i].trimmed();
            if (p.startsWith("q="))
                weight = p.mid(2).toDouble();
        }
        if (tag.isEmpty() || tag == "*" || weight <= bestWeight)
            continue;
        const QLocale locale(QString::fromLatin1(tag).replace(QLatin1Char('-'), QLatin1Char('_')));
        if (locale.language() != QLocale::English && locale.language() != QLocale::Chinese &&
            locale.language() != QLocale::French)
            continue;
        best = Languages::forLocale(locale);
        bestWeight = weight;
    }
    return best;
}

QJsonObject WebTexts::table(int language) const
{
    return m_catalogues[size_t(qBound(0, language, Languages::count - 1))].table;
}

QString WebTexts::word(int language, const QString &key) const
{
    return table(language).value(key).toString();
}

QString WebTexts::alarm(int language, int code) const
{
    return m_catalogues[size_t(qBound(0, language, Languages::count - 1))].alarms.value(code);
}

QString WebTexts::condition(int language, const UpsEntry &entry) const
{
    const UpsCondition::Words words =
        UpsCondition::words(entry.condition(), entry.linkBusy, entry.outputOffSeconds);
    const QString text = word(language, QStringLiteral("condition.") + QLatin1String(words.key));
    return words.time.isEmpty() ? text : text.arg(words.time);
}
