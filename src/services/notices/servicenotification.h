#pragma once

#include <QHash>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QTimer>

class Settings;
struct SelfTestResult;
struct UpsState;

// Decides which changes of the UPS reach the desktop as notifications: mains failure and
// return, battery low, UPS fault, communication lost and back, the shutdown countdown started
// and cancelled, a finished self-test with its result, a battery due for replacement. A kind
// that changes again within 30 s of its last notice is held back and told once the 30 s are
// over, as its newest state with the number of changes held back; each UPS holds its own, so a
// watched UPS's mains failure is told even right after this computer's. A running countdown is the
// exception: one notice for it, told at once, replaced in place whenever its end moves, with
// a "Cancel shutdown" action, and taken off the desktop when the countdown ends or is called
// off. "notify/enable" switches them off. Delivery is the desktop's
// (platform::showNotification); what it cannot show goes to the tray icon through
// undelivered(), where a lesser notice never covers a running countdown's.
class ServiceNotification : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool enable READ enable WRITE setEnable NOTIFY enableChanged)

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

    bool enable() const;
    void setEnable(bool enable);

    // Hands every notice to the desktop as it is decided (the program); off, notices are only
    // announced with notify() (tests).
    void setDeliver(bool deliver);

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
    void selfTestFinished(const SelfTestResult &result);
    // A watched UPS's self-test, its name before the title.
    void namedSelfTestFinished(const QString &name, const SelfTestResult &result);
    // A notice of the given kind, decided elsewhere (the battery's age).
    void post(int kind, const QString &title, const QString &body, bool urgent);
    // Tells what was held back for a kind whose 30 s are over (the timer, and tests that
    // drive the clock).
    void checkHeldBack();

signals:
    void enableChanged();
    // Every notice decided, in the language in force.
    void notify(int kind, const QString &title, const QString &body, bool urgent);
    // The desktop could not show it (no notification server, Windows): the tray should.
    void undelivered(const QString &title, const QString &body, bool urgent);
    // The user chose "Cancel shutdown" on the countdown's notice.
    void cancelRequested();

private:
    struct Held
    {
        qint64 lastSent = 0;
        bool sent = false;
        int count = 0; // changes held back since the last notice
        QString title;
        QString body;
        bool urgent = false;
    };

    struct Seen
    {
        bool seen = false;
        bool online = false;
        bool onBattery = false;
        bool batteryLow = false;
        bool upsFailed = false;
    };
    void judge(Seen &seen, const QString &name, const UpsState &state);
    // A notice about a UPS (`name` empty: this computer's), held back by its own 30 s.
    void postAbout(const QString &name, int kind, const QString &title, const QString &body,
                   bool urgent);
    void send(int kind, const QString &title, const QString &body, bool urgent);
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
