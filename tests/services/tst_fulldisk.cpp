// Files the program rewrites while it watches, on a disk that fills up: the status summary, the
// self-test recording and the shutdown log each keep what they held, say so once in the log, and
// are written again once there is room. A program started on a full disk reads its scheduled
// tasks and writes the rows that waited once there is room. The disk is a small tmpfs filled to the last byte where
// one can be mounted, and in every run also a file size limit of 0 (the kernel refuses the
// writes with EFBIG instead of ENOSPC). A program folder on a disk of its own that fills up
// gives up its reserve, so an orderly stop loses no row and cuts no line of the log.
#include "clock.h"
#include "compositionroot.h"
#include "database.h"
#include "devcomm.h"
#include "diskreserve.h"
#include "fulldisk.h"
#include "logcategories.h"
#include "loghandler.h"
#include "logrecorder.h"
#include "paths.h"
#include "recordprobe.h"
#include "recordwriter.h"
#include "selftestrecorder.h"
#include "servicescheduletask.h"
#include "serviceshutdown.h"
#include "startup.h"
#include "statusfile.h"
#include "testroot.h"
#include "upsstate.h"
#include "upsstates.h"

#include <QSqlQuery>
#include <QtTest>

namespace {

// The warnings since the last call that mention `what`.
int warningsAbout(const QString &what)
{
    return LogRecorder::take(QtWarningMsg).filter(what).size();
}

QString allWarnings()
{
    return LogRecorder::take(QtWarningMsg).join('\n');
}

UpsState online(int status, int load = 50, bool selfTest = false)
{
    return UpsStates::online(status | (selfTest ? 0x20 : 0), 90.0f, load);
}

} // namespace

class TestFullDisk : public QObject
{
    Q_OBJECT

private:
    TestRoot m_root {TestRoot::WithSettings};

    static void methods()
    {
        QTest::addColumn<int>("method");
        QTest::newRow("tmpfs (ENOSPC)") << int(FullDisk::Tmpfs);
        QTest::newRow("file size limit (EFBIG)") << int(FullDisk::FileSizeLimit);
    }

private slots:
    void initTestCase()
    {
        qunsetenv("DISPLAY"); // the shutdown log lists no window: "{}"
        LogRecorder::install();
    }

    void init()
    {
        Clock::setNow(QDateTime(QDate(2024, 9, 2), QTime(14, 30, 0)));
        warningsAbout(QString());
    }

    void statusFile_data() { methods(); }
    void statusFile()
    {
        QFETCH(int, method);
        {
            const QString folder = m_root.file("/log/output");
            QDir(folder).removeRecursively();
            FullDisk disk(folder, FullDisk::Method(method));
            if (!disk.isReady())
                QSKIP(qPrintable(disk.why()));
            StatusFile status;
            status.updateState(online(0x00));
            const QByteArray before = m_root.read("/log/output/upsstatus.txt");
            QVERIFY(before.endsWith(",0,0,0,0,0,1,0,0,0\r\n"));

            disk.fill();
            QVERIFY(disk.refusesWrites());
            Clock::advance(1);
            status.updateState(online(0x01)); // on battery
            status.updateState(online(0x01, 20));
            status.updateState(online(0x01, 30));
            disk.release();
            QCOMPARE(m_root.read("/log/output/upsstatus.txt"), before);
            QCOMPARE(warningsAbout("status file"), 1);

            // With room again, the next data set writes what the UPS reports now, though the
            // summary is the one that could not be written.
            status.updateState(online(0x01, 30));
            QVERIFY(m_root.read("/log/output/upsstatus.txt").endsWith(",2,0,0,0,0,2,0,0,0\r\n"));
        }
    }

    void shutdownLog_data() { methods(); }
    void shutdownLog()
    {
        QFETCH(int, method);
        {
            // The database beside it is left alone meanwhile.
            const QString folder = m_root.file("/data");
            FullDisk disk(folder, FullDisk::Method(method));
            if (!disk.isReady())
                QSKIP(qPrintable(disk.why()));
            const QByteArray old = "{\n    \"Editor\": [\n        \"report.odt\"\n    ]\n}\n";
            QVERIFY(TestRoot::writeFile(folder + "/shutdown.log", old));
            DevComm dev(m_root.settings());
            ServiceShutdown service(m_root.settings(), &dev);

            disk.fill();
            service.writeShutdownLog();
            service.writeShutdownLog(); // each tick of the shutdown step writes it again
            disk.release();
            QCOMPARE(m_root.read("/data/shutdown.log"), old);
            QCOMPARE(warningsAbout("shutdown log"), 1);
            service.writeShutdownLog();
            QCOMPARE(m_root.read("/data/shutdown.log"), QByteArray("{\n}\n"));
        }
    }

