#include "devcomm.h"

#include "alarm.h"
#include "database.h"
#include "globaldatadef.h"
#include "logcategories.h"
#include "megatec.h"
#include "settings.h"
#include "upsdata.h"
#include "usblink.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

#include <climits>

namespace {

const int pollInterval = 1500;
const int pollAfterReply = 100;
const int scanInterval = 250;
const int lostAfterSends = 8; // the ninth unanswered send loses the UPS
const int defaultBaud = 2400;
// Scans to wait after the open port failed before opening it again, doubled while it keeps
// failing without the UPS answering (a loose adapter), and between attempts while it is there but
// refuses to open (udev may not have set its permissions yet).
const int scansBeforeReopen = 4;
const int scansBeforeReopenAtMost = 240;
const int scansBetweenReopens = 20;

} // namespace

class DevCommPrivate
{
public:
    explicit DevCommPrivate(DevComm *owner);
    ~DevCommPrivate();

    bool openSerial();
    void closeDevice();
    void commLost();
    void dropUsb();
    void pollUsb();
    void saveDeviceData();
    void portFailed(int generation);
    QStringList scanPortNames();
    bool portPresent(const QStringList &names) const;
    void startSaveTimer();

    DevComm *q;
    Megatec *driver;
    QTimer *pollTimer;
    QTimer *saveTimer;
    QTimer *scanTimer;
    Settings *settings;
    QSerialPort *port;
    UsbLink *usb;
    int commType;
    int lostCount = 0;
    unsigned int saveCycle;
    int baud;
    QStringList portNames;
    QStringList devNodes;
    bool scanned = false;
    QString comPort;
    bool reopenWanted = false;
    bool portAbsent = false; // the last opening failed for want of the port
    bool failurePending = false;
    int openCount = 0; // tells a failure of an earlier opening from one of the port open now
    int reopenWait = 0;
    int reopenBackoff = scansBeforeReopen;
};

DevCommPrivate::DevCommPrivate(DevComm *owner)
    : q(owner),
      driver(new Megatec),
      pollTimer(new QTimer(owner)),
      saveTimer(new QTimer(owner)),
      scanTimer(new QTimer(owner)),
      settings(Settings::instance()),
      port(new QSerialPort(owner))
{
    pollTimer->setObjectName(QStringLiteral("pollTimer"));
    // The pace of the line: a coarse timer may add 5 % to every step of the cycle.
    pollTimer->setTimerType(Qt::PreciseTimer);
    saveTimer->setObjectName(QStringLiteral("saveTimer"));
    scanTimer->setObjectName(QStringLiteral("portScanTimer"));
    port->setObjectName(QStringLiteral("serialPort"));

    // A hand-edited rate that is no number would open the line at 0 baud, where nothing answers.
    const QVariant storedBaud = settings->getSettings(Settings::UpsBaudRate);
    bool numeric = false;
    baud = storedBaud.toInt(&numeric);
    if (!numeric || baud <= 0) {
        qCWarning(lcDevice) << "Baud rate" << storedBaud.toString()
                            << "in the configuration is not a rate; the line runs at"
                            << defaultBaud;
        baud = defaultBaud;
    }
    commType = settings->getSettings(Settings::UpsCommType).toInt();
    comPort = settings->getSettings(Settings::UpsComPort).toString();
    port->setBaudRate(baud, QSerialPort::AllDirections);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);

    usb = new UsbLink(driver, owner);
    usb->open();

    saveCycle = settings->getSettings(Settings::UpsDataSaveCycle).toUInt();
}

DevCommPrivate::~DevCommPrivate()
{
    delete port; // first, so that nothing it signals reaches a half-destroyed link
    delete usb; // closes the device and the HID library before the driver goes
    delete driver;
}

