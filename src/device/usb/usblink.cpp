#include "usblink.h"

#include "logcategories.h"
#include "paths.h"
#include "platform.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstring>

namespace {

const QList<int> allStrings = {17, 18, 20, 21};
const int pollEvery = 1500;
const int pollAfterReport = 100;

enum ReportId : quint8 {
    ReportMeasurement = 1,
    ReportVersion = 100,
    ReportRating = 101,
    ReportFaultWords = 103
};

quint16 word(const quint8 *buffer, int offset)
{
    return quint16(buffer[offset] | (buffer[offset + 1] << 8));
}

int expectedLength(quint8 id)
{
    switch (id) {
    case ReportMeasurement:
        return 21;
    case ReportVersion:
        return 6;
    case ReportRating:
        return 10;
    case ReportFaultWords:
        return 29;
    default:
        return -1;
    }
}

// A whole JSON number, or 0; then its low 16 bits.
quint16 deviceId(const QJsonValue &value, bool *inRange)
{
    const double number = value.toDouble(0.5);
    if (!value.isDouble() || std::floor(number) != number || std::fabs(number) > 9.0e15) {
        *inRange = false;
        return 0;
    }
    *inRange = number >= 0 && number <= 0xFFFF;
    return quint16(qint64(number) & 0xFFFF);
}

QString idText(quint16 vendorId, quint16 productId)
{
    return QStringLiteral("%1:%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'));
}

} // namespace

UsbLink::UsbLink(QObject *parent) : UpsLink(parent), m_pendingStrings(allStrings)
{
    m_pollTimer.setObjectName(QStringLiteral("pollTimer"));
    connect(&m_pollTimer, &QTimer::timeout, this, &UsbLink::poll);
}

UsbLink::~UsbLink()
{
    if (m_handle)
        hid_close(m_handle);
    if (m_started)
        hid_exit();
}

QVector<QPair<quint16, quint16>> UsbLink::parseDeviceList(const QByteArray &json)
{
    QVector<QPair<quint16, quint16>> devices;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        qCWarning(lcDevice) << "The USB device list is not JSON:" << error.errorString()
                            << "at offset" << error.offset << "; USB stays unused";
        return devices;
    }
    const QJsonValue list = document.object().value(QStringLiteral("usb"));
    if (!list.isArray()) {
        qCWarning(lcDevice) << "The USB device list has no \"usb\" array; USB stays unused";
        return devices;
    }
    const QJsonArray entries = list.toArray();
    for (int i = 0; i < entries.size(); ++i) {
        const QJsonArray pair = entries.at(i).toArray();
        if (!entries.at(i).isArray() || pair.size() != 2) {
            qCWarning(lcDevice) << "USB device list entry" << i
                                << "is not a [vendor, product] pair; skipped";
            continue;
        }
        bool vendorInRange = true;
        bool productInRange = true;
        const quint16 vendorId = deviceId(pair.at(0), &vendorInRange);
        const quint16 productId = deviceId(pair.at(1), &productInRange);
        if (!vendorInRange || !productInRange)
            qCWarning(lcDevice) << "USB device list entry" << i
                                << "has an id that is not a number from 0 to 65535; its low 16 bits"
                                << vendorId << productId << "are used";
        // An id of 0 would match any HID device attached, a keyboard as well as a UPS.
        if (vendorId == 0 || productId == 0) {
            qCWarning(lcDevice) << "USB device list entry" << i << "names id 0; skipped";
            continue;
        }
        devices.append(qMakePair(vendorId, productId));
    }
    return devices;
}

bool UsbLink::start()
{
    if (!m_started) {
        m_started = true;
        if (hid_init() != 0)
            qCWarning(lcDevice) << "The HID library did not start; USB devices may not be found";
        const QString path = Paths::file(QStringLiteral("/cfg/usb.cfg"));
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_devices = parseDeviceList(file.readAll());
        else
            qCInfo(lcDevice) << "No USB device list at" << path << "; USB stays unused";
    }
    open();
    m_pollTimer.start(pollEvery);
    return true;
}

// Leaving USB: the device is no longer polled, so what it reported must not stay published.
void UsbLink::stop()
{
    m_pollTimer.stop();
    m_search.clear();
    setBusy(false);
    if (!m_handle)
        return;
    const bool wasOnline = m_state.online();
    close();
    resetState();
    if (wasOnline)
        emit linkLost();
}

bool UsbLink::isOpen() const
{
    return m_handle != nullptr;
}

const UpsState &UsbLink::state() const
{
    return m_state;
}

void UsbLink::switchOutputOff(int minutes)
{
    // A delay past 254 would wrap around to 0, which the UPS reads as a cancel.
    sendReport(3, quint8(qBound(0, minutes, 254) + 1));
}

void UsbLink::cancelOutputOff()
{
    sendReport(3, 0);
}

void UsbLink::setSelfTest(int type, int minutes)
{
    switch (type) {
    case SelfTestCancel:
        sendReport(2, 3);
        break;
    case SelfTest10S:
        sendReport(2, 1);
        break;
    case SelfTestEOD:
        sendReport(2, 2);
        break;
    case SelfTestCustom:
        sendReport(2, quint8((minutes + 3) & 0xFF));
        break;
    default:
        break;
    }
}

