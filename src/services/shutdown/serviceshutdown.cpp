#include "serviceshutdown.h"

#include "devcomm.h"
#include "commandfilerun.h"
#include "filesaver.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"
#include "protectiondecision.h"
#include "settings.h"
#include "supplycount.h"
#include "upsstate.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QTimer>

#include <climits>
#include <optional>

namespace {

constexpr int shortCountdown = Protection::shortSeconds;

// Minutes to seconds without overflowing on a hand-edited setting.
int secondsOf(int minutes)
{
    return qBound(0, minutes, INT_MAX / 60) * 60;
}

// The reason of a decision as the start of a log sentence.
QString sentence(const QString &reason)
{
    return reason.isEmpty() ? reason : reason.at(0).toUpper() + reason.mid(1);
}

const char *describe(platform::PowerOffResult result)
{
    switch (result) {
    case platform::PowerOffResult::Requested:
        return "requested";
    case platform::PowerOffResult::Refused:
        return "refused by the system";
    case platform::PowerOffResult::Unavailable:
        return "no way to ask the system";
    case platform::PowerOffResult::Failed:
        break;
    }
    return "failed";
}

} // namespace

class ServiceShutdownPrivate
{
public:
    explicit ServiceShutdownPrivate(ServiceShutdown *owner) : q(owner), timer(owner)
    {
    }

    bool flag(int type) const { return settings->flag(type); }
    int number(int type) const { return settings->number(type); }
    void followEnd()
    {
        if (q->endDoesNothing() == endDoesNothing)
            return;
        endDoesNothing = !endDoesNothing;
        emit q->endDoesNothingChanged();
    }
    void cancel();
    void startCountdown(int seconds);
    void shorten(int seconds, const QString &cause);
    void setCountdown(int seconds);
    void setAlerting(bool on);
    // A power-off that was asked and refused commits nothing: the computer is still up, and
    // the return of the mains ends the shutdown.
    bool isCommitted() const { return fsdRaised || upsOffAsked || forcedEnd; }
    void updateCommitted();
    void followUpsOff(const UpsState &state);
    void evaluate();
    // The settings the decision reads, kept from one change of the shutdown settings to the
    // next: evaluate() runs with every reading of the UPS, and a read by key costs more than
    // the decision itself.
    struct DecisionSettings
    {
        int mainFaultMinutes = 0;
        int battLowMinutes = 0;
        int minRuntimeMinutes = 0;
        int mainFaultCap = 0;
    };
    const DecisionSettings &decisionSettings();
    std::optional<DecisionSettings> decisionRead;
    void tellLost(const QStringList &lost);
    bool holdForFinalStep();
    void dropCommand();
    void startCommand();
    void shutDownSystem();
    void powerOffAnswered(platform::PowerOffResult result, quint64 number);
    void followTimer();

    ServiceShutdown *q;
    Settings *settings = nullptr;
    DevComm *devComm = nullptr;
    SupplyCount *supplies = nullptr;
    std::unique_ptr<SupplyCount> ownSupplies; // this computer's UPS alone, when none were given
    QTimer timer; // runs only while there is something to count
    bool started = false;
    // The shutdown step, log included, repeats every second until the system goes down.
    FileSaver logSaver {QStringLiteral("the shutdown log"), lcServices};

    // The switch as last taken: switching it off calls off what is under way, once.
    bool protectionOn = false;

