#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DevComm;
class ServiceShutdownPrivate;
class Settings;
struct UpsState;

// Protects the computer while the UPS runs on battery. What to do is the protection decision's
// (Protection::decide: a mains failure, a low battery, too few supplies able to feed); this
// class carries it out: the countdown, near its end the UPS told to switch its output off,
// the user's command file, the open windows recorded in "/data/shutdown.log" and the system
// powered off. The return of the mains cancels a countdown that a failure started, until the
// end is committed (the network clients told, or the UPS output-off asked): from then on only
// the UPS's power cycle, or switching the protection off, ends it. A power-off the system
// refused commits nothing. The scheduled power-off uses the same countdown (startShutdown). It
// reads this computer's UPS from the data sets handed to updateState, the other supplies from
// its SupplyCount, and reads its settings (the "shutdown/" keys) when it needs them.
class SupplyCount;

class ServiceShutdown : public QObject
{
    Q_OBJECT
    // Seconds left of the running countdown; 0 while none runs.
    Q_PROPERTY(int countdown READ countdown NOTIFY progressChanged)
    // The end is under way and no longer called off by anything but switching the protection
    // off: the network clients were told (FSD), or the UPS output-off or the power-off was asked.
    Q_PROPERTY(bool committed READ committed NOTIFY progressChanged)
    // A countdown runs that the user may still call off.
    Q_PROPERTY(bool cancellable READ cancellable NOTIFY progressChanged)
    // The warning of a starting countdown stands: until the countdown ends or is called off, or
    // the mains returns.
    Q_PROPERTY(bool alerting READ alerting NOTIFY progressChanged)
    // The protection is on, but nothing is set to happen at the end of a countdown: no power-off,
    // no command file, no UPS switch-off.
    Q_PROPERTY(bool endDoesNothing READ endDoesNothing NOTIFY endDoesNothingChanged)

public:
    // A step that must be over before the UPS output is switched off or the computer powered
    // off (telling other computers on the same UPS to shut down, and waiting for them). It is
    // called once per countdown when the first of those actions is due, and the countdown holds
    // until it calls `done` or its time limit has passed. It returns whether other computers
    // were told (FSD went out), which makes the end final.
    using FinalStep = std::function<bool(std::function<void()> done)>;

    // `devComm` carries the UPS shutdown command and its cancel.
    ServiceShutdown(Settings *settings, DevComm *devComm, QObject *parent = nullptr);
    ~ServiceShutdown() override;

    int countdown() const;
    bool committed() const;
    bool cancellable() const;
    bool alerting() const;
    bool endDoesNothing() const;

    // The user calls this countdown off from `where` (a screen, the tray, a notice). The
    // protection stays on for the next event. Refused, and false, once the end is committed.
    Q_INVOKABLE bool cancelCountdown(const QString &where);

    // Reads the settings; from now on a countdown ticks once a second. Called once at start-up.
    void start();
    void setFinalStep(const FinalStep &step, int timeLimitSeconds);
    // The supplies of this computer: unless only its own UPS is chosen, the countdown starts
    // when fewer than the minimum can feed it, and stops when enough can again. This computer's
    // data sets reach them through updateState. Without, its own UPS alone is its supply.
    void setSupplies(SupplyCount *supplies);
    // The scheduled power-off: a countdown of `minutes` (0: ten seconds) unless
    // one is running. The return of the mains does not cancel it.
    void startShutdown(int minutes);
    // Records the visible windows, class name -> titles, as indented JSON.
    void writeShutdownLog();

signals:
    void endDoesNothingChanged();
    void shutdownTimeChanged(int sec);
    void shutdownStarted(int sec); // 0: cancelled
    // A running countdown now ends sooner: `sec` seconds are left.
    void shutdownShortened(int sec);
    void progressChanged();
    // The end became committed, or is over (the UPS power cycle is done, or it was undone).
    void committedChanged(bool committed);
    // The user asked to cancel a countdown that can no longer be called off: why, for them.
    void cancelRefused(const QString &message);
    // A countdown was called off: who ("alice") and from where, for the history.
    void countdownCancelled(const QString &who);
    // The system did not power off at the end of a countdown; `message` says so to the user.
    // Once per countdown, however often the power-off is asked for again.
    void shutdownFailed(const QString &message);
    // Why the countdown about to start does (the supplies lost), for its notice.
    void countdownReason(const QString &reason);

public slots:
    // Follows a write of its settings: switched off, whatever is under way is called off;
    // otherwise the decision is asked again with the settings now in force.
    void onSettingsChanged();
    // Evaluates a new data set of the UPS.
    void updateState(const UpsState &state);
    // One tick of the countdown; the timer calls it every second while there is work.
    void onTimerTimeout();

private:
    friend class ServiceShutdownPrivate;
    ServiceShutdownPrivate *d;
};
