// The program killed (kill -9) at random moments while it writes samples, alarms, status lines
// and self-test recordings, and started again each time: the database stays whole and never
// loses a row, none of those the writer said it had committed either; the status file always
// holds one whole line, and every recording file is parseable and gets its row, the one cut short
// included.
// QUELTA_CRASH_KILLS sets the number of kills (20; "scripts/test --long" asks for 100), and
// QUELTA_CRASH_SEED the moments (printed, to repeat a run).
#include "testroot.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <memory>

namespace {

const char *const tables[] = {"device_data", "alarm", "log_self_test"};

// The crash writer with this program folder, its clock starting at `start`.
std::unique_ptr<QProcess> startWriter(const QString &root, const QString &mode, qint64 start)
{
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QUELTA_HOME"), root);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(QUELTA_BIN_DIR "/crashwriter"), {mode, QString::number(start)});
    return process;
}

// The rows a progress line of the writer says were committed ("step N committed ROWS").
qint64 committedIn(const QByteArray &line)
{
    const int at = line.indexOf("committed ");
    return at < 0 ? 0 : line.mid(at + 10).trimmed().toLongLong();
}

// Waits (bounded) until the writer has printed `count` lines of progress; `committed` keeps the
// most rows they reported committed.
bool waitForLines(QProcess &process, int count, qint64 *committed = nullptr)
{
    int seen = 0;
    QElapsedTimer waited;
    waited.start();
    while (seen < count && waited.elapsed() < 30000) {
        if (!process.canReadLine() && !process.waitForReadyRead(1000)) {
            if (process.state() == QProcess::NotRunning)
                return false;
            continue;
        }
        while (process.canReadLine() && seen < count) {
            const QByteArray line = process.readLine();
            if (committed)
                *committed = std::max(*committed, committedIn(line));
            ++seen;
        }
    }
    return seen == count;
}

void killNow(QProcess &process)
{
    process.kill();
    process.waitForFinished(30000);
}

} // namespace

