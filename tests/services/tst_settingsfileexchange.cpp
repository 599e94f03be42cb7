#include "clock.h"
#include "database.h"
#include "listmodelemailuser.h"
#include "listmodelnutuser.h"
#include "nutpassword.h"
#include "recordprobe.h"
#include "serviceemail.h"
#include "settings.h"
#include "settingsfileexchange.h"
#include "testroot.h"
#include "watchlist.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

class TestSettingsFileExchange : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recipientList();
    void exportAndImport();
    void partialAndMalformedFiles();
    void restore();

private:
    QUrl fileUrl(const QString &name) const
    {
        return QUrl::fromLocalFile(m_files.path() + QLatin1Char('/') + name);
    }
    QUrl writeFile(const QString &name, const QByteArray &content) const;

    TestRoot m_root;
    QTemporaryDir m_files;
    ListModelEMailUser m_recipients;
    ListModelNutUser m_accounts {m_root.settings()};
    SettingsFileExchange m_page {m_root.settings(), &m_recipients, &m_accounts};
};

namespace {

Settings *g_settings = nullptr;

// The members of the settings file other than the recipient list, each with a value that is
// not its default.
const QList<QPair<int, QVariant>> listed = {
    {Settings::LanguageAuto, false},
    {Settings::LanguageType, 2},
    {Settings::EMailEnable, true},
    {Settings::EMailSenderName, QString::fromUtf8("Zoë's UPS")},
    {Settings::EMailSenderAddress, "ups@example.org"},
    {Settings::EMailEncrypt, 2},
    {Settings::EMailServerAddress, "smtp.example.org"},
    {Settings::EMailServerPort, 465},
    {Settings::EMailAuthEnable, true},
    {Settings::EMailAuthName, "account"},
    {Settings::EMailAuthPassword, "pass word, 20 chars!"},
    {Settings::EMailDailyEnable, true},
    {Settings::EMailDailyTime, "07:30:00"},
    {Settings::ShutdownEnable, true},
    {Settings::ShutdownMainFaultTime, 5},
    {Settings::ShutdownBattLowTime, 2},
    {Settings::ShutdownMainFaultCap, 30},
    {Settings::ShutdownUPSOff, true},
    {Settings::ShutdownUPSOffTime, 3},
    {Settings::ShutdownMinRuntime, 4},
    {Settings::NetworkEnable, true},
    {Settings::NetworkListen, "0.0.0.0,::1"},
    {Settings::NetworkPort, 13493},
    {Settings::NetworkAllow, "192.168.1.0/24"},
    {Settings::NetworkUpsName, "rack"},
    {Settings::NetworkAliases, "ups,qnapups"},
    {Settings::NetworkHostSync, 30},
    {Settings::NetworkMaxClients, 8},
    {Settings::NetworkCertFile, "/etc/quelta/cert.pem"},
    {Settings::NetworkKeyFile, "/etc/quelta/key.pem"},
    {Settings::WebEnable, true},
    {Settings::WebListen, "0.0.0.0,::"},
    {Settings::WebPort, 18493},
    {Settings::WebAllow, "10.0.0.0/8"},
    {Settings::WebCertFile, "/etc/quelta/web.pem"},
    {Settings::WebKeyFile, "/etc/quelta/web.key"},
    {Settings::UpsNutHost, "nas.local"},
    {Settings::UpsNutPort, 3494},
    {Settings::UpsNutUps, "rack"},
    {Settings::UpsNutUser, "monuser"},
    {Settings::UpsNutPassword, "nut secret"},
    {Settings::UpsNutCaFile, "/etc/ssl/nas.pem"},
    {Settings::UpsNutAllowPlain, true},
    {Settings::ShutdownSupplies, "local,Upstairs"},
    {Settings::ShutdownMinSupplies, 2}};

// Every listed key as the text stored, the way the file carries it.
QMap<QString, QString> storedTexts()
{
    Settings *settings = g_settings;
    QMap<QString, QString> texts;
    for (const auto &entry : listed)
        texts.insert(settings->keyName(entry.first),
                     settings->getSettings(settings->keyName(entry.first), true).toString());
    return texts;
}

QStringList recipients()
{
    return RecordProbe::sqlColumn(QStringLiteral("select user from email_user order by id"));
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

int modeOf(const QString &path)
{
    struct stat status = {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 0777)
                                                                     : -1;
}

// Files this process writes may not grow past `bytes` while it lives: a write beyond fails as
// on a full disk (the signal that would end the process is ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_before {};
    void (*m_handler)(int) = nullptr;
};

void setNonDefaults()
{
    for (const auto &entry : listed)
        g_settings->setSettings(entry.first, entry.second);
}

} // namespace