    Protection::Memory memory; // what the decision has acted on
    QStringList lost; // the supplies lost, as last told
    bool linkLost = false; // this computer's UPS stopped answering
    bool onBatteryReading = false;
    int countdown = 0; // seconds left; 0: none running
    bool startedByUps = false;
    int commandWait = 0; // seconds left to wait for the command file; 0: no wait
    bool commandFinished = false;
    CommandFileRun *run = nullptr;
    int commandLimit = 0; // seconds the running command file is waited for
    // Bumped whenever the running command stops counting; a late end of it is
    // then ignored.
    quint64 commandGeneration = 0;
    bool failureReported = false; // the user has heard that this countdown's power-off failed
    bool forcedEnd = false; // the UPS server's FSD ended the countdown; held until FSD goes
    // What makes the end final (a UPS server's primary does not turn back either): the network
    // clients were told (FSD), or the UPS output-off was asked.
    bool fsdRaised = false;
    bool upsOffAsked = false;
    bool upsOffSeen = false; // the UPS took the output-off (its flag, or the output went off)
    bool powerOffAsked = false;
    bool powerOffPending = false; // the login manager has not answered yet
    quint64 countdownNumber = 0; // bumped by every countdown started or called off
    bool committedShown = false; // as last announced
    bool alerting = false;
    bool endDoesNothing = false; // as last announced
    bool evaluationDue = false; // the supplies changed; judged at the event loop's next turn

    enum class StepState { NotRun, Running, Done };
    ServiceShutdown::FinalStep finalStep;
    int finalStepLimit = 0;
    StepState stepState = StepState::NotRun;
    int stepWait = 0; // seconds left for the step to end
    quint64 stepGeneration = 0; // a step of a cancelled countdown no longer counts
};

// Stops whatever is under way: countdown, command wait, and a UPS shutdown this service asked
// for (none other: a shutdown the UPS's primary or the user scheduled is theirs to cancel).
void ServiceShutdownPrivate::cancel()
{
    ++countdownNumber;
    setCountdown(0);
    failureReported = false;
    startedByUps = false;
    stepState = StepState::NotRun;
    ++stepGeneration;
    dropCommand();
    if (upsOffAsked)
        devComm->cancelOutputOff();
    fsdRaised = upsOffAsked = upsOffSeen = powerOffAsked = false;
    setAlerting(false);
    updateCommitted();
    emit q->shutdownStarted(0);
}

const ServiceShutdownPrivate::DecisionSettings &ServiceShutdownPrivate::decisionSettings()
{
    if (!decisionRead) {
        decisionRead = DecisionSettings {number(Settings::ShutdownMainFaultTime),
                                         number(Settings::ShutdownBattLowTime),
                                         number(Settings::ShutdownMinRuntime),
                                         number(Settings::ShutdownMainFaultCap)};
    }
    return *decisionRead;
}

// Hands what is seen now to the protection decision and carries out what it decides.
void ServiceShutdownPrivate::evaluate()
{
    if (!supplies)
        return;
    const DecisionSettings &kept = decisionSettings();
    Protection::Settings settingsNow;
    settingsNow.enabled = protectionOn;
    settingsNow.mainFaultMinutes = kept.mainFaultMinutes;
    settingsNow.battLowMinutes = kept.battLowMinutes;
    settingsNow.minimum = supplies->minimum();
    settingsNow.oneSupply = supplies->localOnly();
    settingsNow.minRuntimeMinutes = kept.minRuntimeMinutes;
    Protection::Countdown where;
    where.seconds = countdown;
    where.startedByUps = startedByUps;
    where.committed = isCommitted();
    const Protection::Decision decision = Protection::decide(
        settingsNow, supplies->supplies(kept.mainFaultCap), where, memory);
    const bool wasForced = memory.forcedTaken;
    memory = decision.memory;
    tellLost(decision.lost);
    if (wasForced && !memory.forcedTaken && forcedEnd) {
        forcedEnd = false;
        updateCommitted();
    }
    switch (decision.action) {
    case Protection::Action::None:
        break;
    case Protection::Action::Start:
        qCInfo(lcServices).noquote()
            << QStringLiteral("Shutdown countdown started: %1 seconds (%2)")
                   .arg(decision.seconds)
                   .arg(decision.reason);
        startedByUps = true;
        if (!supplies->localOnly())
            emit q->countdownReason(ServiceShutdown::tr("Supplies lost: %1.")
                                        .arg(decision.lost.join(QStringLiteral(", "))));
        startCountdown(decision.seconds);
        break;
    case Protection::Action::Shorten:
        shorten(decision.seconds, decision.reason);
        break;
    case Protection::Action::Cancel:
        startedByUps = false;
        qCInfo(lcServices).noquote() << sentence(decision.reason) + QStringLiteral("; shutdown cancelled");
        cancel();
        break;
    case Protection::Action::Hold:
        // The other computers are on their way down, or the UPS will switch its output off:
        // only the UPS power cycle brings them back, so it goes on.
        startedByUps = false;
        qCWarning(lcServices).noquote()
            << sentence(decision.reason) +
                QStringLiteral("; the shutdown goes on, as the network clients were told (FSD) "
                               "or the UPS switch-off was asked");
        break;
    case Protection::Action::ForcedEnd:
        // The server's primary switches the UPS off now: the countdown ends as if its time had
        // run out, and the return of the mains no longer stops it. The UPS is the primary's to
        // switch off; a secondary sends it nothing.
        forcedEnd = true;
        qCWarning(lcServices) << "The UPS server declared a forced shutdown (FSD); shutting "
                                 "down now";
        startedByUps = false;
        if (countdown == 0)
            startCountdown(1);
        else if (countdown > 1)
            shorten(1, QStringLiteral("FSD"));
        updateCommitted();
        break;
    }
}

