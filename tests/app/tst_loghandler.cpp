#include "clock.h"
#include "loghandler.h"
#include "testroot.h"

#include <QDir>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

class TestLogHandler : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void entriesAreStampedAndSplitAtMidnight();
    void threadsNeverInterleave();
    void aDeletedLogFolderIsSurvived();

private:
    QByteArray logOf(const QString &day) { return m_root->read("/log/" + day + ".txt"); }

    QScopedPointer<TestRoot> m_root;
};

void TestLogHandler::initTestCase()
{
    m_root.reset(new TestRoot(TestRoot::FoldersOnly));
    LogHandler::install();
}

void TestLogHandler::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    Clock::useSystemClock();
}

void TestLogHandler::entriesAreStampedAndSplitAtMidnight()
{
    Clock::setNow(QDateTime(QDate(2024, 5, 1), QTime(8, 30, 15, 42)));
    qWarning("text");
    qDebug() << "second";
    qInfo("third");
    qCritical("fourth");
    QCOMPARE(logOf("2024-05-01"),
             QByteArray("[2024-05-01 08:30:15.042] Warning: text\n\n"
                        "[2024-05-01 08:30:15.042] Debug: second\n\n"
                        "[2024-05-01 08:30:15.042] Information: third\n\n"
                        "[2024-05-01 08:30:15.042] Critical: fourth\n\n"));

    Clock::setNow(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 999)));
    qWarning("last of the year");
    Clock::advance(0, 1);
    qWarning("first of the year");
    QCOMPARE(logOf("2024-12-31"),
             QByteArray("[2024-12-31 23:59:59.999] Warning: last of the year\n\n"));
    QCOMPARE(logOf("2025-01-01"),
             QByteArray("[2025-01-01 00:00:00.000] Warning: first of the year\n\n"));
}

void TestLogHandler::threadsNeverInterleave()
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

    // Every entry whole, each followed by one empty line.
    const QStringList entries =
        QString::fromUtf8(logOf("2024-06-01")).split("\n\n", Qt::SkipEmptyParts);
    const QRegularExpression entry(
        "^\\[2024-06-01 12:00:00\\.000\\] Warning: thread (\\d) message \\d+ ([a-d])\\2{199}$");
    QCOMPARE(entries.size(), threads * perThread);
    for (const QString &text : entries)
        QVERIFY2(entry.match(text).hasMatch(), qPrintable(text));
}

void TestLogHandler::aDeletedLogFolderIsSurvived()
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
    QCOMPARE(logOf("2024-07-01"), QByteArray("[2024-07-01 09:00:00.000] Warning: back\n\n"));
}

QTEST_GUILESS_MAIN(TestLogHandler)
#include "tst_loghandler.moc"