bool DevCommPrivate::openSerial()
{
    port->setPortName(comPort);
    if (!port->open(QIODevice::ReadWrite)) {
        qCWarning(lcDevice) << "Cannot open serial port" << comPort << ":" << port->errorString();
        portAbsent = port->error() == QSerialPort::DeviceNotFoundError;
        port->clearError();
        return false;
    }
    qCInfo(lcDevice) << "Serial port" << comPort << "opened at" << baud << "baud";
    ++openCount;
    failurePending = false;
    reopenWanted = false;
    q->onTimerPollingTimeout();
    startSaveTimer();
    pollTimer->start(pollInterval);
    return true;
}

void DevCommPrivate::closeDevice()
{
    if (!port->isOpen())
        return;
    port->close();
    port->clearError();
    pollTimer->stop();
    lostCount = 0;
    saveTimer->stop();
    driver->reset();
    Alarm::instance()->clearAlarms();
    Alarm::instance()->addAlarm(Alarm::CommLost);
}

void DevCommPrivate::commLost()
{
    lostCount = 0;
    saveTimer->stop();
    driver->reset();
    Alarm::instance()->clearAlarms();
    Alarm::instance()->addAlarm(Alarm::CommLost);
}

// Leaving USB: the device is no longer polled, so what it reported must not stay published.
void DevCommPrivate::dropUsb()
{
    if (!usb->isOpen())
        return;
    const bool wasOnline = driver->isOnline();
    usb->close();
    if (wasOnline)
        commLost();
}

void DevCommPrivate::pollUsb()
{
    switch (usb->poll()) {
    case UsbLink::ReportRead:
        pollTimer->start(pollAfterReply);
        return;
    case UsbLink::DeviceGone:
        commLost();
        break;
    default:
        break;
    }
    pollTimer->start(pollInterval);
}

void DevCommPrivate::saveDeviceData()
{
    const UpsData *data = driver->upsData();
    QSqlQuery query;
    query.prepare(QStringLiteral("insert into %1(inputVol, outputVol, load, inputFreq, battVol, "
                                 "temperature) values(?, ?, ?, ?, ?, ?)")
                      .arg(Database::tableName(Database::TableDeviceData)));
    query.addBindValue(data->inputVol);
    query.addBindValue(data->outputVol);
    query.addBindValue(int(data->load));
    query.addBindValue(data->inputFreq);
    query.addBindValue(data->battVol);
    query.addBindValue(data->temperature);
    if (!query.exec())
        qCWarning(lcDevice) << "Storing a measurement sample failed:" << query.lastError().text();
}

// The open port broke (adapter pulled out, the other end closed): like a port that vanished.
void DevCommPrivate::portFailed(int generation)
{
    if (generation != openCount || !port->isOpen())
        return;
    failurePending = false;
    qCWarning(lcDevice) << "Serial port" << comPort << "failed:" << port->error()
                        << port->errorString() << "; closed until it is back";
    closeDevice();
    reopenWanted = true;
    reopenWait = reopenBackoff;
    reopenBackoff = qMin(reopenBackoff * 2, scansBeforeReopenAtMost);
}

// Listing the serial ports examines every terminal device and takes tens of milliseconds on
// Linux, too long for the thread that reads the UPS four times a second. A port comes and goes
// with its node in /dev, so the list is taken again only when /dev changed.
QStringList DevCommPrivate::scanPortNames()
{
    const QDir devices(QStringLiteral("/dev"));
    if (devices.exists()) {
        const QStringList nodes = devices.entryList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        if (scanned && nodes == devNodes)
            return portNames;
        devNodes = nodes;
    }
    scanned = true;
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names << info.portName();
    return names;
}

// Ports named by a path (a pseudo-terminal, /dev/serial/by-id/...) are never listed.
bool DevCommPrivate::portPresent(const QStringList &names) const
{
    if (comPort.isEmpty())
        return false;
    QString name = comPort;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    if (names.contains(name))
        return true;
    return comPort.contains(QLatin1Char('/')) && QFileInfo::exists(comPort);
}

