#include "database.h"
#include "listmodelemailuser.h"
#include "pagesettingscommon.h"
#include "serviceemail.h"
#include "settings.h"
#include "testroot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestPageSettingsCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void exportAndImport();
    void partialAndMalformedFiles();
    void restore();

private:
    QUrl fileUrl(const QString &name) const
    {
        return QUrl::fromLocalFile(m_files.path() + QLatin1Char('/') + name);
    }
    QUrl writeFile(const QString &name, const QByteArray &content) const;

    std::unique_ptr<TestRoot> m_root;
    QTemporaryDir m_files;
};

namespace {

// The members of the settings file other than the recipient list.
const QList<int> listedTypes = {
    Settings::LanguageAuto,        Settings::LanguageType,         Settings::EMailEnable,
    Settings::EMailSenderName,     Settings::EMailSenderAddress,   Settings::EMailEncrypt,
    Settings::EMailServerAddress,  Settings::EMailServerPort,      Settings::EMailAuthEnable,
    Settings::EMailAuthName,       Settings::EMailAuthPassword,    Settings::EMailDailyEnable,
    Settings::EMailDailyTime,      Settings::ShutdownEnable,       Settings::ShutdownMainFaultTime,
    Settings::ShutdownBattLowTime, Settings::ShutdownMainFaultCap, Settings::ShutdownUPSOff,
    Settings::ShutdownUPSOffTime};

// Every listed key as the text stored, the way the file carries it.
QMap<QString, QString> storedTexts()
{
    Settings *settings = Settings::instance();
    QMap<QString, QString> texts;
    for (int type : listedTypes)
        texts.insert(settings->keyName(type),
                     settings->getSettings(settings->keyName(type), true).toString());
    return texts;
}

QStringList recipients()
{
    QStringList users;
    QSqlQuery query(QStringLiteral("select user from email_user order by id"));
    while (query.next())
        users.append(query.value(0).toString());
    return users;
}

void setRecipients(const QStringList &users)
{
    QSqlQuery query;
    QVERIFY(query.exec(QStringLiteral("delete from email_user")));
    for (const QString &user : users) {
        QVERIFY(query.prepare(QStringLiteral("insert into email_user(user) values(?)")));
        query.addBindValue(user);
        QVERIFY(query.exec());
    }
}

void setNonDefaults()
{
    Settings *s = Settings::instance();
    s->setSettings(Settings::LanguageAuto, false);
    s->setSettings(Settings::LanguageType, 2);
    s->setSettings(Settings::EMailEnable, true);
    s->setSettings(Settings::EMailSenderName, QString::fromUtf8("Zoë's UPS"));
    s->setSettings(Settings::EMailSenderAddress, QStringLiteral("ups@example.org"));
    s->setSettings(Settings::EMailEncrypt, 2);
    s->setSettings(Settings::EMailServerAddress, QStringLiteral("smtp.example.org"));
    s->setSettings(Settings::EMailServerPort, 465);
    s->setSettings(Settings::EMailAuthEnable, true);
    s->setSettings(Settings::EMailAuthName, QStringLiteral("account"));
    s->setSettings(Settings::EMailAuthPassword, QStringLiteral("pass word, 20 chars!"));
    s->setSettings(Settings::EMailDailyEnable, true);
    s->setSettings(Settings::EMailDailyTime, QStringLiteral("07:30:00"));
    s->setSettings(Settings::ShutdownEnable, true);
    s->setSettings(Settings::ShutdownMainFaultTime, 5);
    s->setSettings(Settings::ShutdownBattLowTime, 2);
    s->setSettings(Settings::ShutdownMainFaultCap, 30);
    s->setSettings(Settings::ShutdownUPSOff, true);
    s->setSettings(Settings::ShutdownUPSOffTime, 3);
}

} // namespace