void TestSettingsFileExchange::initTestCase()
{
    g_settings = m_root.settings();
    m_recipients.refresh();
}

QUrl TestSettingsFileExchange::writeFile(const QString &name, const QByteArray &content) const
{
    TestRoot::writeFile(m_files.path() + QLatin1Char('/') + name, content);
    return fileUrl(name);
}

void TestSettingsFileExchange::recipientList()
{
    Clock::setNow(QDateTime(QDate(2024, 3, 10), QTime(8, 30, 5)));
    ListModelEMailUser model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto shown = [&model] {
        QStringList users;
        for (int r = 0; r < model.rowCount(); ++r)
            users << model.data(model.index(r, 0), 258).toString();
        return users;
    };
    model.addUser(QStringLiteral("a@example.org"));
    model.addUser(QStringLiteral("b@example.org"));
    model.addUser(QStringLiteral("a@example.org")); // duplicates are kept
    QCOMPARE(recipients(), QStringList({"a@example.org", "b@example.org", "a@example.org"}));
    QCOMPARE(shown(), recipients());
    QCOMPARE(model.get(1).toString(), QStringLiteral("b@example.org"));
    QVERIFY(!model.get(3).isValid());

    Clock::advance(3600);
    model.updateUser(1, QStringLiteral("c@example.org"));
    QCOMPARE(model.data(model.index(1, 0), 257).toString(), QStringLiteral("2024-03-10 08:30:05"));
    // Editing through the role writes at once.
    QVERIFY(model.setData(model.index(2, 0), QStringLiteral("d@example.org"), 258));
    QCOMPARE(recipients(), QStringList({"a@example.org", "c@example.org", "d@example.org"}));
    QVERIFY(!model.setData(QModelIndex(), QStringLiteral("x"), 258));
    model.delUser(0);
    QCOMPARE(shown(), QStringList({"c@example.org", "d@example.org"}));

    // Rows that do not exist change nothing.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No recipient in row"));
    model.delUser(5);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^No recipient in row"));
    model.updateUser(-1, QStringLiteral("e@example.org"));
    QCOMPARE(recipients(), QStringList({"c@example.org", "d@example.org"}));

    // Emptying the list takes more rows than SQLite hands over in one batch.
    QStringList many;
    for (int i = 0; i < 600; ++i)
        many << QStringLiteral("user%1@example.org").arg(i);
    QSqlDatabase::database().transaction();
    setRecipients(many);
    QSqlDatabase::database().commit();
    model.select();
    QVERIFY(model.get(599).isValid());
    model.removeAll();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(recipients().isEmpty());
}

