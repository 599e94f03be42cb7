// The program's own files in its folder: the settings file and the daily log.
#include "clock.h"
#include "loghandler.h"
#include "settings.h"
#include "testroot.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

namespace {

QStringList warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtWarningMsg)
        warnings << text;
}

} // namespace

// One process, one store: the cases run in order on the same root and file.
class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void firstStartWritesEveryDefault();
    void completesAHandEditedFileWithoutTouchingIt();
    void damagedFileKeptAside();
    void restoreKeepsTheLinkSettings();
    void passwordIsStoredProtected();
    void entriesAreStampedAndSplitAtMidnight();
    void threadsNeverInterleave();
    void aDeletedLogFolderIsSurvived();
    void cleanupTestCase();

private:
    QByteArray logOf(const QString &day) { return m_root->read("/log/" + day + ".txt"); }
    QByteArray raw(const QString &key) { return m_settings->getSettings(key, true).toByteArray(); }
    QString password() { return m_settings->getSettings(Settings::EMailAuthPassword).toString(); }

    TestRoot *m_root = nullptr;
    Settings *m_settings = nullptr;
};

void TestSettings::initTestCase()
{
    m_root = new TestRoot(TestRoot::FoldersOnly);
    m_settings = new Settings;
}

void TestSettings::firstStartWritesEveryDefault()
{
    const QString path = m_root->file("/cfg/config.cfg");
    QVERIFY(!QFile::exists(path));
    m_settings->load();
    // It holds the SMTP password: owner only.
    QCOMPARE(QFile(path).permissions() & 0x0077, QFile::Permissions());

    QSettings file(path, QSettings::IniFormat);
    QVERIFY(!file.contains("email/receiver"));
    // The battery's installation day stays unset: the first answering UPS stands in for it.
    QVERIFY(!file.contains("battery/installed"));
    const QPair<const char *, const char *> defaults[] = {
        {"email/dailyTime", "12:00:00"}, {"email/serverPort", "25"},
        {"ups/baudRate", "2400"},        {"ups/saveCycle", "60"},
        {"shutdown/UPSOffTime", "1"},    {"language/auto", "true"},
        {"ups/nutPort", "3493"},         {"ups/nutUps", "ups"},
        {"ups/nutAllowPlain", "false"},  {"notify/enable", "true"},
        {"battery/replaceMonths", "36"}, {"network/listen", "127.0.0.1,::1"},
        {"network/port", "3493"},        {"network/hostSync", "15"}};
    for (const auto &key : defaults)
        QCOMPARE(file.value(key.first).toString(), QString(key.second));

    // A write is on disk when the call returns, announced, and the file stays owner-only.
    QSignalSpy changed(m_settings, &Settings::changed);
    m_settings->setSettings(Settings::EMailServerAddress, "smtp.example.org");
    QCOMPARE(changed.takeFirst().at(0).toString(), QStringLiteral("email/serverAddr"));
    QCOMPARE(QSettings(path, QSettings::IniFormat).value("email/serverAddr").toString(),
             QString("smtp.example.org"));
    QCOMPARE(QFile(path).permissions() & 0x0077, QFile::Permissions());
}

