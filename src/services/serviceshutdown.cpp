#include "serviceshutdown.h"

#include "devcomm.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"
#include "settings.h"
#include "shutdowntask.h"
#include "upsdata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <climits>

namespace {

constexpr quint8 statusMainsFault = 0x01;
constexpr quint8 statusBattLow = 0x02;
constexpr int shortCountdown = 10; // seconds, when no minutes are given or the battery is spent

// Minutes to seconds without overflowing on a hand-edited setting.
int secondsOf(int minutes)
{
    return qBound(0, minutes, INT_MAX / 60) * 60;
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
    explicit ServiceShutdownPrivate(ServiceShutdown *owner) : q(owner), timer(owner) { }

    void loadSettings();
    bool readBool(int type, bool fallback) const;
    int readInt(int type, int fallback) const;
    // A changed value is kept and written through at once.
    template<typename T> bool update(T &field, const T &value, int type)
    {
        if (field == value)
            return false;
        field = value;
        settings->setSettings(type, QVariant::fromValue(value));
        return true;
    }

    void cancel();
    void dropCommand();
    void startCommand();
    void shutDownSystem();

    ServiceShutdown *q;
    Settings *settings = nullptr;
    DevComm *devComm = nullptr;
    QTimer timer;

    bool queltaOffEnable = false;
    int mainFaultOffTime = 0;
    int battLowOffTime = 0;
    int mainFaultOffCap = 1;
    int shutdownMode = 0;
    bool autoSaveEnable = false;
    bool upsOffEnable = false;
    int upsOffTime = 1;
    bool execEnable = false;
    int execTime = 1;
    QString execFile;
    bool osOffEnable = false;

    bool mainsFault = false; // the UPS flags as last taken over
    bool linkLost = false; // the UPS stopped answering; its flags are unknown, not cleared
    bool battLow = false;
    int countdown = 0; // seconds left; 0: none running
    bool startedByUps = false;
    int commandWait = 0; // seconds left to wait for the command file; 0: no wait
    bool commandFinished = false;
    ShutDownTask *task = nullptr;
    // Bumped whenever the running command stops counting; a late end of it is
    // then ignored.
    quint64 commandGeneration = 0;
    bool failureReported = false; // the user has heard that this countdown's power-off failed
};

bool ServiceShutdownPrivate::readBool(int type, bool fallback) const
{
    const QVariant value = settings->getSettings(type);
    if (!value.isValid())
        return fallback;
    if (value.type() == QVariant::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    qCWarning(lcServices) << "The setting" << settings->keyName(type)
                          << "is not a yes or no:" << value.toString() << "- using" << fallback;
    return fallback;
}

int ServiceShutdownPrivate::readInt(int type, int fallback) const
{
    const QVariant value = settings->getSettings(type);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const int number = value.toString().trimmed().toInt(&ok);
    if (ok)
        return number;
    qCWarning(lcServices) << "The setting" << settings->keyName(type)
                          << "is not a number:" << value.toString() << "- using" << fallback;
    return fallback;
}

void ServiceShutdownPrivate::loadSettings()
{
    queltaOffEnable = readBool(Settings::ShutdownEnable, false);
    mainFaultOffTime = readInt(Settings::ShutdownMainFaultTime, 0);
    battLowOffTime = readInt(Settings::ShutdownBattLowTime, 0);
    mainFaultOffCap = readInt(Settings::ShutdownMainFaultCap, 1);
    shutdownMode = readInt(Settings::ShutdownMode, 0);
    autoSaveEnable = readBool(Settings::ShutdownAutoSave, false);
    upsOffEnable = readBool(Settings::ShutdownUPSOff, false);
    upsOffTime = readInt(Settings::ShutdownUPSOffTime, 1);
    execEnable = readBool(Settings::ShutdownExec, false);
    execTime = readInt(Settings::ShutdownExecTime, 1);
    execFile = settings->getSettings(Settings::ShutdownExecFile).toString();
    osOffEnable = readBool(Settings::ShutdownOsOff, false);
}

// Stops whatever is under way: countdown, command wait, the UPS's own shutdown.
void ServiceShutdownPrivate::cancel()
{
    countdown = 0;
    failureReported = false;
    startedByUps = false;
    dropCommand();
    devComm->setShutdown(false, 0);
    emit q->shutdownStarted(0);
}

// The running command file no longer counts; it is left to end on its own.
void ServiceShutdownPrivate::dropCommand()
{
    ++commandGeneration;
    commandWait = 0;
    commandFinished = false;
    if (!task)
        return;
    ShutDownTask *old = task;
    task = nullptr;
    old->setParent(nullptr);
    QObject::connect(old, &QThread::finished, old, &QObject::deleteLater);
    if (old->isFinished())
        old->deleteLater();
}

void ServiceShutdownPrivate::startCommand()
{
    dropCommand();
    // A wait of 0 minutes means not waiting at all, rather than waiting forever.
    commandWait = qMax(1, secondsOf(execTime));
    task = new ShutDownTask(execFile, q);
    const quint64 generation = commandGeneration;
    QObject::connect(task, &QThread::finished, q, [this, generation] {
        if (generation == commandGeneration)
            commandFinished = true;
    });
    task->start(QThread::InheritPriority);
}

void ServiceShutdownPrivate::shutDownSystem()
{
    qCInfo(lcServices) << "Shutting the computer down";
    q->writeShutdownLog();
    const platform::PowerOffResult result = platform::powerOff();
    if (result == platform::PowerOffResult::Requested)
        return;
    qCWarning(lcServices) << "The computer was not shut down: power-off" << describe(result);
    if (failureReported)
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

ServiceShutdown *ServiceShutdown::instance()
{
    static ServiceShutdown *service = new ServiceShutdown;
    return service;
}

ServiceShutdown::ServiceShutdown() : d(new ServiceShutdownPrivate(this))
{
    d->timer.setInterval(1000);
    d->settings = Settings::instance();
    d->devComm = DevComm::instance();
    d->loadSettings();
    connect(&d->timer, &QTimer::timeout, this, &ServiceShutdown::onTimerTimeout);
    connect(d->devComm, &DevComm::devDataChanged, this, &ServiceShutdown::onDevDataChanged);
    // Comes before the emptied data set of a lost link.
    connect(d->devComm, &DevComm::onlineChanged, this, [this](bool online) {
        if (d->linkLost == !online)
            return;
        d->linkLost = !online;
        if (d->linkLost && d->countdown > 0)
            qCWarning(lcServices) << "The UPS no longer answers; the shutdown countdown goes on";
    });
}

ServiceShutdown::~ServiceShutdown()
{
    delete d;
}

void ServiceShutdown::start()
{
    d->timer.start();
}

void ServiceShutdown::onSettingsChanged()
{
    const bool wasEnabled = d->queltaOffEnable;
    d->loadSettings();
    // An import or restore that switches the service off must not leave a
    // countdown running that the return of the mains could no longer cancel.
    if (wasEnabled && !d->queltaOffEnable) {
        qCInfo(lcServices) << "Shutdown protection switched off by the settings";
        d->mainsFault = false;
        d->battLow = false;
        d->cancel();
    }
}

void ServiceShutdown::onDevDataChanged()
{
    // A lost link empties the data set; that says nothing about the mains.
    if (!d->queltaOffEnable || d->linkLost)
        return;
    const UpsData *data = d->devComm->upsData();
    if (!data)
        return;
    const bool mainsFault = data->status & statusMainsFault;
    const bool battLow = data->status & statusBattLow;
    int delay = 0;
    bool changed = false;
    const char *cause = "(mains failure)"; // whose delay the countdown takes

    if (mainsFault != d->mainsFault && d->mainFaultOffTime > 0) {
        d->mainsFault = mainsFault;
        delay = d->mainFaultOffTime;
        changed = true;
        // The battery-low flag only counts during a failure; start the next one
        // afresh.
        if (!mainsFault)
            d->battLow = false;
    }
    // A low battery during a failure that was taken over, now or earlier, may
    // only bring the end nearer.
    if (mainsFault && d->mainsFault && battLow != d->battLow) {
        d->battLow = battLow;
        if (battLow && (!changed || d->battLowOffTime <= delay)) {
            delay = d->battLowOffTime;
            changed = true;
            cause = "(battery low)";
        }
    }
    if (!changed)
        return;

    if (mainsFault || battLow) {
        const int seconds = delay > 0 ? secondsOf(delay) : shortCountdown;
        if (d->countdown == 0) {
            qCInfo(lcServices) << "Shutdown countdown started:" << seconds << "seconds" << cause;
            d->countdown = seconds;
            d->startedByUps = true;
            d->failureReported = false;
            emit shutdownStarted(seconds);
        } else if (d->countdown > seconds) {
            qCInfo(lcServices) << "Shutdown countdown shortened to" << seconds << "seconds"
                               << cause;
            d->countdown = seconds;
        }
    } else if (d->startedByUps) {
        qCInfo(lcServices) << "Mains restored; shutdown cancelled";
        d->cancel();
    }
}

void ServiceShutdown::onTimerTimeout()
{
    const UpsData *data = d->devComm->upsData();
    if (d->mainsFault && data && !d->linkLost && float(d->mainFaultOffCap) > data->battCapacity &&
        d->countdown > shortCountdown) {
        qCInfo(lcServices) << "Battery capacity" << data->battCapacity << "% is below"
                           << d->mainFaultOffCap << "%; shutting down in" << shortCountdown
                           << "seconds";
        d->countdown = shortCountdown;
    }

    bool finish = false;
    if (d->countdown != 0) {
        if (d->upsOffEnable && (d->countdown == 10 || d->countdown == 2))
            d->devComm->setShutdown(true, d->upsOffTime);
        --d->countdown;
        if (d->countdown > 0) {
            emit shutdownTimeChanged(d->countdown);
        } else {
            if (d->execEnable)
                d->startCommand();
            else
                finish = true;
            emit shutdownTimeChanged(0);
        }
    }
    if (d->commandWait != 0 && --d->commandWait == 0) {
        if (!d->commandFinished)
            qCWarning(lcServices) << "The command file has not ended in time; going on without it";
        finish = true;
    }

    if (!finish && !d->commandFinished)
        return;
    if (d->osOffEnable) {
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
    d->countdown = minutes > 0 ? secondsOf(minutes) : shortCountdown;
    d->failureReported = false;
    qCInfo(lcServices) << "Scheduled shutdown countdown started:" << d->countdown << "seconds";
    emit shutdownStarted(d->countdown);
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
    // Written aside and renamed, so a power cut never leaves half a log.
    QSaveFile file(Paths::file(QStringLiteral("/data/shutdown.log")));
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcServices) << "Cannot write the shutdown log" << file.fileName() << "-"
                              << file.errorString();
        return;
    }
    file.write(QJsonDocument(classes).toJson(QJsonDocument::Indented));
    if (!file.commit())
        qCWarning(lcServices) << "Cannot write the shutdown log" << file.fileName() << "-"
                              << file.errorString();
}

bool ServiceShutdown::queltaOffEnable() const
{
    return d->queltaOffEnable;
}

void ServiceShutdown::setQueltaOffEnable(bool enable)
{
    if (!d->update(d->queltaOffEnable, enable, Settings::ShutdownEnable) || enable)
        return;
    d->mainsFault = false;
    d->battLow = false;
    d->cancel();
}

int ServiceShutdown::mainFaultOffTime() const
{
    return d->mainFaultOffTime;
}

void ServiceShutdown::setMainFaultOffTime(int minutes)
{
    d->update(d->mainFaultOffTime, minutes, Settings::ShutdownMainFaultTime);
}

int ServiceShutdown::battLowOffTime() const
{
    return d->battLowOffTime;
}

void ServiceShutdown::setBattLowOffTime(int minutes)
{
    d->update(d->battLowOffTime, minutes, Settings::ShutdownBattLowTime);
}

int ServiceShutdown::mainFaultOffCap() const
{
    return d->mainFaultOffCap;
}

void ServiceShutdown::setMainFaultOffCap(int percent)
{
    d->update(d->mainFaultOffCap, percent, Settings::ShutdownMainFaultCap);
}

int ServiceShutdown::shutdownMode() const
{
    return d->shutdownMode;
}

void ServiceShutdown::setShutdownMode(int mode)
{
    d->update(d->shutdownMode, mode, Settings::ShutdownMode);
}

bool ServiceShutdown::autoSaveEnable() const
{
    return d->autoSaveEnable;
}

void ServiceShutdown::setAutoSaveEnable(bool enable)
{
    d->update(d->autoSaveEnable, enable, Settings::ShutdownAutoSave);
}

bool ServiceShutdown::upsOffEnable() const
{
    return d->upsOffEnable;
}

void ServiceShutdown::setUpsOffEnable(bool enable)
{
    d->update(d->upsOffEnable, enable, Settings::ShutdownUPSOff);
}

int ServiceShutdown::upsOffTime() const
{
    return d->upsOffTime;
}

void ServiceShutdown::setUpsOffTime(int minutes)
{
    d->update(d->upsOffTime, minutes, Settings::ShutdownUPSOffTime);
}

int ServiceShutdown::execEnable() const
{
    return d->execEnable ? 1 : 0;
}

void ServiceShutdown::setExecEnable(int enable)
{
    // Kept as a yes or no in the file, like its default.
    d->update(d->execEnable, enable != 0, Settings::ShutdownExec);
}

int ServiceShutdown::execTime() const
{
    return d->execTime;
}

void ServiceShutdown::setExecTime(int minutes)
{
    d->update(d->execTime, minutes, Settings::ShutdownExecTime);
}

QString ServiceShutdown::execFile() const
{
    return d->execFile;
}

void ServiceShutdown::setExecFile(const QString &commandLine)
{
    d->update(d->execFile, commandLine, Settings::ShutdownExecFile);
}

bool ServiceShutdown::osOffEnable() const
{
    return d->osOffEnable;
}

void ServiceShutdown::setOsOffEnable(bool enable)
{
    d->update(d->osOffEnable, enable, Settings::ShutdownOsOff);
}
