#include "terminationsignals.h"

#include "logcategories.h"
#include "platform.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    const int fd = platform::terminationRequests();
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
}

void TerminationSignals::onReadable()
{
#ifdef Q_OS_UNIX
    char number = 0;
    if (::read(int(m_notifier->socket()), &number, 1) != 1)
        return;
    qCInfo(lcShell) << "Signal" << int(number) << "received; ending in order";
    emit terminationRequested(int(number));
#endif
}
