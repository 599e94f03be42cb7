#include "upscommands.h"

#include "upsstate.h"

namespace UpsCommands {

QString selfTestStartRefusal(const UpsState &state)
{
    return state.selfTest ? QStringLiteral("a self-test is running") : QString();
}

QString selfTestStopRefusal(const UpsState &state)
{
    return state.selfTest ? QString() : QStringLiteral("no self-test is running");
}

int controlRequest(UpsDirectory::Command command)
{
    return command == UpsDirectory::Beeper ? UpsLink::ControlBeeper
        : command == UpsDirectory::SelfTest ? UpsLink::ControlSelfTest10S
                                            : UpsLink::ControlSelfTestCancel;
}

QString refusal(UpsDirectory::Command command, const UpsState &state, const QString &unavailable)
{
    // The computer's countdown is cancelled on its own UPS, which answers before this rule.
    if (command == UpsDirectory::CancelShutdown)
        return QStringLiteral("a watched UPS has no countdown of its own");
    if (!state.online())
        return QStringLiteral("the UPS does not answer");
    if (!unavailable.isEmpty())
        return unavailable;
    if (command == UpsDirectory::SelfTest)
        return selfTestStartRefusal(state);
    if (command == UpsDirectory::SelfTestCancel)
        return selfTestStopRefusal(state);
    return QString();
}

} // namespace UpsCommands