    // Lines written while there was room stay whole; the end of the test on a full disk leaves
    // no row for samples the file does not hold, and the end after it (here the lost link)
    // stores them all.
    void selfTestRecording_data() { methods(); }
    void selfTestRecording()
    {
        QFETCH(int, method);
        {
            const QString folder = m_root.file("/data/self_test");
            QDir(folder).removeRecursively();
            FullDisk disk(folder, FullDisk::Method(method));
            if (!disk.isReady())
                QSKIP(qPrintable(disk.why()));
            Database database;
            database.open();
            database.init();
            QSqlQuery(QStringLiteral("delete from log_self_test"));
            RecordWriter writer;
            SelfTestRecorder recorder(&writer);
            const QString file = "/data/self_test/20240902143000.txt";
            // A block of the file already on the disk still takes lines, so the test goes on
            // well past one.
            QByteArray expected;
            for (int second = 0; second < 700; ++second) {
                if (second == 3)
                    disk.fill();
                const int load = 10 + second % 50;
                recorder.updateState(online(0, load, true));
                expected += QByteArray::number(second) + ',' + QByteArray::number(load) + ",90\n";
                Clock::advance(1);
            }
            recorder.updateState(online(0, 16));
            expected += "700,16,90\n";
            disk.release();
            const QByteArray kept = m_root.read(file);
            QVERIFY(kept.size() >= 24 && kept.size() < expected.size());
            QVERIFY(kept.endsWith('\n'));
            QVERIFY(expected.startsWith(kept));
            QCOMPARE(RecordProbe::sqlCount("select count(*) from log_self_test"), 0);
            QCOMPARE(warningsAbout("self-test"), 1);

            // Seven hundred samples of the test and one taken after its end, while the
            // recording waited.
            UpsState lost;
            lost.link = UpsState::Link::Offline;
            recorder.updateState(lost);
            QCOMPARE(m_root.read(file), expected);
            QCOMPARE(RecordProbe::sqlCount("select count from log_self_test"), 701);
        }
    }

