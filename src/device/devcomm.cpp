#include "devcomm.h"

#include "clock.h"
#include "devdatamap.h"
#include "logcategories.h"
#include "outputoffwatch.h"
#include "platform.h"
#include "portwatcher.h"
#include "seriallink.h"
#include "settings.h"
#include "usblink.h"

#include <QDir>
#include <QHash>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

const int scanInterval = 250;
const int defaultBaud = 2400;

} // namespace

class DevCommPrivate
{
public:
    explicit DevCommPrivate(DevComm *owner, Settings *store)
        : q(owner), settings(store), serial(new SerialLink(owner)), usb(new UsbLink(owner))
    {
    }

    UpsLink *linkFor(int type) const { return links.value(type, usb); }
    void follow(UpsLink *link);
    void refresh(UpsLink *link);
    void updateBusy();
    int storedBaud() const;
    QStringList portChoices() const;
    static int choiceIndex(const QStringList &list, const QString &port);
    QStringList scanPortNames();

    DevComm *q;
    Settings *settings;
    SerialLink *serial;
    UsbLink *usb;
    QHash<int, UpsLink *> links;
    UpsLink *active = nullptr;
    // The port list is taken again when a device node came or went; while a port is wanted
    // back, every 250 ms besides, as its waits between attempts count scans.
    PortWatcher watcher;
    QTimer scanTimer;
    void followReopen();
    int commType = DevComm::USB;
    int baud = defaultBaud;
    UpsState state;
    bool linkKnown = false; // the UPS answered once: "devOnline" is published from then on
    DevDataMap dataMap;
    // The live chart takes a point a second at most, so its sixty points are the last minute
    // however often the link tells a data set (several a second on battery).
    static constexpr qint64 chartEveryMs = 900;
    qint64 chartAt = -1;
    // The map the screens read, made when read: a program without a window never makes it.
    QVariantMap published;
    bool publishedStale = true;
    QStringList portNames;
    QStringList devNodes;
    bool scanned = false;
    bool busy = false;
    OutputOffWatch outputOff;
    void askOutputOff(int minutes);
    bool started = false;
    bool opening = false; // openDevice writes the link's settings itself
    void followStoredLink();
    bool open(int type, const QString &devName);
};

// The link or the port changed in the settings file by someone else (the command line, an
// import): the line in use follows it. The link's own choices are written back first, so they
// never differ here.
void DevCommPrivate::followStoredLink()
{
    if (!started || opening)
        return;
    const int type = settings->number(Settings::UpsCommType);
    const QString port = settings->text(Settings::UpsComPort);
    if (type != DevComm::COM && port != serial->portName()) {
        // Kept for when the serial line is chosen again, and shown in the list meanwhile.
        serial->setPortName(port);
        emit q->comPortChanged();
    }
    if (type == commType && (type != DevComm::COM || port == serial->portName()))
        return;
    qCInfo(lcDevice).noquote() << QStringLiteral("The UPS link in the settings changed to %1%2; "
                                                 "it is opened now")
                                      .arg(type)
                                      .arg(type == DevComm::COM ? QLatin1Char(' ') + port
                                                                : QString());
    q->openDevice(type, port);
}

// The delay the UPS takes for `minutes` (0: the shortest it knows, 0.2 minutes), in seconds.
// Delays the serial UPS cannot carry are not sent, so no pending output-off is shown for them.
void DevCommPrivate::askOutputOff(int minutes)
{
    if (minutes < 0 || minutes > 10)
        return;
    outputOff.asked(minutes == 0 ? 12 : minutes * 60);
}

// Everything a link says reaches the rest of the program through DevComm, while it is the one
// in use.
void DevCommPrivate::follow(UpsLink *link)
{
    QObject::connect(link, &UpsLink::onlineChanged, q, [this, link](bool online) {
        if (link != active)
            return;
        refresh(link);
        emit q->onlineChanged(online);
    });
    QObject::connect(link, &UpsLink::stateChanged, q, [this, link] {
        if (link != active)
            return;
        refresh(link);
        outputOff.updateState(state);
        const qint64 now = Clock::msecsSinceEpoch();
        if (chartAt < 0 || now < chartAt || now - chartAt >= chartEveryMs) {
            dataMap.record(state);
            chartAt = now;
        }
        publishedStale = true;
        emit q->stateChanged(state);
        emit q->devDataChanged();
    });
    QObject::connect(link, &UpsLink::faultsChanged, q, [this, link] {
        if (link != active)
            return;
        refresh(link);
        emit q->faultsChanged(state);
    });
    QObject::connect(link, &UpsLink::identityChanged, q, [this, link] {
        if (link == active)
            refresh(link);
    });
    QObject::connect(link, &UpsLink::linkLost, q, [this, link] {
        if (link == active)
            emit q->linkLost();
    });
    QObject::connect(link, &UpsLink::upsCommFault, q, [this, link] {
        if (link == active)
            emit q->upsCommFault();
    });
    QObject::connect(link, &UpsLink::controlsChanged, q, [this, link] {
        if (link == active)
            emit q->controlsChanged();
    });
    QObject::connect(link, &UpsLink::commandRefused, q, [this, link](const QString &message) {
        if (link == active)
            emit q->commandRefused(message);
    });
    QObject::connect(link, &UpsLink::problemChanged, q, [this, link] {
        if (link == active)
            emit q->linkProblemChanged();
    });
    QObject::connect(link, &UpsLink::busyChanged, q, [this] { updateBusy(); });
}

