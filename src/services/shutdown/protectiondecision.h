#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the protection of this computer decides at one moment, as a pure function: the settings
// in force, each chosen supply as it is seen now and as it was last seen, and where the
// countdown stands go in; start, shorten, cancel or a forced end come out, with the reason.
// Carrying a decision out (the ticks, the command file, the UPS switch-off, the power-off, FSD)
// is ServiceShutdown's. This computer's own UPS alone is the one-supply case of the same rule.
namespace Protection {

// The countdown when no minutes are given or the battery is spent.
constexpr int shortSeconds = 10;

struct Settings
{
    bool enabled = false;
    int mainFaultMinutes = 0; // a mains failure alone starts a countdown of this; 0: nothing
    int battLowMinutes = 0; // the countdown once too few supplies can feed; 0: ten seconds
    int minimum = 1; // how many chosen supplies must still be able to feed
    bool oneSupply = true; // only this computer's own UPS is chosen
    // On battery with less backup left than this, a supply can no longer feed, as at battery
    // low; 0: off.
    int minRuntimeMinutes = 0;
};

struct Supply
{
    QString name;
    bool known = true; // a watched UPS has this name (a typo is never judged: it counts as able)
    bool answering = false; // the flags below are of a reading now
    bool everSeen = false; // it answered once, so its last flags are known
    // Now, or as last seen while it does not answer.
    bool onBattery = false;
    bool batteryLow = false; // confirmed where readings need it
    bool forcedShutdown = false; // its server declared FSD
    bool belowCapacity = false; // the charge is below the setting (confirmed)
    // Seconds of backup left: the lower of the UPS's own and the learned one; -1 for none.
    int runtimeSeconds = -1;
};

struct Countdown
{
    int seconds = 0; // left; 0: none runs
    bool startedByUps = false; // a supply's state started it, so its return may cancel it
    bool committed = false; // the network clients were told (FSD), or the UPS switch-off asked
};

// What the decision keeps between two calls: which conditions it has acted on.
struct Memory
{
    bool mainsTaken = false; // a mains failure of the one supply started or set the countdown
    bool lowTaken = false; // too few supplies could feed, and the countdown was set for it
    bool forcedTaken = false; // the server's FSD ended the countdown

    bool operator==(const Memory &o) const
    {
        return mainsTaken == o.mainsTaken && lowTaken == o.lowTaken && forcedTaken == o.forcedTaken;
    }
};

enum class Action {
    None,
    Start, // a countdown of `seconds`
    Shorten, // the running countdown to `seconds`
    Cancel, // the condition is gone: the countdown it started stops
    Hold, // the condition is gone, but the end is committed: it goes on
    ForcedEnd // the server declared FSD: the end now, and it cannot be called off
};

struct Decision
{
    Action action = Action::None;
    int seconds = 0;
    QString reason; // why, in words for the log
    QStringList lost; // the chosen supplies that can no longer feed
    int able = 0; // how many can
    Memory memory; // to hand to the next call
};

// A supply can no longer feed this computer: on battery and low, or its server forces a
// shutdown; one that no longer answers (a lost link, stale data, gone from its server) when it
// was last seen on battery or in FSD. There is no dead time of its own: the countdown that
// follows is one, and a supply back on battery within it calls it off.
// With `minRuntimeMinutes`, one on battery with less backup left than that too.
bool critical(const Supply &supply, int minRuntimeMinutes = 0);
// On battery with less backup left than the setting.
bool runtimeShort(const Supply &supply, int minRuntimeMinutes);

Decision decide(const Settings &settings, const QList<Supply> &supplies,
                const Countdown &countdown, const Memory &memory);

const char *actionName(Action action);

} // namespace Protection
