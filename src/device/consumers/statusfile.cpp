#include "statusfile.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "upsstate.h"

StatusFile::StatusFile(QObject *parent)
    : QObject(parent), m_saver(QStringLiteral("the status file"), lcDevice)
{
}

void StatusFile::updateState(const UpsState &state)
{
    if (!state.online())
        m_last = StatusFileRecord {};
    const StatusFileRecord summary = StatusFileRecord::fromState(state);
    if (summary == m_last && !m_saver.failing())
        return;
    m_saver.save(Paths::file(QStringLiteral("/log/output/upsstatus.txt")),
                 summary.line(Clock::now()));
    m_last = summary;
}
