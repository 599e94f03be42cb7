// The command file run before the computer goes down, on its own thread.
#include "shutdowntask.h"

#include <QFile>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QMutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// The task logs from its own thread.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        QMutexLocker lock(&logMutex);
        logLines << QString::number(type) + ' ' + text;
    }
    previousHandler(type, context, text);
}

QString logText()
{
    QMutexLocker lock(&logMutex);
    return logLines.join('\n');
}

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + body);
    file.close();
    return file.setPermissions(file.permissions() | QFile::ExeOwner);
}

} // namespace

class TestShutDownTask : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(recordLog); }
    void init()
    {
        QMutexLocker lock(&logMutex);
        logLines.clear();
    }
    void quotedPathWithBlanks();
    void waitsForTheCommand();
    void commandThatCannotStart();
};

void TestShutDownTask::quotedPathWithBlanks()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("my scripts"));
    const QString script = dir.filePath("my scripts/save all.sh");
    const QString out = dir.filePath("args.txt");
    QVERIFY(writeScript(script,
                        "printf '%s|' \"$@\" > \"" + out.toUtf8() +
                            "\"\n"
                            "echo lots of output\n"));

    const QString command = '"' + script + "\" \"first arg\" second \"\" 'x";
    ShutDownTask task(command);
    QCOMPARE(task.command(), command);
    QSignalSpy finished(&task, &QThread::finished);
    task.start();
    QVERIFY(finished.wait(5000));

    QFile file(out);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first arg|second|'x|"));
    QVERIFY(logText().contains("Execute command file: " + command));
    QVERIFY(logText().contains("has ended, exit code 0"));
}

void TestShutDownTask::waitsForTheCommand()
{
    QTemporaryDir dir;
    const QString script = dir.filePath("wait.sh");
    const QString go = dir.filePath("go");
    QVERIFY(writeScript(script, "while [ ! -e \"$1\" ]; do sleep 0.02; done\nexit 3\n"));

    ShutDownTask task('"' + script + "\" " + go);
    QSignalSpy finished(&task, &QThread::finished);
    task.start();
    QVERIFY(!finished.wait(300));
    QVERIFY(task.isRunning());

    QFile(go).open(QIODevice::WriteOnly);
    QVERIFY(finished.wait(5000));
    QVERIFY(logText().contains("has ended, exit code 3"));
}

void TestShutDownTask::commandThatCannotStart()
{
    const QList<QPair<QString, QString>> cases = {
        {"/no/such/dir/shutdown.sh --now", "cannot be started"},
        {QUELTA_SOURCE_DIR "/CMakeLists.txt", "cannot be started"}, // not executable
        {QString(), "empty"},
        {"   ", "empty"}};
    for (const auto &c : cases) {
        logLines.clear();
        // The thread ends at once, so the shutdown is not held up.
        ShutDownTask task(c.first);
        QSignalSpy finished(&task, &QThread::finished);
        task.start();
        QVERIFY(finished.wait(5000));
        QVERIFY2(logText().contains(c.second), qPrintable(logText()));
    }
}

QTEST_GUILESS_MAIN(TestShutDownTask)
#include "tst_shutdowntask.moc"