// A hand-edited file: values the program cannot use are each told once, with the value used
// instead, and stay in the file as they were; the missing keys are completed.
void TestSettings::completesAHandEditedFileWithoutTouchingIt()
{
    const QString path = m_root->file("/cfg/config.cfg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[language]\ntype=42\n[shutdown]\nmainFaultTime=soon\nshutdownMode=7\n"
               "battLowTime=5\n[network]\nenable=yes please\n[email]\nserverPort=-1\n"
               "dailyTime=25:61:99\n[battery]\nreplaceMonths=0\ninstalled=2024-02-30\n"
               "[ups]\ncomPort=/dev/ttyS1\n[mine]\nnote=kept\n");
    file.close();

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    m_settings->load();
    const QList<QPair<int, QVariant>> used = {
        {Settings::LanguageType, 0},         {Settings::ShutdownMainFaultTime, 0},
        {Settings::ShutdownMode, 0},         {Settings::NetworkEnable, false},
        {Settings::EMailServerPort, 25},     {Settings::EMailDailyTime, "12:00:00"},
        {Settings::BatteryReplaceMonths, 36}, {Settings::BatteryInstalled, QVariant()}};
    for (int round = 0; round < 2; ++round) {
        for (const auto &[type, value] : used)
            QCOMPARE(m_settings->getSettings(type), value);
    }
    QCOMPARE(m_settings->getSettings(Settings::ShutdownBattLowTime).toInt(), 5);
    QVERIFY(!m_settings->getSettings(Settings::EMailReceiver).isValid());
    const QString told = warnings.join('\n');
    QCOMPARE(warnings.size(), used.size());
    for (const char *line :
         {"The setting language/type=42 in ", "is not one of 0, 1, 2, 3; 0 is used instead",
          "network/enable=yes please", "is not true or false; false is used instead",
          "email/serverPort=-1", "is not a whole number from 1 to 65535; 25 is used instead",
          "email/dailyTime=25:61:99", "as hh:mm:ss; 12:00:00 is used instead",
          "battery/replaceMonths=0", "shutdown/shutdownMode=7", "shutdown/mainFaultTime=soon",
          "battery/installed=2024-02-30 in ", "nothing is used instead"})
        QVERIFY2(told.contains(line), line);
    warnings.clear();

    // A value the file holds already (read as text: the link's start writes its type and port
    // back) is announced but not written again: the file is not replaced. A new value is.
    const auto inode = [&path] {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    };
    const auto before = inode();
    QSignalSpy changed(m_settings, &Settings::changed);
    m_settings->setSettings(Settings::ShutdownBattLowTime, 5);
    m_settings->setSettings(Settings::UpsComPort, QStringLiteral("/dev/ttyS1"));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(inode(), before);
    m_settings->setSettings(Settings::EMailServerPort, 587);
    QVERIFY(inode() != before);
    QCOMPARE(m_settings->getSettings(Settings::EMailServerPort).toInt(), 587);
    qInstallMessageHandler(previous);

    QCOMPARE(warnings, QStringList());
    // On disk: the hand-set values kept, the missing keys completed, the later write there.
    QSettings disk(path, QSettings::IniFormat);
    QCOMPARE(disk.value("language/type").toInt(), 42);
    QCOMPARE(disk.value("shutdown/mainFaultTime").toString(), QString("soon"));
    QCOMPARE(disk.value("network/enable").toString(), QString("yes please"));
    QCOMPARE(disk.value("ups/comPort").toString(), QString("/dev/ttyS1"));
    QCOMPARE(disk.value("mine/note").toString(), QString("kept"));
    QCOMPARE(disk.value("ups/saveCycle").toInt(), 60);
    QCOMPARE(disk.value("email/serverPort").toInt(), 587);
}

