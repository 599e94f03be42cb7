#pragma once

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QStringList>
#include <QTimer>

class Settings;
struct SelfTestResult;
struct UpsState;

// Decides which changes of the UPS reach the desktop as notifications: mains failure and
// return, battery low, UPS fault, communication lost and back, the shutdown countdown started
// and cancelled, a finished self-test with its result, a battery due for replacement. Good news
// that ends a bad notice on the desktop (mains back, link back) is told at once in its place. A
// notice that repeats within 30 s of the last one with its title is held back, with every later
// change of its kind, and told once those 30 s are over as the kind's newest state, saying what
// and when the changes held back were; each UPS holds its own, so a watched UPS's mains failure
// is told even right after this computer's. A UPS that is not one of this computer's chosen
// supplies is told without words about this computer. A running countdown is the
// exception: one notice for it, told at once, replaced in place whenever its end moves, with
// a "Cancel shutdown" action, and taken off the desktop when the countdown ends or is called
// off. "notify/enable" switches them off. Delivery is the desktop's
// (platform::showNotification); what it cannot show goes to the tray icon through
// undelivered(), where a lesser notice never covers a running countdown's.
class ServiceNotification : public QObject
{
    Q_OBJECT

public:
    enum Kind {
        Mains,
        BatteryLow,
        UpsFault,
        Link,
        Countdown,
        SelfTest,
        BatteryAge,
        SettingsFile,
        KindCount
    };
    Q_ENUM(Kind)

    static constexpr int quietSeconds = 30;

    explicit ServiceNotification(Settings *settings, QObject *parent = nullptr);
    ~ServiceNotification() override;

    // Reads the switch and starts the once-a-second check of held-back notices.
    void start();

    // "notify/enable" as last read: followed on every write of it.
    bool enable() const;

    // Hands every notice to the desktop as it is decided (the program); off, notices are only
    // announced with notify() (tests).
    void setDeliver(bool deliver);
    // The desktop's id of the bad notice standing for a UPS's kind (`name` empty: this
    // computer's); 0 when none stands or the desktop has not answered yet.
    uint standingNotice(const QString &name, int kind) const;

public slots:
    void updateState(const UpsState &state);
    // The shutdown service's announcement: seconds left, 0 when cancelled.
    void countdownChanged(int seconds);
    // The running countdown ends sooner: `seconds` are left.
    void countdownShortened(int seconds);
    // A tick of the countdown; 0: it ended.
    void countdownTick(int seconds);
    // Why the next countdown starts (the supplies lost); said in its notice.
    void setCountdownReason(const QString &reason);
    // Nothing is set to happen at the end of a countdown: its notice says so rather than that
    // the computer shuts down.
    void setEndDoesNothing(bool nothing);
    // A watched UPS's changes, told as this computer's are, with its name before each title.
    void updateNamedState(const QString &name, const UpsState &state);
    // Seconds to battery low learned from a UPS's discharges (empty name: this computer's),
    // told with a mains failure; -1 while none.
    void setLearnedRuntime(const QString &name, int seconds);
    // The shown names of the UPSes that feed this computer ("local" for its own).
    void setSupplies(const QStringList &names);
    void selfTestFinished(const SelfTestResult &result);
    // A watched UPS's self-test, its name before the title.
    void namedSelfTestFinished(const QString &name, const SelfTestResult &result);
    // A notice of the given kind, decided elsewhere (the battery's age).
    void post(int kind, const QString &title, const QString &body, bool urgent);
    // Tells what was held back for a kind whose 30 s are over (the timer, and tests that
    // drive the clock).
    void checkHeldBack();

signals:
    // Every notice decided, in the language in force.
    void notify(int kind, const QString &title, const QString &body, bool urgent);
    // The desktop could not show it (no notification server, Windows): the tray should.
    void undelivered(const QString &title, const QString &body, bool urgent);
    // The user chose "Cancel shutdown" on the countdown's notice.
    void cancelRequested();

private:
    // What a notice does to the bad one of its kind on the desktop: a mains failure opens one,
    // the return ends it.
    enum Role { Plain, Opens, Ends };

    struct Held
    {
        QHash<QString, qint64> sentAt; // by what the notice said (its title without the UPS)
        int count = 0; // changes held back since the last notice
        qint64 releaseAt = 0;
        qint64 firstHeld = 0;
        qint64 lastHeld = 0;
        QString what;
        QString title;
        QString body;
        bool urgent = false;
        Role role = Plain;
        // A bad notice is on the desktop (its id once the desktop answered); `generation`
        // tells an answer about an older one.
        bool standing = false;
        uint standingId = 0;
        quint64 generation = 0;
    };

    struct Seen
    {
        int learnedRuntime = -1;
        bool seen = false;
        bool online = false;
        bool onBattery = false;
        bool batteryLow = false;
        bool faulted = false;
    };
    void follow(bool enable);
    void judge(Seen &seen, const QString &name, const UpsState &state);
    // A notice about a UPS (`name` empty: this computer's), held back by its own 30 s; `what` is
    // its title without the UPS's name.
    void postAbout(const QString &name, int kind, const QString &what, const QString &body,
                   bool urgent, Role role = Plain);
    void tell(const QPair<QString, int> &key, Held &held, qint64 now);
    // `replaces`: the id of the notice it takes the place of; `opened`: the Held it opens.
    void send(int kind, const QString &title, const QString &body, bool urgent,
              uint replaces = 0, const QPair<QString, int> *opened = nullptr,
              quint64 generation = 0);
    bool feedsThisComputer(const QString &name) const;
    void tellCountdown(const QString &title);
    void deliverCountdown();
    void withdrawCountdown();

    Settings *m_settings;
    QTimer m_timer {this}; // runs only while a change is held back
    bool m_started = false;
    QMap<QPair<QString, int>, Held> m_held; // by UPS (empty: this computer's) and kind
    bool m_enable = true;
    bool m_deliver = false;
    // The last state of an answering UPS; none before the first answer.
    Seen m_local;
    bool m_countdown = false;
    QString m_countdownReason;
    bool m_endDoesNothing = false;
    QHash<QString, Seen> m_named;
    QStringList m_supplies; // this computer's own UPS until told
    // The running countdown's notice: when it ends, what it says, the desktop's id for it (0
    // until the desktop answered), whether a Notify is under way, and whether a newer text
    // waits for that answer.
    qint64 m_countdownEnd = 0;
    QString m_countdownTitle;
    QString m_countdownBody;
    uint m_countdownId = 0;
    bool m_countdownSending = false;
    bool m_countdownDirty = false;
    quint64 m_countdownGeneration = 0;
};
