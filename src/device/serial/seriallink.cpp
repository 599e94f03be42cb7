#include "seriallink.h"

#include "logcategories.h"
#include "megatec.h"
#include "platform.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

namespace {

const int pollEvery = 1500;
// The next request goes out as soon as a reply is in and accepted; on a fast line the status query
// waits until this long after the last one.
const int statusEvery = 200;
const int lostAfterSends = 8; // the ninth unanswered send loses the UPS
// What the port reads at a time: a few replies' worth (the longest is 128 bytes). Unbounded, it
// would take a block of 32 KiB from the heap and give it back at every reply.
const int readChunk = 512;
// A UPS that answers other queries but not the status query is as good as lost: it is, once no
// status reply came for as long as a silent line takes to be lost (as it took when a request
// went 100 ms after a reply).
const int statusWithin = 100 + lostAfterSends * pollEvery;
// Scans to wait after the open port failed before opening it again, doubled while it keeps
// failing without the UPS answering (a loose adapter), and between attempts while it is there but
// refuses to open (udev may not have set its permissions yet).
const int scansBeforeReopen = 4;
const int scansBeforeReopenAtMost = 240;
const int scansBetweenReopens = 20;
// Milliseconds a closing port waits at most for the rest of the last reply.
const int finishReplyBudget = 250;

} // namespace

class SerialLinkPrivate
{
public:
    explicit SerialLinkPrivate(SerialLink *owner)
        : q(owner), pollTimer(owner), gatherTimer(owner), statusTimer(owner), port(owner)
    {
    }

    bool open();
    void close();
    void upsLost();
    void statusOverdue();
    void failSoon(const QString &why);
    void portFailed(int generation, const QString &why);
    void onReadyRead();
    void holdReadNotice();
    int lineTime(int bytes) const;
    int wireTime(int bytes) const;
    void gather(bool sendNow = false);
    bool readDirect();
    void handleBytes(const char *bytes, int size);
    void send();
    void finishReply();
    bool portPresent(const QStringList &names) const;
    void setProblem(const QString &text);

    SerialLink *q;
    Megatec driver;
    QTimer pollTimer;
    QTimer gatherTimer;
    QTimer statusTimer; // since the last accepted status reply
    QSerialPort port;
    // The port's own, held off; none where it has none. Where it has one, the link reads and
    // writes the port's descriptor itself.
    QPointer<QSocketNotifier> readNotice;
    bool pulling = false;
    bool replyAccepted = false; // in this gathering: the next request goes now
    bool sendFollows = false; // the poll timer sends after an accepted reply: nothing to gather
    QElapsedTimer statusSent;
    QString portName;
    int baud = 2400;
    int lostCount = 0;
    bool reopenWanted = false;
    bool portAbsent = false; // the last opening failed for want of the port
    bool failurePending = false;
    int openCount = 0; // tells a failure of an earlier opening from one of the port open now
    int reopenWait = 0;
    int reopenBackoff = scansBeforeReopen;
    int claim = -1; // the hold on the port among the programs that claim it
    QString problem; // why the port could not be opened, for the user
};

void SerialLinkPrivate::setProblem(const QString &text)
{
    if (text == problem)
        return;
    problem = text;
    emit q->problemChanged();
}

