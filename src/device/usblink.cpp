#include "usblink.h"

#include "logcategories.h"
#include "megatec.h"
#include "paths.h"
#include "upsdata.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstring>

namespace {

const QList<int> allStrings = {17, 18, 20, 21};

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

} // namespace

UsbLink::UsbLink(Megatec *driver, QObject *parent)
    : QObject(parent), m_driver(driver), m_pendingStrings(allStrings)
{
    if (hid_init() != 0)
        qCWarning(lcDevice) << "The HID library did not start; USB devices may not be found";

    const QString path = Paths::file(QStringLiteral("/cfg/usb.cfg"));
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        m_devices = parseDeviceList(file.readAll());
    else
        qCInfo(lcDevice) << "No USB device list at" << path << "; USB stays unused";
}

UsbLink::~UsbLink()
{
    if (m_handle)
        hid_close(m_handle);
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

bool UsbLink::isOpen() const
{
    return m_handle != nullptr;
}

bool UsbLink::open()
{
    if (m_handle)
        return true;
    for (const auto &device : qAsConst(m_devices)) {
        m_handle = hid_open(device.first, device.second, nullptr);
        if (m_handle) {
            m_vendorId = device.first;
            m_productId = device.second;
            qCInfo(lcDevice).nospace()
                << "USB device " << Qt::hex << m_vendorId << ":" << m_productId << " opened";
            return true;
        }
    }
    return false;
}

void UsbLink::close()
{
    if (!m_handle)
        return;
    hid_close(m_handle);
    forget();
}

void UsbLink::forget()
{
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

UsbLink::PollResult UsbLink::poll()
{
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
    hid_close(m_handle);
    forget();
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
        UpsData *data = m_driver->upsData();
        char *slot = nullptr;
        int width = 0;
        switch (index) {
        case 17:
            slot = data->sn;
            width = 21;
            break;
        case 18:
            slot = data->compName;
            width = 15;
            break;
        case 20:
            slot = data->UPSModel;
            width = 10;
            break;
        case 21:
            slot = data->version;
            width = 10;
            break;
        }
        if (slot) {
            const int n = qMin(width, bytes.size());
            std::memcpy(slot, bytes.constData(), size_t(n));
            slot[n] = '\0';
        }
    } else {
        qCDebug(lcDevice) << "Get index" << index << "string failed!";
    }
    m_pendingStrings.removeAll(index);
    m_driver->updateDevInfo();
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
    UpsData *data = m_driver->upsData();
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
        data->ratingOutputVol = word(buffer, 1) * 0.1f;
        data->ratingBattVol = word(buffer, 3) * 0.01f;
        data->ratingCurrent = word(buffer, 5);
        data->ratingFreq = word(buffer, 7) * 0.1f;
        m_driver->updateRatingInfo();
        m_ratingReceived = true;
        break;
    case ReportFaultWords: {
        Megatec::FaultWords words;
        for (int i = 0; i < Megatec::FaultWordCount; ++i)
            words[size_t(i)] = word(buffer, 2 + 2 * i);
        m_driver->setFaultWords(buffer[1], words);
        break;
    }
    }
}

void UsbLink::handleMeasurement(const quint8 *buffer)
{
    UpsData *data = m_driver->upsData();
    data->inputVol = word(buffer, 1) * 0.1f;
    data->inputFaultVol = word(buffer, 3) * 0.1f;
    data->outputVol = word(buffer, 5) * 0.1f;
    data->battVol = word(buffer, 7) * 0.01f;
    data->load = buffer[9];
    data->inputFreq = word(buffer, 10) * 0.1f;
    data->temperature = word(buffer, 12) * 0.1f;
    data->battCapacity = word(buffer, 14);
    data->battRemainTime = word(buffer, 16);
    const quint16 status = word(buffer, 18);
    if (status & 1) {
        // The reset forgets ratings and identity too; read them again rather than show zeros.
        m_driver->reset();
        m_ratingReceived = false;
        m_pendingStrings = allStrings;
        emit upsSilent();
        return;
    }
    m_driver->setStatus(quint8(status >> 1));
    m_driver->updateData();
    if (!m_driver->isOnline()) {
        m_driver->setOnline(true);
        emit upsAnswered();
    }
    emit m_driver->dataChanged();
}
