#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class DevCommPrivate;
struct UpsData;

// The one way to the UPS: a serial port speaking the ASCII protocol, or a USB HID device
// answering feature reports. Polls it, detects when it is lost, stores a measurement sample
// every saveCycle seconds while it answers, keeps the serial port list current and encodes the
// control requests for the transport in use.
class DevComm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(unsigned int saveCycle READ saveCycle WRITE setSaveCycle)
    Q_PROPERTY(int baud READ baud WRITE setBaud)
    Q_PROPERTY(int commType READ commType)
    Q_PROPERTY(QVariantMap devData READ devData NOTIFY devDataChanged)
    Q_PROPERTY(QStringList comPort READ comPort NOTIFY comPortChanged)
    Q_PROPERTY(QString usbVersion READ usbVersion NOTIFY usbVersionChanged)

public:
    enum CommunicationType { USB = 0, COM = 1 };
    Q_ENUM(CommunicationType)

    static DevComm *instance();
    ~DevComm() override;

    unsigned int saveCycle() const;
    void setSaveCycle(unsigned int seconds);
    int baud() const;
    int commType() const;
    QVariantMap devData() const;
    QStringList comPort() const;
    QString usbVersion() const;

    // The driver's record of the last measurements; lives as long as this object.
    UpsData *upsData() const;

signals:
    void devDataChanged();
    void comPortChanged();
    void onlineChanged(bool isOnline);
    void usbVersionChanged();

private slots:
    void onTimerPollingTimeout();
    void onTimerSaveTimeout();
    void onTimerCOMTimeout();
    void onCOMReadyRead();

public:
    Q_INVOKABLE bool openDevice(int type, const QString &devName = QString());
    Q_INVOKABLE void setShutdown(bool shutdown, int time);
    Q_INVOKABLE void setSelfTest(int type, int time);
    Q_INVOKABLE void setBuzzer();
    Q_INVOKABLE void setBaud(int baud);

private:
    DevComm();

    friend class DevCommPrivate;
    DevCommPrivate *d;
};