class TestCrashConsistency : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::FoldersOnly};
    QSqlDatabase m_db;
    qint64 m_clock = QDateTime(QDate(2025, 1, 6), QTime(8, 0, 0)).toSecsSinceEpoch();

    // A fresh stretch of time for each start, so recordings never share a name.
    qint64 nextStart()
    {
        m_clock += 100000;
        return m_clock;
    }

    QString selfTestFolder() const { return m_root.file(QStringLiteral("/data/self_test")); }

    int count(const QString &sql)
    {
        QSqlQuery query(m_db);
        if (!query.exec(sql) || !query.next())
            return -1;
        return query.value(0).toInt();
    }

    QString integrity()
    {
        QSqlQuery query(m_db);
        if (!query.exec(QStringLiteral("pragma integrity_check")) || !query.next())
            return QStringLiteral("cannot run the check");
        return query.value(0).toString();
    }

    // The lines of a recording; false when one of its whole lines is not three numbers, or
    // when more than a cut last line follows them.
    static bool parseRecording(const QByteArray &text, int *lines)
    {
        static const QRegularExpression line(QStringLiteral("^\\d+,\\d+,\\d+$"));
        static const QRegularExpression cut(QStringLiteral("^[\\d,]*$"));
        const QList<QByteArray> parts = text.split('\n');
        for (int i = 0; i + 1 < parts.size(); ++i) {
            if (!line.match(QString::fromLatin1(parts.at(i))).hasMatch())
                return false;
        }
        *lines = parts.size() - 1;
        return cut.match(QString::fromLatin1(parts.constLast())).hasMatch();
    }

    // What a kill may never leave behind: every row the writer reported committed is there.
    void checkAfterKill(QVector<int> &counts, qint64 committed)
    {
        QCOMPARE(integrity(), QStringLiteral("ok"));
        qint64 added = 0;
        for (int i = 0; i < int(std::size(tables)); ++i) {
            const int rows = count(QStringLiteral("select count(*) from %1").arg(tables[i]));
            QVERIFY2(rows >= counts[i], tables[i]);
            added += rows - counts[i];
            counts[i] = rows;
        }
        QVERIFY2(
            added >= committed,
            qPrintable(QStringLiteral("%1 rows stored, %2 committed").arg(added).arg(committed)));
        const QByteArray status = m_root.read(QStringLiteral("/log/output/upsstatus.txt"));
        if (!status.isEmpty()) {
            static const QRegularExpression whole(
                QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d(,\\d){9}\r\n$"));
            QVERIFY2(whole.match(QString::fromLatin1(status)).hasMatch(), status.constData());
        }
        const QDir folder(selfTestFolder());
        for (const QString &name : folder.entryList(QDir::Files)) {
            int lines = 0;
            QVERIFY2(parseRecording(m_root.read("/data/self_test/" + name), &lines),
                     qPrintable(name));
        }
    }

    // Every recording has its row, and the row counts the file's lines.
    void checkRecordingsComplete()
    {
        const QDir folder(selfTestFolder());
        for (const QString &name : folder.entryList(QDir::Files)) {
            const QByteArray text = m_root.read("/data/self_test/" + name);
            QVERIFY2(text.isEmpty() || text.endsWith('\n'), qPrintable(name));
            const QString started =
                QDateTime::fromString(name.left(14), QStringLiteral("yyyyMMddhhmmss"))
                    .toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
            QSqlQuery query(m_db);
            query.prepare(QStringLiteral("select count from log_self_test where dateTime = ?"));
            query.addBindValue(started);
            QVERIFY2(query.exec() && query.next(), qPrintable(name));
            QCOMPARE(query.value(0).toInt(), text.count('\n'));
            QVERIFY2(!query.next(), qPrintable(name)); // one row, not two
        }
    }

    void openAndEnd()
    {
        auto opener = startWriter(m_root.path(), QStringLiteral("open"), nextStart());
        QVERIFY(opener->waitForFinished(30000));
        QCOMPARE(opener->exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        openAndEnd(); // the schema
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        m_db.setDatabaseName(m_root.file(QStringLiteral("/data/quelta.db")));
        QVERIFY(m_db.open());
    }

    void cleanupTestCase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    }

    // A self-test cut by a kill: the file holds the lines taken, and the next start gives it
    // the row of what it holds.
    void selfTestCutShort()
    {
        const qint64 start = nextStart();
        auto writer = startWriter(m_root.path(), QStringLiteral("selftest"), start);
        QVERIFY(waitForLines(*writer, 5));
        killNow(*writer);
        const QString name =
            QDateTime::fromSecsSinceEpoch(start).toString(QStringLiteral("yyyyMMddhhmmss")) +
            QStringLiteral(".txt");
        int lines = 0;
        QVERIFY(parseRecording(m_root.read("/data/self_test/" + name), &lines));
        QVERIFY(lines >= 5);
        QCOMPARE(count(QStringLiteral("select count(*) from log_self_test")), 0);

        openAndEnd();
        const QByteArray text = m_root.read("/data/self_test/" + name);
        QCOMPARE(count(QStringLiteral("select count(*) from log_self_test")), 1);
        QCOMPARE(count(QStringLiteral("select count from log_self_test")), text.count('\n'));
        const int lastElapsed = text.split('\n').value(text.count('\n') - 1).split(',')[0].toInt();
        QCOMPARE(count(QStringLiteral("select duration from log_self_test")), lastElapsed);
    }

    void killsDuringWrites()
    {
        const int kills = qEnvironmentVariableIsSet("QUELTA_CRASH_KILLS")
            ? qEnvironmentVariableIntValue("QUELTA_CRASH_KILLS")
            : 20;
        const quint32 seed = qEnvironmentVariableIsSet("QUELTA_CRASH_SEED")
            ? quint32(qEnvironmentVariableIntValue("QUELTA_CRASH_SEED"))
            : QRandomGenerator::global()->generate();
        qInfo("%d kills, seed %u", kills, seed);
        QRandomGenerator random(seed);
        QVector<int> counts(int(std::size(tables)), 0);
        for (int kill = 0; kill < kills; ++kill) {
            auto writer = startWriter(m_root.path(), QStringLiteral("run"), nextStart());
            // Within its first two cycles of data sets, at any moment of a step.
            qint64 committed = 0;
            QVERIFY(waitForLines(*writer, 1 + int(random.bounded(24)), &committed));
            QTest::qWait(int(random.bounded(20)));
            killNow(*writer);
            for (const QByteArray &line : writer->readAllStandardOutput().split('\n'))
                committed = std::max(committed, committedIn(line));
            checkAfterKill(counts, committed);
        }
        QVERIFY(counts[0] >= kills && counts[1] >= kills && counts[2] > 0);
        openAndEnd();
        checkRecordingsComplete();
    }
};

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "tst_crashconsistency.moc"
