#pragma once

#include "upsstate.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

class DevCommPrivate;
class OutputOffWatch;
class Settings;
class UpsLink;

// The one way to the UPS for the rest of the program and the screens: the link chosen in the
// settings (a serial line or a USB device), its typed state and the map the screens read, the
// serial port list, and the control requests in the encoding of the link in use. The links
// themselves sit behind one small interface (UpsLink).
class DevComm : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int baud READ baud WRITE setBaud NOTIFY linkSettingsChanged)
    Q_PROPERTY(int commType READ commType NOTIFY linkSettingsChanged)
    Q_PROPERTY(QVariantMap devData READ devData NOTIFY devDataChanged)
    Q_PROPERTY(QStringList comPort READ comPort NOTIFY comPortChanged)
    // The entry of comPort that is the chosen port (0: none).
    Q_PROPERTY(int comPortIndex READ comPortIndex NOTIFY comPortChanged)
    Q_PROPERTY(QString usbVersion READ usbVersion NOTIFY usbVersionChanged)
    // The link in use cannot open its device because another program holds it (the Quelta
    // service, say); it opens it once it is free.
    Q_PROPERTY(bool linkBusy READ linkBusy NOTIFY linkBusyChanged)
    Q_PROPERTY(QString linkProblem READ linkProblem NOTIFY linkProblemChanged)
    // Seconds until an output-off asked of the UPS is carried out; -1 while none is pending.
    Q_PROPERTY(int outputOffSeconds READ outputOffSeconds NOTIFY outputOffChanged)

public:
    enum CommunicationType { USB = 0, COM = 1, NUT = 2 };
    Q_ENUM(CommunicationType)

    explicit DevComm(Settings *settings, QObject *parent = nullptr);
    ~DevComm() override;

    // A further kind of link, chosen by its "ups/commType" number; DevComm takes it over. The
    // serial and USB links are there from the start.
    void addLink(int type, UpsLink *link);

    // Opens the stored link and starts the serial port scan.
    void start();

    int baud() const;
    int commType() const;
    QVariantMap devData() const;
    QStringList comPort() const;
    int comPortIndex() const;
    QString usbVersion() const;
    bool linkBusy() const;
    QString linkProblem() const;
    int outputOffSeconds() const;

    // What the link in use knows about the UPS.
    const UpsState &state() const;

    // Lists the serial ports now: when a device node came or went, and every 250 ms while a
    // port is wanted back.
    void scanPorts();

signals:
    // The kind of link or the serial line's rate changed.
    void linkSettingsChanged();
    void devDataChanged();
    void comPortChanged();
    void onlineChanged(bool isOnline);
    void usbVersionChanged();
    void linkBusyChanged();
    // A new data set: emitted just before devDataChanged, after onlineChanged.
    void stateChanged(const UpsState &state);
    void faultsChanged(const UpsState &state);
    // The link was closed or found dead.
    void linkLost();
    // The UPS reports that it cannot communicate.
    void upsCommFault();
    // What the control page and the scheduled tasks may offer changed (controlUnavailable).
    void controlsChanged();
    // A control request was refused: a text for the user.
    void commandRefused(const QString &message);
    void linkProblemChanged();
    void outputOffChanged();
    // The user called off the UPS's output-off: who and from where, for the history.
    void outputOffCancelled(const QString &who);

public:
    Q_INVOKABLE bool openDevice(int type, const QString &devName = QString());
    // The output goes off after `minutes` (on again with the mains); a pending one is called off.
    Q_INVOKABLE void switchOutputOff(int minutes);
    Q_INVOKABLE void cancelOutputOff();
    // The user calls off the pending output-off from `where` (a screen); logged with who.
    Q_INVOKABLE void cancelOutputOff(const QString &where);
    // The end of a shutdown: the output goes off after `minutes` and comes back with the mains.
    void powerCycle(int minutes);
    // The pending output-off, counted once a second.
    OutputOffWatch *outputOffWatch() const;
    Q_INVOKABLE void setSelfTest(int type, int time);
    Q_INVOKABLE void toggleBeeper();
    Q_INVOKABLE void setBaud(int baud);
    // Empty when the link in use can carry the request (UpsLink::ControlRequest), else why not.
    Q_INVOKABLE QString controlUnavailable(int request) const;

    // This computer powers off now: the link in use says goodbye where someone waits for it.
    void leave();
    // The port of entry `index` of the comPort list; empty for the entry that chooses none.
    Q_INVOKABLE QString portName(int index) const;

private:
    DevCommPrivate *d;
};
