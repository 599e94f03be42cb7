#pragma once

#include <QByteArray>
#include <QFlags>
#include <QString>

#include <optional>

// The words of a NUT "ups.status" and the flags they stand for, both ways: what a server's
// status says, and what one served says, for the client, the server, the web metrics and
// `status` alike.
class NutStatusFlags
{
public:
    // In the order a served status writes them (FSD first, as the primary's note to go).
    enum Flag : quint16 {
        ForcedShutdown = 1 << 0, // FSD
        Online = 1 << 1, // OL
        OnBattery = 1 << 2, // OB
        BatteryLow = 1 << 3, // LB
        Bypass = 1 << 4, // BYPASS
        Boost = 1 << 5, // BOOST
        Trim = 1 << 6, // TRIM
        Calibrating = 1 << 7, // CAL
        OutputOff = 1 << 8, // OFF
        Alarm = 1 << 9, // ALARM
        Overload = 1 << 10, // OVER
        ReplaceBattery = 1 << 11, // RB
        HighBattery = 1 << 12, // HB
        Charging = 1 << 13, // CHRG
        Discharging = 1 << 14, // DISCHRG
    };
    Q_DECLARE_FLAGS(Flags, Flag)
    static constexpr int Count = 15;

    // The word of one flag ("OL"), and the flag of a word; none for a word not known here.
    static const char *word(Flag flag);
    static std::optional<Flag> flag(const QString &word);

    // The flags of a status: words apart by blanks, unknown ones left out.
    static Flags parse(const QString &status);
    // The words of the flags set, in the order of Flag, apart by one blank.
    static QByteArray join(Flags flags);
};

Q_DECLARE_OPERATORS_FOR_FLAGS(NutStatusFlags::Flags)
