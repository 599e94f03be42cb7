#pragma once

#include "dischargemodel.h"
#include "dischargetracker.h"
#include "poolqueue.h"
#include "upsentry.h"

#include <QHash>
#include <QObject>

#include <functional>

class ThreadInbox;
class UpsDirectory;

// One discharge model per UPS in the directory (this computer's and each watched one): it
// learns first from the discharges already stored in the UPS's database (read on a thread of its
// own), then from each discharge as it happens, and puts the seconds to battery low it predicts,
// with their band, and the battery's measured health back into the directory for every face.
class RuntimeLearner : public QObject
{
    Q_OBJECT
public:
    explicit RuntimeLearner(UpsDirectory *directory, QObject *parent = nullptr);
    ~RuntimeLearner() override;

    // Follows the directory from now on.
    void start();
    // The model of a UPS (tests, the bench); nullptr for one never seen.
    const DischargeModel *model(const QString &name) const;
    // The daily report went out with its notes: each UPS's health is handed again for the next.
    void reportSent();

signals:
    // A discharge was taken into a UPS's model (stored ones at start, then live ones).
    void learned(const QString &name, int discharges);
    // The stored discharges of a UPS were read (or could not be).
    void historyRead(const QString &name, int discharges);
    // A UPS's battery measured below 80 % of what it first held, or on course to be within
    // three months: each told once a run, as a notice.
    void healthLow(const QString &title, const QString &text);
    // The battery's measured health of a UPS for the daily report, under a key of its own.
    void mailNote(const QString &key, const QString &text);

private:
    struct Lesson
    {
        DischargeModel::Discharge discharge;
        bool stored = false; // read from the database, not seen live
    };
    struct Unit
    {
        DischargeModel model;
        DischargeTracker tracker;
        bool historyAsked = false;
        bool historyRead = false;
        bool healthTold = false;
        bool trendTold = false;
        bool learning = false; // a copy of the model learns on the pool's thread
        QVector<Lesson> pending; // discharges that wait for it
        int cutShort = 0; // stored discharges ended by the mains before battery low
    };

    void onEntry(const UpsEntry &entry);
    void readHistory(const QString &name, const QString &file, const QString &ups);
    // Learning is off the thread that polls the UPS: the model is copied to the pool, learns
    // there and comes back; what arrives meanwhile waits for the next round.
    void teach(const QString &name, const QVector<Lesson> &lessons);
    void learnNext(const QString &name);
    void publish(const QString &name, const UpsEntry &entry);
    void handNote(const QString &name);

    // Work for the pool and its answers pass under locks of our own (the jobs' mutex, the
    // inbox's), which the thread sanitizer sees, unlike the system Qt's queues.
    void offThread(std::function<void()> job);

    UpsDirectory *m_directory;
    QHash<QString, Unit> m_units;
    ThreadInbox *m_answers;
    PoolQueue m_pool;
};