// Each supply that can no longer feed, or can again, is told once; this computer's own UPS
// alone keeps the countdown's words for it.
void ServiceShutdownPrivate::tellLost(const QStringList &now)
{
    if (now == lost)
        return;
    if (!supplies->localOnly()) {
        for (const QString &name : now) {
            if (!lost.contains(name))
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Supply %1 can no longer feed this computer").arg(name);
        }
        for (const QString &name : qAsConst(lost)) {
            if (!now.contains(name) && supplies->chosen().contains(name))
                qCInfo(lcServices).noquote()
                    << QStringLiteral("Supply %1 can feed this computer again").arg(name);
        }
    }
    lost = now;
}

void ServiceShutdownPrivate::startCountdown(int seconds)
{
    ++countdownNumber;
    setCountdown(seconds);
    failureReported = false;
    stepState = StepState::NotRun;
    ++stepGeneration;
    setAlerting(true);
    emit q->shutdownStarted(seconds);
}

void ServiceShutdownPrivate::shorten(int seconds, const QString &cause)
{
    qCInfo(lcServices).noquote()
        << QStringLiteral("Shutdown countdown shortened to %1 seconds (%2)").arg(seconds).arg(cause);
    setCountdown(seconds);
    emit q->shutdownShortened(seconds);
}

void ServiceShutdownPrivate::setCountdown(int seconds)
{
    if (seconds == countdown)
        return;
    countdown = seconds;
    followTimer();
    emit q->progressChanged();
}

// The second's step has work only while a countdown runs, the command file is waited for, or
// the power-off repeats once it ended; otherwise nothing wakes for it. A countdown started now
// takes its first second from now.
void ServiceShutdownPrivate::followTimer()
{
    if (started && (countdown != 0 || commandWait != 0 || commandFinished)) {
        if (!timer.isActive())
            timer.start();
    } else {
        timer.stop();
    }
}

void ServiceShutdownPrivate::setAlerting(bool on)
{
    if (on == alerting)
        return;
    alerting = on;
    emit q->progressChanged();
}

void ServiceShutdownPrivate::updateCommitted()
{
    const bool now = isCommitted();
    if (now == committedShown)
        return;
    committedShown = now;
    emit q->progressChanged();
    emit q->committedChanged(now);
}

// The output-off this service asked for is over once the UPS has taken it and then runs its
// output from the mains again: every machine on it has been power-cycled (or the user called
// the output-off off at the UPS). What the UPS's primary does when it comes back up: FSD goes.
void ServiceShutdownPrivate::followUpsOff(const UpsState &state)
{
    if (!upsOffAsked)
        return;
    if (state.shutdownActive || state.outputOff()) {
        upsOffSeen = true;
        return;
    }
    if (!upsOffSeen || state.onBattery || countdown > 0 || commandWait > 0)
        return;
    qCInfo(lcServices) << "The UPS output is back on the mains: the shutdown is over and the "
                          "protection is ready for the next event";
    fsdRaised = upsOffAsked = upsOffSeen = powerOffAsked = false;
    startedByUps = false;
    stepState = StepState::NotRun;
    updateCommitted();
}

