#include "stdinchannel.h"

#include "commandinterpreter.h"
#include "eventlog.h"

#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

class StdinChannelPrivate
{
public:
    CommandInterpreter *interpreter = nullptr;
    QSocketNotifier *notifier = nullptr;
    QByteArray pending;
};

StdinChannel::StdinChannel(CommandInterpreter *interpreter, QObject *parent)
    : QObject(parent), d(new StdinChannelPrivate)
{
    d->interpreter = interpreter;
    d->notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, &StdinChannel::onReadable);
}

StdinChannel::~StdinChannel() = default;

void StdinChannel::onReadable()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        d->notifier->setEnabled(false);
        return;
    }
    d->pending.append(buffer, int(n));
    int end;
    while ((end = d->pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(d->pending.left(end));
        d->pending.remove(0, end + 1);
        EventLog::line(d->interpreter->execute(line));
    }
}
