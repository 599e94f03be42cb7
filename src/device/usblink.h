#pragma once

#include <QObject>
#include <QPair>
#include <QSet>
#include <QVector>

class Megatec;
struct hid_device_;

// The USB transport: a HID device from the list in "/cfg/usb.cfg", read one feature report per
// poll and decoded into the driver's record. Versions, ratings and string descriptors are read
// once per connection. The link layer above decides about timers and alarms.
class UsbLink : public QObject
{
    Q_OBJECT
public:
    enum PollResult {
        NoDevice, // none open and none found
        ReportRead, // a report came back (accepted or not)
        NothingRead,
        ReadFailed, // the device is still attached
        DeviceGone // the device went away and was forgotten
    };

    explicit UsbLink(Megatec *driver, QObject *parent = nullptr);
    ~UsbLink() override;

    // "usb" array of [vendor, product] pairs; bad entries are skipped with a warning.
    static QVector<QPair<quint16, quint16>> parseDeviceList(const QByteArray &json);

    bool isOpen() const;
    bool open();
    // Forgets the open device, so versions, ratings and strings are read again next time.
    void close();
    PollResult poll();

    // A two-byte control report; false when no device is open or the write failed.
    bool sendReport(quint8 id, quint8 value);

    QString usbVersion() const;
    quint16 vendorId() const { return m_vendorId; }
    quint16 productId() const { return m_productId; }

signals:
    void usbVersionChanged();
    // A measurement report without the communication flag after the UPS was offline.
    void upsAnswered();
    // A measurement report with the communication flag: the driver was reset.
    void upsSilent();

private:
    void readString(int index);
    void handleReport(const quint8 *buffer, int length);
    void handleMeasurement(const quint8 *buffer);
    void forget();

    Megatec *m_driver;
    hid_device_ *m_handle = nullptr;
    QVector<QPair<quint16, quint16>> m_devices;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    bool m_versionReceived = false;
    bool m_ratingReceived = false;
    QList<int> m_pendingStrings;
    QList<quint8> m_reportQueue;
    QString m_usbVersion;
    QSet<int> m_oddReportsLogged;
};
