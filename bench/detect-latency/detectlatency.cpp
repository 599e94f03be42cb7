#include "detectlatency.h"

#include "alarm.h"
#include "recordwriter.h"
#include "compositionroot.h"
#include "devcomm.h"
#include "paths.h"
#include "settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>

#include <ctime>

DetectLatency::DetectLatency(CompositionRoot *program, const QString &simulator,
                             const QString &folder, quint32 seed)
    : m_program(program), m_simulator(simulator), m_folder(folder), m_seed(seed)
{
    m_clock.start();
    // Both signals come before or right after the write they announce; look once the current
    // event has been handled.
    connect(m_program->alarm(), &Alarm::alarmNumChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { check(); }); });
    // The alarm row is written by the record writer's thread: it counts once committed.
    connect(m_program->recordWriter(), &RecordWriter::rowsCommitted, this, [this] { check(); });
    // Once for both rates: a second connection would count every reply twice.
    connect(m_program->devComm(), &DevComm::devDataChanged, this, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        if (m_lastStatusReply >= 0)
            m_cycles.append(double(now - m_lastStatusReply) / 1.0e6);
        m_lastStatusReply = now;
        QTimer::singleShot(0, this, [this] { check(); });
    });
}

DetectLatency::~DetectLatency()
{
    stop();
}

bool DetectLatency::start(int baud)
{
    if (!startSimulator(baud))
        return false;
    DevComm *devComm = m_program->devComm();
    devComm->setBaud(baud);
    if (!devComm->openDevice(DevComm::COM, m_link))
        return false;
    return settle();
}

bool DetectLatency::watchNetwork(quint16 port, const QString &ups)
{
    Settings *settings = m_program->settings();
    settings->setSettings(Settings::UpsNutHost, QStringLiteral("127.0.0.1"));
    settings->setSettings(Settings::UpsNutPort, port);
    settings->setSettings(Settings::UpsNutUps, ups);
    settings->setSettings(Settings::UpsNutAllowPlain, true);
    if (!m_program->devComm()->openDevice(DevComm::NUT))
        return false;
    return settle();
}

bool DetectLatency::startSimulator(int baud)
{
    stop();
    m_link = m_folder + QStringLiteral("/ups-%1").arg(baud);
    QFile::remove(m_link);
    m_process.setProgram(m_simulator);
    m_process.setArguments(
        {QStringLiteral("--link"), m_link, QStringLiteral("--baud"), QString::number(baud)});
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    return waitFor([this] { return QFileInfo::exists(m_link); }, 5000);
}

bool DetectLatency::settle()
{
    DevComm *devComm = m_program->devComm();
    // Online, identity and ratings read, the cycle down to BT, BP, Q1, A1.
    if (!waitFor([devComm] { return devComm->state().online(); }, 10000) ||
        !waitFor([this] { return statusMode() >= 0; }, 10000))
        return false;
    waitFor([] { return false; }, 2000);
    m_normalMode = statusMode();
    return m_normalMode != 2;
}

DetectLatency::Figures DetectLatency::run(int failures)
{
    Figures figures;
    QRandomGenerator random(m_seed);
    m_cycles.clear();
    m_lastStatusReply = -1;
    for (int i = 0; i < failures; ++i) {
        // A random moment of the poll cycle: the cycle is about a second, the wait up to two.
        const int pause = int(random.bounded(2000));
        waitFor([] { return false; }, pause);

        m_rowsBefore = mainsFaultRows();
        m_alarmAt = m_statusAt = -1;
        command(QStringLiteral("mains fail"));
        const bool seen = waitFor([this] { return m_alarmAt >= 0 && m_statusAt >= 0; }, 10000);
        if (seen) {
            figures.alarmMs.append(double(m_alarmAt - m_failedAt) / 1.0e6);
            figures.statusMs.append(double(m_statusAt - m_failedAt) / 1.0e6);
        } else {
            ++figures.missed;
        }
        m_failedAt = -1;
        command(QStringLiteral("mains return"));
        waitFor([this] { return statusMode() == m_normalMode; }, 10000);
        m_failedAt = -1;
    }
    figures.cycleMs = m_cycles;
    return figures;
}

// The notice lines of one type, as nanoseconds since 1970.
static QVector<qint64> noticeTimes(const QString &path, const QByteArray &type)
{
    QVector<qint64> times;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return times;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> words = line.trimmed().split(' ');
        if (words.size() == 2 && words.at(1) == type)
            times.append(words.at(0).toLongLong());
    }
    return times;
}

DetectLatency::Figures DetectLatency::runNotices(int failures, const QString &notices)
{
    Figures figures;
    QRandomGenerator random(m_seed);
    for (int i = 0; i < failures; ++i) {
        const int pause = int(random.bounded(2000));
        waitFor([] { return false; }, pause);
        const int before = noticeTimes(notices, "ONBATT").size();
        const int online = noticeTimes(notices, "ONLINE").size();
        command(QStringLiteral("mains fail"));
        const qint64 failedAt = failedAtEpochNs;
        const bool seen = waitFor(
            [&] { return noticeTimes(notices, "ONBATT").size() > before; }, 15000);
        if (seen)
            figures.alarmMs.append(double(noticeTimes(notices, "ONBATT").at(before) - failedAt) /
                                   1.0e6);
        else
            ++figures.missed;
        command(QStringLiteral("mains return"));
        waitFor([&] { return noticeTimes(notices, "ONLINE").size() > online; }, 15000);
    }
    return figures;
}

void DetectLatency::closeLink()
{
    // The serial line closes and, with no port named, nothing opens in its place.
    m_program->devComm()->openDevice(DevComm::COM, QString());
}

void DetectLatency::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.write("quit\n");
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

void DetectLatency::command(const QString &line)
{
    m_process.write(line.toUtf8() + '\n');
    m_process.waitForBytesWritten(1000);
    if (line == QLatin1String("mains fail")) {
        m_failedAt = m_clock.nsecsElapsed();
        timespec now {};
        clock_gettime(CLOCK_REALTIME, &now);
        failedAtEpochNs = qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
    }
}

bool DetectLatency::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

int DetectLatency::mainsFaultRows() const
{
    QSqlQuery query;
    query.prepare(QStringLiteral("select count(*) from alarm where alarm = ?"));
    query.addBindValue(int(Alarm::MainsFault));
    if (!query.exec() || !query.next())
        return -1;
    return query.value(0).toInt();
}

// The operating mode, the first number after the time; -1 when there is no line.
int DetectLatency::statusMode() const
{
    QFile file(Paths::file(QStringLiteral("/log/output/upsstatus.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = file.readAll().trimmed().split(',');
    return fields.size() == 10 ? fields.at(1).toInt() : -1;
}

void DetectLatency::check()
{
    if (m_failedAt < 0)
        return;
    const qint64 now = m_clock.nsecsElapsed();
    if (m_alarmAt < 0 && mainsFaultRows() > m_rowsBefore)
        m_alarmAt = now;
    if (m_statusAt < 0 && statusMode() == 2)
        m_statusAt = now;
}