// True while the final step keeps the next action of the countdown waiting.
bool ServiceShutdownPrivate::holdForFinalStep()
{
    // The other computers are told only when this one goes down or the UPS output goes off.
    if (!finalStep || stepState == StepState::Done ||
        (!flag(Settings::ShutdownUPSOff) && !flag(Settings::ShutdownOsOff)))
        return false;
    if (stepState == StepState::NotRun) {
        stepState = StepState::Running;
        stepWait = qMax(1, finalStepLimit);
        const quint64 generation = ++stepGeneration;
        const bool told = finalStep([this, generation] {
            if (generation == stepGeneration && stepState == StepState::Running)
                stepState = StepState::Done;
        });
        // Only clients that were told make the end final; with no server, nobody was.
        if (told) {
            qCInfo(lcServices) << "The network clients were told to shut down (FSD); waiting for "
                                  "them before the shutdown goes on";
            fsdRaised = true;
            updateCommitted();
        }
        return stepState == StepState::Running;
    }
    if (--stepWait > 0)
        return true;
    qCWarning(lcServices) << "The final step has not ended in time; the shutdown goes on";
    stepState = StepState::Done;
    return false;
}

// The running command file no longer counts; it is left to end on its own.
void ServiceShutdownPrivate::dropCommand()
{
    ++commandGeneration;
    commandWait = 0;
    commandFinished = false;
    followTimer();
    if (!run)
        return;
    CommandFileRun *old = run;
    run = nullptr;
    old->setParent(nullptr);
    QObject::connect(old, &CommandFileRun::ended, old, &QObject::deleteLater);
    if (!old->isRunning())
        old->deleteLater();
}

void ServiceShutdownPrivate::startCommand()
{
    dropCommand();
    // A wait of 0 minutes means not waiting at all, rather than waiting forever.
    commandWait = commandLimit = qMax(1, secondsOf(number(Settings::ShutdownExecTime)));
    followTimer();
    run = new CommandFileRun(settings->text(Settings::ShutdownExecFile), q);
    const quint64 generation = commandGeneration;
    QObject::connect(run, &CommandFileRun::ended, q, [this, generation] {
        if (generation == commandGeneration) {
            commandFinished = true;
            followTimer();
        }
    });
    run->start();
}

void ServiceShutdownPrivate::shutDownSystem()
{
    powerOffAsked = true;
    // One question at a time: a login manager that does not answer is not asked again at every
    // tick until it has (or its call has timed out).
    if (powerOffPending)
        return;
    qCInfo(lcServices) << "Shutting the computer down";
    q->writeShutdownLog();
    // A UPS server's primary waits for this computer until it leaves.
    devComm->leave();
    powerOffPending = true;
    const QPointer<ServiceShutdown> self(q);
    const quint64 number = countdownNumber;
    platform::powerOff([self, number](platform::PowerOffResult result) {
        if (self)
            self->d->powerOffAnswered(result, number);
    });
}

// The login manager's answer, on this thread's event loop; the countdown went on meanwhile.
void ServiceShutdownPrivate::powerOffAnswered(platform::PowerOffResult result, quint64 number)
{
    powerOffPending = false;
    if (result == platform::PowerOffResult::Requested)
        return;
    qCWarning(lcServices) << "The computer was not shut down: power-off" << describe(result);
    // The user hears of it once per countdown, and not for one called off meanwhile.
    if (failureReported || number != countdownNumber || !powerOffAsked)
        return;
    failureReported = true;
    QString why;
    switch (result) {
    case platform::PowerOffResult::Refused:
        why = ServiceShutdown::tr("the system refused to power it off");
        break;
    case platform::PowerOffResult::Unavailable:
        why = ServiceShutdown::tr("the system offers no way to power it off");
        break;
    default:
        why = ServiceShutdown::tr("the power-off request failed");
        break;
    }
    emit q->shutdownFailed(
        ServiceShutdown::tr("The computer could not be shut down: %1. Save your work and shut "
                            "it down by hand.")
            .arg(why));
}

