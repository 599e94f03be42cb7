#include "upssimprocess.h"

#include "childprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTest>

class UpsSimProcessPrivate
{
public:
    ChildProcess process;
    QString port;
    QByteArray pending;
    QStringList lines;
    QStringList answers;
    QList<QByteArray> frames;

    // The body of an escaped, quoted frame as the simulator logs it: "Q1\r".
    static QByteArray unquote(const QString &text)
    {
        QByteArray out;
        const QByteArray in = text.trimmed().toLatin1();
        const int end = in.endsWith('"') ? in.size() - 1 : in.size();
        for (int i = in.startsWith('"') ? 1 : 0; i < end; ++i) {
            if (in[i] != '\\' || i + 1 >= end) {
                out.append(in[i]);
                continue;
            }
            const char c = in[++i];
            if (c == 'r')
                out.append('\r');
            else if (c == 'n')
                out.append('\n');
            else if (c == 't')
                out.append('\t');
            else if (c == 'x' && i + 2 < end) {
                out.append(char(in.mid(i + 1, 2).toInt(nullptr, 16)));
                i += 2;
            } else
                out.append(c);
        }
        return out;
    }

    // `poll`: first take in what the simulator has written and the event loop has not yet read.
    void readOutput(bool poll = false)
    {
        if (poll && process.state() == QProcess::Running)
            process.waitForReadyRead(0);
        pending += process.readAllStandardOutput();
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(end));
            pending.remove(0, end + 1);
            lines << line;
            if (line.startsWith(QLatin1String("PTY ")) && port.isEmpty())
                port = line.mid(4).trimmed();
            else if (line.startsWith(QLatin1String("RX ")))
                frames << unquote(line.mid(3));
            else if (line == QLatin1String("ok") || line.startsWith(QLatin1String("ok ")) ||
                     line.startsWith(QLatin1String("error ")))
                answers << line;
        }
    }

    template<typename Done> bool waitUntil(Done done, int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done()) {
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return done();
            QTest::qWait(5);
            readOutput();
        }
        return true;
    }
};

UpsSimProcess::UpsSimProcess(const QStringList &options, int startTimeoutMs)
    : d(new UpsSimProcessPrivate)
{
    d->process.setReadChannel(QProcess::StandardOutput);
    // Its diagnostics go to the test's own error output.
    d->process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes must not leave its simulator running.
    d->process.start(QStringLiteral(QUELTA_BIN_DIR "/upssim"),
                     QStringList {QStringLiteral("--parent-pid"),
                                  QString::number(QCoreApplication::applicationPid())} +
                         options);
    if (!d->process.waitForStarted(startTimeoutMs))
        return;
    d->waitUntil([this] { return !d->port.isEmpty(); }, startTimeoutMs);
}

UpsSimProcess::~UpsSimProcess()
{
    if (d->process.state() == QProcess::NotRunning)
        return;
    d->process.write("quit\n");
    if (!d->process.waitForFinished(2000)) {
        d->process.terminate();
        if (!d->process.waitForFinished(2000))
            d->process.kill();
        d->process.waitForFinished(1000);
    }
}

bool UpsSimProcess::isReady() const
{
    return !d->port.isEmpty() && d->process.state() == QProcess::Running;
}

QString UpsSimProcess::portPath() const
{
    return d->port;
}

QString UpsSimProcess::command(const QString &text, int timeoutMs)
{
    if (d->process.state() != QProcess::Running)
        return QString();
    const int before = d->answers.size();
    d->process.write(text.toUtf8() + '\n');
    if (!d->waitUntil([this, before] { return d->answers.size() > before; }, timeoutMs))
        return QString();
    return d->answers.at(before);
}

bool UpsSimProcess::run(const QStringList &commands)
{
    for (const QString &text : commands) {
        if (!command(text).startsWith(QLatin1String("ok")))
            return false;
    }
    return true;
}

QList<QByteArray> UpsSimProcess::receivedFrames() const
{
    d->readOutput(true);
    return d->frames;
}

void UpsSimProcess::clearReceived()
{
    d->readOutput(true);
    d->frames.clear();
}

QList<QByteArray> UpsSimProcess::takeControlFrames()
{
    static const QList<QByteArray> queries = {"BT\r", "BP\r", "Q1\r", "A1\r",
                                              "F\r",  "I\r",  "NQU\r"};
    QList<QByteArray> control;
    for (const QByteArray &frame : receivedFrames()) {
        if (!queries.contains(frame))
            control << frame;
    }
    d->frames.clear();
    return control;
}

bool UpsSimProcess::waitForFrame(const QByteArray &frame, int timeoutMs)
{
    return d->waitUntil([this, &frame] { return d->frames.contains(frame); }, timeoutMs);
}

QStringList UpsSimProcess::eventLines() const
{
    d->readOutput(true);
    return d->lines;
}

bool UpsSimProcess::waitForEvent(const QString &prefix, int timeoutMs)
{
    return d->waitUntil(
        [this, &prefix] {
            for (const QString &line : qAsConst(d->lines))
                if (line.startsWith(prefix))
                    return true;
            return false;
        },
        timeoutMs);
}
