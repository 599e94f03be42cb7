#pragma once

#include <QString>
#include <QStringList>

#include <optional>

struct NutReading;

// What a control request of the program becomes on a network UPS server: the instant command
// (and its parameter) among those the server offers for the UPS, or none.
struct NutCommand
{
    enum Request {
        SelfTestQuick, // the 10-second test
        SelfTestDeep, // down to a low battery
        SelfTestMinutes,
        SelfTestCancel,
        BeeperToggle,
        OutputOff, // after `minutes`
        OutputOffCancel, // also switches an output that is off back on
        OutputCycle, // off after `minutes`, on again with the mains
    };

    QString name;
    QString parameter;

    // The command for `request`, or nothing when the server offers none that fits.
    static std::optional<NutCommand> forRequest(Request request, const QStringList &offered,
                                                const NutReading &state, int minutes = 0);
    // Every command that could carry `request`, best first: what the interface names when the
    // server offers none of them.
    static QStringList candidates(Request request);
};
