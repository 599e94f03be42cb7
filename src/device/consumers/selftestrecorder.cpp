#include "selftestrecorder.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"
#include "recordwriter.h"
#include "selftestrows.h"
#include "upsstate.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <climits>

namespace {

const char rowTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

QString rowTime(const QDateTime &start)
{
    return QLocale(QLocale::English).toString(start, QLatin1String(rowTimeFormat));
}

// The whole lines at the start of a recording: each ends in a line feed. Whatever follows the
// last one was cut by a crash or a power cut.
QByteArrayList wholeLines(const QByteArray &text)
{
    QByteArrayList lines = text.left(text.lastIndexOf('\n') + 1).split('\n');
    lines.removeLast(); // behind the last line feed
    return lines;
}

} // namespace

SelfTestRecorder::SelfTestRecorder(RecordWriter *writer, QObject *parent)
    : QObject(parent),
      m_writer(writer),
      m_saver(QStringLiteral("the self-test recording"), lcDevice)
{
}

SelfTestRecorder::~SelfTestRecorder() = default;

void SelfTestRecorder::setUps(const QString &ups)
{
    m_ups = ups;
    m_saver = FileSaver(QStringLiteral("the self-test recording of %1").arg(ups), lcDevice);
}

QString SelfTestRecorder::fileName(const QDateTime &start) const
{
    return SelfTestRows::recordingFile(start, m_ups);
}

void SelfTestRecorder::updateState(const UpsState &state)
{
    // A test starts and ends with the flag; a lost UPS ends it with the samples taken so far
    // (a lost data set measures nothing).
    const bool testing = state.online() && state.selfTest;
    if (testing && !m_testing) {
        start();
        m_verdictBefore = state.testVerdict;
    } else if (!testing && m_testing && state.online()) {
        takeVerdict(state);
        stop();
    }
    m_testing = testing;
    if (!state.online() && m_running) {
        qCWarning(lcDevice).nospace().noquote()
            << "The link to " << (m_ups.isEmpty() ? QStringLiteral("the UPS") : m_ups)
            << " was lost during the self-test; the recording ends with the " << m_samples.size()
            << " samples taken before";
    } else if (m_running) {
        sample(state.load.value_or(0), state.batteryCharge.value_or(0.0f));
        if (testing)
            watch(state);
    }
    if (!state.online())
        stop(true);
    else if (!testing && state.batteryVoltage)
        m_idleVoltage = state.batteryVoltage;
}

void SelfTestRecorder::watch(const UpsState &state)
{
    if (state.batteryVoltage) {
        if (!m_startVoltage)
            m_startVoltage = state.batteryVoltage;
        m_lowestVoltage =
            std::min(m_lowestVoltage.value_or(*state.batteryVoltage), *state.batteryVoltage);
    }
    m_result.batteryLow = m_result.batteryLow || state.batteryLow;
    m_result.upsFailed = m_result.upsFailed || state.upsFailed;
}

void SelfTestRecorder::takeVerdict(const UpsState &state)
{
    // A verdict that was there before the test began may be an older test's.
    if (state.testVerdict == m_verdictBefore)
        return;
    m_result.batteryLow =
        m_result.batteryLow || state.testVerdict == UpsState::TestVerdict::Warning;
    m_result.upsFailed = m_result.upsFailed || state.testVerdict == UpsState::TestVerdict::Failed;
}

void SelfTestRecorder::start()
{
    if (m_running) {
        // The last one could not be stored whole: its row says what its file holds.
        m_file.close();
        const QDateTime last = QDateTime::fromSecsSinceEpoch(m_startTime);
        completeFromFile(fileName(last), last);
    }
    qCDebug(lcDevice) << "start self-test log";
    m_startTime = Clock::secsSinceEpoch();
    // A new recording takes its first sample even in the second the last one ended.
    m_lastSampleSecond = 0;
    m_samples.clear();
    m_running = true;
    m_startVoltage = m_idleVoltage;
    m_lowestVoltage.reset();
    m_result = SelfTestResult();
    m_told = false;

    const QString path = fileName(QDateTime::fromSecsSinceEpoch(m_startTime));
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_file.setFileName(path);
    m_written = 0;
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        m_saver.failed(path, m_file.errorString());
}

void SelfTestRecorder::sample(int load, float capacity)
{
    const qint64 now = Clock::secsSinceEpoch();
    if (now == m_lastSampleSecond)
        return;
    m_lastSampleSecond = now;
    const quint16 whole = capacity > 0.0f ? quint16(std::min(capacity, 65535.0f)) : 0;
    const Sample entry {now - m_startTime, quint16(qBound(0, load, 65535)), whole};
    m_samples.append(entry);
    if (m_file.isOpen())
        writeLine(QByteArray::number(entry.elapsed) + ',' + QByteArray::number(entry.load) + ',' +
                  QByteArray::number(entry.capacity) + '\n');
}

