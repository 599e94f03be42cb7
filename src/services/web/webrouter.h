#pragma once

#include "webreply.h"
#include "webrequest.h"

#include <QAtomicInt>
#include <QString>

#include <functional>

class ThreadInbox;
class PoolQueue;
class UpsDirectory;
class WebFiles;
class WebSessions;
class WebTexts;
struct UpsEntry;

// What each address of the web service answers: the page, its files, the API, the metrics, the
// health check, logins and UPS commands. Answers that read the database, check a password or
// wait for the program are deferred: started once the connection waits, finished from another
// thread. Nothing here knows the HTTP library.
//
//   GET  /                                      the overview: a card per UPS
//   GET  /ups/NAME/                             the page of one UPS
//   GET  /static/FILE, /javascript/chart.js/... the page's files
//   GET  /healthz                               "ok" while the service runs
//   GET  /metrics                               Prometheus' text format
//   GET  /api/v1/texts                          the page's words in the language asked for
//   GET  /api/v1/ups, /api/v1/ups/NAME          every UPS, one UPS
//   GET  /api/v1/computer                       this computer's countdown and supplies
//   GET  /api/v1/ups/NAME/alarms?from=&to=      stored alarms
//   GET  /api/v1/ups/NAME/samples?from=&to=&points=  stored samples, reduced
//   GET  /api/v1/ups/NAME/selftests             recorded self-tests
//   GET  /api/v1/events                         Server-Sent Events, one per change of a UPS
//                                               or of this computer's countdown
//   POST /api/v1/login, /api/v1/logout          an admin's token (HTTPS only)
//   POST /api/v1/ups/NAME/commands/COMMAND      cancel-shutdown, self-test, self-test-cancel,
//                                               beeper (HTTPS, an admin's token)
class WebRouter
{
public:
    using Done = std::function<void(const WebReply &reply)>;
    struct Outcome
    {
        enum Kind { Reply, Deferred, Events };
        Kind kind = Reply;
        WebReply reply;
        std::function<void(const Done &done)> start; // Deferred: calls done once
        int language = 0; // Events
    };
    // A client's misdeed for the log (counted there, told once a minute).
    using Note = std::function<void(const QString &address, const char *kind, const QString &text)>;

    static constexpr int maxBody = 4096; // bytes a request may carry
    static constexpr int maxWaiting = 16; // deferred answers under way at once

    // `context` lives on the thread whose timers hold back the verdicts of wrong passwords.
    WebRouter(UpsDirectory *directory, const WebTexts *texts, const WebFiles *files,
              WebSessions *sessions, PoolQueue *pool, ThreadInbox *context);

    void setNote(const Note &note) { m_note = note; }

    Outcome route(const WebRequest &request) const;

    // What an event stream sends first: how soon to reconnect, then the state of every UPS.
    QByteArray streamStart(int language) const;
    // One event: the new state of a UPS, or that it is gone.
    QByteArray stateEvent(const UpsEntry &entry, int language) const;
    QByteArray removedEvent(const QString &name) const;
    QByteArray computerEvent() const;

private:
    // Splits "NAME" or "NAME/REST" into a UPS's name and the rest. A name may hold "/" (a UPS
    // of a whole server, "lab/u1"), which arrives decoded: the longest name known wins. False
    // when no known name starts the path.
    bool splitName(const QString &path, QString *name, QString *rest) const;
    Outcome ups(const WebRequest &request, const QString &name, const QString &rest) const;
    Outcome login(const WebRequest &request) const;
    Outcome command(const WebRequest &request, const QString &name, const QString &command) const;
    // Runs `work` on the pool; busy (503) when too many wait already.
    Outcome onPool(const std::function<WebReply()> &work) const;
    // Takes a place among the deferred answers under way; false when all are taken.
    bool reserve() const;
    static Outcome busy();
    // Why a request that changes something is refused; empty when it may go on.
    QString refusal(const WebRequest &request) const;

    UpsDirectory *m_directory;
    const WebTexts *m_texts;
    const WebFiles *m_files;
    WebSessions *m_sessions;
    PoolQueue *m_pool;
    ThreadInbox *m_context;
    Note m_note;
    mutable QAtomicInt m_waiting;
    mutable QAtomicInt m_eventId;
};