    // The program starts where its database cannot be read (its journal files cannot be made):
    // no scheduled task runs and rows wait; once there is room the tasks are read and the rows
    // written, all but the oldest samples beyond the limit, which the log counts.
    void startOnAFullDisk_data() { methods(); }
    void startOnAFullDisk()
    {
        QFETCH(int, method);
        const QString folder = m_root.file("/data");
        QDir(folder).removeRecursively();
        FullDisk disk(folder, FullDisk::Method(method), "2m");
        if (!disk.isReady())
            QSKIP(qPrintable(disk.why()));
        {
            Database database;
            database.open();
            database.init();
            QVERIFY(QSqlQuery().exec("insert into schedule_task(cycle, time, action, enable) "
                                     "values(1, '15:00:00', 0, 1)"));
        }
        disk.fill();
        allWarnings();
        CompositionRoot root;
        root.openStores();
        root.start();
        QVERIFY(root.serviceScheduleTask()->schedule().isEmpty());
        // Thirty mains failures and returns, and more samples than may wait.
        for (int i = 0; i < 30; ++i) {
            root.recordWriter()->insertAlarm(2);
            root.recordWriter()->insertAlarm(3);
        }
        const int samples = int(RecordWriter::maxWaiting);
        RecordWriter::Sample sample;
        sample.inputVol = 230.0f;
        for (int i = 0; i < samples; ++i)
            root.recordWriter()->insertSample(sample);
        QVERIFY(root.recordWriter()->flush());
        const QString told = allWarnings();
        QVERIFY2(told.contains("Cannot read the scheduled tasks: the table schedule_task of ") &&
                     !told.contains("Unable to find table"),
                 qPrintable(told));

        disk.release();
        auto *retry = root.database()->findChild<QTimer *>("retryTimer");
        QVERIFY(retry && retry->isActive());
        retry->setInterval(10);
        QTRY_COMPARE(root.serviceScheduleTask()->schedule().size(), 1);
        // The writer's backlog goes in at its pace: slow under the sanitizers on a busy machine.
        QTRY_COMPARE_WITH_TIMEOUT(RecordProbe::sqlCount("select count(*) from device_data"),
                                  samples - 60, 30000);
        QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), 60);
        QVERIFY(!retry->isActive());
        QString later;
        QTRY_VERIFY2((later += allWarnings())
                         .contains(QString("%1 rows that waited for room in the database are "
                                           "written; 60 were dropped as more than %1 waited (60 "
                                           "samples, 0 alarms")
                                       .arg(samples)),
                     "the count of dropped rows");
    }

    // The whole program folder on one small disk, with the reserve set aside at start. The disk
    // fills while the UPS raises alarms and the program logs: the first write that finds no
    // room gives up the reserve, which the log says, and after an orderly stop the database
    // reopened holds every row queued and each line of the log is whole, the last one too. With
    // room again, the reserve is set aside again.
    void orderlyStopOnAFullDisk()
    {
        const QString folder = m_root.file("/disk");
        FullDisk disk(folder, FullDisk::Tmpfs, "16m");
        if (!disk.isReady())
            QSKIP(qPrintable(disk.why()));
        Paths::setRoot(folder);
        Startup::createAppDirectories();
        const QtMessageHandler recording = qInstallMessageHandler(nullptr);
        LogHandler::install();
        const QString reserve = folder + "/data/.reserve";
        DiskReserve::make();
        QVERIFY(DiskReserve::isHeld());
        QCOMPARE(QFileInfo(reserve).size(), DiskReserve::size);
        const int alarms = 60;
        {
            Database database;
            database.open();
            database.init();
            RecordWriter writer;
            writer.start();
            qCInfo(lcShell) << "Monitoring"; // the day's file, with room left in its last block
            disk.fill();
            QVERIFY(disk.refusesWrites());
            for (int i = 0; i < alarms; ++i) {
                writer.insertAlarm(i % 2 ? 3 : 2);
                qCInfo(lcShell).noquote()
                    << QStringLiteral("Alarm %1 raised: a line long enough that a few of them "
                                      "take more room than the last block of the log file has")
                           .arg(i);
            }
            writer.stop();
            qCInfo(lcShell) << "Quelta ends with exit code 0";
        }
        qInstallMessageHandler(recording);
        {
            Database reopened;
            reopened.open();
            QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm"), alarms);
            QCOMPARE(RecordProbe::sqlCount("select count(*) from alarm where alarm = 3"),
                     alarms / 2);
        }
        const QByteArray text = TestRoot::readFile(folder + "/log/2024-09-02.txt");
        QVERIFY(text.endsWith("] Information: Quelta ends with exit code 0\n"));
        const QList<QByteArray> lines = text.left(text.size() - 1).split('\n');
        const QRegularExpression whole(
            "^\\[2024-09-02 [0-9:.]{12}\\] (Information|Warning): ("
            "Monitoring|Alarm \\d+ raised: .* the log file has|The disk of the program folder is "
            "full: .*|Quelta ends with exit code 0)$");
        for (const QByteArray &line : lines)
            QVERIFY2(whole.match(QString::fromUtf8(line)).hasMatch(), line.constData());
        QCOMPARE(lines.size(), alarms + 3);
        QCOMPARE(text.count("its reserve of 4 MB (" + reserve.toUtf8() + ") is given up"), 1);
        QVERIFY(!QFileInfo::exists(reserve) && !DiskReserve::isHeld());

        disk.release();
        Clock::advance(61);
        {
            Database database;
            database.open();
            RecordWriter writer;
            writer.start();
            writer.insertAlarm(2);
            QVERIFY(writer.flush());
        }
        QVERIFY(DiskReserve::isHeld());
        QCOMPARE(QFileInfo(reserve).size(), DiskReserve::size);
        QVERIFY(allWarnings().isEmpty());
        Paths::setRoot(m_root.path());
    }
};

QTEST_GUILESS_MAIN(TestFullDisk)
#include "tst_fulldisk.moc"
