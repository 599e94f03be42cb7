#pragma once

#include <QByteArray>
#include <QObject>
#include <QScopedPointer>
#include <functional>

class LinePacerPrivate;

// Writes the unit's output onto the line at the pace of a real serial line: 10 bits per byte at
// the chosen baud rate (or at once), after a turnaround delay, optionally cut into chunks of N
// bytes with a gap between them. Blocks queued while the line is busy follow in order.
class LinePacer : public QObject
{
    Q_OBJECT
public:
    // `write` puts bytes on the line and returns how many it took (-1 on failure).
    explicit LinePacer(std::function<qint64(const QByteArray &)> write, QObject *parent = nullptr);
    ~LinePacer() override;

    void send(const QByteArray &bytes);
    bool isIdle() const;
    void clear();

    void setBaud(int baud); // 0: instant
    int baud() const;
    void setTurnaroundMs(int ms);
    int turnaroundMs() const;
    void setChunks(int bytes, int gapMs); // bytes 0: whole blocks
    int chunkBytes() const;
    int chunkGapMs() const;

private slots:
    void pump();

private:
    QScopedPointer<LinePacerPrivate> d;
};