bool SerialLinkPrivate::open()
{
    port.setPortName(portName);
    port.setBaudRate(baud, QSerialPort::AllDirections);
    const QString node =
        portName.contains(QLatin1Char('/')) ? portName : QStringLiteral("/dev/") + portName;
    bool busy = false;
    claim = platform::claimDevice(node.toStdWString(), &busy);
    if (busy) {
        if (!q->isBusy())
            qCWarning(lcDevice) << "Serial port" << portName
                                << "is in use by another program; it is opened once it is free";
        portAbsent = false;
        setProblem(QString());
        q->setBusy(true);
        return false;
    }
    if (!port.open(QIODevice::ReadWrite)) {
        qCWarning(lcDevice) << "Cannot open serial port" << portName << ":" << port.errorString();
        portAbsent = port.error() == QSerialPort::DeviceNotFoundError;
        if (portAbsent) {
            setProblem(SerialLink::tr("Port %1 not found").arg(node));
        } else if (port.error() == QSerialPort::PermissionError) {
            // The group that may open the node, as the system set it (dialout on Debian).
            const QString group = QFileInfo(node).group();
            setProblem(SerialLink::tr("Permission denied: add yourself to %1")
                           .arg(group.isEmpty() || group == QLatin1String("root")
                                    ? QStringLiteral("dialout")
                                    : group));
        } else {
            setProblem(
                SerialLink::tr("Port %1 cannot be opened: %2").arg(node, port.errorString()));
        }
        port.clearError();
        platform::releaseDevice(claim);
        claim = -1;
        q->setBusy(false);
        return false;
    }
    q->setBusy(false);
    setProblem(QString());
    // What another program left unread on the line is no reply to us.
    port.clear(QSerialPort::Input);
    qCInfo(lcDevice) << "Serial port" << portName << "opened at" << baud << "baud";
    // The link reads the port on its own timer, the port's read notice held off. Where the port
    // has none to hold, it takes one byte and then waits to be read: the first byte of a reply
    // wakes the link, which reads the rest in one go when the line should be done with it.
    readNotice = nullptr;
    port.setReadBufferSize(readChunk);
    holdReadNotice();
    if (!readNotice)
        port.setReadBufferSize(1);
    ++openCount;
    failurePending = false;
    reopenWanted = false;
    q->poll(); // the first request goes out at once
    return true;
}

// The port goes, and with it the UPS it reached.
void SerialLinkPrivate::close()
{
    if (!port.isOpen())
        return;
    finishReply();
    port.close();
    port.clearError();
    platform::releaseDevice(claim);
    claim = -1;
    pollTimer.stop();
    gatherTimer.stop();
    upsLost();
}

void SerialLinkPrivate::upsLost()
{
    lostCount = 0;
    statusTimer.stop();
    driver.reset();
    emit q->linkLost();
}

void SerialLinkPrivate::statusOverdue()
{
    if (!port.isOpen() || !driver.isOnline())
        return;
    qCWarning(lcDevice).noquote()
        << QStringLiteral("The UPS on %1 has not answered the status query for %2 s (replies "
                          "refused so far: %3); it counts as lost")
               .arg(portName)
               .arg(statusWithin / 1000.0)
               .arg(driver.refusedReplies());
    upsLost();
}

// Closing from inside the port's own notification, or in the middle of a gathering, is unsafe;
// the flag keeps a repeating error from queueing more than once.
void SerialLinkPrivate::failSoon(const QString &why)
{
    if (failurePending || !port.isOpen())
        return;
    failurePending = true;
    const int generation = openCount;
    QMetaObject::invokeMethod(
        q, [this, generation, why] { portFailed(generation, why); }, Qt::QueuedConnection);
}

// The open port broke (adapter pulled out, the other end closed): like a port that vanished.
void SerialLinkPrivate::portFailed(int generation, const QString &why)
{
    if (generation != openCount || !port.isOpen())
        return;
    failurePending = false;
    qCWarning(lcDevice).noquote()
        << QStringLiteral("Serial port %1 failed: %2; closed until it is back").arg(portName, why);
    close();
    reopenWanted = true;
    reopenWait = reopenBackoff;
    reopenBackoff = qMin(reopenBackoff * 2, scansBeforeReopenAtMost);
}