// One line on the disk, or the file cut back to the lines before it and closed.
bool SelfTestRecorder::writeLine(const QByteArray &line)
{
    // A write cut short (the last free block) is followed by one that says why.
    qint64 done = 0;
    while (done < line.size()) {
        const qint64 wrote = m_file.write(line.constData() + done, line.size() - done);
        if (wrote <= 0)
            break;
        done += wrote;
    }
    if (done == line.size() && platform::syncToDisk(m_file.handle())) {
        m_written += line.size();
        return true;
    }
    const QString reason = done == line.size()
        ? QStringLiteral("the system could not put the line on the disk")
        : m_file.errorString();
    m_file.resize(m_written);
    m_file.close();
    m_saver.failed(m_file.fileName(), reason);
    return false;
}

void SelfTestRecorder::stop(bool cut)
{
    if (!m_running)
        return;
    qCDebug(lcDevice) << "stop self-test log";
    const qint64 duration = std::max<qint64>(0, Clock::secsSinceEpoch() - m_startTime);
    if (m_startVoltage && m_lowestVoltage)
        m_result.voltageDrop = std::max(0.0f, *m_startVoltage - *m_lowestVoltage);
    if (!m_told) {
        // Told once, even when the recording has to wait for a writable disk.
        m_told = true;
        m_result.seconds = int(std::min<qint64>(duration, INT_MAX));
        emit finished(m_result);
    }

    const QDateTime start = QDateTime::fromSecsSinceEpoch(m_startTime);
    if (m_file.isOpen()) {
        m_file.close();
        m_saver.succeeded(m_file.fileName());
    } else {
        // Lines went missing as the test ran: the whole recording once more.
        QByteArray text;
        for (const Sample &entry : qAsConst(m_samples))
            text += QByteArray::number(entry.elapsed) + ',' + QByteArray::number(entry.load) + ',' +
                QByteArray::number(entry.capacity) + '\n';
        if (!m_saver.save(fileName(start), text))
            return;
    }
    const quint32 seconds = quint32(std::min<qint64>(duration, UINT_MAX));
    const QVariant drop = m_result.voltageDrop
        ? QVariant(double(qRound(*m_result.voltageDrop * 100)) / 100)
        : QVariant();
    RecordWriter::SelfTestOutcome outcome = RecordWriter::SelfTestPassed;
    if (cut)
        outcome = RecordWriter::SelfTestUnknown;
    else if (m_result.upsFailed)
        outcome = RecordWriter::SelfTestUpsFault;
    else if (m_result.batteryLow)
        outcome = RecordWriter::SelfTestBatteryLow;
    m_writer->insertSelfTest(start, seconds, m_samples.size(), drop, outcome, m_ups);
    m_running = false;
    emit recorded(start, int(std::min<qint64>(duration, INT_MAX)), m_samples.size());
}

// A recording is named by its start, yyyyMMddhhmmss.txt. The names are checked by hand: a name
// filter or a pattern would load the regular expression engine for this one look at start-up,
// and its pages stay with the service for good.
void SelfTestRecorder::completeInterrupted()
{
    const QDir folder(SelfTestRows::recordingFolder(m_ups));
    const QLatin1String suffix(".txt");
    QStringList names;
    for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
        const QStringRef stamp = name.leftRef(14);
        if (name.size() == 14 + suffix.size() && name.endsWith(suffix) &&
            std::all_of(stamp.begin(), stamp.end(),
                        [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
            names << name;
    }
    if (names.isEmpty())
        return;
    QSet<QString> stored;
    if (!SelfTestRows::startTimes(&stored, m_ups)) {
        qCWarning(lcDevice) << "Self-test recordings are not checked for their rows: the "
                               "database cannot be read";
        return;
    }

    for (const QString &name : names) {
        const QDateTime start =
            QDateTime::fromString(name.left(14), QStringLiteral("yyyyMMddhhmmss"));
        if (!start.isValid() || stored.contains(rowTime(start)))
            continue;
        completeFromFile(folder.filePath(name), start);
    }
}

// The row of what the file holds: its whole lines (a cut last line is dropped from the file),
// lasting until the last one was taken.
void SelfTestRecorder::completeFromFile(const QString &path, const QDateTime &start)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        qCWarning(lcDevice) << "Cannot complete the self-test recording" << path << ":"
                            << file.errorString();
        return;
    }
    const QByteArray text = file.readAll();
    const QByteArrayList lines = wholeLines(text);
    const int whole = text.lastIndexOf('\n') + 1;
    if (whole < text.size())
        file.resize(whole);
    file.close();
    const qint64 last = lines.isEmpty() ? 0 : lines.constLast().split(',').value(0).toLongLong();
    const quint32 duration = quint32(qBound<qint64>(0, last, UINT_MAX));
    qCInfo(lcDevice) << "The self-test recording" << path
                     << "was not completed (the program ended during the test); its row is "
                        "stored with"
                     << lines.size() << "samples over" << duration << "seconds";
    m_writer->insertSelfTest(start, duration, lines.size(), QVariant(),
                             RecordWriter::SelfTestUnknown, m_ups);
}