void UsbLink::toggleBeeper()
{
    sendReport(4, m_state.beeper ? 1 : 2);
}

int UsbLink::pollInterval() const
{
    return m_pollTimer.isActive() ? m_pollTimer.interval() : -1;
}

bool UsbLink::open()
{
    if (m_handle)
        return true;
    bool busy = false;
    for (const auto &device : qAsConst(m_devices)) {
        m_handle = hid_open(device.first, device.second, nullptr);
        if (!m_handle)
            continue;
        // The node hid_open took is the first one listed for the ids.
        hid_device_info *found = hid_enumerate(device.first, device.second);
        const std::wstring node =
            found && found->path ? QFile::decodeName(found->path).toStdWString() : std::wstring();
        hid_free_enumeration(found);
        bool held = false;
        m_claim = node.empty() ? -1 : platform::claimDevice(node, &held);
        if (held) {
            hid_close(m_handle);
            m_handle = nullptr;
            if (!isBusy())
                qCWarning(lcDevice).nospace()
                    << "USB device " << Qt::hex << device.first << ":" << device.second
                    << " is in use by another program; it is opened once it is free";
            busy = true;
            continue;
        }
        m_vendorId = device.first;
        m_productId = device.second;
        setBusy(false);
        m_search.clear();
        qCInfo(lcDevice).nospace()
            << "USB device " << Qt::hex << m_vendorId << ":" << m_productId << " opened";
        return true;
    }
    setBusy(busy);
    if (!busy)
        tellSearch();
    return false;
}

// What was looked for and what is attached, said when it differs from what was said last: no
// UPS, a HID device with other ids, or a UPS of the list whose node may not be opened.
void UsbLink::tellSearch()
{
    QStringList tried;
    for (const auto &device : qAsConst(m_devices))
        tried << idText(device.first, device.second);
    QStringList seen;
    QStringList denied;
    hid_device_info *all = hid_enumerate(0, 0);
    for (const hid_device_info *info = all; info; info = info->next) {
        const QString node = info->path ? QFile::decodeName(info->path) : QString();
        seen << QStringLiteral("%1 (%2)").arg(node, idText(info->vendor_id, info->product_id));
        const QFileInfo file(node);
        if (m_devices.contains(qMakePair(quint16(info->vendor_id), quint16(info->product_id))) &&
            file.exists() && !(file.isReadable() && file.isWritable()))
            denied << node;
    }
    hid_free_enumeration(all);

    QString search =
        QStringLiteral("No USB UPS found: tried the ids %1 of %2; HID devices seen: %3")
            .arg(tried.isEmpty() ? QStringLiteral("(none)") : tried.join(QStringLiteral(", ")),
                 Paths::file(QStringLiteral("/cfg/usb.cfg")),
                 seen.isEmpty() ? QStringLiteral("none") : seen.join(QStringLiteral(", ")));
    if (!denied.isEmpty())
        search += QStringLiteral(". %1 is a UPS of the list, but this program may not read and "
                                 "write it: the package's udev rule gives such nodes to the user "
                                 "at the computer and to the group quelta (after installing, run "
                                 "\"udevadm trigger\" or plug the UPS in again); elsewhere give "
                                 "the user access with a udev rule for its ids")
                      .arg(denied.join(QStringLiteral(", ")));
    if (search == m_search)
        return;
    m_search = search;
    qCWarning(lcDevice).noquote() << search;
}

void UsbLink::close()
{
    if (!m_handle)
        return;
    hid_close(m_handle);
    platform::releaseDevice(m_claim);
    m_claim = -1;
    const bool hadVersion = !m_usbVersion.isEmpty();
    m_handle = nullptr;
    m_vendorId = 0;
    m_productId = 0;
    m_usbVersion.clear();
    m_versionReceived = false;
    m_ratingReceived = false;
    m_pendingStrings = allStrings;
    m_reportQueue.clear();
    m_oddReportsLogged.clear();
    if (hadVersion)
        emit usbVersionChanged();
}

// Forgets what the UPS reported; an online UPS goes offline.
void UsbLink::resetState()
{
    const bool wasOnline = m_state.online();
    const UpsState::Link link = m_state.link;
    m_state = UpsState {};
    m_state.link = wasOnline ? UpsState::Link::Offline : link;
    if (wasOnline) {
        emit onlineChanged(false);
        emit stateChanged();
    } else {
        emit identityChanged();
    }
}

