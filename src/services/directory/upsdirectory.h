#pragma once

#include "upsentry.h"

#include <QMutex>
#include <QObject>

#include <functional>

// The UPSes the program knows, by name: today this computer's own. Whatever shows UPSes to the
// outside (the web page, its API, the metrics) reads them here and only here, from any thread;
// the entries are set on the main thread by whoever follows each UPS, and a command for a UPS
// goes back to it through its handler.
class UpsDirectory : public QObject
{
    Q_OBJECT
public:
    enum Command { CancelShutdown, SelfTest, SelfTestCancel, Beeper };
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

    // The main thread.
    void setEntry(const UpsEntry &entry, const Handler &handler);
    void removeEntry(const QString &name);
    Outcome run(const QString &name, Command command, const QString &who);

signals:
    // Emitted on the main thread, once per change.
    void entryChanged(const UpsEntry &entry);
    void entryRemoved(const QString &name);

private:
    mutable QMutex m_mutex;
    QVector<UpsEntry> m_entries;
    QMap<QString, Handler> m_handlers;
};
