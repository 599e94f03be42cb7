#pragma once

#include "upsentry.h"

#include <QObject>

#include <functional>
#include <mutex>

class ThreadInbox;

// The UPSes the program knows, by name: today this computer's own. Whatever shows UPSes to the
// outside (the web page, its API, the metrics) reads them here and only here, from any thread;
// the entries are set on the main thread by whoever follows each UPS, and a command for a UPS
// goes back to it through its handler.
class UpsDirectory : public QObject
{
    Q_OBJECT
public:
    enum Command { CancelShutdown, SelfTest, SelfTestCancel, Beeper };
    // This computer's own protection, whichever UPS feeds it: shown beside every UPS.
    struct Computer
    {
        int countdown = 0; // seconds left of its shutdown countdown; 0 while none runs
        bool cancellable = false;
        int suppliesAble = 1; // the chosen supplies that can still feed it
        int suppliesNeeded = 1;
        QStringList suppliesLost; // the chosen supplies that can no longer, by name
        bool operator==(const Computer &o) const
        {
            return countdown == o.countdown && cancellable == o.cancellable &&
                suppliesAble == o.suppliesAble && suppliesNeeded == o.suppliesNeeded &&
                suppliesLost == o.suppliesLost;
        }
    };
    struct Outcome
    {
        bool done = false;
        QString refusal; // why not, in English, when not done
    };
    // Carries out a command for one UPS; `who` says who asked and from where, for the log.
    using Handler = std::function<Outcome(Command command, const QString &who)>;

    explicit UpsDirectory(QObject *parent = nullptr);

    // Any thread.
    QVector<UpsEntry> entries() const;
    bool find(const QString &name, UpsEntry *entry) const;
    Computer computer() const;

    // The main thread.
    void setEntry(const UpsEntry &entry, const Handler &handler);
    void removeEntry(const QString &name);
    void setComputer(const Computer &computer);
    Outcome run(const QString &name, Command command, const QString &who);
    // Any thread: the same, carried out on the main thread at its next turn; `answer` is called
    // there with the outcome.
    void runLater(const QString &name, Command command, const QString &who,
                  std::function<void(const Outcome &)> answer);
    // What was learned of a UPS; kept across setEntry() by whoever follows it.
    void setLearned(const QString &name, const UpsEntry::Learned &learned);

signals:
    // Emitted on the main thread, once per change.
    void entryChanged(const UpsEntry &entry);
    void entryRemoved(const QString &name);
    void computerChanged(const UpsDirectory::Computer &computer);

private:
    // A standard mutex rather than QMutex: the system's Qt is not built for the thread sanitizer,
    // which does not see a QMutex that waited.
    ThreadInbox *m_inbox; // the commands asked from other threads
    mutable std::mutex m_mutex;
    QVector<UpsEntry> m_entries;
    QMap<QString, Handler> m_handlers;
    Computer m_computer;
    QMap<QString, UpsEntry::Learned> m_learned;
};

Q_DECLARE_METATYPE(UpsDirectory::Computer)