// Lines that are not settings (junk, a binary file): the file is kept aside as it was, said in
// the log before anything is written, and a new one holds the settings that could be read.
void TestSettings::damagedFileKeptAside()
{
    const QString path = m_root->file("/cfg/config.cfg");
    QByteArray junk =
        "[language]\ntype=2\n[ups]\ncomPort=/dev/ttyS1\nthis is not ini\n=\n[[broken\n";
    while (junk.size() < 4 * 1024 * 1024)
        junk += "lorem ipsum dolor sit amet consectetur adipiscing\n";
    QByteArray binary(100000, '\0');
    QRandomGenerator random(17);
    for (char &byte : binary)
        byte = char(random.bounded(256));
    const QList<QPair<QByteArray, QStringList>> cases = {
        {junk, {"language/type=2", "ups/comPort=/dev/ttyS1"}},
        {binary, {}},
    };
    for (int i = 0; i < cases.size(); ++i) {
        Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(9, 0, i)));
        const QString aside = path + QString(".damaged-2024060109000%1").arg(i);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(cases.at(i).first);
        file.close();

        static QString seenAside;
        static QByteArray asideWhenLogged;
        seenAside = aside;
        asideWhenLogged.clear();
        warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &text) {
                if (type != QtWarningMsg)
                    return;
                warnings << text;
                QFile kept(seenAside);
                if (kept.open(QIODevice::ReadOnly))
                    asideWhenLogged = kept.readAll();
            });
        m_settings->load();
        qInstallMessageHandler(previous);

        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings.first().contains("kept as " + aside), qPrintable(warnings.first()));
        QVERIFY(asideWhenLogged == cases.at(i).first);
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QVERIFY(kept.readAll() == cases.at(i).first);
        // The new file: what could be read, every default, nothing else; owner only.
        QSettings disk(path, QSettings::IniFormat);
        QCOMPARE(disk.status(), QSettings::NoError);
        for (const QString &value : cases.at(i).second)
            QCOMPARE(disk.value(value.section('=', 0, 0)).toString(), value.section('=', 1));
        QCOMPARE(disk.value("ups/saveCycle").toInt(), 60);
        QStringList known;
        for (int type = 0; type < 4096; ++type)
            known << m_settings->keyName(type);
        for (const QString &key : disk.allKeys())
            QVERIFY2(known.contains(key), qPrintable(key));
        QCOMPARE(QFile(path).permissions() & 0x0077, QFile::Permissions());
    }
    Clock::useSystemClock();
}

void TestSettings::restoreKeepsTheLinkSettings()
{
    m_settings->setSettings(Settings::UpsCommType, 1);
    m_settings->setSettings(Settings::UpsComPort, "/dev/ttyUSB3");
    m_settings->setSettings(Settings::UpsBaudRate, 9600);
    m_settings->setSettings(Settings::ShutdownEnable, true);
    m_settings->setSettings(Settings::EMailAuthPassword, "secret");
    m_settings->setSettings(Settings::UpsNutHost, "nas.local");

    QSignalSpy changed(m_settings, &Settings::changed);
    m_settings->restore();
    QVERIFY(changed.contains({QStringLiteral("ups/baudRate")}));
    QVERIFY(!changed.contains({QStringLiteral("ups/comPort")}));
    QCOMPARE(m_settings->getSettings(Settings::UpsNutHost).toString(), QString("nas.local"));
    QCOMPARE(m_settings->getSettings(Settings::UpsCommType).toInt(), 1);
    QCOMPARE(m_settings->getSettings(Settings::UpsComPort).toString(), QString("/dev/ttyUSB3"));
    QCOMPARE(m_settings->getSettings(Settings::UpsBaudRate).toInt(), 2400);
    QCOMPARE(m_settings->getSettings(Settings::ShutdownEnable).toBool(), false);
    QCOMPARE(password(), QString());
}

void TestSettings::passwordIsStoredProtected()
{
    m_settings->setSettings(Settings::EMailAuthPassword, "abc");
    QCOMPARE(password(), QString("abc"));
    const QByteArray stored = raw("email/authPasswd");
    QCOMPARE(stored.size(), 24);
    QVERIFY(!stored.contains("abc"));
    // The network UPS password is kept the same way.
    m_settings->setSettings(Settings::UpsNutPassword, "abc");
    QCOMPARE(raw("ups/nutPassword"), stored);
    QCOMPARE(m_settings->getSettings(Settings::UpsNutPassword).toString(), QString("abc"));

    // The raw form travels unchanged (settings export and import) and decodes again.
    m_settings->setSettings(Settings::EMailAuthPassword, "something else");
    m_settings->setSettings("email/authPasswd", stored, true);
    QCOMPARE(password(), QString("abc"));

    // Longer than a block, non-ASCII (17 bytes) and exactly one block.
    for (const QString &text :
         {QStringLiteral("0123456789abcdefWXYZ"), QStringLiteral("pässwörd€1234"),
          QStringLiteral("0123456789abcdef")}) {
        m_settings->setSettings(Settings::EMailAuthPassword, text);
        QCOMPARE(password(), text);
    }
    QCOMPARE(raw("email/authPasswd").size(), 24);

    // Hand-edited values shorter than one block, or not Base64 at all: nothing is read past
    // the decoded data (the sanitizer build watches) and the result is empty.
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    for (const char *damaged : {"QUJD", "A", "!!!!", "AAAAAAAAAAAAAAAAAAAA"}) {
        m_settings->setSettings("email/authPasswd", QByteArray(damaged), true);
        QCOMPARE(password(), QString());
    }
    // The log says which password it is.
    m_settings->setSettings("ups/nutPassword", QByteArray("QUJD"), true);
    QCOMPARE(m_settings->getSettings(Settings::UpsNutPassword).toString(), QString());
    qInstallMessageHandler(previous);
    QCOMPARE(warnings.size(), 5);
    QCOMPARE(warnings.first(),
             QString("The stored SMTP password (email/authPasswd) is damaged and is ignored"));
    QCOMPARE(warnings.last(), QString("The stored network link's password (ups/nutPassword) is "
                                      "damaged and is ignored"));
}

