#pragma once

#include "upslink.h"

#include <QScopedPointer>
#include <QStringList>

class SerialLinkPrivate;

// The serial line: a port (a device name from the port list, or any path) at the chosen rate,
// 8N1, polled with the requests of the Megatec driver. One request is outstanding at a time: the
// next goes out as soon as a reply is accepted (the status query at most every 200 ms), or 1500
// ms after the last send when none is. The UPS counts as lost at the ninth send without an
// accepted reply, and when no status reply was accepted for as long (12.1 s), whatever else it
// answers. A port that fails or vanishes is closed and opened again once it is back.
class SerialLink : public UpsLink
{
    Q_OBJECT
public:
    explicit SerialLink(QObject *parent = nullptr);
    ~SerialLink() override;

    QString portName() const;
    void setPortName(const QString &name);
    int baudRate() const;
    void setBaudRate(int baud);

    // Opens the named port; a port that is not there yet is opened when a scan finds it.
    bool start() override;
    void stop() override;
    bool isOpen() const;
    // "Port /dev/ttyUSB9 not found", "Permission denied: ...": why the port is not open.
    QString problem() const override;

    const UpsState &state() const override;
    void switchOutputOff(int minutes) override;
    void cancelOutputOff() override;
    void powerCycle(int minutes) override;
    void setSelfTest(int type, int minutes) override;
    void toggleBeeper() override;

    // One poll: the poll timer's work, exposed for tests that pace the line themselves.
    void poll();
    // Milliseconds the running poll timer waits in all; -1 when it is stopped.
    int pollInterval() const;
    // The serial ports present now (names without "/dev/"): a port that went is closed, one
    // wanted back is opened.
    void portsScanned(const QStringList &names);
    // A port that failed or is not there yet is wanted back: the ports are to be scanned
    // every 250 ms until it is open, so its waits between attempts run.
    bool reopenPending() const;

    // Milliseconds between two status queries at the least, where the line is fast enough.
    static int statusPace();
    // Milliseconds this many bytes take on the line at this rate (8N1).
    static int wireTime(int bytes, int baud);

private:
    QScopedPointer<SerialLinkPrivate> d;
    friend class SerialLinkPrivate;
};