// A hand-edited 0 would store a synced row at every turn of the event loop, and a cycle past
// 24 days does not fit the timer; both are held to what the timer can do sensibly.
void DevCommPrivate::startSaveTimer()
{
    const unsigned int longest = INT_MAX / 1000;
    const unsigned int seconds = qBound(1u, saveCycle, longest);
    if (seconds != saveCycle)
        qCWarning(lcDevice) << "A sample every" << saveCycle << "seconds cannot be kept; every"
                            << seconds << "seconds instead";
    saveTimer->start(int(seconds * 1000));
}

DevComm *DevComm::instance()
{
    static DevComm *devComm = new DevComm;
    return devComm;
}

DevComm::DevComm() : d(new DevCommPrivate(this))
{
    connect(d->driver, &Megatec::dataChanged, this, &DevComm::devDataChanged);
    connect(d->driver, &Megatec::onlineChanged, this, &DevComm::onlineChanged);
    connect(d->port, &QSerialPort::readyRead, this, &DevComm::onCOMReadyRead);
    connect(d->port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (d->failurePending || !d->port->isOpen())
            return;
        if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
            error == QSerialPort::WriteError || error == QSerialPort::DeviceNotFoundError) {
            // Closing from inside the port's own notification is unsafe; the flag keeps a
            // repeating error from queueing more than once.
            d->failurePending = true;
            const int generation = d->openCount;
            QMetaObject::invokeMethod(
                this, [this, generation] { d->portFailed(generation); }, Qt::QueuedConnection);
        }
    });
    connect(d->pollTimer, &QTimer::timeout, this, &DevComm::onTimerPollingTimeout);
    connect(d->saveTimer, &QTimer::timeout, this, &DevComm::onTimerSaveTimeout);
    connect(d->scanTimer, &QTimer::timeout, this, &DevComm::onTimerCOMTimeout);
    connect(d->usb, &UsbLink::usbVersionChanged, this, &DevComm::usbVersionChanged);
    connect(d->usb, &UsbLink::upsAnswered, this, [this] {
        d->startSaveTimer();
        Alarm::instance()->delAlarm(Alarm::CommLost);
        Alarm::instance()->addEvent(Alarm::CommNormal);
    });
    connect(d->usb, &UsbLink::upsSilent, this,
            [] { Alarm::instance()->addAlarm(Alarm::CommLost); });

    openDevice(d->commType, d->comPort);
    d->scanTimer->start(scanInterval);
}

DevComm::~DevComm()
{
    delete d;
}

unsigned int DevComm::saveCycle() const
{
    return d->saveCycle;
}

void DevComm::setSaveCycle(unsigned int seconds)
{
    d->saveCycle = seconds;
    if (d->saveTimer->isActive())
        d->startSaveTimer();
    d->settings->setSettings(Settings::UpsDataSaveCycle, seconds);
}

int DevComm::baud() const
{
    return d->baud;
}

int DevComm::commType() const
{
    return d->commType;
}

QVariantMap DevComm::devData() const
{
    return d->driver->data();
}

QStringList DevComm::comPort() const
{
    const QString none = tr("None");
    QStringList list;
    if (d->comPort.isEmpty()) {
        list << none << d->portNames;
        return list;
    }
    list << d->comPort << none;
    for (const QString &name : qAsConst(d->portNames)) {
        if (name != d->comPort)
            list << name;
    }
    return list;
}

QString DevComm::usbVersion() const
{
    return d->usb->usbVersion();
}

UpsData *DevComm::upsData() const
{
    return d->driver->upsData();
}

void DevComm::onTimerPollingTimeout()
{
    if (d->commType != COM) {
        d->pollUsb();
        return;
    }
    if (d->port->isOpen()) {
        d->port->write(d->driver->nextCommand());
        if (d->driver->isOnline() && ++d->lostCount > lostAfterSends) {
            qCWarning(lcDevice) << "The UPS stopped answering on" << d->comPort;
            d->commLost();
        }
    }
    d->pollTimer->start(pollInterval);
}

