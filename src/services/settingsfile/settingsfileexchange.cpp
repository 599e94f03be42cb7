#include "settingsfileexchange.h"

#include "watchlist.h"

#include "filesaver.h"
#include "listmodelemailuser.h"
#include "listmodelnutuser.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"
#include "recipientstore.h"
#include "settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// The members of the settings file, in the order export and import handle them. The recipient
// list sits between the e-mail and the shutdown settings.
const QList<int> &emailMembers()
{
    static const QList<int> types = {
        Settings::LanguageAuto,       Settings::LanguageType,       Settings::EMailEnable,
        Settings::EMailSenderName,    Settings::EMailSenderAddress, Settings::EMailEncrypt,
        Settings::EMailServerAddress, Settings::EMailServerPort,    Settings::EMailAuthEnable,
        Settings::EMailAuthName,      Settings::EMailAuthPassword,  Settings::EMailDailyEnable,
        Settings::EMailDailyTime};
    return types;
}

const QList<int> &shutdownMembers()
{
    static const QList<int> types = {Settings::ShutdownEnable,      Settings::ShutdownMainFaultTime,
                                     Settings::ShutdownBattLowTime, Settings::ShutdownMainFaultCap,
                                     Settings::ShutdownUPSOff,      Settings::ShutdownUPSOffTime,
                                     Settings::ShutdownMinRuntime};
    return types;
}

// The network link's settings, last; files written before it existed lack them.
const QList<int> &linkMembers()
{
    static const QList<int> types = {Settings::UpsNutHost,      Settings::UpsNutPort,
                                     Settings::UpsNutUps,       Settings::UpsNutUser,
                                     Settings::UpsNutPassword,  Settings::UpsNutCaFile,
                                     Settings::UpsNutAllowPlain};
    return types;
}

const QList<int> &networkMembers()
{
    static const QList<int> types = {Settings::NetworkEnable,   Settings::NetworkListen,
                                     Settings::NetworkPort,     Settings::NetworkAllow,
                                     Settings::NetworkUpsName,  Settings::NetworkAliases,
                                     Settings::NetworkHostSync, Settings::NetworkMaxClients,
                                     Settings::NetworkCertFile, Settings::NetworkKeyFile};
    return types;
}

// The web service's, after them; older files lack these too.
const QList<int> &webMembers()
{
    static const QList<int> types = {Settings::WebEnable,   Settings::WebListen,
                                     Settings::WebPort,     Settings::WebAllow,
                                     Settings::WebCertFile, Settings::WebKeyFile};
    return types;
}

const QString accountsMember = QStringLiteral("network/users");
const QString watchMember = QStringLiteral("watch");

// The supplies of the protection, after the network server's; older files lack them.
const QList<int> &supplyMembers()
{
    static const QList<int> types = {Settings::ShutdownSupplies, Settings::ShutdownMinSupplies};
    return types;
}

// The watched UPSes; the passwords in their stored, obscured form, as the link's goes.
QJsonArray watchToJson(const QList<WatchEntry> &entries)
{
    QJsonArray list;
    for (const WatchEntry &e : entries) {
        list.append(QJsonObject {
            {QStringLiteral("name"), e.name},
            {QStringLiteral("host"), e.host},
            {QStringLiteral("port"), e.port},
            {QStringLiteral("ups"), e.ups},
            {QStringLiteral("user"), e.user},
            {QStringLiteral("password"), QString::fromLatin1(Settings::encryptPassword(e.password))},
            {QStringLiteral("caFile"), e.caFile},
            {QStringLiteral("allowPlain"), e.allowPlain}});
    }
    return list;
}

// Entries without a server are skipped with a warning.
QList<WatchEntry> watchFromJson(const QJsonArray &list)
{
    QList<WatchEntry> entries;
    for (const QJsonValue &value : list) {
        const QJsonObject o = value.toObject();
        WatchEntry e;
        e.host = o.value(QStringLiteral("host")).toString().trimmed();
        if (e.host.isEmpty()) {
            qCWarning(lcServices) << "Settings file: skipping watched UPS" << value
                                  << "(no server)";
            continue;
        }
        e.name = o.value(QStringLiteral("name")).toString();
        const int port = o.value(QStringLiteral("port")).toInt();
        e.port = port > 0 && port <= 65535 ? port : nutDefaultPort;
        e.ups = o.value(QStringLiteral("ups")).toString(QStringLiteral("*"));
        e.user = o.value(QStringLiteral("user")).toString();
        e.password = QString::fromUtf8(Settings::decryptPassword(
            o.value(QStringLiteral("password")).toString().toLatin1(), QStringLiteral("watch")));
        e.caFile = o.value(QStringLiteral("caFile")).toString();
        e.allowPlain = o.value(QStringLiteral("allowPlain")).toBool();
        entries.append(e);
    }
    return entries;
}

