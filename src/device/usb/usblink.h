#pragma once

#include "upslink.h"

#include <QPair>
#include <QSet>
#include <QTimer>
#include <QVector>

struct hid_device_;

// The USB transport: a HID device from the list in "/cfg/usb.cfg", read one feature report per
// poll (every 1500 ms; 100 ms after a poll that read a report). Versions, ratings and string
// descriptors are read once per connection, then measurement and fault-word reports in turn.
class UsbLink : public UpsLink
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

    explicit UsbLink(QObject *parent = nullptr);
    ~UsbLink() override;

    // "usb" array of [vendor, product] pairs; bad entries are skipped with a warning.
    static QVector<QPair<quint16, quint16>> parseDeviceList(const QByteArray &json);

    // The first start brings up the HID library and reads the device list.
    bool start() override;
    // Forgets the open device, so versions, ratings and strings are read again next time.
    void stop() override;
    bool isOpen() const;

    const UpsState &state() const override;
    void switchOutputOff(int minutes) override;
    void cancelOutputOff() override;
    void setSelfTest(int type, int minutes) override;
    void toggleBeeper() override;

    // One poll: the poll timer's work, exposed for tests.
    PollResult poll();
    // Milliseconds the running poll timer waits in all; -1 when it is stopped.
    int pollInterval() const;

    QString usbVersion() const;

signals:
    void usbVersionChanged();

private:
    bool open();
    void tellSearch();
    void close();
    bool sendReport(quint8 id, quint8 value);
    void readString(int index);
    void handleReport(const quint8 *buffer, int length);
    void handleMeasurement(const quint8 *buffer);
    void resetState();

    UpsState m_state;
    QTimer m_pollTimer;
    bool m_started = false;
    hid_device_ *m_handle = nullptr;
    int m_claim = -1; // the hold on the node among the programs that claim it
    QVector<QPair<quint16, quint16>> m_devices;
    quint16 m_vendorId = 0;
    quint16 m_productId = 0;
    bool m_versionReceived = false;
    bool m_ratingReceived = false;
    QList<int> m_pendingStrings;
    QList<quint8> m_reportQueue;
    QString m_usbVersion;
    QSet<int> m_oddReportsLogged;
    QString m_search; // what was last said about a search that found nothing
};
