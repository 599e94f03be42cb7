#pragma once

#include "upsstate.h"

#include <QObject>

// One way of reaching the UPS (a serial line, a USB device, ...): it opens when started, reads
// the UPS into a UpsState and carries out the control requests in its own encoding. DevComm
// holds one per link type and uses the one chosen.
class UpsLink : public QObject
{
    Q_OBJECT
public:
    // The self-test requests, numbered as the screens number them.
    enum SelfTestType { SelfTestCancel = 1, SelfTest10S = 2, SelfTestEOD = 3, SelfTestCustom = 4 };
    Q_ENUM(SelfTestType)
    // The control requests, for asking whether the UPS behind the link can carry them out.
    enum ControlRequest {
        ControlSelfTest10S,
        ControlSelfTestEOD,
        ControlSelfTestCustom,
        ControlSelfTestCancel,
        ControlOutputOff,
        ControlOutputOffCancel,
        ControlBeeper
    };
    Q_ENUM(ControlRequest)

    using QObject::QObject;

    // Opens the device and starts polling; false when it cannot be opened now.
    virtual bool start() = 0;
    // Stops polling and closes the device. A UPS it was reading is announced lost.
    virtual void stop() = 0;

    virtual const UpsState &state() const = 0;

    // Another program holds the device (the Quelta service, say): it is opened once it is free.
    bool isBusy() const { return m_busy; }

    // Switch the output off after `minutes` (on again when the mains is present).
    virtual void switchOutputOff(int minutes) = 0;
    // Call off a pending output-off.
    virtual void cancelOutputOff() = 0;
    // Switch the output off after `minutes` and on again once the mains is present, even when
    // the mains is back before the output went off: every machine on the UPS restarts.
    virtual void powerCycle(int minutes) { switchOutputOff(minutes); }
    virtual void setSelfTest(int type, int minutes) = 0;
    virtual void toggleBeeper() = 0;

    // Empty when the request can be sent, else why not, for the user. The serial line and USB
    // send everything and let the UPS judge.
    virtual QString controlUnavailable(int request) const
    {
        Q_UNUSED(request)
        return QString();
    }
    // Why no data comes now, when the link knows more than "no answer"; empty otherwise.
    virtual QString problem() const { return QString(); }
    // This computer is about to power off: say goodbye to whoever waits for it.
    virtual void leave() { }

signals:
    // In this order for a data set that brings the UPS online or loses it: onlineChanged, then
    // stateChanged.
    void onlineChanged(bool online);
    // A new data set (measurements and status flags); also the emptied one of a lost UPS.
    void stateChanged();
    void faultsChanged();
    // Ratings or identity texts were read; no new data set.
    void identityChanged();
    // The link was closed or found dead: the current alarms no longer hold.
    void linkLost();
    // The UPS itself reports that it cannot communicate.
    void upsCommFault();
    // What can be sent, or why not, changed.
    void controlsChanged();
    // A control request was refused (by the UPS server, or as not offered): a text for the user.
    void commandRefused(const QString &message);
    void problemChanged();
    void busyChanged(bool busy);

protected:
    void setBusy(bool busy)
    {
        if (busy == m_busy)
            return;
        m_busy = busy;
        emit busyChanged(busy);
    }

private:
    bool m_busy = false;
};
