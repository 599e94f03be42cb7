// The parts of a shutdown on their own: the command file run on its own thread, and the tree of
// the shutdown log over the files a shutdown, a user or a damaged disk may leave.
#include "shutdownlogreader.h"
#include "shutdowntask.h"
#include "testroot.h"
#include "treemodelshutdown.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QMutex logMutex;
QStringList logLines;
QtMessageHandler previousHandler = nullptr;

// The task logs from its own thread; the tree's warnings are told apart from silence.
void recordLog(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        QMutexLocker lock(&logMutex);
        logLines << QString::number(type) + ' ' + text;
    }
    previousHandler(type, context, text);
}

QString takeLog(QtMsgType onlyType = QtMsgType(-1))
{
    QMutexLocker lock(&logMutex);
    QStringList lines;
    for (const QString &line : qAsConst(logLines)) {
        if (onlyType < 0 || line.startsWith(QString::number(onlyType) + ' '))
            lines << line;
    }
    logLines.clear();
    return lines.join('\n');
}

} // namespace

class TestShutdownParts : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(recordLog); }
    void quotedPathWaitedFor();
    void commandThatCannotStart();
    void logTreeTopLevel();
    void logTreeEntries();
    void largeLog();

private:
    void writeLog(const QByteArray &text)
    {
        QFile file(m_root.file("/data/shutdown.log"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    TestRoot m_root {TestRoot::FoldersOnly};
};

namespace {

// The model once it has read the log.
bool waitForLoad(TreeModelShutdown &model)
{
    QSignalSpy loaded(&model, &TreeModelShutdown::loaded);
    return model.isLoaded() || loaded.wait(10000);
}

} // namespace

void TestShutdownParts::quotedPathWaitedFor()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("my scripts"));
    const QString script = dir.filePath("my scripts/save all.sh");
    const QString out = dir.filePath("args.txt");
    const QString go = dir.filePath("go");
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"" + out.toUtf8() + "\"\necho lots of output\n" +
               "while [ ! -e \"" + go.toUtf8() + "\" ]; do sleep 0.02; done\nexit 3\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeOwner));

    const QString command = '"' + script + "\" \"first arg\" second \"\" 'x";
    ShutDownTask task(command);
    QSignalSpy finished(&task, &QThread::finished);
    task.start();
    QVERIFY(!finished.wait(300));
    QVERIFY(task.isRunning());
    QFile(go).open(QIODevice::WriteOnly);
    QVERIFY(finished.wait(5000));

    QFile args(out);
    QVERIFY(args.open(QIODevice::ReadOnly));
    QCOMPARE(args.readAll(), QByteArray("first arg|second|'x|"));
    const QString log = takeLog();
    QVERIFY(log.contains("Execute command file: " + command));
    QVERIFY2(log.contains("has ended, exit code 3"), qPrintable(log));
}

void TestShutdownParts::commandThatCannotStart()
{
    const QList<QPair<QString, QString>> cases = {
        {"/no/such/dir/shutdown.sh --now", "cannot be started"},
        {QUELTA_SOURCE_DIR "/CMakeLists.txt", "cannot be started"}, // not executable
        {QString(), "empty"},
        {"   ", "empty"}};
    for (const auto &c : cases) {
        takeLog();
        // The thread ends at once, so the shutdown is not held up.
        ShutDownTask task(c.first);
        QSignalSpy finished(&task, &QThread::finished);
        task.start();
        QVERIFY(finished.wait(5000));
        const QString log = takeLog();
        QVERIFY2(log.contains(c.second), qPrintable(log));
    }
}

void TestShutdownParts::logTreeTopLevel()
{
    struct Case
    {
        bool present;
        QByteArray text;
        QStringList apps;
        QString warning;
    };
    const QString unreadable = QStringLiteral("Failed to read shutdon log:");
    const QList<Case> cases = {
        {false, QByteArray(), {}, QString()},
        {true, QByteArray(), {}, unreadable},
        {true, "{\"Editor\": [\"a\"", {}, unreadable},
        {true, QByteArray("\x00\xff\xfe{", 4), {}, unreadable},
        {true, "[\"Editor\", [\"a\"]]", {}, "holds no object"},
        {true, "{}", {}, QString()},
        {true, R"({"b": ["1"], "a": ["2"], "C": []})", {"C", "a", "b"}, QString()},
        {true, R"({"n": [1, null, "x", {"a": 1}], "o": "t"})", {"n", "o"}, "not text"},
    };
    for (const Case &c : cases) {
        QFile::remove(m_root.file("/data/shutdown.log"));
        takeLog();
        if (c.present)
            writeLog(c.text);
        TreeModelShutdown model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(waitForLoad(model));
        QStringList seen;
        for (int row = 0; row < model.rowCount(); ++row)
            seen << model.index(row, 0).data(TreeModelShutdown::AppRole).toString();
        QCOMPARE(seen, c.apps);
        QCOMPARE(model.columnCount(), 2);
        const QString logged = takeLog(QtWarningMsg);
        QVERIFY2(c.warning.isEmpty() ? logged.isEmpty() : logged.contains(c.warning),
                 qPrintable(logged));
    }
}

