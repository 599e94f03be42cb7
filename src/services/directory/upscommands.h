#pragma once

#include "upsdirectory.h"
#include "upslink.h"

#include <QString>

struct UpsState;

// The one rule for refusing a command to a UPS, whichever UPS it is (this computer's or a
// watched one) and whichever face asks (the web page, the NUT server, the window).
namespace UpsCommands {

// Why the command cannot be carried out now, in English; empty when it can. `unavailable` is
// the link's own answer (UpsLink::controlUnavailable) for the request.
QString refusal(UpsDirectory::Command command, const UpsState &state, const QString &unavailable);

// The words the NUT server gives for its self-test commands, by the same rule.
QString selfTestStartRefusal(const UpsState &state);
QString selfTestStopRefusal(const UpsState &state);

// The link's control request that carries out the command (self-test, its cancel, the beeper).
int controlRequest(UpsDirectory::Command command);

// Carries out a self-test, its cancel or the beeper on `link` (this computer's DevComm or a
// watched UPS: what has controlUnavailable, setSelfTest and toggleBeeper) for a UPS in `state`;
// returns why not, empty when it went out.
template<class Link>
QString carryOut(UpsDirectory::Command command, const UpsState &state, Link *link)
{
    const QString why =
        refusal(command, state, link->controlUnavailable(controlRequest(command)));
    if (!why.isEmpty())
        return why;
    if (command == UpsDirectory::Beeper)
        link->toggleBeeper();
    else
        link->setSelfTest(command == UpsDirectory::SelfTest ? UpsLink::SelfTest10S
                                                            : UpsLink::SelfTestCancel,
                          0);
    return QString();
}

} // namespace UpsCommands
