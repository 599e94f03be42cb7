// The program's own files in its folder: the settings file and the daily log.
#include "clock.h"
#include "loghandler.h"
#include "logrecorder.h"
#include "paths.h"
#include "settingkeys.h"
#include "settings.h"
#include "settingsamples.h"
#include "settingsfilecheck.h"
#include "settingsfileformat.h"
#include "testroot.h"

#include <QtTest>

#include <limits>

#include <sys/stat.h>

namespace {

// The warnings of one load of a damaged file, with the file kept aside as it was when each was
// logged.
QStringList loadWarnings;

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
    void everyKeyInEveryFormAndEveryDamage();
    void fileFormatMatchesQtSettings();
    void restoreKeepsTheLinkSettings();
    void passwordIsStoredProtected();
    void changesByAnotherProgram();
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
    LogRecorder::install();
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
    QVERIFY(TestRoot::writeFile(
        path,
        "[language]\ntype=42\n[shutdown]\nmainFaultTime=soon\nshutdownMode=7\n"
        "battLowTime=5\n[network]\nenable=yes please\n[email]\nserverPort=-1\n"
        "dailyTime=25:61:99\n[battery]\nreplaceMonths=0\ninstalled=2024-02-30\n"
        "[ups]\ncomPort=/dev/ttyS1\n[mine]\nnote=kept\n[web]\nlisten=not an address\n"
        "allow=10.0.0.0/33, 192.168.1.0/24\n"));

    LogRecorder::take();
    m_settings->load();
    const QList<QPair<int, QVariant>> used = {{Settings::LanguageType, 0},
                                              {Settings::ShutdownMainFaultTime, 0},
                                              {Settings::ShutdownMode, 0},
                                              {Settings::NetworkEnable, false},
                                              {Settings::EMailServerPort, 25},
                                              {Settings::EMailDailyTime, "12:00:00"},
                                              {Settings::BatteryReplaceMonths, 36},
                                              {Settings::BatteryInstalled, QVariant()},
                                              {Settings::WebListen, QStringList {"127.0.0.1"}},
                                              {Settings::WebAllow, QStringList()}};
    for (int round = 0; round < 2; ++round) {
        for (const auto &[type, value] : used)
            QCOMPARE(m_settings->getSettings(type), value);
    }
    QCOMPARE(m_settings->getSettings(Settings::ShutdownBattLowTime).toInt(), 5);
    QVERIFY(!m_settings->getSettings(Settings::EMailReceiver).isValid());
    const QStringList warnings = LogRecorder::take(QtWarningMsg);
    const QString told = warnings.join('\n');
    QCOMPARE(warnings.size(), used.size());
    for (const char *line :
         {"The setting language/type=42 in ", "is not one of 0, 1, 2, 3; 0 is used instead",
          "network/enable=yes please", "is not true or false; false is used instead",
          "email/serverPort=-1", "is not a whole number from 1 to 65535; 25 is used instead",
          "email/dailyTime=25:61:99", "such as 07:30:00; 12:00:00 is used instead",
          "battery/replaceMonths=0", "shutdown/shutdownMode=7", "shutdown/mainFaultTime=soon",
          "battery/installed=2024-02-30 in ", "nothing is used instead",
          "web/listen=not an address in ",
          "is not IP addresses separated by commas, such as 127.0.0.1,::1",
          "web/allow=10.0.0.0/33,192.168.1.0/24 in "})
        QVERIFY2(told.contains(line), line);
    LogRecorder::take();

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
    // Text that QVariant's own compare takes for the value held (any word for true) is new.
    m_settings->setSettings(Settings::ShutdownEnable, true);
    m_settings->setSettings("shutdown/enable", QStringLiteral("maybe"), true);
    QCOMPARE(m_settings->getSettings("shutdown/enable", true).toString(), QString("maybe"));
    m_settings->setSettings(Settings::ShutdownEnable, true);
    QCOMPARE(m_settings->getSettings("shutdown/enable", true).toString(), QString("true"));
    // A good value written over an impossible one is read as it is (the file the next cases
    // damage holds language 2).
    m_settings->setSettings(Settings::LanguageType, 2);
    QCOMPARE(m_settings->getSettings(Settings::LanguageType).toInt(), 2);
    QCOMPARE(LogRecorder::take(QtWarningMsg), QStringList());
    // On disk: the hand-set values kept, the missing keys completed, the later write there.
    QSettings disk(path, QSettings::IniFormat);
    QCOMPARE(disk.value("language/type").toInt(), 2);
    QCOMPARE(disk.value("shutdown/mainFaultTime").toString(), QString("soon"));
    QCOMPARE(disk.value("network/enable").toString(), QString("yes please"));
    QCOMPARE(disk.value("ups/comPort").toString(), QString("/dev/ttyS1"));
    QCOMPARE(disk.value("mine/note").toString(), QString("kept"));
    QCOMPARE(disk.value("ups/saveCycle").toInt(), 60);
    QCOMPARE(disk.value("email/serverPort").toInt(), 587);

