#include "settingkeys.h"

#include "addresscheck.h"
#include "nutport.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QTime>

#include <climits>

namespace SettingKeys {

namespace {

using S = Settings;
const QVariant none;

Key flag(int type, const char *name, bool value, bool restored)
{
    return {type, name, Kind::Bool, value, restored};
}

Key number(int type, const char *name, int value, int min, int max, bool restored = true)
{
    return {type, name, Kind::Number, value, restored, min, max};
}

Key choice(int type, const char *name, int value, const QList<int> &choices, bool restored)
{
    return {type, name, Kind::Choice, value, restored, 0, 0, choices};
}

Key text(int type, const char *name, const QVariant &value, bool restored, Kind kind = Kind::Text)
{
    return {type, name, kind, value, restored};
}

} // namespace

// The ranges are what the program can act on, wider than the screens offer where a hand-set
// value still makes sense (a countdown of days, a command that may take no time).
const QList<Key> &all()
{
    static const QList<Key> keys = {
        flag(S::LanguageAuto, "language/auto", true, true),
        // The numbers of the translator's languages: English, the two Chinese, French.
        choice(S::LanguageType, "language/type", 0, {0, 1, 2, 3}, true),
        flag(S::EMailEnable, "email/enable", false, true),
        text(S::EMailSenderName, "email/userName", QString(), true),
        text(S::EMailSenderAddress, "email/userAddr", QString(), true),
        text(S::EMailServerAddress, "email/serverAddr", QString(), true, Kind::Address),
        number(S::EMailServerPort, "email/serverPort", 25, 1, 65535),
        flag(S::EMailAuthEnable, "email/authEnable", false, true),
        text(S::EMailAuthName, "email/authName", QString(), true),
        {S::EMailAuthPassword, "email/authPasswd", Kind::Secret, QString(), true},
        flag(S::EMailDailyEnable, "email/dailyEnable", false, true),
        {S::EMailDailyTime, "email/dailyTime", Kind::TimeOfDay, QStringLiteral("12:00:00"), true},
        text(S::EMailReceiver, "email/receiver", none, false),
        // None, STARTTLS, TLS from the start.
        choice(S::EMailEncrypt, "email/encrypt", 0, {0, 1, 2}, true),
        flag(S::ShutdownEnable, "shutdown/enable", false, true),
        number(S::ShutdownMainFaultTime, "shutdown/mainFaultTime", 0, 0, INT_MAX),
        number(S::ShutdownBattLowTime, "shutdown/battLowTime", 0, 0, INT_MAX),
        number(S::ShutdownMainFaultCap, "shutdown/mainFaultCapacity", 1, 0, 100),
        choice(S::ShutdownMode, "shutdown/shutdownMode", 0, {0, 1}, true),
        flag(S::ShutdownAutoSave, "shutdown/autoSave", false, true),
        flag(S::ShutdownUPSOff, "shutdown/UPSOff", false, true),
        number(S::ShutdownUPSOffTime, "shutdown/UPSOffTime", 1, 0, INT_MAX),
        flag(S::ShutdownExec, "shutdown/execEnable", false, true),
        number(S::ShutdownExecTime, "shutdown/execTime", 1, 0, INT_MAX),
        text(S::ShutdownExecFile, "shutdown/execFile", QString(), true, Kind::Path),
        flag(S::ShutdownOsOff, "shutdown/osOff", false, true),
        // The UPSes that feed this computer, by shown name ("local" is its own), and how many
        // of them must still be able to.
        text(S::ShutdownSupplies, "shutdown/supplies", QStringLiteral("local"), true,
             Kind::NameList),
        number(S::ShutdownMinSupplies, "shutdown/minSupplies", 1, 1, 1000),
        // Minutes of backup left below which a supply on battery counts as low; 0: off.
        number(S::ShutdownMinRuntime, "shutdown/minRuntime", 0, 0, 1440),
        // USB, serial, network. The link settings survive a restore.
        choice(S::UpsCommType, "ups/commType", 0, {0, 1, 2}, false),
        number(S::UpsBaudRate, "ups/baudRate", 2400, 50, 4000000),
        text(S::UpsComPort, "ups/comPort", QString(), false, Kind::Path),
        number(S::UpsDataSaveCycle, "ups/saveCycle", 60, 1, INT_MAX / 1000),
        text(S::UpsNutHost, "ups/nutHost", QString(), false, Kind::Address),
        number(S::UpsNutPort, "ups/nutPort", nutDefaultPort, 1, 65535, false),
        text(S::UpsNutUps, "ups/nutUps", QStringLiteral("ups"), false),
        text(S::UpsNutUser, "ups/nutUser", QString(), false),
        {S::UpsNutPassword, "ups/nutPassword", Kind::Secret, QString(), false},
        text(S::UpsNutCaFile, "ups/nutCaFile", QString(), false, Kind::Path),
        flag(S::UpsNutAllowPlain, "ups/nutAllowPlain", false, false),
        flag(S::NotifyEnable, "notify/enable", true, true),
        // The installation day stays empty until set: the first day a UPS answered stands in.
        {S::BatteryInstalled, "battery/installed", Kind::Day, none, false},
        number(S::BatteryReplaceMonths, "battery/replaceMonths", 36, 1, 240),
        // Facts, not choices: a restore keeps them.
        {S::BatteryFirstSeen, "battery/firstSeen", Kind::Day, none, false},
        {S::BatteryNoticeGiven, "battery/noticeGiven", Kind::Day, none, false},
        {S::BatteryNoticeMailed, "battery/noticeMailed", Kind::Day, none, false},
        // The network server; its accounts live beside these under "network/users".
        flag(S::NetworkEnable, "network/enable", false, true),
        text(S::NetworkListen, "network/listen", QStringLiteral("127.0.0.1,::1"), true,
             Kind::AddressList),
        // 0: any free port (tests, a second server on one machine).
        number(S::NetworkPort, "network/port", nutDefaultPort, 0, 65535),
        text(S::NetworkAllow, "network/allow", QString(), true, Kind::NetworkList),
        text(S::NetworkUpsName, "network/upsName", QStringLiteral("ups"), true),
        text(S::NetworkAliases, "network/aliases", QString(), true, Kind::NameList),
        number(S::NetworkHostSync, "network/hostSync", 15, 0, 3600),
        // The server also keeps below what the open-file limit leaves room for.
        number(S::NetworkMaxClients, "network/maxClients", 1024, 1, 65535),
        text(S::NetworkCertFile, "network/certFile", QString(), true, Kind::Path),
        text(S::NetworkKeyFile, "network/keyFile", QString(), true, Kind::Path),
        // The web page, its API and metrics; both files set: HTTPS only.
        flag(S::WebEnable, "web/enable", false, true),
        text(S::WebListen, "web/listen", QStringLiteral("127.0.0.1"), true, Kind::AddressList),
        // 0: any free port (tests).
        number(S::WebPort, "web/port", 8493, 0, 65535),
        text(S::WebAllow, "web/allow", QString(), true, Kind::NetworkList),
        text(S::WebCertFile, "web/certFile", QString(), true, Kind::Path),
        text(S::WebKeyFile, "web/keyFile", QString(), true, Kind::Path),
        // The UPS MIB served through the system's SNMP agent (AgentX); the rest is snmpd's.
        flag(S::SnmpEnable, "snmp/enable", false, true),
        text(S::SnmpAgentxSocket, "snmp/agentxSocket", QStringLiteral("/var/agentx/master"), true,
             Kind::Path),
    };
    return keys;
}

const Key *find(const QString &name)
{
    for (const Key &key : all()) {
        if (name == QLatin1String(key.name))
            return &key;
    }
    return findWatch(name);
}

// The watched UPSes are an array beside the fixed keys: "watch/size" and "watch/N/field" for N
// from 1. None is written by default, and a restore keeps them as it keeps the link.
const Key *findWatch(const QString &name)
{
    static const QList<Key> fields = {
        {-1, "name", Kind::Text, none, false},
        {-1, "host", Kind::Address, none, false},
        {-1, "port", Kind::Number, nutDefaultPort, false, 1, 65535},
        {-1, "ups", Kind::Text, QStringLiteral("*"), false},
        {-1, "user", Kind::Text, none, false},
        {-1, "password", Kind::Secret, none, false},
        {-1, "caFile", Kind::Path, none, false},
        {-1, "allowPlain", Kind::Bool, false, false},
    };
    static const Key size {-1, "watch/size", Kind::Number, 0, false, 0, maxWatched};
    if (name == QLatin1String(size.name))
        return &size;
    const QStringList parts = name.split(QLatin1Char('/'));
    if (parts.size() != 3 || parts.at(0) != QLatin1String("watch"))
        return nullptr;
    bool numeric = false;
    const int index = parts.at(1).toInt(&numeric);
    if (!numeric || index < 1 || index > maxWatched || parts.at(1) != QString::number(index))
        return nullptr;
    for (const Key &field : fields) {
        if (parts.at(2) == QLatin1String(field.name))
            return &field;
    }
    return nullptr;
}

QStringList watchFields()
{
    return {QStringLiteral("name"),   QStringLiteral("host"),      QStringLiteral("port"),
            QStringLiteral("ups"),    QStringLiteral("user"),      QStringLiteral("password"),
            QStringLiteral("caFile"), QStringLiteral("allowPlain")};
}

const Key *find(int type)
{
    for (const Key &key : all()) {
        if (key.type == type)
            return &key;
    }
    return nullptr;
}

Range formRange(const Key &key)
{
    // What the settings pages say in their labels ("(0~2880)"), so a form never offers more.
    static const QHash<QString, Range> forms = {
        {QStringLiteral("shutdown/mainFaultTime"), {0, 2880}},
        {QStringLiteral("shutdown/battLowTime"), {0, 600}},
        {QStringLiteral("shutdown/mainFaultCapacity"), {1, 100}},
        {QStringLiteral("shutdown/UPSOffTime"), {1, 9}},
        {QStringLiteral("shutdown/execTime"), {1, 30}},
        {QStringLiteral("ups/saveCycle"), {1, 600}},
    };
    return forms.value(QLatin1String(key.name), {key.min, key.max});
}

QString takes(const Key &key, bool translated)
{
    const auto words = [translated](const char *english) {
        return translated ? QCoreApplication::translate("SettingKeys", english)
                          : QString::fromLatin1(english);
    };
    switch (key.kind) {
    case Kind::Bool:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "true or false"));
    case Kind::Number:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "a whole number from %1 to %2"))
            .arg(key.min)
            .arg(key.max);
    case Kind::Choice: {
        QStringList numbers;
        for (int choice : key.choices)
            numbers << QString::number(choice);
        return words(QT_TRANSLATE_NOOP("SettingKeys", "one of %1"))
            .arg(numbers.join(QStringLiteral(", ")));
    }
    case Kind::TimeOfDay:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "a time of day such as 07:30:00"));
    case Kind::Day:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "a day such as 2026-12-31, or nothing"));
    case Kind::Address:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "a host name or an IP address, or nothing"));
    case Kind::AddressList:
        return words(QT_TRANSLATE_NOOP("SettingKeys",
                                       "IP addresses separated by commas, such as 127.0.0.1,::1"));
    case Kind::NetworkList:
        return words(QT_TRANSLATE_NOOP("SettingKeys",
                                       "IP addresses or networks separated by commas, such as "
                                       "192.168.1.0/24,fd00::/8"));
    case Kind::NameList:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "names separated by commas"));
    case Kind::Path:
        return words(QT_TRANSLATE_NOOP("SettingKeys", "a path"));
    case Kind::Text:
    case Kind::Secret:
        break;
    }
    return words(QT_TRANSLATE_NOOP("SettingKeys", "any text"));
}

