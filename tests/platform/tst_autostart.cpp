// The start with the desktop: an XDG autostart entry where the desktop looks for it, read back
// by GLib as the session would.
#include "platform.h"
#include "pythonscript.h"

#include <QJsonArray>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestAutostart : public QObject
{
    Q_OBJECT
private slots:
    void entryWrittenAndRemoved();
};

void TestAutostart::entryWrittenAndRemoved()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString config = dir.filePath("config"); // not made yet: the first write makes it
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    const QString entry = config + "/autostart/quelta.desktop";
    QVERIFY(!platform::startsWithDesktop());

    // Every character the entry format reserves, in a program path and in an argument.
    const std::vector<std::wstring> command = {L"/opt/my tools/quelta", L"--home",
                                               L"/srv/ups \"a\" $HOME `x` \\ 100% ;&|*?#()'<>~"};
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("switched on"));
    QVERIFY(platform::setStartWithDesktop(true, command));
    QVERIFY(platform::startsWithDesktop());
    const QJsonObject read = PythonScript::runJson("desktop_entry.py", {entry}).object();
    QJsonArray expected;
    for (const std::wstring &argument : command)
        expected.append(QString::fromStdWString(argument));
    QCOMPARE(read.value("argv").toArray(), expected);
    QCOMPARE(read.value("validate").toString(), QString());

    // Switched off in the desktop's own settings.
    QFile file(entry);
    QVERIFY(file.open(QIODevice::Append));
    file.write("Hidden=true\n");
    file.close();
    QVERIFY(!platform::startsWithDesktop());

    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("switched off"));
    QVERIFY(platform::setStartWithDesktop(false, command));
    QVERIFY(!QFile::exists(entry));
    QTest::ignoreMessage(QtInfoMsg, QRegularExpression("switched off"));
    QVERIFY(platform::setStartWithDesktop(false, command)); // nothing left to remove

    // A configuration folder that cannot hold the entry: told, not pretended.
    QFile blocker(dir.filePath("plain-file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toUtf8());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Cannot write the autostart entry"));
    QVERIFY(!platform::setStartWithDesktop(true, command));
    QVERIFY(!platform::startsWithDesktop());
}

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