// A reply arrives a byte every character time; waking for each would wake the program a few
// hundred times a second. Its length is known from the request, so the link reads the whole
// reply in one go once it should be in, on its own timer, and the port's read notice is held off
// meanwhile (where the port has one; elsewhere the port holds one byte and then waits to be
// read, so a reply's first bytes wake the link, which then waits for the rest).
void SerialLinkPrivate::onReadyRead()
{
    if (pulling || gatherTimer.isActive())
        return;
    const int awaited = driver.replyBytesAwaited() - int(port.bytesAvailable());
    if (awaited > 0)
        gatherTimer.start(lineTime(awaited));
    else
        gather();
}

void SerialLinkPrivate::holdReadNotice()
{
    if (!readNotice) {
        const auto notifiers = port.findChildren<QSocketNotifier *>();
        for (QSocketNotifier *notifier : notifiers) {
            if (notifier->type() == QSocketNotifier::Read)
                readNotice = notifier;
        }
    }
    if (readNotice && readNotice->isEnabled())
        readNotice->setEnabled(false);
}

// Milliseconds the line takes for this many more bytes, and one character more to be sure.
int SerialLinkPrivate::lineTime(int bytes) const
{
    return wireTime(bytes + 1);
}

int SerialLinkPrivate::wireTime(int bytes) const
{
    return SerialLink::wireTime(bytes, baud);
}

// Everything the line brought so far, in one read; the rest of a reply is read when it should
// be in. With sendNow, an accepted reply is followed by the next request at once where no pace
// holds it back (not from poll(), which sends itself).
void SerialLinkPrivate::gather(bool sendNow)
{
    if (!port.isOpen() || failurePending)
        return;
    replyAccepted = false;
    if (readNotice) {
        if (!readDirect())
            return;
    } else {
        pulling = true;
        port.setReadBufferSize(readChunk);
        port.waitForReadyRead(0);
        pulling = false;
        if (port.error() == QSerialPort::TimeoutError)
            port.clearError(); // nothing there yet is no fault of the port
        const QByteArray bytes = port.read(port.bytesAvailable());
        port.setReadBufferSize(1);
        if (!bytes.isEmpty())
            handleBytes(bytes.constData(), int(bytes.size()));
    }
    if (!port.isOpen())
        return;
    holdReadNotice();
    if (replyAccepted) {
        const qint64 wait = statusSent.isValid() && driver.statusQueryNext()
            ? statusEvery - statusSent.elapsed()
            : 0;
        if (wait <= 0 && sendNow && pollTimer.isActive()) {
            // In the same wake-up: a turn of the event loop between costs a poll of every
            // descriptor and a timer started and stopped, at every request. A poll timer held
            // stopped (a test pacing the line) holds the next request too.
            pollTimer.stop();
            send();
            return;
        }
        sendFollows = true;
        pollTimer.start(int(qMax<qint64>(0, wait)));
        return;
    }
    const int awaited = driver.replyBytesAwaited();
    if (awaited > 0 && !gatherTimer.isActive())
        gatherTimer.start(lineTime(awaited));
}

// What the line brought so far, straight from the descriptor; false when the port failed.
bool SerialLinkPrivate::readDirect()
{
    char chunk[readChunk];
    const qint64 read = platform::portRead(qint64(port.handle()), chunk, readChunk);
    if (read < 0) {
        failSoon(QStringLiteral("the line hung up or the port went"));
        return false;
    }
    if (read > 0)
        handleBytes(chunk, int(read));
    return true;
}

void SerialLinkPrivate::handleBytes(const char *bytes, int size)
{
    const bool wasOnline = driver.isOnline();
    if (!driver.handleResponse(bytes, size))
        return;
    lostCount = 0;
    if (driver.currentCommand() == Megatec::CmdQueryBase)
        statusTimer.start(statusWithin);
    if (!wasOnline && driver.isOnline())
        reopenBackoff = scansBeforeReopen;
    replyAccepted = true;
}