void DevCommPrivate::updateBusy()
{
    if (active->isBusy() == busy)
        return;
    busy = active->isBusy();
    emit q->linkBusyChanged();
}

void DevCommPrivate::refresh(UpsLink *link)
{
    state = link->state();
    linkKnown = linkKnown || state.link != UpsState::Link::Unknown;
    if (linkKnown && state.link == UpsState::Link::Unknown)
        state.link = UpsState::Link::Offline; // a link chosen anew, after another one answered
    publishedStale = true;
}

// A hand-edited rate that is no number would open the line at 0 baud, where nothing answers.
int DevCommPrivate::storedBaud() const
{
    const QVariant stored = settings->getSettings(Settings::UpsBaudRate);
    bool numeric = false;
    const int rate = stored.toInt(&numeric);
    if (numeric && rate > 0)
        return rate;
    qCWarning(lcDevice) << "Baud rate" << stored.toString()
                        << "in the configuration is not a rate; the line runs at" << defaultBaud;
    return defaultBaud;
}

// The entry for none (empty here), the ports found, then the chosen port when it is none of
// them (a path such as /dev/serial/by-id/..., or a port that is not there now). The order does not
// depend on the choice, so an index picked in a list shown before a choice still means its port.
QStringList DevCommPrivate::portChoices() const
{
    QStringList list;
    list << QString() << portNames;
    const QString chosen = serial->portName();
    if (!chosen.isEmpty() && choiceIndex(list, chosen) < 0)
        list << chosen;
    return list;
}

// "ttyS0" and "/dev/ttyS0" name one port.
int DevCommPrivate::choiceIndex(const QStringList &list, const QString &port)
{
    if (port.isEmpty())
        return 0;
    const QString bare =
        port.startsWith(QLatin1String("/dev/")) && port.count(QLatin1Char('/')) == 2 ? port.mid(5)
                                                                                     : port;
    for (int i = 1; i < list.size(); ++i) {
        if (list.at(i) == port || list.at(i) == bare)
            return i;
    }
    return -1;
}

void DevCommPrivate::followReopen()
{
    if (!serial->reopenPending())
        scanTimer.stop();
    else if (!scanTimer.isActive())
        scanTimer.start(scanInterval);
}

// Listing the serial ports examines every terminal device and takes tens of milliseconds on
// Linux. A port comes and goes with its node in /dev, so the list is taken again only when /dev
// changed.
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

DevComm::DevComm(Settings *settings, QObject *parent)
    : QObject(parent), d(new DevCommPrivate(this, settings))
{
    qRegisterMetaType<UpsState>();
    d->links.insert(COM, d->serial);
    d->links.insert(USB, d->usb);
    d->active = d->usb;
    d->follow(d->serial);
    d->follow(d->usb);
    connect(d->usb, &UsbLink::usbVersionChanged, this, &DevComm::usbVersionChanged);
    connect(&d->outputOff, &OutputOffWatch::changed, this, &DevComm::outputOffChanged);
    connect(&d->scanTimer, &QTimer::timeout, this, &DevComm::scanPorts);
    connect(&d->watcher, &PortWatcher::portsMayHaveChanged, this, &DevComm::scanPorts);
    // A port that failed is wanted back once the link has closed it.
    connect(
        d->serial, &UpsLink::linkLost, this, [this] { d->followReopen(); }, Qt::QueuedConnection);
    // A restore puts the rate back to its default.
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key == d->settings->keyName(Settings::UpsCommType) ||
            key == d->settings->keyName(Settings::UpsComPort))
            d->followStoredLink();
        if (key != d->settings->keyName(Settings::UpsBaudRate))
            return;
        d->baud = d->storedBaud();
        d->serial->setBaudRate(d->baud);
        emit linkSettingsChanged();
    });
}

