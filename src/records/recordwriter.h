#pragma once

#include <QDateTime>
#include <QObject>
#include <QScopedPointer>
#include <QVariant>

#include <optional>

class HistoryNotice;
class RecordWriterPrivate;

// Every row the program records as it watches the UPS: the alarms, the measurement samples and
// the self-test summaries. They are written by one thread of their own, on a connection of their
// own, so the thread that polls the UPS and draws the window never waits on the disk. A row is
// queued with its time stamp taken at once; the thread commits what is queued, a batch at a
// time, and each commit reaches the disk before the next starts (SQLite's durable defaults, in
// WAL mode so the readers of the default connection are never held up).
//
// Lost on a hard stop of the process (kill -9): only rows queued and not yet committed, those of
// the last few milliseconds. A power cut loses the same and nothing committed.
//
// A row that finds a full disk first takes the disk's reserve (DiskReserve), given up for it,
// and is written at once. One that still finds no room (a full disk past its reserve, a file
// that cannot be written now) waits in memory and is tried again with the next row or after
// retryInterval; at most maxWaiting rows wait, beyond that the oldest samples give way, and the
// log counts them once the rows are written. Rows that still wait when the program ends are
// lost, and the log says how many.
class RecordWriter : public QObject
{
    Q_OBJECT
public:
    // A reading the UPS does not give is stored empty (null), never as 0.
    struct Sample
    {
        std::optional<float> inputVol;
        std::optional<float> outputVol;
        std::optional<int> load;
        std::optional<float> inputFreq;
        std::optional<float> battVol;
        std::optional<float> temperature;
    };

    // A failure goes to the notice, once per cause; without one, each is logged.
    explicit RecordWriter(HistoryNotice *notice = nullptr, QObject *parent = nullptr);
    // Stops: every row queued is written first.
    ~RecordWriter() override;

    // Starts the thread, which opens the database file of the program folder. Call it once the
    // schema exists. Until then (and after stop) each row is written at once on the calling
    // thread's default connection.
    void start();
    // Writes every row still queued, then ends the thread; start() may follow.
    void stop();
    // While held (the database cannot be read yet), rows only wait; released, they are written.
    void setHeld(bool held);

    static constexpr size_t maxWaiting = 2000;
    static constexpr int retryInterval = 10000;

    // Each queues one row and returns at once; a row that cannot be stored is told.
    // `ups`: the shown name of a watched UPS; empty for this computer's own.
    void insertAlarm(int code, const QString &ups = QString(), const QString &detail = QString());
    void insertSample(const Sample &sample, const QString &ups = QString());
    // How a self-test ended, as stored in its row.
    enum SelfTestOutcome {
        SelfTestUnknown = -1,
        SelfTestPassed = 0,
        SelfTestBatteryLow = 1,
        SelfTestUpsFault = 2
    };
    // `batteryDrop` in volts; an invalid value stores none. An unknown outcome stores none.
    void insertSelfTest(const QDateTime &start, quint32 duration, int count,
                        const QVariant &batteryDrop = QVariant(),
                        SelfTestOutcome outcome = SelfTestUnknown, const QString &ups = QString());

    // Waits until every row queued before the call was written (or failed), at most timeoutMs.
    // True when they were.
    bool flush(int timeoutMs = 10000);
    // Rows committed since construction.
    quint64 committedRows() const;

signals:
    // Rows were committed: readers see them from now on. Emitted by the writer's thread.
    void rowsCommitted();

private:
    QScopedPointer<RecordWriterPrivate> d;
};