// The request asked last is nearly always awaiting its reply. Read to its end before the port
// closes, so that the next program to open the line finds it clean rather than half a reply
// (which it clears anyway). The wait blocks this thread, so it is held to a short budget: a whole
// reply at 50 baud would take 12 s.
void SerialLinkPrivate::finishReply()
{
    if (!port.isOpen() || port.error() != QSerialPort::NoError)
        return;
    QElapsedTimer waited;
    waited.start();
    const int limit = qMin(lineTime(driver.replyBytesAwaited() + 8), finishReplyBudget);
    while (driver.replyBytesAwaited() > int(port.bytesAvailable()) && waited.elapsed() < limit) {
        if (!port.waitForReadyRead(int(qMax<qint64>(1, limit - waited.elapsed()))))
            break;
    }
    port.clearError();
    port.readAll();
}

// Ports named by a path (a pseudo-terminal, /dev/serial/by-id/...) are never listed.
bool SerialLinkPrivate::portPresent(const QStringList &names) const
{
    if (portName.isEmpty())
        return false;
    QString name = portName;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    if (names.contains(name))
        return true;
    return portName.contains(QLatin1Char('/')) && QFileInfo::exists(portName);
}

SerialLink::SerialLink(QObject *parent) : UpsLink(parent), d(new SerialLinkPrivate(this))
{
    // The pace of the line: a coarse timer may add 5 % to every step of the cycle.
    d->pollTimer.setTimerType(Qt::PreciseTimer);
    d->pollTimer.setObjectName(QStringLiteral("pollTimer"));
    d->gatherTimer.setTimerType(Qt::PreciseTimer);
    d->gatherTimer.setSingleShot(true);
    d->gatherTimer.setObjectName(QStringLiteral("gatherTimer"));
    connect(&d->gatherTimer, &QTimer::timeout, this, [this] { d->gather(true); });
    d->statusTimer.setTimerType(Qt::PreciseTimer);
    d->statusTimer.setSingleShot(true);
    d->statusTimer.setObjectName(QStringLiteral("statusTimer"));
    connect(&d->statusTimer, &QTimer::timeout, this, [this] { d->statusOverdue(); });
    d->port.setObjectName(QStringLiteral("serialPort"));
    d->port.setDataBits(QSerialPort::Data8);
    d->port.setParity(QSerialPort::NoParity);
    d->port.setStopBits(QSerialPort::OneStop);
    d->port.setFlowControl(QSerialPort::NoFlowControl);

    connect(&d->driver, &Megatec::onlineChanged, this, &UpsLink::onlineChanged);
    connect(&d->driver, &Megatec::stateChanged, this, &UpsLink::stateChanged);
    connect(&d->driver, &Megatec::faultsChanged, this, &UpsLink::faultsChanged);
    connect(&d->driver, &Megatec::identityChanged, this, &UpsLink::identityChanged);
    connect(&d->pollTimer, &QTimer::timeout, this, &SerialLink::poll);
    connect(&d->port, &QSerialPort::readyRead, this, [this] { d->onReadyRead(); });
    connect(
        &d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
            if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
                error == QSerialPort::WriteError || error == QSerialPort::DeviceNotFoundError)
                d->failSoon(QStringLiteral("%1 (%2)").arg(error).arg(d->port.errorString()));
        });
}

SerialLink::~SerialLink()
{
    // Nothing the port still signals may reach a half-destroyed link.
    d->port.disconnect(this);
    d->finishReply();
}

QString SerialLink::portName() const
{
    return d->portName;
}

void SerialLink::setPortName(const QString &name)
{
    d->portName = name;
}

int SerialLink::baudRate() const
{
    return d->baud;
}

void SerialLink::setBaudRate(int baud)
{
    d->baud = baud;
    if (d->port.isOpen())
        d->port.setBaudRate(baud, QSerialPort::AllDirections);
}

bool SerialLink::start()
{
    d->reopenWanted = false;
    d->reopenBackoff = scansBeforeReopen;
    d->lostCount = 0;
    const bool opened = d->open();
    // A port that is not there yet is opened when it appears, one another program holds when
    // it lets go.
    d->reopenWanted = !opened && (d->portAbsent || isBusy());
    d->reopenWait = 0;
    return opened;
}

