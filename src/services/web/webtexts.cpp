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

// The window's own words where the page shows the same thing, the page's own besides.
const Word words[] = {
    {"condition.waiting", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "UPS disconnect")},
    {"condition.normal", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "UPS Normal")},
    {"condition.onbattery", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "On Battery")},
    {"condition.batterylow", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "Battery Low")},
    {"condition.outputoffpending", "DevStatusView",
     QT_TRANSLATE_NOOP("DevStatusView", "Output off in %1")},
    {"condition.outputoff", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "Output Off")},
    {"condition.fault", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "UPS Fault")},
    {"condition.commlost", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "Communication Lost")},
    {"condition.portbusy", "UpsStateLook", QT_TRANSLATE_NOOP("UpsStateLook", "Port busy")},
    {"inputVoltage", "HistoryChartView", QT_TRANSLATE_NOOP("HistoryChartView", "Input Voltage(V)")},
    {"outputVoltage", "HistoryChartView",
     QT_TRANSLATE_NOOP("HistoryChartView", "Output Voltage(V)")},
    {"load", "HistoryChartView", QT_TRANSLATE_NOOP("HistoryChartView", "UPS Load(%)")},
    {"batteryVoltage", "HistoryChartView",
     QT_TRANSLATE_NOOP("HistoryChartView", "Battery voltage(V)")},
    {"temperature", "HistoryChartView", QT_TRANSLATE_NOOP("HistoryChartView", "Temperature(℃)")},
    {"inputFrequency", "TableModelDevData",
     QT_TRANSLATE_NOOP("TableModelDevData", "Input Frequency(Hz)")},
    {"batteryCharge", "DevDataDialPage", QT_TRANSLATE_NOOP("DevDataDialPage", "Battery Capacity")},
    {"runtime", "MainDevInfoForm.ui",
     QT_TRANSLATE_NOOP("MainDevInfoForm.ui", "Battery Remaining Time")},
    {"countdown", "MainDevInfo", QT_TRANSLATE_NOOP("MainDevInfo", "System Shutdown CountDown")},
    {"outputOffIn", "MainDevInfo", QT_TRANSLATE_NOOP("MainDevInfo", "UPS Output Off In")},
    {"cancelShutdown", "MainDevInfo", QT_TRANSLATE_NOOP("MainDevInfo", "Cancel shutdown")},
    {"manufacturer", "DevDataInfoPage", QT_TRANSLATE_NOOP("DevDataInfoPage", "UPS Manufacturer:")},
    {"model", "DevDataInfoPage", QT_TRANSLATE_NOOP("DevDataInfoPage", "UPS Model:")},
    {"firmware", "DevDataInfoPage", QT_TRANSLATE_NOOP("DevDataInfoPage", "UPS Version:")},
    {"serial", "DevDataInfoPage", QT_TRANSLATE_NOOP("DevDataInfoPage", "UPS SN:")},
    {"alarms", "PopupCurrentAlarm", QT_TRANSLATE_NOOP("PopupCurrentAlarm", "Alarm")},
    {"date", "LogSelfTest", QT_TRANSLATE_NOOP("LogSelfTest", "Date")},
    {"duration", "LogSelfTest", QT_TRANSLATE_NOOP("LogSelfTest", "Duration")},
    {"samplesCount", "LogSelfTest", QT_TRANSLATE_NOOP("LogSelfTest", "Count")},
    {"voltageDrop", "LogSelfTest", QT_TRANSLATE_NOOP("LogSelfTest", "Battery voltage drop (V)")},
    {"passed", "ServiceNotification", QT_TRANSLATE_NOOP("ServiceNotification", "Passed.")},
    {"failedBatteryLow", "ServiceNotification",
     QT_TRANSLATE_NOOP("ServiceNotification", "Failed: the battery ran low.")},
    {"failedFault", "ServiceNotification",
     QT_TRANSLATE_NOOP("ServiceNotification", "Failed: the UPS reported a fault.")},
    {"battery", "SettingsCommonForm.ui", QT_TRANSLATE_NOOP("SettingsCommonForm.ui", "Battery")},
    {"batteryInstalled", "SettingsCommonForm.ui",
     QT_TRANSLATE_NOOP("SettingsCommonForm.ui", "Battery installed on:")},
    {"firstSeen", "SettingsCommon",
     QT_TRANSLATE_NOOP("SettingsCommon", "Counted from the first day a UPS answers.")},
    {"dueOn", "SettingsCommon", QT_TRANSLATE_NOOP("SettingsCommon", "Replacement due on %1.")},
    {"dueSince", "SettingsCommon",
     QT_TRANSLATE_NOOP("SettingsCommon", "Replacement due since %1.")},
    {"samples", "LogChart", QT_TRANSLATE_NOOP("LogChart", "%1 samples")},
    {"selfTest", "MainPanelControlForm.ui",
     QT_TRANSLATE_NOOP("MainPanelControlForm.ui", "UPS Self-test for 10S")},
    {"selfTestCancel", "MainPanelControlForm.ui",
     QT_TRANSLATE_NOOP("MainPanelControlForm.ui", "UPS Self-test cancel")},
    {"beeper", "MainPanelControlForm.ui",
     QT_TRANSLATE_NOOP("MainPanelControlForm.ui", "UPS buzzer toggle")},
    {"control", "MainPanelControlForm.ui",
     QT_TRANSLATE_NOOP("MainPanelControlForm.ui", "UPS Control")},
    {"issued", "MainPanelControl", QT_TRANSLATE_NOOP("MainPanelControl", "Order has been issued!")},
    {"user", "PopupNutUserForm.ui", QT_TRANSLATE_NOOP("PopupNutUserForm.ui", "User name:")},
    {"password", "PopupNutUserForm.ui", QT_TRANSLATE_NOOP("PopupNutUserForm.ui", "Password:")},
    {"history", "MainPanelLogDataForm.ui",
     QT_TRANSLATE_NOOP("MainPanelLogDataForm.ui", "Historical Data")},
    {"day", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Day")},
    {"week", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Week")},
    {"month", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Month")},
    {"measurements", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Measurements")},
    {"noAlarms", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No current alarm.")},
    {"selfTests", "WebPage", QT_TRANSLATE_NOOP("WebPage", "Last self-tests")},
    {"noSelfTests", "WebPage", QT_TRANSLATE_NOOP("WebPage", "No self-test was recorded.")},
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
    const UpsCondition::Condition condition = entry.condition();
    // As the window says it: without a UPS to read because another program holds its port.
    if (entry.linkBusy &&
        (condition == UpsCondition::Waiting || condition == UpsCondition::CommLost))
        return word(language, QStringLiteral("condition.portbusy"));
    const QString text =
        word(language, QStringLiteral("condition.") + QLatin1String(UpsCondition::key(condition)));
    if (condition != UpsCondition::OutputOffPending)
        return text;
    const int seconds = qMax(0, entry.outputOffSeconds);
    return text.arg(QStringLiteral("%1:%2")
                        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                        .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}