// The stored text of a setting; a hand-edited list ("a,b" unquoted reads as a list) as written.
QString storedText(Settings *settings, int type)
{
    const QVariant value = settings->getSettings(settings->keyName(type), true);
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

QJsonArray accountsToJson(const NutAccountList &accounts)
{
    QJsonArray list;
    for (const NutAccount &account : accounts) {
        list.append(QJsonObject {
            {QStringLiteral("name"), QString::fromLatin1(account.name)},
            {QStringLiteral("role"), QString::fromLatin1(NutAccount::roleName(account.role))},
            {QStringLiteral("password"), QString::fromLatin1(account.passwordHash)}});
    }
    return list;
}

// The accounts of a settings file; those without a name, a known role or a hash are skipped.
NutAccountList accountsFromJson(const QJsonArray &list)
{
    NutAccountList accounts;
    for (const QJsonValue &value : list) {
        const QJsonObject object = value.toObject();
        NutAccount account;
        account.name = object.value(QStringLiteral("name")).toString().toUtf8();
        account.passwordHash = object.value(QStringLiteral("password")).toString().toUtf8();
        if (account.name.isEmpty() || account.passwordHash.isEmpty() ||
            !NutAccount::roleFromName(object.value(QStringLiteral("role")).toString().toUtf8(),
                                      &account.role)) {
            qCWarning(lcServices) << "Settings file: skipping network account" << value;
            continue;
        }
        accounts.append(account);
    }
    return accounts;
}

// Settings files come from file dialogs: local-file URLs, or a bare path.
QString localPath(const QUrl &url)
{
    if (url.isLocalFile())
        return url.toLocalFile();
    if (url.scheme().isEmpty())
        return url.path(QUrl::FullyDecoded);
    return QString();
}

// The texts of a recipient array; other values are skipped with a warning.
QStringList recipientTexts(const QJsonArray &users)
{
    QStringList texts;
    for (const QJsonValue &user : users) {
        if (user.isString())
            texts.append(user.toString());
        else
            qCWarning(lcServices) << "Settings file: skipping recipient" << user << "(not a text)";
    }
    return texts;
}

// Writes one member's text under its key. Missing or unusable members keep the stored value:
// a hand-edited file must not blank settings it does not mention.
void importMember(Settings *settings, const QJsonObject &object, int type, QStringList &skipped)
{
    const QString key = settings->keyName(type);
    const QJsonValue value = object.value(key);
    QString text;
    if (value.isString())
        text = value.toString();
    else if (value.isBool())
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    else if (value.isDouble())
        text = QString::number(value.toDouble(), 'g', 15);
    else {
        skipped.append(key);
        return;
    }
    settings->setSettings(key, text, true);
}

} // namespace

SettingsFileExchange::SettingsFileExchange(Settings *settings, ListModelEMailUser *recipients,
                                       ListModelNutUser *networkAccounts, QObject *parent)
    : QObject(parent),
      m_settings(settings),
      m_recipients(recipients),
      m_networkAccounts(networkAccounts)
{
}

bool SettingsFileExchange::startWithDesktop() const
{
    return platform::startsWithDesktop();
}

bool SettingsFileExchange::setStartWithDesktop(bool on)
{
    std::vector<std::wstring> command = {QCoreApplication::applicationFilePath().toStdWString()};
    // A folder named by --home or QUELTA_HOME goes with it, so the same program starts.
    if (qEnvironmentVariableIsSet("QUELTA_HOME"))
        command.insert(command.end(), {L"--home", Paths::root().toStdWString()});
    const bool done = platform::setStartWithDesktop(on, command);
    emit startWithDesktopChanged();
    return done;
}

bool SettingsFileExchange::settingsSaveAs(const QUrl &file)
{
    const QString path = localPath(file);
    if (path.isEmpty()) {
        qCWarning(lcServices) << "Cannot export the settings to" << file << "(not a local file)";
        return false;
    }
    Settings *settings = m_settings;
    QJsonObject object;
    for (int type : emailMembers())
        object.insert(settings->keyName(type), storedText(settings, type));
    object.insert(settings->keyName(Settings::EMailReceiver),
                  QJsonArray::fromStringList(RecipientStore::read()));
    for (int type : shutdownMembers() + linkMembers())
        object.insert(settings->keyName(type), storedText(settings, type));
    for (int type : networkMembers())
        object.insert(settings->keyName(type), storedText(settings, type));
    object.insert(accountsMember, accountsToJson(m_networkAccounts->accounts()));
    for (int type : webMembers())
        object.insert(settings->keyName(type), storedText(settings, type));
    for (int type : supplyMembers())
        object.insert(settings->keyName(type), storedText(settings, type));
    object.insert(watchMember, watchToJson(WatchList::read(settings)));

    // Only into a folder that is there (the saver would make it). Replaced whole, so a failed
    // write (a full disk) keeps the old file. It holds the SMTP password, as the configuration
    // does: readable by its owner only, also when it replaces a file that others could read.
    if (!QFileInfo(QFileInfo(path).absolutePath()).isDir()) {
        qCWarning(lcServices) << "Cannot export the settings to" << path
                              << ": its folder does not exist";
        return false;
    }
    FileSaver saver(QStringLiteral("the settings export"), lcServices);
    if (!saver.save(path, QJsonDocument(object).toJson(QJsonDocument::Indented),
                    QFile::ReadOwner | QFile::WriteOwner))
        return false;
    qCInfo(lcServices) << "Settings exported to" << path;
    return true;
}

