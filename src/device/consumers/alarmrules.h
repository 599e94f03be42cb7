#pragma once

#include "upsstate.h"

#include <QObject>

class Alarm;

// Turns what the UPS reports into alarms: each change of a status flag and of a fault bit, the
// UPS answering again and the link going down. It compares each data set with the last one it
// saw; a lost UPS raises and clears nothing itself, and what it still reports when it is back is
// raised anew.
class AlarmRules : public QObject
{
    Q_OBJECT
public:
    explicit AlarmRules(Alarm *alarm, QObject *parent = nullptr);

public slots:
    void updateState(const UpsState &state);
    void updateFaults(const UpsState &state);
    // The link was closed or found dead: the current alarms go, "Communication lost" stays.
    void linkLost();
    // The UPS reports that it cannot communicate: "Communication lost" joins the list.
    void upsCommFault();

private:
    void forget();

    Alarm *m_alarm;
    quint8 m_status = 0;
    bool m_online = false;
    int m_kind = -1;
    UpsState::FaultWords m_words {};
};