void DevComm::onTimerSaveTimeout()
{
    if (d->driver->isOnline())
        d->saveDeviceData();
}

void DevComm::onTimerCOMTimeout()
{
    const QStringList names = d->scanPortNames();
    const bool present = d->portPresent(names);
    const bool listChanged = names != d->portNames;
    d->portNames = names;

    if (d->port->isOpen() && !present) {
        qCWarning(lcDevice) << "Serial port" << d->comPort << "disappeared";
        d->closeDevice();
        d->reopenWanted = true;
        d->reopenWait = 0;
    } else if (d->reopenWanted && !d->port->isOpen() && d->commType == COM) {
        if (!present)
            d->reopenWait = 0;
        else if (d->reopenWait > 0)
            --d->reopenWait;
        else if (!d->openSerial())
            d->reopenWait = scansBetweenReopens;
    }

    if (listChanged)
        emit comPortChanged();
}

void DevComm::onCOMReadyRead()
{
    const bool wasOnline = d->driver->isOnline();
    if (!d->driver->handleResponse(d->port->readAll()))
        return;
    d->lostCount = 0;
    if (!wasOnline && d->driver->isOnline()) {
        d->reopenBackoff = scansBeforeReopen;
        d->startSaveTimer();
        Alarm::instance()->delAlarm(Alarm::CommLost);
        Alarm::instance()->addEvent(Alarm::CommNormal);
    }
    d->pollTimer->start(pollAfterReply);
}

bool DevComm::openDevice(int type, const QString &devName)
{
    d->closeDevice();
    d->reopenWanted = false;
    d->reopenBackoff = scansBeforeReopen;
    bool result = true;
    if (type == COM) {
        d->dropUsb();
        if (!devName.isEmpty() && !devName.startsWith(tr("None"))) {
            if (devName != d->comPort) {
                d->comPort = devName;
                d->settings->setSettings(Settings::UpsComPort, devName);
            }
            result = d->openSerial();
            // A port that is not there yet is opened when it appears.
            d->reopenWanted = !result && d->portAbsent;
            d->reopenWait = 0;
        }
    } else {
        d->pollTimer->start(pollInterval);
    }
    d->lostCount = 0;
    d->commType = type;
    d->settings->setSettings(Settings::UpsCommType, type);
    return result;
}

void DevComm::setShutdown(bool shutdown, int time)
{
    if (d->commType == COM) {
        d->driver->shutdown(shutdown, time);
        return;
    }
    // A delay past 254 would wrap around to 0, which the UPS reads as a cancel.
    const int value = shutdown ? qBound(0, time, 254) + 1 : 0;
    d->usb->sendReport(3, quint8(value));
}

void DevComm::setSelfTest(int type, int time)
{
    if (d->commType == COM) {
        d->driver->selfTest(type, time);
        return;
    }
    switch (type) {
    case GlobalDataDef::SelfTestCancel:
        d->usb->sendReport(2, 3);
        break;
    case GlobalDataDef::SelfTest10S:
        d->usb->sendReport(2, 1);
        break;
    case GlobalDataDef::SelfTestEOD:
        d->usb->sendReport(2, 2);
        break;
    case GlobalDataDef::SelfTestCustom:
        d->usb->sendReport(2, quint8((time + 3) & 0xFF));
        break;
    default:
        break;
    }
}

void DevComm::setBuzzer()
{
    if (d->commType == COM) {
        d->driver->toggleBuzzer();
        return;
    }
    const bool on = d->driver->data().value(QStringLiteral("buzzer")).toBool();
    d->usb->sendReport(4, on ? 1 : 2);
}

void DevComm::setBaud(int baud)
{
    if (baud == d->baud)
        return;
    d->baud = baud;
    d->settings->setSettings(Settings::UpsBaudRate, baud);
    d->port->setBaudRate(baud, QSerialPort::AllDirections);
}