DevComm::~DevComm()
{
    delete d;
}

void DevComm::addLink(int type, UpsLink *link)
{
    link->setParent(this);
    d->links.insert(type, link);
    d->follow(link);
}

void DevComm::start()
{
    d->started = true;
    d->baud = d->storedBaud();
    d->serial->setBaudRate(d->baud);
    d->serial->setPortName(d->settings->text(Settings::UpsComPort));
    openDevice(d->settings->number(Settings::UpsCommType), d->serial->portName());
    d->watcher.start(d->serial->portName());
    // Listing the ports takes a while: not before the window's first frame.
    QTimer::singleShot(scanInterval, this, &DevComm::scanPorts);
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
    if (d->publishedStale) {
        d->published = d->dataMap.map(d->state, d->linkKnown);
        d->publishedStale = false;
    }
    return d->published;
}

QStringList DevComm::comPort() const
{
    QStringList list = d->portChoices();
    list.replace(list.indexOf(QString()), tr("None"));
    return list;
}

QString DevComm::portName(int index) const
{
    return d->portChoices().value(index);
}

int DevComm::comPortIndex() const
{
    return qMax(0, DevCommPrivate::choiceIndex(d->portChoices(), d->serial->portName()));
}

QString DevComm::usbVersion() const
{
    return d->usb->usbVersion();
}

bool DevComm::linkBusy() const
{
    return d->busy;
}

QString DevComm::linkProblem() const
{
    return d->active->problem();
}

QString DevComm::controlUnavailable(int request) const
{
    return d->active->controlUnavailable(request);
}

void DevComm::leave()
{
    d->active->leave();
}

const UpsState &DevComm::state() const
{
    return d->state;
}

void DevComm::scanPorts()
{
    const QStringList names = d->scanPortNames();
    const bool listChanged = names != d->portNames;
    d->portNames = names;
    d->serial->portsScanned(names);
    d->followReopen();
    if (listChanged)
        emit comPortChanged();
}

bool DevComm::openDevice(int type, const QString &devName)
{
    d->opening = true;
    const bool opened = d->open(type, devName);
    d->opening = false;
    return opened;
}

bool DevCommPrivate::open(int type, const QString &devName)
{
    UpsLink *next = linkFor(type);
    // The serial line always closes, to be opened afresh; another link only when left.
    serial->stop();
    if (active != next && active != serial)
        active->stop();
    active = next;
    updateBusy();
    commType = type;
    settings->setSettings(Settings::UpsCommType, type);
    emit q->linkSettingsChanged();
    refresh(next);
    emit q->controlsChanged();
    emit q->linkProblemChanged();

    if (next != serial)
        return next->start();
    if (devName != serial->portName()) {
        serial->setPortName(devName);
        settings->setSettings(Settings::UpsComPort, devName);
        if (watcher.isWatching())
            watcher.start(devName);
        emit q->comPortChanged();
    }
    if (devName.isEmpty()) {
        qCInfo(lcDevice) << "No serial port chosen: the line stays closed";
        followReopen();
        return true;
    }
    const bool opened = serial->start();
    followReopen();
    return opened;
}

void DevComm::switchOutputOff(int minutes)
{
    d->active->switchOutputOff(minutes);
    d->askOutputOff(minutes);
}

void DevComm::cancelOutputOff()
{
    d->active->cancelOutputOff();
    d->outputOff.cancelled();
}

void DevComm::cancelOutputOff(const QString &where)
{
    const QString user = QString::fromStdWString(platform::userName());
    qCInfo(lcDevice).noquote() << "UPS output-off cancelled by" << user << "from" << where;
    cancelOutputOff();
    emit outputOffCancelled(user + QStringLiteral(", ") + where);
}

void DevComm::powerCycle(int minutes)
{
    d->active->powerCycle(minutes);
    d->askOutputOff(minutes);
}

OutputOffWatch *DevComm::outputOffWatch() const
{
    return &d->outputOff;
}

int DevComm::outputOffSeconds() const
{
    return d->outputOff.secondsLeft();
}

void DevComm::setSelfTest(int type, int time)
{
    d->active->setSelfTest(type, time);
}

void DevComm::toggleBeeper()
{
    d->active->toggleBeeper();
}

void DevComm::setBaud(int baud)
{
    if (baud == d->baud)
        return;
    d->baud = baud;
    d->serial->setBaudRate(baud);
    d->settings->setSettings(Settings::UpsBaudRate, baud);
}