QString SerialLink::problem() const
{
    return d->problem;
}

void SerialLink::stop()
{
    d->close();
    d->setProblem(QString());
    setBusy(false);
    d->reopenWanted = false;
    d->reopenBackoff = scansBeforeReopen;
    d->lostCount = 0;
}

bool SerialLink::isOpen() const
{
    return d->port.isOpen();
}

const UpsState &SerialLink::state() const
{
    return d->driver.state();
}

void SerialLink::switchOutputOff(int minutes)
{
    d->driver.shutdown(true, minutes);
}

void SerialLink::cancelOutputOff()
{
    d->driver.shutdown(false, 0);
}

void SerialLink::powerCycle(int minutes)
{
    d->driver.powerCycle(minutes);
}

void SerialLink::setSelfTest(int type, int minutes)
{
    d->driver.selfTest(type, minutes);
}

void SerialLink::toggleBeeper()
{
    d->driver.toggleBeeper();
}

void SerialLink::poll()
{
    if (!d->port.isOpen()) {
        d->pollTimer.start(pollEvery);
        return;
    }
    // What came before this request belongs to the one before it.
    d->gatherTimer.stop();
    if (!d->sendFollows || sender() != &d->pollTimer)
        d->gather();
    d->sendFollows = false;
    d->pollTimer.stop();
    if (d->port.isOpen())
        d->send();
}

void SerialLinkPrivate::send()
{
    if (driver.statusQueryNext())
        statusSent.start();
    const QByteArray request = driver.nextCommand();
    qint64 written = 0;
    if (readNotice) {
        written = platform::portWrite(qint64(port.handle()), request.constData(), request.size());
        if (written < 0) {
            failSoon(QStringLiteral("a request could not be written (%1)")
                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
            written = request.size(); // nothing more goes to a failed port
        }
    }
    if (written < request.size()) {
        // The rest through the port class, out now rather than at the next turn of the event
        // loop; the second call finds nothing left and stops the port's watch for room to write,
        // which would cost that turn.
        port.write(request.constData() + written, request.size() - written);
        port.flush();
        port.flush();
    }
    holdReadNotice();
    // The reply is read at the earliest moment it can be whole: once the request and it have
    // crossed the line. A UPS that takes a moment to answer leaves a few bytes, read when they
    // should be in; a margin here would delay every reply instead.
    gatherTimer.stop();
    if (const int awaited = driver.replyBytesAwaited())
        gatherTimer.start(wireTime(int(request.size()) + awaited));
    pollTimer.start(pollEvery);
    if (driver.isOnline() && ++lostCount > lostAfterSends) {
        qCWarning(lcDevice) << "The UPS stopped answering on" << portName;
        upsLost();
    }
}

int SerialLink::statusPace()
{
    return statusEvery;
}

int SerialLink::wireTime(int bytes, int baud)
{
    // Ten bits a character (start, 8 data, stop), rounded up to the next millisecond.
    return qMax(1, (bytes * 10 * 1000 + baud - 1) / qMax(1, baud));
}

bool SerialLink::reopenPending() const
{
    return d->reopenWanted && !d->port.isOpen();
}

int SerialLink::pollInterval() const
{
    return d->pollTimer.isActive() ? d->pollTimer.interval() : -1;
}

void SerialLink::portsScanned(const QStringList &names)
{
    const bool present = d->portPresent(names);
    if (d->port.isOpen() && !present) {
        qCWarning(lcDevice) << "Serial port" << d->portName << "disappeared";
        d->close();
        d->reopenWanted = true;
        d->reopenWait = 0;
    } else if (d->reopenWanted && !d->port.isOpen()) {
        if (!present)
            d->reopenWait = 0;
        else if (d->reopenWait > 0)
            --d->reopenWait;
        else if (!d->open())
            d->reopenWait = scansBetweenReopens;
    }
}