ServiceShutdown::ServiceShutdown(Settings *settings, DevComm *devComm, QObject *parent)
    : QObject(parent), d(new ServiceShutdownPrivate(this))
{
    d->timer.setInterval(1000);
    d->timer.setObjectName(QStringLiteral("countdownTimer"));
    d->settings = settings;
    d->devComm = devComm;
    connect(&d->timer, &QTimer::timeout, this, &ServiceShutdown::onTimerTimeout);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key.startsWith(QLatin1String("shutdown/")))
            onSettingsChanged();
    });
}

ServiceShutdown::~ServiceShutdown()
{
    // The program ends (a signal, the session's end) while the command file runs: it must not
    // go with this object, which would kill it.
    if (d->run && d->run->isRunning())
        qCWarning(lcServices) << "The program ends while the command file runs; it is left to end"
                                 " on its own";
    d->dropCommand();
    delete d;
}

void ServiceShutdown::start()
{
    d->decisionRead.reset();
    d->protectionOn = d->flag(Settings::ShutdownEnable);
    d->followEnd();
    if (!d->supplies) {
        d->ownSupplies = std::make_unique<SupplyCount>(d->settings);
        d->ownSupplies->start();
        setSupplies(d->ownSupplies.get());
    }
    d->started = true;
    d->followTimer();
}

void ServiceShutdown::setFinalStep(const FinalStep &step, int timeLimitSeconds)
{
    d->finalStep = step;
    d->finalStepLimit = timeLimitSeconds;
}

void ServiceShutdown::onSettingsChanged()
{
    d->decisionRead.reset();
    const bool wasEnabled = d->protectionOn;
    d->protectionOn = d->flag(Settings::ShutdownEnable);
    d->followEnd();
    // Switched off (on a page, by an import or a restore): no countdown may be left running
    // that the return of the mains could no longer cancel.
    if (wasEnabled && !d->protectionOn) {
        qCInfo(lcServices) << "Shutdown protection switched off";
        d->memory = Protection::Memory();
        d->cancel();
    }
    // Switched on while the UPS is already on battery and low, or too few supplies can feed:
    // the countdown starts now.
    d->evaluate();
}

void ServiceShutdown::setSupplies(SupplyCount *supplies)
{
    d->supplies = supplies;
    // Once per turn of the event loop: a server that goes down takes all its UPSes in one turn,
    // and they are judged together, not one at a time.
    connect(supplies, &SupplyCount::changed, this, [this] {
        if (d->evaluationDue)
            return;
        d->evaluationDue = true;
        QTimer::singleShot(0, this, [this] {
            d->evaluationDue = false;
            d->evaluate();
        });
    });
}

void ServiceShutdown::updateState(const UpsState &state)
{
    if (d->supplies)
        d->supplies->updateLocal(state);
    if (!state.online()) {
        // A lost link empties the data set; that says nothing about the mains. The decision
        // counts the UPS as spent when it was last seen on battery.
        if (!d->linkLost && d->countdown > 0)
            qCWarning(lcServices) << "The UPS no longer answers; the shutdown countdown goes on";
        d->linkLost = true;
        d->evaluate();
        return;
    }
    d->linkLost = false;
    // The warning of a countdown is over once the mains is back, whatever the countdown does.
    if (d->onBatteryReading && !state.onBattery)
        d->setAlerting(false);
    d->onBatteryReading = state.onBattery;
    if (d->protectionOn)
        d->followUpsOff(state);
    d->evaluate();
}