bool SettingsFileExchange::settingsImport(const QUrl &file)
{
    const QString path = localPath(file);
    if (path.isEmpty()) {
        qCWarning(lcServices) << "Cannot import the settings from" << file << "(not a local file)";
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        qCWarning(lcServices) << "Cannot read the settings file" << path << ":" << in.errorString();
        return false;
    }
    const QByteArray bytes = in.readAll();
    in.close();

    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (document.isNull()) {
        qCWarning(lcServices) << "The settings file" << path
                              << "is not JSON:" << error.errorString() << "at offset"
                              << error.offset << "; nothing imported";
        return false;
    }
    if (!document.isObject()) {
        qCWarning(lcServices) << "The settings file" << path
                              << "holds no settings object; nothing imported";
        return false;
    }

    Settings *settings = m_settings;
    const QJsonObject object = document.object();
    QStringList skipped;
    QStringList failures;
    for (int type : emailMembers())
        importMember(settings, object, type, skipped);

    const QString receiverKey = settings->keyName(Settings::EMailReceiver);
    const QJsonValue receivers = object.value(receiverKey);
    QString why;
    if (!receivers.isArray())
        skipped.append(receiverKey);
    else if (!RecipientStore::replace(recipientTexts(receivers.toArray()), &why))
        failures
            << tr("The e-mail recipients could not be stored (%1); the old list is kept.").arg(why);
    m_recipients->refresh();

    for (int type : shutdownMembers())
        importMember(settings, object, type, skipped);
    QStringList linkAbsent; // an older file: the link stays as it is, without a word
    for (int type : linkMembers())
        importMember(settings, object, type, linkAbsent);
    // Likewise the network server's settings and accounts, which older files lack.
    QStringList networkAbsent;
    for (int type : networkMembers())
        importMember(settings, object, type, networkAbsent);
    const QJsonValue accounts = object.value(accountsMember);
    if (accounts.isArray() && !m_networkAccounts->replaceAll(accountsFromJson(accounts.toArray())))
        failures << tr("The network server's accounts could not be stored; the old ones are "
                       "kept.");
    for (int type : webMembers())
        importMember(settings, object, type, networkAbsent);
    QStringList suppliesAbsent;
    for (int type : supplyMembers())
        importMember(settings, object, type, suppliesAbsent);
    const QJsonValue watched = object.value(watchMember);
    if (watched.isArray() && !WatchList::write(settings, watchFromJson(watched.toArray())))
        failures << tr("The watched UPSes could not be stored; the old list is kept.");

    if (!skipped.isEmpty())
        qCWarning(lcServices) << "The settings file" << path << "lacks usable values for" << skipped
                              << "; those are kept";
    // What went in is shown either way; what did not is told, one line each.
    setImportFailures(failures);
    emit settingsChanged();
    if (!failures.isEmpty()) {
        qCWarning(lcServices) << "Settings imported from" << path << "in part:" << failures;
        return false;
    }
    qCInfo(lcServices) << "Settings imported from" << path;
    return true;
}

QStringList SettingsFileExchange::importFailures() const
{
    return m_importFailures;
}

void SettingsFileExchange::setImportFailures(const QStringList &failures)
{
    if (failures == m_importFailures)
        return;
    m_importFailures = failures;
    emit importFailuresChanged();
}

void SettingsFileExchange::settingsRestore()
{
    // The network accounts are not settings: like the link to the UPS, they stay.
    m_settings->restore();
    m_recipients->removeAll();
    qCInfo(lcServices) << "Settings restored to their defaults";
    emit settingsChanged();
}

QStringList SettingsFileExchange::restoreChanges() const
{
    QStringList lines;
    const auto on = [this](int type) {
        return m_settings->getSettings(type).toBool();
    };
    if (on(Settings::ShutdownEnable))
        lines << tr("The protection is switched off: no shutdown on a mains failure.");
    if (on(Settings::NetworkEnable))
        lines << tr("Network sharing is switched off: the computers that watch this UPS over the "
                    "network lose it.");
    if (on(Settings::EMailEnable))
        lines << tr("E-mail is switched off.");
    const int recipients = m_recipients->rowCount();
    if (recipients > 0)
        lines << tr("Every e-mail recipient is deleted (%1).").arg(recipients);
    lines << tr("The language, desktop notifications, the battery replacement interval and every "
                "shutdown, e-mail and network sharing setting go back to their defaults.");
    lines << tr("Kept: the link to the UPS, the network accounts, the scheduled tasks and the "
                "battery installation date.");
    QStringList watched;
    for (const WatchEntry &entry : WatchList::read(m_settings))
        watched << (entry.name.isEmpty() ? entry.host : entry.name);
    if (!watched.isEmpty())
        lines << tr("Kept too: the watched UPSes (%1).").arg(watched.join(QStringLiteral(", ")));
    return lines;
}
