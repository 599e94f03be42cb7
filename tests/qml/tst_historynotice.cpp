// A database that cannot take history (damaged, read-only, or with a table of another shape):
// the window tells the user once why and where the file is, the log says it once however many
// rows fail, and the file is left as it is. A settings file that was damaged and set aside at the
// start: the window tells it once, and the desktop. Each case is a window of its own, so each
// runs in a child process of this suite (QUELTA_NOTICE_CASE names it) that prints what it saw.
#include "alarm.h"
#include "compositionroot.h"
#include "database.h"
#include "devcomm.h"
#include "logrecorder.h"
#include "qmlpagehost.h"
#include "recordwriter.h"
#include "testroot.h"

#include <QApplication>
#include <QQuickItem>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <cstdio>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const char caseVariable[] = "QUELTA_NOTICE_CASE";

QByteArray digest(const QString &path)
{
    return QCryptographicHash::hash(TestRoot::readFile(path), QCryptographicHash::Sha256).toHex();
}

// A small database with its own tables, made on a side connection and closed.
bool makeDatabase(const QString &path, const QString &statement)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "prepare");
        db.setDatabaseName(path);
        if (!db.open() || !QSqlQuery(db).exec(statement))
            return false;
        db.close();
    }
    QSqlDatabase::removeDatabase("prepare");
    return true;
}

// The program's own database, made and closed.
void makeProgramDatabase()
{
    Database database;
    database.open();
    database.init();
}

// The data folder made read-only with the program's database in it: a tmpfs remounted
// read-only where root may mount (read-only for root too), otherwise the rights of folder and
// file.
QString makeReadOnly(const QString &folder, const QString &file)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() == 0 &&
        ::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m") == 0) {
        makeProgramDatabase();
        if (::mount("tmpfs", path.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=1m") != 0)
            return QString();
        return QStringLiteral("read-only tmpfs");
    }
    makeProgramDatabase();
    QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    return QStringLiteral("file rights");
}

// The child: prepares the case, shows the window, writes rows, and prints what it saw.
int runCase(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QByteArray which = qgetenv(caseVariable);
    TestRoot root(TestRoot::FoldersOnly);
    const bool settings = which == "settings";
    const QString folder = root.file(settings ? "/cfg" : "/data");
    const QString file = root.file(settings ? "/cfg/config.cfg" : "/data/quelta.db");
    QString method = QStringLiteral("-");
    const QString warningAbout = settings
        ? QStringLiteral("does not read as this program's settings")
        : QStringLiteral("History cannot be stored");
    if (settings) {
        if (!TestRoot::writeFile(file, QByteArray(4096, '\0')))
            return 3;
    } else if (which == "damaged") {
        if (!TestRoot::writeFile(file, QByteArray(8192, 'x')))
            return 3;
    } else if (which == "read-only") {
        method = makeReadOnly(folder, file);
        if (method.isEmpty())
            return 3;
    } else if (which == "wrong shape") {
        if (!makeDatabase(file, "create table alarm(id integer primary key, code integer)"))
            return 3;
    }
    const QByteArray before = digest(file);

    LogRecorder::install();
    int dialogs = 0;
    QString text;
    {
        QmlPageHost host;
        QQuickItem *window = host.load(QStringLiteral("main.qml"), QSize(1024, 680));
        if (!window)
            return 4;
        QQuickItem *dialog = host.find(settings ? QStringLiteral("settingsFileDialog")
                                                : QStringLiteral("historyDialog"));
        QElapsedTimer waited;
        waited.start();
        while (!(dialog && dialog->isVisible()) && waited.elapsed() < 10000)
            QTest::qWait(20);
        if (!dialog || !dialog->isVisible())
            return 5;
        text = dialog->property("text").toString();
        ++dialogs;
        QMetaObject::invokeMethod(dialog, "close");
        // Rows that fail, of every kind: no new line in the log, no new dialog.
        Alarm *alarm = host.root().alarm();
        RecordWriter *writer = host.root().recordWriter();
        for (int i = 0; i < 20; ++i) {
            alarm->addEvent(Alarm::BuzzerOn);
            writer->insertSample(RecordWriter::Sample());
            writer->insertSelfTest(QDateTime::currentDateTime(), 1, 1);
            QCoreApplication::processEvents();
        }
        if (dialog->isVisible())
            ++dialogs;
    }
    std::printf("METHOD %s\nDIALOGS %d\nWARNINGS %d\nNOTICES %d\nUNCHANGED %d\nTEXT %s\n",
                qPrintable(method), dialogs,
                int(LogRecorder::take(QtWarningMsg).filter(warningAbout).size()),
                LogRecorder::count(QStringLiteral("Notice: Settings file damaged")),
                int(digest(file) == before), qPrintable(text));
    ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return 0;
}

} // namespace

class TestHistoryNotice : public QObject
{
    Q_OBJECT

private slots:
    void toldOnce_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("unchanged");
        QTest::newRow("damaged") << "the database file is damaged" << true;
        QTest::newRow("read-only") << "the database file or its folder is read-only" << true;
        QTest::newRow("wrong shape") << "its tables are not the ones this program makes" << false;
    }

    void toldOnce()
    {
        QFETCH(QString, reason);
        QFETCH(bool, unchanged);
        const QMap<QString, QString> seen = childSaw(QTest::currentDataTag());
        qInfo("made read-only by: %s", qPrintable(seen.value("METHOD")));
        QCOMPARE(seen.value("DIALOGS"), QStringLiteral("1"));
        QCOMPARE(seen.value("WARNINGS"), QStringLiteral("1"));
        const QString text = seen.value("TEXT");
        QVERIFY2(text.startsWith("History cannot be stored: " + reason), qPrintable(text));
        QVERIFY2(text.endsWith("/data/quelta.db"), qPrintable(text));
        if (unchanged)
            QCOMPARE(seen.value("UNCHANGED"), QStringLiteral("1"));
    }

    void settingsFileToldOnce()
    {
        const QMap<QString, QString> seen = childSaw("settings");
        QCOMPARE(seen.value("DIALOGS"), QStringLiteral("1"));
        QCOMPARE(seen.value("WARNINGS"), QStringLiteral("1"));
        QCOMPARE(seen.value("NOTICES"), QStringLiteral("1"));
        const QString text = seen.value("TEXT");
        QVERIFY2(text.contains("/cfg/config.cfg.damaged-") && text.contains("shutdown"),
                 qPrintable(text));
    }

private:
    static QMap<QString, QString> childSaw(const QString &which)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(caseVariable, which);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), QStringList());
        QMap<QString, QString> seen;
        if (!child.waitForFinished(120000) || child.exitCode() != 0)
            qWarning("the child ended with %d", child.exitCode());
        const QString output = QString::fromUtf8(child.readAllStandardOutput());
        for (const QString &line : output.split('\n', Qt::SkipEmptyParts))
            seen.insert(line.section(' ', 0, 0), line.section(' ', 1));
        return seen;
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(caseVariable))
        return runCase(argc, argv);
    QCoreApplication app(argc, argv);
    TestHistoryNotice test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_historynotice.moc"