// The log: the program's handler takes every message from here on.
void TestSettings::entriesAreStampedAndSplitAtMidnight()
{
    LogHandler::install();
    Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 30, 15, 42)));
    qWarning("text");
    qDebug() << "second";
    qInfo("third");
    qCritical("fourth");
    QCOMPARE(logOf("2024-05-01"),
             QByteArray("[2024-05-01 08:30:15.042] Warning: text\n"
                        "[2024-05-01 08:30:15.042] Debug: second\n"
                        "[2024-05-01 08:30:15.042] Information: third\n"
                        "[2024-05-01 08:30:15.042] Critical: fourth\n"));

    Clock::setNow(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999)));
    qWarning("last of the year");
    Clock::advance(0, 1);
    qWarning("first of the year");
    QCOMPARE(logOf("2024-12-31"),
             QByteArray("[2024-12-31 23:59:59.999] Warning: last of the year\n"));
    QCOMPARE(logOf("2025-01-01"),
             QByteArray("[2025-01-01 00:00:00.000] Warning: first of the year\n"));
}

void TestSettings::threadsNeverInterleave()
{
    Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(12, 0)));
    const int threads = 4, perThread = 300;
    QList<QThread *> workers;
    for (int t = 0; t < threads; ++t) {
        workers << QThread::create([t]() {
            for (int i = 0; i < perThread; ++i)
                qWarning("thread %d message %d %s", t, i, QByteArray(200, 'a' + t).constData());
        });
    }
    for (QThread *worker : workers)
        worker->start();
    for (QThread *worker : workers) {
        QVERIFY(worker->wait(20000));
        delete worker;
    }

    // Every entry whole, one line each.
    const QStringList entries =
        QString::fromUtf8(logOf("2024-06-01")).split("\n", Qt::SkipEmptyParts);
    const QRegularExpression entry(
        "^\\[2024-06-01 12:00:00\\.000\\] Warning: thread (\\d) message \\d+ ([a-d])\\2{199}$");
    QCOMPARE(entries.size(), threads * perThread);
    for (const QString &text : entries)
        QVERIFY2(entry.match(text).hasMatch(), qPrintable(text));
}

void TestSettings::aDeletedLogFolderIsSurvived()
{
    // The handler's own complaint about the missing folder re-enters it on the same thread;
    // it must be dropped there, or every nested call would fail and complain again.
    Clock::setNow(QDateTime(QDate(2024, 7, 1), QTime(9, 0)));
    QVERIFY(QDir(m_root->file("/log")).removeRecursively());
    qWarning("lost in the file, kept on standard error");
    qWarning("still running");
    QVERIFY(!QFile::exists(m_root->file("/log/2024-07-01.txt")));

    QVERIFY(QDir().mkdir(m_root->file("/log")));
    qWarning("back");
    QCOMPARE(logOf("2024-07-01"), QByteArray("[2024-07-01 09:00:00.000] Warning: back\n"));
}

void TestSettings::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    Clock::useSystemClock();
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
