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

    using QObject::QObject;

    // Opens the device and starts polling; false when it cannot be opened now.
    virtual bool start() = 0;
    // Stops polling and closes the device. A UPS it was reading is announced lost.
    virtual void stop() = 0;

    virtual const UpsState &state() const = 0;

    // Switch the output off after `minutes` (restarting when the mains is present), or cancel.
    virtual void setShutdown(bool shutdown, int minutes) = 0;
    virtual void setSelfTest(int type, int minutes) = 0;
    virtual void toggleBeeper() = 0;

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
};
