#include "statusfile.h"

#include "clock.h"
#include "paths.h"
#include "upsstate.h"

void StatusFile::updateState(const UpsState &state)
{
    if (!state.online())
        m_last = StatusFileRecord {};
    const StatusFileRecord summary = StatusFileRecord::fromState(state);
    if (summary == m_last)
        return;
    summary.writeTo(Paths::file(QStringLiteral("/log/output/upsstatus.txt")), Clock::now());
    m_last = summary;
}