    // Good values again for the cases that follow on the same file.
    for (const char *key :
         {"shutdown/mainFaultTime", "shutdown/shutdownMode", "email/dailyTime", "network/enable",
          "battery/replaceMonths", "battery/installed", "web/listen", "web/allow"})
        disk.remove(key);
    disk.sync();
    m_settings->load();
}

// A file that does not read back as the program's own (lines that are not settings, random
// bytes, a damaged block, a file cut short, zeros, nothing at all) is kept aside as it was, said
// in the log before anything is written and told to the window; the new one holds every setting
// that stands whole in it (the protection's among them) and the defaults for the rest. A
// hand-edited file that is still settings is left as it is.
void TestSettings::damagedFileKeptAside()
{
    const QString path = m_root->file("/cfg/config.cfg");
    m_settings->setSettings(Settings::ShutdownEnable, true);
    m_settings->setSettings(Settings::ShutdownMainFaultTime, 5);
    m_settings->setSettings(Settings::UpsCommType, 1);
    m_settings->setSettings(Settings::UpsComPort, "/dev/ttyS1");
    m_settings->setSettings(Settings::EMailServerAddress, "smtp.example.org");
    m_settings->setSettings("network/users/mon/role", "monitor");
    const QByteArray own = m_root->read("/cfg/config.cfg");
    const auto valuesOf = [](const QString &file) {
        QSettings ini(file, QSettings::IniFormat);
        QMap<QString, QString> values;
        for (const QString &key : ini.allKeys())
            values.insert(key, ini.value(key).toString());
        return values;
    };
    const QMap<QString, QString> ownValues = valuesOf(path);
    QMap<QString, QString> defaults;
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("cfg"));
        Paths::setRoot(dir.path());
        Settings fresh;
        fresh.load();
        defaults = valuesOf(dir.filePath("cfg/config.cfg"));
        Paths::setRoot(m_root->path());
    }
    // Where each key's line begins and ends in the program's own file, and where its group's
    // header begins.
    struct Line
    {
        int start, end, group;
    };
    QMap<QString, Line> lines;
    QString group;
    int groupStart = 0;
    for (int at = 0; at < own.size();) {
        const int end = own.indexOf('\n', at) + 1;
        const QByteArray line = own.mid(at, end - at).trimmed();
        if (line.startsWith('[')) {
            group = QString::fromLatin1(line.mid(1, line.size() - 2)) + '/';
            groupStart = at;
        } else if (line.contains('=')) {
            const QString key =
                QString::fromLatin1(line.left(line.indexOf('='))).replace('\\', '/');
            lines.insert(group + key, {at, end, groupStart});
        }
        at = end;
    }

    QRandomGenerator random(17);
    const auto randomBytes = [&random](int size) {
        QByteArray bytes(size, '\0');
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        return bytes;
    };
    QByteArray junk =
        "[language]\ntype=2\n[ups]\ncomPort=/dev/ttyS1\nthis is not ini\n=\n[[broken\n";
    while (junk.size() < 4 * 1024 * 1024)
        junk += "lorem ipsum dolor sit amet consectetur adipiscing\n";
    // Each damaged file with where the damage begins and ends (the rest stands whole).
    struct Damage
    {
        QByteArray content;
        int from, to;
    };
    const int all = std::numeric_limits<int>::max(); // nothing of the program's file is left
    QList<Damage> cases = {{junk, 0, all},
                           {randomBytes(100000), 0, all},
                           {QByteArray(own.size(), '\0'), 0, all},
                           {QByteArray(), 0, all}};
    for (int size : {1, 17, 600, 5000})
        cases.append({randomBytes(size), 0, all});
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const int at = int(own.size()) * quarter / 4;
        for (const QByteArray &block : {randomBytes(64), QByteArray(64, '\0')})
            cases.append({QByteArray(own).replace(at, 64, block), at, at + 64});
    }
    for (int seventh = 1; seventh <= 6; ++seventh) {
        int at = int(own.size()) * seventh / 7;
        if (own.at(at - 1) == '\n')
            --at; // cut inside a line, not between two
        cases.append({own.left(at), at, all});
    }

    int protectionKept = 0;
    for (int i = 0; i < cases.size(); ++i) {
        const Damage &damage = cases.at(i);
        const QByteArray label = QByteArray::number(i);
        Clock::setNow(QDateTime(QDate(2024, 6, 1), QTime(9, 0, i)));
        const QString aside =
            path + QStringLiteral(".damaged-20240601090%1").arg(i, 3, 10, QLatin1Char('0'));
        QVERIFY(TestRoot::writeFile(path, damage.content));

        static QString seenAside;
        static QByteArray asideWhenLogged;
        seenAside = aside;
        asideWhenLogged = "(none)";
        loadWarnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &text) {
                if (type != QtWarningMsg)
                    return;
                loadWarnings << text;
                QFile kept(seenAside);
                if (kept.open(QIODevice::ReadOnly))
                    asideWhenLogged = kept.readAll();
            });
        QSignalSpy notice(m_settings, &Settings::fileNoticeChanged);
        m_settings->load();
        qInstallMessageHandler(previous);

        QCOMPARE(loadWarnings.size(), 1);
        QVERIFY2(loadWarnings.first().contains("kept as " + aside),
                 qPrintable(loadWarnings.first()));
        QVERIFY2(asideWhenLogged == damage.content, label);
        QCOMPARE(m_root->read(aside.mid(m_root->path().size())), damage.content);
        QCOMPARE(QFile(aside).permissions() & 0x0077, QFile::Permissions());
        QCOMPARE(m_settings->setAsidePath(), aside);
        QVERIFY(notice.count() >= 1);
        QVERIFY(m_settings->fileNotice().contains(aside));

        // The new file: settings of the program only, each as it was where it stood whole, else
        // its default; owner only.
        QSettings disk(path, QSettings::IniFormat);
        QCOMPARE(disk.status(), QSettings::NoError);
        QVERIFY(SettingsFileCheck(m_root->read("/cfg/config.cfg")).isSound());
        const QMap<QString, QString> now = valuesOf(path);
        for (auto it = now.cbegin(); it != now.cend(); ++it) {
            const Line line = lines.value(it.key(), {-1, -1, -1});
            const bool whole = line.start >= 0 &&
                ((line.end <= damage.from) || (line.group >= damage.to && line.start >= damage.to));
            const bool known = defaults.contains(it.key()) || SettingKeys::find(it.key());
            QVERIFY2(known || (whole && it.key().startsWith("network/users/")),
                     qPrintable(label + ' ' + it.key()));
            if (whole)
                QVERIFY2(it.value() == ownValues.value(it.key()),
                         qPrintable(label + ' ' + it.key()));
            else
                QVERIFY2(it.value() == defaults.value(it.key()) ||
                             it.value() == ownValues.value(it.key()),
                         qPrintable(label + ' ' + it.key()));
        }
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
            QVERIFY2(now.contains(it.key()), qPrintable(it.key()));
        if (now.value("shutdown/enable") == "true" && now.value("shutdown/mainFaultTime") == "5" &&
            now.value("ups/comPort") == "/dev/ttyS1" && now.value("ups/commType") == "1")
            ++protectionKept;
        QCOMPARE(QFile(path).permissions() & 0x0077, QFile::Permissions());
    }
    // The protection and the link came through where the damage spared them.
    QVERIFY2(protectionKept >= 2, QByteArray::number(protectionKept));

    // Hand-edited files that are still settings, whatever their editor: read, left as they are.
    const QList<QByteArray> handEdited = {
        "\xef\xbb\xbf; my settings\r\n[shutdown]\r\nenable=true\r\n# "
        "note\r\n\r\n[mine]\r\nnote=kept\r\n",
        "[General]\nmine=1\n[shutdown] ; the protection\nenable = "
        "true\nexecFile=/home/j\xfcrgen/off.sh\n",
        "[shutdown]\n  enable=true\nexecFile=/home/jürgen/off.sh\t\n[ups]\ncomPort=\n",
    };
    for (const QByteArray &content : handEdited) {
        QVERIFY(TestRoot::writeFile(path, content));
        const int files = QDir(m_root->file("/cfg")).count();
        LogRecorder::take();
        m_settings->load();
        QCOMPARE(LogRecorder::take(QtWarningMsg), QStringList());
        QCOMPARE(QDir(m_root->file("/cfg")).count(), files);
        QCOMPARE(m_settings->fileNotice(), QString());
        QCOMPARE(m_settings->getSettings(Settings::ShutdownEnable).toBool(), true);
    }
    // UTF-8 where a line is, Latin-1 where it is not: the same name either way.
    QCOMPARE(m_settings->getSettings(Settings::ShutdownExecFile).toString(),
             QString("/home/jürgen/off.sh"));
    Clock::useSystemClock();
}

