#include "nutcommand.h"

#include "nutreading.h"

QStringList NutCommand::candidates(Request request)
{
    switch (request) {
    case SelfTestQuick:
        return {QStringLiteral("test.battery.start.quick")};
    case SelfTestDeep:
        return {QStringLiteral("test.battery.start.deep")};
    case SelfTestMinutes:
        return {QStringLiteral("test.battery.start")};
    case SelfTestCancel:
        return {QStringLiteral("test.battery.stop")};
    case BeeperToggle:
        return {QStringLiteral("beeper.toggle"), QStringLiteral("beeper.enable"),
                QStringLiteral("beeper.disable"), QStringLiteral("beeper.mute")};
    case OutputOff:
        return {QStringLiteral("shutdown.return"), QStringLiteral("shutdown.stayoff")};
    case OutputOffCancel:
        return {QStringLiteral("shutdown.stop"), QStringLiteral("load.on")};
    case OutputCycle:
        return {QStringLiteral("shutdown.return")};
    }
    return {};
}

std::optional<NutCommand> NutCommand::forRequest(Request request, const QStringList &offered,
                                                 const NutReading &state, int minutes)
{
    const auto pick = [&](const QString &name,
                          const QString &parameter = QString()) -> std::optional<NutCommand> {
        if (!offered.contains(name))
            return std::nullopt;
        return NutCommand {name, parameter};
    };
    switch (request) {
    case SelfTestQuick:
    case SelfTestDeep:
    case SelfTestCancel:
        return pick(candidates(request).first());
    case SelfTestMinutes:
        // The protocol counts in seconds.
        return pick(QStringLiteral("test.battery.start"), QString::number(minutes * 60));
    case BeeperToggle:
        if (auto toggle = pick(QStringLiteral("beeper.toggle")))
            return toggle;
        if (!state.beeperOn)
            return std::nullopt; // which way to switch is unknown
        if (!*state.beeperOn)
            return pick(QStringLiteral("beeper.enable"));
        if (auto off = pick(QStringLiteral("beeper.disable")))
            return off;
        return pick(QStringLiteral("beeper.mute"));
    case OutputOff: {
        // As on the serial line: on battery the output comes back with the mains, on mains it
        // stays off. The delay goes along in seconds; servers that take their own delay
        // (ups.delay.shutdown) ignore it.
        const QString name = state.onBattery ? QStringLiteral("shutdown.return")
                                             : QStringLiteral("shutdown.stayoff");
        return pick(name, minutes > 0 ? QString::number(minutes * 60) : QString());
    }
    case OutputCycle:
        return pick(QStringLiteral("shutdown.return"),
                    minutes > 0 ? QString::number(minutes * 60) : QString());
    case OutputOffCancel:
        if (state.outputOff) {
            if (auto on = pick(QStringLiteral("load.on")))
                return on;
        }
        if (auto stop = pick(QStringLiteral("shutdown.stop")))
            return stop;
        return pick(QStringLiteral("load.on"));
    }
    return std::nullopt;
}