bool isList(Kind kind)
{
    return kind == Kind::AddressList || kind == Kind::NetworkList || kind == Kind::NameList;
}

QString text(const QVariant &value)
{
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    if (value.userType() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    return value.toString();
}

QStringList names(int watchCount)
{
    QStringList out;
    for (const Key &key : all())
        out << QString::fromLatin1(key.name);
    out << QStringLiteral("watch/size");
    for (int i = 1; i <= watchCount; ++i) {
        for (const QString &field : watchFields())
            out << QStringLiteral("watch/%1/%2").arg(i).arg(field);
    }
    return out;
}

Verdict check(const Key &key, const QVariant &value)
{
    const bool storedAsList = value.userType() == QMetaType::QStringList;
    // A list where one value is due (an unquoted comma) is no number, flag or address; a text
    // takes it back as the file wrote it.
    const QString text =
        storedAsList ? value.toStringList().join(QStringLiteral(", ")) : value.toString().trimmed();
    bool isNumber = false;
    const int number = storedAsList ? 0 : text.toInt(&isNumber, 10);
    QStringList items;
    if (isList(key.kind)) {
        const QStringList parts =
            storedAsList ? value.toStringList() : value.toString().split(QLatin1Char(','));
        for (const QString &part : parts) {
            if (!part.trimmed().isEmpty())
                items << part.trimmed();
        }
    }
    const auto allItems = [&items](bool (*fits)(const QString &)) {
        for (const QString &item : qAsConst(items)) {
            if (!fits(item))
                return false;
        }
        return true;
    };
    switch (key.kind) {
    case Kind::Bool:
        if (value.userType() == QMetaType::Bool)
            return {true, value, {}};
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("1"))
            return {true, true, {}};
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            text == QLatin1String("0"))
            return {true, false, {}};
        return {false, {}, takes(key)};
    case Kind::Number:
        if (isNumber && number >= key.min && number <= key.max)
            return {true, number, {}};
        return {false, {}, takes(key)};
    case Kind::Choice:
        if (isNumber && key.choices.contains(number))
            return {true, number, {}};
        return {false, {}, takes(key)};
    case Kind::TimeOfDay:
        if (QTime::fromString(text, QStringLiteral("hh:mm:ss")).isValid())
            return {true, text, {}};
        return {false, {}, takes(key)};
    case Kind::Day:
        if (text.isEmpty() || QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid())
            return {true, text, {}};
        return {false, {}, takes(key)};
    case Kind::Address:
        if (!storedAsList && (text.isEmpty() || AddressCheck::isHost(text)))
            return {true, text, {}};
        return {false, {}, takes(key)};
    case Kind::AddressList:
        if (allItems([](const QString &item) { return !AddressCheck::ip(item).isNull(); }))
            return {true, items, {}};
        return {false, {}, takes(key)};
    case Kind::NetworkList:
        if (allItems([](const QString &item) { return AddressCheck::network(item).second >= 0; }))
            return {true, items, {}};
        return {false, {}, takes(key)};
    case Kind::NameList:
        return {true, items, {}};
    case Kind::Text:
    case Kind::Path:
        if (storedAsList)
            return {true, text, {}};
        return {true, value.toString(), {}};
    case Kind::Secret:
        break;
    }
    return {true, value, {}};
}

} // namespace SettingKeys