// Every key of the table, the watched list's included, in every form it may stand in the file
// (as the program writes it, quoted by hand, a list as "a, b" or "a,b" unquoted) reads as its
// typed value. A line damaged in any way (an open quote, an escape that is none, a backslash at
// its end, junk bytes) is told, the file kept aside as it was, and only that line's value is
// lost: junk bytes may have been a group header too, so they also cost the lines below them in
// their group, up to the next header.
void TestSettings::everyKeyInEveryFormAndEveryDamage()
{
    const QString path = m_root->file("/cfg/config.cfg");
    const QStringList keys = SettingKeys::names(2);
    QMap<QString, SettingSamples::Sample> samples;
    for (const QString &key : keys)
        samples.insert(key, SettingSamples::of(key));
    const auto same = [](const QString &key, const QVariant &actual, const QVariant &expected) {
        if (SettingKeys::find(key)->kind == SettingKeys::Kind::Secret)
            return actual.toString() == expected.toString();
        return actual == expected;
    };
    QMap<QString, int> lineOf;
    const auto fileOf = [&](int round) {
        QByteArray text;
        QString group;
        int line = 0;
        for (int i = 0; i < keys.size(); ++i) {
            const QString &key = keys.at(i);
            if (key.section('/', 0, 0) != group) {
                group = key.section('/', 0, 0);
                text += '[' + group.toLatin1() + "]\n";
                ++line;
            }
            const QList<QByteArray> &forms = samples.value(key).forms;
            text += key.section('/', 1).replace('/', '\\').toLatin1() + '=' +
                forms.at((round + i) % forms.size()) + '\n';
            lineOf.insert(key, ++line);
        }
        return text;
    };
    const auto write = [&path](const QByteArray &text) {
        return TestRoot::writeFile(path, text);
    };

    for (int round = 0; round < 5; ++round) {
        QVERIFY(write(fileOf(round)));
        LogRecorder::take();
        m_settings->load();
        QCOMPARE(LogRecorder::take(QtWarningMsg), QStringList());
        QCOMPARE(m_settings->fileNotice(), QString());
        QCOMPARE(Settings::check(fileOf(round)).size(), 0);
        for (const QString &key : keys)
            QVERIFY2(same(key, m_settings->getSettings(key), samples.value(key).typed),
                     qPrintable(QString("round %1: %2").arg(round).arg(key)));
    }

    const QByteArray sound = fileOf(0);
    {
        QList<QByteArray> lines = sound.split('\n');
        QList<int> expectedLines;
        for (const QString &key : keys) {
            const SettingKeys::Kind kind = SettingKeys::find(key)->kind;
            if (kind == SettingKeys::Kind::Text || kind == SettingKeys::Kind::Path ||
                kind == SettingKeys::Kind::NameList || kind == SettingKeys::Kind::Secret)
                continue;
            const int line = lineOf.value(key);
            lines[line - 1] = lines.at(line - 1).left(lines.at(line - 1).indexOf('=') + 1) +
                "10.0.0.0/33 x";
            expectedLines << line;
        }
        lines.insert(1, "enabel=true");
        QList<int> found;
        for (const Settings::Problem &problem : Settings::check(lines.join('\n')))
            found << problem.line;
        QCOMPARE(found.takeFirst(), 2);
        for (int &line : expectedLines)
            ++line;
        QCOMPARE(found, expectedLines);
        // A key given twice is no damage: the later line stands, and config check says so.
        const QByteArray twice = "[shutdown]\nenable=false\nenable=true\n";
        QVERIFY(SettingsFileCheck(twice).isSound());
        QCOMPARE(SettingsFileCheck(twice).values().value("shutdown/enable"), QVariant("true"));
        QCOMPARE(Settings::check(twice).size(), 1);
        QCOMPARE(Settings::check(twice).first().line, 3);
    }
    const QList<QByteArray> sample = sound.split('\n');
    const QList<QPair<QByteArray, QByteArray>> damages = {{"quote", "\"/opt/notify.sh"},
                                                          {"escape", "C:\\scripts\\off.bat"},
                                                          {"backslash", "on \\"},
                                                          {"junk", "\x01\xfe\x80 ab\x7f"}};
    QRandomGenerator random(33);
    int n = 0;
    for (const auto &[kind, value] : damages) {
        for (int pick = 0; pick < 8; ++pick) {
            const QString damaged = keys.at(int(random.bounded(keys.size())));
            const int line = lineOf.value(damaged);
            QList<QByteArray> lines = sample;
            lines[line - 1] = lines.at(line - 1).left(lines.at(line - 1).indexOf('=') + 1) + value;
            const QByteArray text = lines.join('\n');
            QVERIFY(write(text));
            // config check names the line.
            const QList<Settings::Problem> problems = Settings::check(text);
            QVERIFY(!problems.isEmpty());
            QCOMPARE(problems.first().line, line);
            Clock::setNow(QDateTime(QDate(2025, 1, 1), QTime(10, 0, 0)).addSecs(++n));
            LogRecorder::take();
            m_settings->load();
            const QStringList warnings = LogRecorder::take(QtWarningMsg);
            const QByteArray label = kind + ' ' + damaged.toLatin1();
            QCOMPARE(warnings.size(), 1);
            QVERIFY2(warnings.first().contains(
                         QString("does not read as this program's settings (line %1 ").arg(line)),
                     qPrintable(warnings.first()));
            QCOMPARE(m_root->read(m_settings->setAsidePath().mid(m_root->path().size())), text);
            QVERIFY(m_settings->fileNotice().contains(m_settings->setAsidePath()));
            for (const QString &key : keys) {
                const bool lost = key == damaged ||
                    (kind == "junk" && key.section('/', 0, 0) == damaged.section('/', 0, 0) &&
                     lineOf.value(key) > line);
                const QVariant expected =
                    lost ? SettingSamples::typedDefault(key) : samples.value(key).typed;
                QVERIFY2(same(key, m_settings->getSettings(key), expected),
                         qPrintable(label + " -> " + key.toLatin1()));
            }
        }
    }
    Clock::useSystemClock();
}

