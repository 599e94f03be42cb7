#pragma once

#include "alarm.h"
#include "upscondition.h"
#include "upsstate.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

// One UPS as the program knows it, by the name it is known by everywhere (the network server's
// name for this computer's UPS): its typed state and what the program made of it (the alarms
// standing, the shutdown countdown, the battery's age). A value: copied to whoever reads it, on
// any thread.
struct UpsEntry
{
    // What was learned from the UPS's own discharges (RuntimeLearner): seconds to battery low
    // with a band, absent while there is none (`why` says why), and the battery's capacity as a
    // share of what it first showed.
    struct Learned
    {
        std::optional<int> predicted, low, high;
        bool outside = false; // at a load or depth the learned discharges never showed
        QString why;
        std::optional<double> health;
        bool operator==(const Learned &o) const
        {
            return predicted == o.predicted && low == o.low && high == o.high &&
                outside == o.outside && why == o.why && health == o.health;
        }
        bool operator!=(const Learned &o) const { return !(*this == o); }
    };

    QString name;
    UpsState state;
    // Seconds until an output-off asked of the UPS is carried out; -1 while none is pending.
    int outputOffSeconds = -1;
    // Another program holds the UPS's port; it is opened once free.
    bool linkBusy = false;
    // Seconds left of the shutdown countdown of this computer; 0 while none runs.
    int countdown = 0;
    bool cancellable = false; // the countdown may still be called off
    QVector<Alarm::Current> alarms; // the current list, oldest first
    QStringList faults; // the UPS faults standing, in English (NUT's ALARM flag)
    QMap<int, quint64> raised; // alarms raised per code since the program started
    QString batteryInstalled; // "yyyy-MM-dd"; empty while unknown
    QString batteryDue;
    bool batteryReplacementDue = false;
    // What the link can carry out for the UPS (UpsLink::controlUnavailable).
    bool selfTestOffered = false;
    bool beeperOffered = false;
    // The database file its samples, alarms and self-tests are stored in; empty for none.
    QString recordFile;
    // The value of the `ups` column of its rows there: empty for this computer's UPS, the shown
    // name of a watched one.
    QString recordUps;
    Learned learned;

    // Seconds of backup left, the same on every face: the UPS's own figure where it reports one,
    // else the learned prediction, else none (never a made-up figure).
    std::optional<int> runtimeSeconds() const
    {
        if (state.runtime && !state.runtimeEstimated)
            return qMax(0, *state.runtime) * 60;
        return learned.predicted;
    }

    UpsCondition::Condition condition() const { return UpsCondition::of(state, outputOffSeconds); }

    bool operator==(const UpsEntry &o) const
    {
        const auto sameAlarms = [](const QVector<Alarm::Current> &a,
                                   const QVector<Alarm::Current> &b) {
            if (a.size() != b.size())
                return false;
            for (int i = 0; i < a.size(); ++i) {
                if (a[i].time != b[i].time || a[i].code != b[i].code || a[i].timed != b[i].timed)
                    return false;
            }
            return true;
        };
        return name == o.name && state == o.state && outputOffSeconds == o.outputOffSeconds &&
            linkBusy == o.linkBusy && countdown == o.countdown && cancellable == o.cancellable &&
            sameAlarms(alarms, o.alarms) && faults == o.faults && raised == o.raised &&
            batteryInstalled == o.batteryInstalled && batteryDue == o.batteryDue &&
            batteryReplacementDue == o.batteryReplacementDue &&
            selfTestOffered == o.selfTestOffered && beeperOffered == o.beeperOffered &&
            recordFile == o.recordFile && recordUps == o.recordUps && learned == o.learned;
    }
    bool operator!=(const UpsEntry &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(UpsEntry)
