#include "terminationsignals.h"

#include "logcategories.h"
#include "platform.h"

#include <QSocketNotifier>

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    const int fd = platform::terminationRequests();
    if (fd < 0)
        return;
    // Read through Qt's file layer, unbuffered: one byte per request, never more.
    m_pipe.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);
}

void TerminationSignals::onReadable()
{
    char number = 0;
    if (m_pipe.read(&number, 1) != 1)
        return;
    qCInfo(lcShell) << "Signal" << int(number) << "received; ending in order";
    emit terminationRequested(int(number));
}