// The file's text is the one Qt's settings class writes and reads: random values (texts with
// quotes, backslashes, commas, "@", control characters, spaces at the ends, non-Latin letters;
// lists; bytes) written by either read back the same by both.
void TestSettings::fileFormatMatchesQtSettings()
{
    QTemporaryDir dir;
    QRandomGenerator random(51);
    const QString alphabet = QStringLiteral("ab ,;=\"\\@\t\n\x01%/[]éü€中#0f9");
    const auto randomText = [&] {
        QString text;
        for (int n = int(random.bounded(12)); n > 0; --n)
            text += alphabet.at(int(random.bounded(alphabet.size())));
        return text;
    };
    for (int round = 0; round < 40; ++round) {
        QMap<QString, QVariant> values;
        QStringList order;
        for (int i = 0; i < 30; ++i) {
            const QString key = QStringLiteral("g%1/k%2").arg(i % 3).arg(i);
            QVariant value;
            switch (random.bounded(4)) {
            case 0:
                value = randomText();
                break;
            case 1:
                value = QStringList {randomText(), randomText(), randomText()};
                break;
            case 2: {
                QByteArray bytes = randomText().toUtf8().toBase64();
                value = bytes;
                break;
            }
            default:
                value = QStringLiteral("@") + randomText();
            }
            values.insert(key, value);
            order << key;
        }
        const QString ours = dir.filePath(QStringLiteral("ours%1.ini").arg(round));
        QVERIFY(TestRoot::writeFile(ours, SettingsFileFormat::write(order, values)));
        const QString theirs = dir.filePath(QStringLiteral("theirs%1.ini").arg(round));
        {
            QSettings qt(theirs, QSettings::IniFormat);
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                qt.setValue(it.key(), it.value());
        }
        const SettingsFileCheck read(TestRoot::readFile(theirs));
        QVERIFY2(read.isSound(), qPrintable(read.fault()));
        const QSettings qtRead(ours, QSettings::IniFormat);
        QCOMPARE(qtRead.status(), QSettings::NoError);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            QCOMPARE(qtRead.value(it.key()), it.value());
            QCOMPARE(read.values().value(it.key()), it.value());
        }
    }
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
    LogRecorder::take();
    for (const char *damaged : {"QUJD", "A", "!!!!", "AAAAAAAAAAAAAAAAAAAA"}) {
        m_settings->setSettings("email/authPasswd", QByteArray(damaged), true);
        QCOMPARE(password(), QString());
    }
    // The log says which password it is.
    m_settings->setSettings("ups/nutPassword", QByteArray("QUJD"), true);
    QCOMPARE(m_settings->getSettings(Settings::UpsNutPassword).toString(), QString());
    const QStringList warnings = LogRecorder::take(QtWarningMsg);
    QCOMPARE(warnings.size(), 5);
    QCOMPARE(warnings.first(),
             QString("The stored SMTP password (email/authPasswd) is damaged and is ignored"));
    QCOMPARE(warnings.last(),
             QString("The stored network link's password (ups/nutPassword) is "
                     "damaged and is ignored"));
}