void TestSettingsFileExchange::exportAndImport()
{
    SettingsFileExchange &page = m_page;
    QSignalSpy changed(&page, &SettingsFileExchange::settingsChanged);
    Settings *settings = g_settings;
    setNonDefaults();
    const QStringList users = {QStringLiteral("ops@example.org"),
                               QStringLiteral("night.shift@example.com"),
                               QStringLiteral("ops@example.org")};
    setRecipients(users);
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/opt/before-exported"));
    m_accounts.reload();
    QCOMPARE(m_accounts.addUser("monuser", "monitor", "secret"), QString());
    QCOMPARE(m_accounts.addUser("ops", "admin", "p+w"), QString());
    const NutAccountList accounts = m_accounts.accounts();
    WatchEntry watched;
    watched.name = QStringLiteral("Upstairs");
    watched.host = QStringLiteral("nas.local");
    watched.ups = QStringLiteral("rack");
    watched.password = QStringLiteral("watch secret");
    QVERIFY(WatchList::write(settings, {watched}));
    const QMap<QString, QString> exported = storedTexts();

    // A name that a URL has to encode.
    const QUrl url = fileUrl(QString::fromUtf8("my settings é.conf"));
    QVERIFY(page.settingsSaveAs(url));
    QCOMPARE(changed.count(), 0);
    const QByteArray text = TestRoot::readFile(url.toLocalFile());
    const QJsonObject object = QJsonDocument::fromJson(text).object();
    QCOMPARE(object.size(), listed.size() + 3);
    QCOMPARE(object.value(QStringLiteral("shutdown/UPSOffTime")).toString(), QStringLiteral("3"));
    QCOMPARE(object.value(QStringLiteral("email/enable")).toString(), QStringLiteral("true"));
    // The passwords travel in their protected form only.
    QCOMPARE(object.value(QStringLiteral("email/authPasswd")).toString().size(), 44);
    QVERIFY(!text.contains("pass word"));
    QVERIFY(!text.contains("nut secret"));
    QVERIFY(!text.contains("watch secret"));
    QCOMPARE(object.value(QStringLiteral("watch")).toArray().at(0).toObject().value("host"),
             QStringLiteral("nas.local"));
    QCOMPARE(object.value(QStringLiteral("email/receiver")).toArray().size(), 3);
    // The network accounts travel as their hashes, never as passwords.
    const QJsonArray exportedAccounts = object.value(QStringLiteral("network/users")).toArray();
    QCOMPARE(exportedAccounts.size(), 2);
    QCOMPARE(exportedAccounts.at(1).toObject().value("role").toString(), QStringLiteral("admin"));
    QVERIFY(!text.contains("secret") && !text.contains("p+w"));
    QVERIFY(!object.contains(QStringLiteral("shutdown/execFile")));

    // Everything changed afterwards comes back with the import, except what the file omits.
    settings->restore();
    settings->setSettings(Settings::UpsNutHost, QStringLiteral("other.host"));
    settings->setSettings(Settings::ShutdownExecFile, QStringLiteral("/opt/after-export"));
    setRecipients({QStringLiteral("someone.else@example.net")});
    m_accounts.replaceAll({});
    QCOMPARE(m_accounts.addUser("intruder", "admin", "x"), QString());
    QVERIFY(WatchList::write(settings, {}));
    QVERIFY(storedTexts() != exported);

    ListModelEMailUser *model = &m_recipients;
    model->select();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(page.settingsImport(url));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(storedTexts(), exported);
    QCOMPARE(recipients(), users);
    QCOMPARE(m_accounts.rowCount(), 2);
    for (int i = 0; i < 2; ++i) {
        QCOMPARE(m_accounts.accounts().at(i).name, accounts.at(i).name);
        QCOMPARE(m_accounts.accounts().at(i).passwordHash, accounts.at(i).passwordHash);
    }
    QVERIFY(NutPassword::verify(m_accounts.accounts().at(0).passwordHash, "secret"));
    QCOMPARE(WatchList::read(settings), QList<WatchEntry>({watched}));
    // The list the e-mail page shows follows.
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(model->get(1).toString(), users.at(1));
    QCOMPARE(settings->getSettings(Settings::EMailAuthPassword).toString(),
             QStringLiteral("pass word, 20 chars!"));
    QCOMPARE(settings->getSettings(Settings::ShutdownExecFile).toString(),
             QStringLiteral("/opt/after-export"));

    // The recipients are new rows with the import time.
    QSqlQuery query(QStringLiteral("select count(*) from email_user where dateTime is not null"));
    QVERIFY(query.next() && query.value(0).toInt() == 3);

    // A file that cannot be written leaves nothing behind and changes nothing.
    QVERIFY(!page.settingsSaveAs(QUrl::fromLocalFile(m_files.path() + "/missing/folder/x.conf")));
    QVERIFY(!QFile::exists(m_files.path() + "/missing/folder/x.conf"));

    // It holds the password: readable by its owner only, like the configuration, also when it
    // replaces a file that others could read.
    QCOMPARE(modeOf(url.toLocalFile()), 0600);
    const QUrl older = writeFile(QStringLiteral("older.conf"), "{}");
    QVERIFY(QFile::setPermissions(older.toLocalFile(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::ReadOther));
    QCOMPARE(modeOf(older.toLocalFile()), 0644);
    QVERIFY(page.settingsSaveAs(older));
    QCOMPARE(modeOf(older.toLocalFile()), 0600);
    QCOMPARE(TestRoot::readFile(older.toLocalFile()), text);

    // A write that fails part of the way (a full disk) keeps the old file whole and leaves no
    // half-written file beside it.
    const QStringList filesBefore = QDir(m_files.path()).entryList(QDir::Files);
    settings->setSettings(Settings::EMailSenderName, QStringLiteral("changed after the export"));
    {
        FileSizeLimit limit(64);
        QVERIFY(!page.settingsSaveAs(older));
    }
    QCOMPARE(TestRoot::readFile(older.toLocalFile()), text);
    QCOMPARE(QDir(m_files.path()).entryList(QDir::Files), filesBefore);
}

// Hand-edited and foreign files: nothing stored is lost to them.
void TestSettingsFileExchange::partialAndMalformedFiles()
{
    SettingsFileExchange &page = m_page;
    QSignalSpy changed(&page, &SettingsFileExchange::settingsChanged);
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
    QCOMPARE(g_settings->getSettings(Settings::ShutdownEnable).toBool(), false);
    QCOMPARE(recipients(), users);

    // An empty array empties the list; texts in it are taken, other values skipped.
    page.settingsImport(
        writeFile(QStringLiteral("receivers.conf"),
                  "{\"email/receiver\": [\"a@example.org\", 7, \"b@example.org\"]}"));
    QCOMPARE(recipients(), QStringList({"a@example.org", "b@example.org"}));
    page.settingsImport(writeFile(QStringLiteral("none.conf"), "{\"email/receiver\": []}"));
    QCOMPARE(recipients(), QStringList());
    QCOMPARE(changed.count(), 3);
    QCOMPARE(page.importFailures(), QStringList());

    // What cannot be stored is told to the page, one line each, and the import is no success;
    // the rest goes in, and what was stored before stays whole. Here the database refuses the
    // new recipients.
    setRecipients(users);
    QSqlQuery refuse;
    QVERIFY(refuse.exec(QStringLiteral("create trigger refuse before insert on email_user begin "
                                       "select raise(abort, 'no room for recipients'); end")));
    const QByteArray hash = NutPassword::hash("other");
    const QUrl both =
        writeFile(QStringLiteral("both.conf"),
                  "{\"email/receiver\": [\"new@example.org\"], \"shutdown/mainFaultTime\": 7,"
                  " \"network/users\": [{\"name\": \"new\", \"role\": \"admin\","
                  " \"password\": \"" +
                      hash + "\"}]}");
    QSignalSpy told(&page, &SettingsFileExchange::importFailuresChanged);
    QVERIFY(!page.settingsImport(both));
    QCOMPARE(page.importFailures().size(), 1);
    QVERIFY2(page.importFailures().at(0).contains("no room for recipients"),
             qPrintable(page.importFailures().join('|')));
    QCOMPARE(recipients(), users);
    QCOMPARE(g_settings->getSettings(Settings::ShutdownMainFaultTime).toInt(), 7);
    QVERIFY(refuse.exec(QStringLiteral("drop trigger refuse")));
    m_accounts.replaceAll({});
    QCOMPARE(m_accounts.addUser("kept", "monitor", "secret"), QString());
    // A full disk: neither the database nor the configuration file takes more.
    {
        FileSizeLimit limit(64);
        QVERIFY(!page.settingsImport(both));
    }
    QCOMPARE(page.importFailures().size(), 2);
    QVERIFY(page.importFailures().at(0).contains("recipients"));
    QVERIFY(page.importFailures().at(1).contains("accounts"));
    QCOMPARE(recipients(), users);
    const QByteArray config = m_root.read(QStringLiteral("/cfg/config.cfg"));
    QVERIFY(config.contains("users\\kept\\") && !config.contains("users\\new\\"));
    // ...and the program serves what the file holds, not what could not be written.
    m_accounts.reload();
    QCOMPARE(m_accounts.rowCount(), 1);
    QCOMPARE(m_accounts.accounts().at(0).name, QByteArray("kept"));
    QCOMPARE(told.count(), 2);
    QCOMPARE(changed.count(), 5);
}

void TestSettingsFileExchange::restore()
{
    SettingsFileExchange &page = m_page;
    QSignalSpy changed(&page, &SettingsFileExchange::settingsChanged);
    Settings *settings = g_settings;
    setNonDefaults();
    settings->setSettings(Settings::UpsComPort, QStringLiteral("/dev/ttyUSB0"));
    setRecipients({QStringLiteral("ops@example.org"), QStringLiteral("boss@example.org")});
    m_accounts.reload();
    m_accounts.addUser("monuser", "monitor", "secret");
    const int accounts = m_accounts.rowCount();
    ListModelEMailUser *model = &m_recipients;
    model->select();
    QCOMPARE(model->rowCount(), 2);
    settings->setSettings(Settings::ShutdownEnable, true);
    settings->setSettings(Settings::NetworkEnable, true);
    const QStringList said = page.restoreChanges();
    QCOMPARE(said.size(), 7);
    QVERIFY(said.at(0).startsWith(QStringLiteral("The protection is switched off")));
    QVERIFY(said.at(1).startsWith(QStringLiteral("Network sharing is switched off")));
    QCOMPARE(said.at(3), QStringLiteral("Every e-mail recipient is deleted (2)."));
    QVERIFY(said.at(5).contains(QStringLiteral("the network accounts")));
    // The watched UPSes left from the import case: named as kept.
    QCOMPARE(said.at(6), QStringLiteral("Kept too: the watched UPSes (Upstairs)."));
    page.settingsRestore();
    // The accounts are not settings: they stay, and so does the watched list.
    QCOMPARE(m_accounts.rowCount(), accounts);
    QCOMPARE(WatchList::read(settings).size(), 1);
    QCOMPARE(page.restoreChanges().size(), 3);
    QCOMPARE(settings->getSettings(Settings::NetworkEnable).toBool(), false);
    QCOMPARE(settings->getSettings(Settings::NetworkListen).toStringList(),
             QStringList({"127.0.0.1", "::1"}));
    QCOMPARE(settings->getSettings(Settings::WebEnable).toBool(), false);
    QCOMPARE(settings->getSettings(Settings::WebListen).toStringList(), QStringList({"127.0.0.1"}));
    QCOMPARE(settings->getSettings(Settings::WebPort).toInt(), 8493);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(recipients(), QStringList());
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(settings->getSettings(Settings::EMailServerPort).toInt(), 25);
    QCOMPARE(settings->getSettings(Settings::EMailAuthPassword).toString(), QString());
    QCOMPARE(settings->getSettings(Settings::LanguageAuto).toBool(), true);
    QCOMPARE(settings->getSettings(Settings::UpsComPort).toString(),
             QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(settings->getSettings(Settings::UpsNutHost).toString(), QStringLiteral("nas.local"));
}

QTEST_GUILESS_MAIN(TestSettingsFileExchange)
#include "tst_settingsfileexchange.moc"
