#include "settings.h"
#include "testroot.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

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
    void restoreKeepsTheLinkSettings();
    void passwordIsStoredProtected();

private:
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
    QCOMPARE(file.allKeys().size(), 39);
    QVERIFY(!file.contains("email/receiver"));
    const QPair<const char *, const char *> defaults[] = {
        {"email/dailyTime", "12:00:00"}, {"email/serverPort", "25"},   {"ups/baudRate", "2400"},
        {"ups/saveCycle", "60"},         {"shutdown/UPSOffTime", "1"}, {"language/auto", "true"},
        {"network/listen", "127.0.0.1,::1"}, {"network/port", "3493"}, {"network/hostSync", "15"}};
    for (const auto &key : defaults)
        QCOMPARE(file.value(key.first).toString(), QString(key.second));

    // A write is on disk when the call returns, and the file stays owner-only.
    m_settings->setSettings(Settings::EMailServerAddress, "smtp.example.org");
    QCOMPARE(QSettings(path, QSettings::IniFormat).value("email/serverAddr").toString(),
             QString("smtp.example.org"));
    QCOMPARE(QFile(path).permissions() & 0x0077, QFile::Permissions());
}

void TestSettings::completesAHandEditedFileWithoutTouchingIt()
{
    const QString path = m_root->file("/cfg/config.cfg");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // A hand-edited file: one real value, a wrong type and lines that are not settings at all.
    file.write("[language]\ntype=2\n[shutdown]\nmainFaultTime=soon\nthis is not ini\n=\n[[broken\n"
               "[ups]\ncomPort=/dev/ttyS1\n");
    file.close();

    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    m_settings->load();
    QCOMPARE(m_settings->getSettings(Settings::LanguageType).toInt(), 2);
    QCOMPARE(m_settings->getSettings(Settings::ShutdownMainFaultTime).toString(), QString("soon"));
    QVERIFY(!m_settings->getSettings(Settings::EMailReceiver).isValid());
    m_settings->setSettings(Settings::EMailServerPort, 587);
    qInstallMessageHandler(previous);

    // The stray lines are reported once; the writes after them are not taken for failures.
    QCOMPARE(warnings.filter("not settings").size(), 1);
    QCOMPARE(warnings.filter("Cannot write").size(), 0);
    // On disk: the hand-set values kept, the missing keys completed, the later write there.
    QSettings disk(path, QSettings::IniFormat);
    QCOMPARE(disk.value("language/type").toInt(), 2);
    QCOMPARE(disk.value("shutdown/mainFaultTime").toString(), QString("soon"));
    QCOMPARE(disk.value("ups/comPort").toString(), QString("/dev/ttyS1"));
    QCOMPARE(disk.value("ups/saveCycle").toInt(), 60);
    QCOMPARE(disk.value("email/serverPort").toInt(), 587);
}

void TestSettings::restoreKeepsTheLinkSettings()
{
    m_settings->setSettings(Settings::UpsCommType, 1);
    m_settings->setSettings(Settings::UpsComPort, "/dev/ttyUSB3");
    m_settings->setSettings(Settings::UpsBaudRate, 9600);
    m_settings->setSettings(Settings::ShutdownEnable, true);
    m_settings->setSettings(Settings::EMailAuthPassword, "secret");

    m_settings->restore();
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

    // The raw form travels unchanged (settings export and import) and decodes again.
    m_settings->setSettings(Settings::EMailAuthPassword, "something else");
    m_settings->setSettings("email/authPasswd", stored, true);
    QCOMPARE(password(), QString("abc"));

    // Only the first block is enciphered: bytes 17 to 20 stay readable in the stored form.
    const QString twenty = QStringLiteral("0123456789abcdefWXYZ");
    m_settings->setSettings(Settings::EMailAuthPassword, twenty);
    const QByteArray decoded = QByteArray::fromBase64(raw("email/authPasswd"));
    QCOMPARE(decoded.size(), 32);
    QCOMPARE(decoded.mid(16, 4), QByteArray("WXYZ"));
    QVERIFY(decoded.left(16) != twenty.toUtf8().left(16));
    QCOMPARE(password(), twenty);

    // Non-ASCII (17 bytes) and exactly one block.
    for (const QString &text :
         {QStringLiteral("pässwörd€1234"), QStringLiteral("0123456789abcdef")}) {
        m_settings->setSettings(Settings::EMailAuthPassword, text);
        QCOMPARE(password(), text);
    }
    QCOMPARE(raw("email/authPasswd").size(), 24);

    // Hand-edited values shorter than one block, or not Base64 at all: nothing is read past
    // the decoded data (the sanitizer build watches) and the result is empty.
    for (const char *damaged : {"QUJD", "A", "!!!!", "AAAAAAAAAAAAAAAAAAAA"}) {
        m_settings->setSettings("email/authPasswd", QByteArray(damaged), true);
        QCOMPARE(password(), QString());
    }
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
