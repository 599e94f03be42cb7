#include "platform.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

// The test program runs itself a second time with "crash" to die under the handler.
class TestCrashHandler : public QObject
{
    Q_OBJECT
private slots:
    void crashLeavesARecordInTheWorkingDirectory()
    {
        for (const QString &how : {QStringLiteral("segv"), QStringLiteral("abort")}) {
            QTemporaryDir cwd;
            QProcess child;
            child.setWorkingDirectory(cwd.path());
            child.start(QCoreApplication::applicationFilePath(), {"crash", how});
            QVERIFY(child.waitForFinished(10000));
            // The default action still ends the process the way it would have ended.
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QStringList dumps = QDir(cwd.path()).entryList({"*.dmp"}, QDir::Files);
            QCOMPARE(dumps.size(), 1);
            QVERIFY(QRegularExpression("^\\d{14}\\.dmp$").match(dumps.first()).hasMatch());
            QFile dump(cwd.filePath(dumps.first()));
            QVERIFY(dump.open(QIODevice::ReadOnly));
            const QByteArray text = dump.readAll();
            const int signal = how == "segv" ? SIGSEGV : SIGABRT;
            QVERIFY2(text.startsWith("signal " + QByteArray::number(signal)), text.constData());
            QVERIFY(text.contains("backtrace:"));
        }
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "crash") == 0) {
        platform::installCrashHandler();
        if (qstrcmp(argv[2], "abort") == 0)
            abort();
        raise(SIGSEGV);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestCrashHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashhandler.moc"