UsbLink::PollResult UsbLink::poll()
{
    m_pollTimer.start(pollEvery);
    if (!m_handle && !open())
        return NoDevice;

    if (!m_pendingStrings.isEmpty())
        readString(m_pendingStrings.first());

    if (m_reportQueue.isEmpty()) {
        if (!m_versionReceived)
            m_reportQueue.append(ReportVersion);
        if (!m_ratingReceived)
            m_reportQueue.append(ReportRating);
        m_reportQueue.append(ReportMeasurement);
        m_reportQueue.append(ReportFaultWords);
    }

    quint8 buffer[256];
    std::memset(buffer, 0, sizeof buffer);
    buffer[0] = m_reportQueue.takeFirst();
    const int n = hid_get_feature_report(m_handle, buffer, sizeof buffer);
    if (n > 0) {
        m_pollTimer.start(pollAfterReport);
        handleReport(buffer, n);
        return ReportRead;
    }
    if (n == 0)
        return NothingRead;

    hid_device_info *attached = hid_enumerate(m_vendorId, m_productId);
    if (attached) {
        hid_free_enumeration(attached);
        qCDebug(lcDevice) << "Reading HID report" << buffer[0] << "failed; trying again";
        return ReadFailed;
    }
    qCWarning(lcDevice).nospace() << "USB device " << Qt::hex << m_vendorId << ":" << m_productId
                                  << " is gone";
    close();
    resetState();
    emit linkLost();
    return DeviceGone;
}

bool UsbLink::sendReport(quint8 id, quint8 value)
{
    if (!m_handle)
        return false;
    const quint8 report[2] = {id, value};
    return hid_send_feature_report(m_handle, report, sizeof report) == int(sizeof report);
}

QString UsbLink::usbVersion() const
{
    return m_usbVersion;
}

void UsbLink::readString(int index)
{
    wchar_t text[128];
    std::memset(text, 0, sizeof text);
    const int result = hid_get_indexed_string(m_handle, index, text, 128);
    if (result == 0) {
        text[127] = L'\0';
        const QByteArray bytes = QString::fromWCharArray(text).toLocal8Bit();
        if (bytes.isEmpty())
            return; // asked again at the next poll
        // Each text has the width of its field in the serial protocol.
        switch (index) {
        case 17:
            m_state.serialNumber = QString::fromLatin1(bytes.left(21));
            break;
        case 18:
            m_state.manufacturer = QString::fromLatin1(bytes.left(15));
            break;
        case 20:
            m_state.model = QString::fromLatin1(bytes.left(10));
            break;
        case 21:
            m_state.firmware = QString::fromLatin1(bytes.left(10));
            break;
        }
    } else {
        qCDebug(lcDevice) << "Get index" << index << "string failed!";
    }
    m_pendingStrings.removeAll(index);
    emit identityChanged();
}

void UsbLink::handleReport(const quint8 *buffer, int length)
{
    const quint8 id = buffer[0];
    if (length != expectedLength(id)) {
        if (!m_oddReportsLogged.contains(id)) {
            m_oddReportsLogged.insert(id);
            qCWarning(lcDevice) << "HID report" << id << "of" << length
                                << "bytes ignored (further ones of this id are not logged)";
        }
        return;
    }
    switch (id) {
    case ReportMeasurement:
        handleMeasurement(buffer);
        break;
    case ReportVersion:
        m_usbVersion = QStringLiteral("v%1.%2.%3").arg(buffer[1]).arg(buffer[2]).arg(buffer[3]);
        m_versionReceived = true;
        emit usbVersionChanged();
        break;
    case ReportRating:
        m_state.ratedOutputVoltage = word(buffer, 1) * 0.1f;
        m_state.ratedBatteryVoltage = word(buffer, 3) * 0.01f;
        m_state.ratedCurrent = word(buffer, 5);
        m_state.ratedFrequency = word(buffer, 7) * 0.1f;
        m_ratingReceived = true;
        emit identityChanged();
        break;
    case ReportFaultWords:
        m_state.faultKind = buffer[1];
        for (int i = 0; i < UpsState::FaultWordCount; ++i)
            m_state.faultWords[size_t(i)] = word(buffer, 2 + 2 * i);
        emit faultsChanged();
        break;
    }
}

void UsbLink::handleMeasurement(const quint8 *buffer)
{
    m_state.inputVoltage = word(buffer, 1) * 0.1f;
    m_state.inputFaultVoltage = word(buffer, 3) * 0.1f;
    m_state.outputVoltage = word(buffer, 5) * 0.1f;
    m_state.batteryVoltage = word(buffer, 7) * 0.01f;
    m_state.load = buffer[9];
    m_state.inputFrequency = word(buffer, 10) * 0.1f;
    m_state.temperature = word(buffer, 12) * 0.1f;
    m_state.batteryCharge = float(word(buffer, 14));
    m_state.chargeEstimated = false;
    m_state.runtime = word(buffer, 16);
    m_state.runtimeEstimated = false;
    const quint16 status = word(buffer, 18);
    if (status & 1) {
        // The UPS cannot talk to its own electronics. Ratings and identity are read again
        // rather than shown as zeros.
        resetState();
        m_ratingReceived = false;
        m_pendingStrings = allStrings;
        emit upsCommFault();
        return;
    }
    m_state.setStatusByte(quint8(status >> 1));
    if (!m_state.online()) {
        m_state.link = UpsState::Link::Online;
        emit onlineChanged(true);
    }
    emit stateChanged();
}
