#include "linepacer.h"

#include "eventlog.h"

#include <QElapsedTimer>
#include <QList>
#include <QTimer>

class LinePacerPrivate
{
public:
    std::function<qint64(const QByteArray &)> write;
    QList<QByteArray> queue;
    int position = 0; // bytes of queue.first() already written
    qint64 nextByteNs = 0; // when the next byte may go out
    int baud = 2400;
    int turnaroundMs = 0;
    int chunkBytes = 0;
    int chunkGapMs = 0;
    QElapsedTimer clock;
    QTimer timer;

    qint64 byteNs() const { return baud > 0 ? 10'000'000'000LL / baud : 0; }
};

LinePacer::LinePacer(std::function<qint64(const QByteArray &)> write, QObject *parent)
    : QObject(parent), d(new LinePacerPrivate)
{
    d->write = std::move(write);
    d->clock.start();
    d->timer.setSingleShot(true);
    d->timer.setTimerType(Qt::PreciseTimer);
    connect(&d->timer, &QTimer::timeout, this, &LinePacer::pump);
}

LinePacer::~LinePacer() = default;

void LinePacer::send(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    const bool wasIdle = d->queue.isEmpty();
    d->queue.append(bytes);
    if (wasIdle) {
        d->position = 0;
        d->nextByteNs =
            std::max(d->nextByteNs, d->clock.nsecsElapsed() + d->turnaroundMs * 1'000'000LL);
        pump();
    }
}

bool LinePacer::isIdle() const
{
    return d->queue.isEmpty();
}

void LinePacer::clear()
{
    d->queue.clear();
    d->position = 0;
    d->timer.stop();
}

void LinePacer::pump()
{
    while (!d->queue.isEmpty()) {
        const qint64 now = d->clock.nsecsElapsed();
        if (d->nextByteNs > now) {
            d->timer.start(int((d->nextByteNs - now + 999'999) / 1'000'000));
            return;
        }
        const QByteArray &block = d->queue.first();
        // Everything that is due by now, but never across a chunk boundary.
        qint64 count = block.size() - d->position;
        if (d->byteNs() > 0)
            count = std::min<qint64>(count, (now - d->nextByteNs) / d->byteNs() + 1);
        if (d->chunkBytes > 0)
            count = std::min<qint64>(count, d->chunkBytes - d->position % d->chunkBytes);
        const QByteArray piece = block.mid(d->position, int(count));
        const qint64 written = d->write(piece);
        if (written < 0) {
            EventLog::tagged("NOTE",
                             QStringLiteral("line refused %1 bytes; dropped").arg(piece.size()));
            d->queue.removeFirst();
            d->position = 0;
            continue;
        }
        d->position += int(written);
        d->nextByteNs += d->byteNs() * written;
        if (d->position >= block.size()) {
            d->queue.removeFirst();
            d->position = 0;
        }
        if (d->chunkBytes > 0 && d->position % d->chunkBytes == 0 && d->position > 0)
            d->nextByteNs = std::max(d->nextByteNs, now) + d->chunkGapMs * 1'000'000LL;
        if (written < count) {
            // The line is full (nobody reading): try again a little later.
            d->nextByteNs = std::max(d->nextByteNs, now + 20'000'000LL);
        }
    }
}

void LinePacer::setBaud(int baud)
{
    d->baud = std::max(0, baud);
}

int LinePacer::baud() const
{
    return d->baud;
}

void LinePacer::setTurnaroundMs(int ms)
{
    d->turnaroundMs = std::max(0, ms);
}

int LinePacer::turnaroundMs() const
{
    return d->turnaroundMs;
}

void LinePacer::setChunks(int bytes, int gapMs)
{
    d->chunkBytes = std::max(0, bytes);
    d->chunkGapMs = std::max(0, gapMs);
}

int LinePacer::chunkBytes() const
{
    return d->chunkBytes;
}

int LinePacer::chunkGapMs() const
{
    return d->chunkGapMs;
}