QUrl TestPageSettingsCommon::writeFile(const QString &name, const QByteArray &content) const
{
    QFile file(m_files.path() + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return fileUrl(name);
}

void TestPageSettingsCommon::initTestCase()
{
    m_root = std::make_unique<TestRoot>();
    QVERIFY(m_files.isValid());
}

void TestPageSettingsCommon::exportAndImport()
{
    PageSettingsCommon page;
    QSignalSpy changed(&page, &PageSettingsCommon::settingsChanged);
    Settings *settings = Settings::instance();
    setNonDefaults();
    const QStringList users = {QStringLiteral("ops@example.org"),
                               QStringLiteral("night.shift@example.com"),
                               QStringLiteral("ops@example.org")};
    setRecipients(users);
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/opt/before-exported"));
    const QMap<QString, QString> exported = storedTexts();

    // A name that a URL has to encode.
    const QUrl url = fileUrl(QString::fromUtf8("my settings é.conf"));
    QVERIFY(page.settingsSaveAs(url));
    QCOMPARE(changed.count(), 0);
    QFile file(url.toLocalFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    QCOMPARE(object.size(), listedTypes.size() + 1);
    QCOMPARE(object.value(QStringLiteral("shutdown/UPSOffTime")).toString(), QStringLiteral("3"));
    QCOMPARE(object.value(QStringLiteral("email/enable")).toString(), QStringLiteral("true"));
    // The password travels in its protected form only.
    QCOMPARE(object.value(QStringLiteral("email/authPasswd")).toString().size(), 44);
    QVERIFY(!text.contains("pass word"));
    QCOMPARE(object.value(QStringLiteral("email/receiver")).toArray().size(), 3);
    QVERIFY(!object.contains(QStringLiteral("shutdown/execFile")));

    // Everything changed afterwards comes back with the import, except what the file omits.
    settings->restore();
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/opt/after-export"));
    setRecipients({QStringLiteral("someone.else@example.net")});
    QVERIFY(storedTexts() != exported);

    ListModelEMailUser *model = ServiceEMail::instance()->listModelEMailUser();
    model->select();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(page.settingsImport(url));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(storedTexts(), exported);
    QCOMPARE(recipients(), users);
    // The list the e-mail page shows follows.
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->get(1).toString(), users.at(1));
    QCOMPARE(settings->getSettings(Settings::EMailAuthPassword).toString(),
             QStringLiteral("pass word, 20 chars!"));
    QCOMPARE(settings->getSettings(Settings::EMailServerPort).toInt(), 465);
    QCOMPARE(settings->getSettings(Settings::LanguageAuto).toBool(), false);
    QCOMPARE(settings->getSettings(Settings::ShutdownExecFile).toString(),
             QStringLiteral("/opt/after-export"));

    // The recipients are new rows with the import time.
    QSqlQuery query(QStringLiteral("select count(*) from email_user where dateTime is not null"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 3);

    // A file that cannot be written leaves nothing behind and changes nothing.
    QVERIFY(!page.settingsSaveAs(QUrl::fromLocalFile(m_files.path() + "/missing/folder/x.conf")));
    QVERIFY(!QFile::exists(m_files.path() + "/missing/folder/x.conf"));
}

// Hand-edited and foreign files: nothing stored is lost to them.
void TestPageSettingsCommon::partialAndMalformedFiles()
{
    PageSettingsCommon page;
    QSignalSpy changed(&page, &PageSettingsCommon::settingsChanged);
    setNonDefaults();
    const QStringList users = {QStringLiteral("ops@example.org")};
    setRecipients(users);
    const QMap<QString, QString> before = storedTexts();

    QVERIFY(
        !page.settingsImport(writeFile(QStringLiteral("garbage.conf"), "language/auto=true\n")));
    QVERIFY(!page.settingsImport(
        writeFile(QStringLiteral("truncated.conf"), "{\"email/enable\": \"tr")));
    QVERIFY(!page.settingsImport(
        writeFile(QStringLiteral("array.conf"), "[\"email/enable\", \"true\"]")));
    QVERIFY(!page.settingsImport(fileUrl(QStringLiteral("absent.conf"))));
    QVERIFY(!page.settingsImport(QUrl(QStringLiteral("https://example.org/settings.conf"))));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(storedTexts(), before);
    QCOMPARE(recipients(), users);

    // Present members are applied (numbers and booleans as their text); absent ones and values
    // of no usable kind keep what is stored; without a recipient array the list stays.
    page.settingsImport(writeFile(QStringLiteral("partial.conf"),
                                  "{\"email/serverPort\": \"587\", \"shutdown/enable\": false,"
                                  " \"shutdown/mainFaultTime\": 12, \"email/userName\": null,"
                                  " \"email/authName\": {\"x\": 1}, \"email/receiver\": \"x\"}"));
    QCOMPARE(changed.count(), 1);
    QMap<QString, QString> expected = before;
    expected[QStringLiteral("email/serverPort")] = QStringLiteral("587");
    expected[QStringLiteral("shutdown/enable")] = QStringLiteral("false");
    expected[QStringLiteral("shutdown/mainFaultTime")] = QStringLiteral("12");
    QCOMPARE(storedTexts(), expected);
    QCOMPARE(Settings::instance()->getSettings(Settings::ShutdownEnable).toBool(), false);
    QCOMPARE(recipients(), users);

    // An empty array empties the list; texts in it are taken, other values skipped.
    page.settingsImport(
        writeFile(QStringLiteral("receivers.conf"),
                  "{\"email/receiver\": [\"a@example.org\", 7, \"b@example.org\"]}"));
    QCOMPARE(recipients(), QStringList({"a@example.org", "b@example.org"}));
    page.settingsImport(writeFile(QStringLiteral("none.conf"), "{\"email/receiver\": []}"));
    QCOMPARE(recipients(), QStringList());
    QCOMPARE(changed.count(), 3);
}

void TestPageSettingsCommon::restore()
{
    PageSettingsCommon page;
    QSignalSpy changed(&page, &PageSettingsCommon::settingsChanged);
    Settings *settings = Settings::instance();
    setNonDefaults();
    settings->setSettings(Settings::UpsComPort, QStringLiteral("/dev/ttyUSB0"));
    setRecipients({QStringLiteral("ops@example.org"), QStringLiteral("boss@example.org")});
    ListModelEMailUser *model = ServiceEMail::instance()->listModelEMailUser();
    model->select();
    QCOMPARE(model->rowCount(), 2);
    page.settingsRestore();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(recipients(), QStringList());
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(settings->getSettings(Settings::EMailServerPort).toInt(), 25);
    QCOMPARE(settings->getSettings(Settings::EMailAuthPassword).toString(), QString());
    QCOMPARE(settings->getSettings(Settings::LanguageAuto).toBool(), true);
    QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(),
             QStringLiteral("/dev/ttyUSB0"));
}

QTEST_GUILESS_MAIN(TestPageSettingsCommon)
#include "tst_pagesettingscommon.moc"