// The log: the program's handler takes every message from here on.
// Another program writes the file while this one runs (the command line, an editor): each key
// that changed is announced once and read anew; a key taken out holds its default; a file half
// written is not taken; this program's own writes announce nothing more.
void TestSettings::changesByAnotherProgram()
{
    m_settings->setSettings(Settings::NetworkPort, 3493);
    m_settings->setSettings(Settings::ShutdownEnable, false);
    m_settings->setSettings("watch/size", 1);
    m_settings->setSettings("watch/1/host", "127.0.0.2");
    QSignalSpy changed(m_settings, &Settings::changed);
    const auto announced = [&changed] {
        QStringList keys;
        for (const QList<QVariant> &signal : qAsConst(changed))
            keys << signal.at(0).toString();
        return keys;
    };
    const auto write = [this](const QByteArray &text) {
        QSaveFile file(m_root->file("/cfg/config.cfg"));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
    };
    const auto set = [](QByteArray text, const char *group, const char *line) {
        const QByteArray key = QByteArray(line).left(QByteArray(line).indexOf('=') + 1);
        const int from = text.indexOf(key, text.indexOf(QByteArray("[") + group + "]"));
        return text.replace(from, text.indexOf('\n', from) - from, line);
    };
    QByteArray text = m_root->read("/cfg/config.cfg");
    // The watched list's keys as well as the fixed ones.
    text = set(
        set(set(set(text, "shutdown", "enable=true"), "network", "port=3494"), "watch", "size=2"),
        "watch", "1\\host=127.0.0.9");
    QVERIFY(write(text));
    QTRY_COMPARE(announced().size(), 4);
    QStringList keys = announced();
    keys.sort();
    QCOMPARE(keys, QStringList({"network/port", "shutdown/enable", "watch/1/host", "watch/size"}));
    changed.clear();
    QCOMPARE(m_settings->getSettings(Settings::NetworkPort).toInt(), 3494);
    QCOMPARE(m_settings->getSettings(Settings::ShutdownEnable).toBool(), true);
    QCOMPARE(m_settings->getSettings("watch/size").toInt(), 2);
    QCOMPARE(m_settings->getSettings("watch/1/host").toString(), QString("127.0.0.9"));

    // An open quote, or a last line cut short: the lines that read are taken, the damaged one
    // keeps the value in force, and the damage is told in the log and the window.
    const QString execFile = m_settings->getSettings(Settings::ShutdownExecFile).toString();
    LogRecorder::take();
    QStringList warnings;
    QSignalSpy notice(m_settings, &Settings::fileNoticeChanged);
    const QByteArray quoted =
        set(set(text, "shutdown", "execFile=\"/opt/notify.sh"), "network", "port=3495");
    QVERIFY(write(quoted.chopped(1))); // its last line unended too
    QTRY_COMPARE((warnings += LogRecorder::take(QtWarningMsg)).size(), 1);
    QVERIFY2(warnings.first().contains("is not taken whole (line ") &&
                 warnings.first().contains("the settings in force stay for the rest"),
             qPrintable(warnings.first()));
    QCOMPARE(announced(), QStringList({"network/port"}));
    changed.clear();
    QCOMPARE(m_settings->getSettings(Settings::NetworkPort).toInt(), 3495);
    QCOMPARE(m_settings->getSettings(Settings::ShutdownExecFile).toString(), execFile);
    QVERIFY(notice.count() >= 1);
    QVERIFY2(m_settings->fileNotice().contains("(shutdown/execFile) does not read"),
             qPrintable(m_settings->fileNotice()));
    // A write of the program keeps the damaged file aside first, then writes what is in force.
    Clock::setNow(QDateTime(QDate(2025, 2, 1), QTime(8, 0)));
    m_settings->setSettings(Settings::EMailServerPort, 26);
    Clock::useSystemClock();
    QVERIFY(m_settings->setAsidePath().contains(".damaged-20250201080000"));
    QVERIFY2(m_settings->fileNotice().endsWith("The settings in force were written in its place."),
             qPrintable(m_settings->fileNotice()));
    QCOMPARE(m_root->read(m_settings->setAsidePath().mid(m_root->path().size())),
             quoted.chopped(1));
    const SettingsFileCheck now(m_root->read("/cfg/config.cfg"));
    QVERIFY(now.isSound());
    QCOMPARE(now.values().value("network/port").toInt(), 3495);
    QCOMPARE(now.values().value("shutdown/execFile").toString(), execFile);
    QCOMPARE(now.values().value("email/serverPort").toInt(), 26);
    changed.clear();
    text = m_root->read("/cfg/config.cfg");
    text = set(text, "network", "port=3494");
    QVERIFY(write(text));
    QTRY_COMPARE(announced(), QStringList({"network/port"}));
    changed.clear();

    QVERIFY(write(QByteArray(text).replace("\nport=3494\n", "\n")));
    QTRY_COMPARE(announced(), QStringList({"network/port"}));
    changed.clear();
    QCOMPARE(m_settings->getSettings(Settings::NetworkPort).toInt(), 3493);

    m_settings->setSettings(Settings::NetworkPort, 3500);
    // Its own write must not come back as a second change, which no signal tells: waited
    // longer than the file watcher takes to read a change.
    QTest::qWait(500);
    QCOMPARE(announced(), QStringList({"network/port"}));
}

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