void TestShutdownParts::logTreeEntries()
{
    writeLog(R"({
    "Zeta": ["z1"],
    "Alpha": ["first", "second", "third"],
    "Empty": [],
    "Beta": [42, "kept"]
})");
    TreeModelShutdown model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(waitForLoad(model));
    QCOMPARE(model.rowCount(), 4);
    const QModelIndex alpha = model.index(0, 0);
    QCOMPARE(alpha.data(257).toString(), QString("Alpha"));
    QCOMPARE(alpha.data(258).toString(), QString());
    QCOMPARE(model.rowCount(alpha), 3);
    QCOMPARE(model.index(2, 0, alpha).data(258).toString(), QString("third"));
    QCOMPARE(model.rowCount(model.index(0, 1)), 0); // only column 0 has children
    QCOMPARE(model.rowCount(model.index(2, 0)), 0); // "Empty"

    // The parent row is the application's, whatever the window's own row; a number shows as
    // no text.
    const QModelIndex beta = model.index(1, 0);
    const QModelIndex kept = model.index(1, 1, beta);
    QCOMPARE(kept.data(257).toString(), QString());
    QCOMPARE(kept.data(258).toString(), QString("kept"));
    QCOMPARE(model.index(0, 1, beta).data(258).toString(), QString());
    QCOMPARE(model.parent(kept), beta);
    QCOMPARE(model.parent(kept).row(), 1);
}

void TestShutdownParts::largeLog()
{
    // Four megabytes of titles, indented as the service writes them: the log is read off the
    // thread that made the model, only its first megabyte, and the log says what was skipped.
    QJsonObject classes;
    for (int i = 0; i < 34000; ++i)
        classes.insert(QString("Class%1").arg(i, 6, 10, QChar('0')),
                       QJsonArray {QString("Window %1 of a long working day").arg(i),
                                   QString("Another window \"quoted\" of %1").arg(i)});
    const QByteArray text = QJsonDocument(classes).toJson(QJsonDocument::Indented);
    QVERIFY(text.size() > 4000000);
    writeLog(text);
    takeLog();
    TreeModelShutdown model;
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(waitForLoad(model));
    const int rows = model.rowCount();
    QVERIFY2(rows > 5000 && rows < 10000, qPrintable(QString::number(rows)));
    for (int row = 0; row < rows; ++row) {
        const QModelIndex app = model.index(row, 0);
        QCOMPARE(app.data(TreeModelShutdown::AppRole).toString(),
                 QString("Class%1").arg(row, 6, 10, QChar('0')));
        // The last class may have been cut after its first title.
        QCOMPARE(model.rowCount(app), row + 1 < rows ? 2 : model.rowCount(app));
    }
    const QString logged = takeLog(QtWarningMsg);
    QVERIFY2(logged.contains(
                 QString("holds %1 bytes; only the first 1048576 are read").arg(text.size())),
             qPrintable(logged));
    QVERIFY(logged.contains(QString("the other %1 bytes are skipped").arg(text.size() - 1048576)));

    // Where the first megabyte may end, and what is kept of it.
    const QList<QPair<QByteArray, QByteArray>> cuts = {
        {R"({"a": ["x", "y)", R"({"a": ["x"]})"},
        {R"({"a": ["x"], "b": ["y", "z\")", R"({"a": ["x"], "b": ["y"]})"},
        {R"({"a": ["x"], "b": ["y", "z\"")", R"({"a": ["x"], "b": ["y", "z\""]})"},
        {R"({"a": ["x"], "b)", R"({"a": ["x"]})"},
        {R"({"a": ["x"], "b": [)", R"({"a": ["x"]})"},
        {R"({"a": [], "b": "not a list")", R"({"a": []})"},
        {R"({"a)", ""},
    };
    for (const auto &cut : cuts)
        QCOMPARE(ShutdownLogReader::closeCut(cut.first), cut.second);
}

QTEST_GUILESS_MAIN(TestShutdownParts)
#include "tst_shutdownparts.moc"
