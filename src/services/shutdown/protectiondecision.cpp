#include "protectiondecision.h"

#include <QtGlobal>

#include <climits>

namespace Protection {

namespace {

// Minutes to seconds without overflowing on a hand-edited setting.
int secondsOf(int minutes)
{
    return qBound(0, minutes, INT_MAX / 60) * 60;
}

} // namespace

bool runtimeShort(const Supply &supply, int minRuntimeMinutes)
{
    return minRuntimeMinutes > 0 && supply.onBattery && supply.runtimeSeconds >= 0 &&
        supply.runtimeSeconds < secondsOf(minRuntimeMinutes);
}

bool critical(const Supply &supply, int minRuntimeMinutes)
{
    if (!supply.known)
        return false;
    const bool spent = (supply.onBattery &&
                        (supply.batteryLow || runtimeShort(supply, minRuntimeMinutes))) ||
        supply.forcedShutdown;
    if (supply.answering)
        return spent;
    // Silent: last seen on battery, it may be gone at any moment.
    return supply.everSeen && (spent || supply.onBattery);
}

const char *actionName(Action action)
{
    switch (action) {
    case Action::None:
        return "none";
    case Action::Start:
        return "start";
    case Action::Shorten:
        return "shorten";
    case Action::Cancel:
        return "cancel";
    case Action::Hold:
        return "hold";
    case Action::ForcedEnd:
        return "forced end";
    }
    return "?";
}

Decision decide(const Settings &settings, const QList<Supply> &supplies,
                const Countdown &countdown, const Memory &memory)
{
    Decision d;
    d.memory = memory;
    for (const Supply &supply : supplies) {
        if (critical(supply, settings.enabled ? settings.minRuntimeMinutes : 0))
            d.lost << supply.name;
    }
    d.able = supplies.size() - d.lost.size();
    if (!settings.enabled) {
        d.memory = Memory();
        return d;
    }
    const bool oneSupply = settings.oneSupply && !supplies.isEmpty();
    const Supply local = oneSupply ? supplies.first() : Supply();

    // The server's primary is switching the UPS off now: the end comes at once and is final.
    if (oneSupply && local.answering) {
        if (local.forcedShutdown) {
            if (memory.forcedTaken)
                return d;
            d.memory.forcedTaken = true;
            d.action = Action::ForcedEnd;
            d.seconds = 1;
            d.reason = QStringLiteral("the UPS server declared a forced shutdown (FSD)");
            return d;
        }
        d.memory.forcedTaken = false;
    }

    const int lowSeconds =
        settings.battLowMinutes > 0 ? secondsOf(settings.battLowMinutes) : shortSeconds;
    bool low = d.able < qMax(1, settings.minimum);
    // The mains is back while the battery is still low: the countdown the low battery set goes
    // on until the battery recovers.
    if (!low && oneSupply && memory.lowTaken && local.answering && local.batteryLow &&
        countdown.seconds > 0)
        low = true;
    // A lost link says nothing about the mains: the failure taken stays taken.
    const bool onBattery = oneSupply && (local.answering ? local.onBattery : memory.mainsTaken);
    const bool mains = onBattery && (settings.mainFaultMinutes > 0 || memory.mainsTaken);

    int want = 0;
    if (low && !memory.lowTaken) {
        want = lowSeconds;
        if (oneSupply)
            d.reason = local.answering
                ? (local.forcedShutdown                                  ? QStringLiteral("forced shutdown")
                       : runtimeShort(local, settings.minRuntimeMinutes) && !local.batteryLow
                       ? QStringLiteral("%1 s of backup left, below the %2 minutes set")
                             .arg(local.runtimeSeconds)
                             .arg(settings.minRuntimeMinutes)
                       : QStringLiteral("battery low"))
                : QStringLiteral("the UPS no longer answers and was last seen on battery");
        else
            d.reason = QStringLiteral("%1 of %2 supplies can feed this computer, %3 needed; "
                                      "lost: %4")
                           .arg(d.able)
                           .arg(supplies.size())
                           .arg(qMax(1, settings.minimum))
                           .arg(d.lost.join(QStringLiteral(", ")));
    }
    if (mains && !memory.mainsTaken && settings.mainFaultMinutes > 0) {
        const int seconds = secondsOf(settings.mainFaultMinutes);
        if (want == 0 || seconds < want) {
            want = seconds;
            d.reason = QStringLiteral("mains failure");
        }
    }
    d.memory.lowTaken = low;
    d.memory.mainsTaken = mains;

    // A spent battery during a failure taken over cuts a countdown short; it starts none.
    const bool spent = mains && local.answering && local.belowCapacity;
    if (want > 0) {
        if (countdown.seconds == 0) {
            d.action = Action::Start;
            d.seconds = want;
            return d;
        }
        if (spent && shortSeconds < want) {
            want = shortSeconds;
            d.reason = QStringLiteral("battery capacity below the setting");
        }
        if (countdown.seconds > want) {
            d.action = Action::Shorten;
            d.seconds = want;
        }
        return d;
    }
    if (spent && countdown.seconds > shortSeconds) {
        d.action = Action::Shorten;
        d.seconds = shortSeconds;
        d.reason = QStringLiteral("battery capacity below the setting");
        return d;
    }
    const bool wasPresent = memory.lowTaken || memory.mainsTaken;
    if (wasPresent && !low && !mains && countdown.startedByUps) {
        d.action = countdown.committed ? Action::Hold : Action::Cancel;
        d.reason = oneSupply ? QStringLiteral("mains restored")
                             : QStringLiteral("enough supplies can feed this computer again");
    }
    return d;
}

} // namespace Protection