void ServiceShutdown::onTimerTimeout()
{
    bool finish = false;
    // The UPS output-off goes out at ten and again at two seconds left.
    const bool upsOffDue =
        d->flag(Settings::ShutdownUPSOff) && (d->countdown == 10 || d->countdown == 2);
    if (d->countdown != 0 && (upsOffDue || d->countdown == 1) && d->holdForFinalStep())
        return;
    if (d->countdown != 0) {
        if (upsOffDue) {
            // Off, then on again with the mains, so whatever went down on the UPS comes back.
            d->devComm->powerCycle(d->number(Settings::ShutdownUPSOffTime));
            d->upsOffAsked = true;
            d->updateCommitted();
        }
        d->setCountdown(d->countdown - 1);
        if (d->countdown > 0) {
            emit shutdownTimeChanged(d->countdown);
        } else {
            if (d->flag(Settings::ShutdownExec))
                d->startCommand();
            else
                finish = true;
            d->setAlerting(false);
            emit shutdownTimeChanged(0);
        }
    }
    if (d->commandWait != 0 && --d->commandWait == 0) {
        if (!d->commandFinished)
            qCWarning(lcServices).noquote()
                << QStringLiteral("The command file has not ended in time (%1 s); going on "
                                  "without it, it is left to end on its own")
                       .arg(d->commandLimit);
        finish = true;
        d->followTimer();
    }

    if (!finish && !d->commandFinished)
        return;
    if (d->flag(Settings::ShutdownOsOff)) {
        d->shutDownSystem();
    } else {
        // The sequence ends here: neither the rest of the wait nor a command ending later may
        // power off once the switch is turned on.
        qCInfo(lcServices) << "Shutdown countdown over; the computer stays on";
        d->dropCommand();
    }
}

void ServiceShutdown::startShutdown(int minutes)
{
    if (d->countdown > 0)
        return;
    const int seconds = minutes > 0 ? secondsOf(minutes) : shortCountdown;
    qCInfo(lcServices) << "Scheduled shutdown countdown started:" << seconds << "seconds";
    d->startCountdown(seconds);
}

int ServiceShutdown::countdown() const
{
    return d->countdown;
}

bool ServiceShutdown::committed() const
{
    return d->isCommitted();
}

bool ServiceShutdown::cancellable() const
{
    return d->countdown > 0 && !d->isCommitted();
}

bool ServiceShutdown::alerting() const
{
    return d->alerting;
}

bool ServiceShutdown::endDoesNothing() const
{
    return d->protectionOn && !d->flag(Settings::ShutdownOsOff) &&
        !d->flag(Settings::ShutdownExec) && !d->flag(Settings::ShutdownUPSOff);
}

bool ServiceShutdown::cancelCountdown(const QString &where)
{
    const QString user = QString::fromStdWString(platform::userName());
    if (d->countdown == 0 && !d->isCommitted())
        return false;
    if (d->isCommitted()) {
        qCWarning(lcServices).noquote()
            << "Cancelling the shutdown from" << where << "by" << user
            << "refused: the network clients were told (FSD) or the power-off was asked";
        emit cancelRefused(tr("The shutdown can no longer be cancelled: the other computers on "
                              "the UPS have been told to shut down, or the power-off has been "
                              "asked for."));
        return false;
    }
    qCInfo(lcServices).noquote() << "Shutdown countdown cancelled by" << user << "from" << where
                                 << "with" << d->countdown
                                 << "seconds left; the protection stays on for the next event";
    d->cancel();
    emit countdownCancelled(user + QStringLiteral(", ") + where);
    return true;
}

void ServiceShutdown::writeShutdownLog()
{
    const platform::WindowList windows = platform::openWindows();
    QJsonObject classes;
    for (const auto &entry : windows) {
        QJsonArray titles;
        for (const std::wstring &title : entry.second)
            titles.append(QString::fromStdWString(title));
        classes.insert(QString::fromStdWString(entry.first), titles);
    }
    // Written aside and renamed, so a power cut or a full disk never leaves half a log.
    d->logSaver.save(Paths::file(QStringLiteral("/data/shutdown.log")),
                     QJsonDocument(classes).toJson(QJsonDocument::Indented));
}
