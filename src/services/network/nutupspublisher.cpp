#include "nutupspublisher.h"

#include "alarm.h"
#include "clock.h"
#include "devcomm.h"
#include "logcategories.h"
#include "selftestrows.h"
#include "upscommands.h"
#include "upslink.h"
#include "upsstate.h"

#include <QLocale>
#include <QTimer>

#include <cmath>

namespace {

const QString timeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");

QByteArray number(float value, int decimals)
{
    return QByteArray::number(double(value), 'f', decimals);
}

// The text slots of the UPS, with whatever cannot go on a reply line left out.
QByteArray text(const QString &value)
{
    QByteArray out = value.trimmed().toUtf8();
    for (char &c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = ' ';
    }
    return out.trimmed();
}


// Every command the link can carry out, whatever the state (clients read the list once), each
// with why it cannot be carried out now, if so. The serial line drops a test request while one
// runs and a cancel while none does; its output-off request brings the output back with the
// mains only on battery, and on mains keeps it off for 9999 minutes.
QVector<NutOfferedCommand> commandsOf(const UpsState &s, int commType)
{
    const bool serial = commType == DevComm::COM;
    const QByteArray testing = UpsCommands::selfTestStartRefusal(s).toLatin1();
    const QByteArray switching = s.shutdownActive ? "the output is already switching off" : "";
    QVector<NutOfferedCommand> c;
    c.append({"beeper.toggle", 0, 0, {}});
    c.append({"load.off", 0, 0, switching});
    c.append({"load.on", 0, 0, s.shutdownActive ? "" : "no output-off is pending"});
    QByteArray returning = switching;
    if (returning.isEmpty() && serial && !s.onBattery)
        returning = "on mains the serial line keeps the output off";
    c.append({"shutdown.return", 0, 0, returning});
    if (serial) {
        QByteArray stayingOff = switching;
        if (stayingOff.isEmpty() && s.onBattery)
            stayingOff = "on battery the output comes back with the mains";
        c.append({"shutdown.stayoff", 0, 0, stayingOff});
    }
    c.append({"shutdown.stop", 0, 0, s.shutdownActive ? "" : "no output-off is pending"});
    // The time in seconds, as NUT's drivers take it; whole minutes (1 to 99) on the line.
    c.append({"test.battery.start", NutUpsPublisher::maxTestSeconds, 600, testing});
    c.append({"test.battery.start.deep", 0, 0, testing});
    c.append({"test.battery.start.quick", 0, 0, testing});
    c.append({"test.battery.stop", 0, 0, UpsCommands::selfTestStopRefusal(s).toLatin1()});
    return c;
}

} // namespace

class NutUpsPublisherPrivate
{
public:
    void publish();
    NutSnapshot make() const;
    bool lostTooLong() const;

    NutUpsPublisher *q = nullptr;
    DevComm *devComm = nullptr;
    QTimer timer;
    bool serving = false;
    bool haveState = false;
    bool online = false;
    qint64 lostSince = -1; // seconds since the epoch; -1 while the link holds
    UpsState last; // the last state read online
    QStringList alarms;
    NutUpsPublisher::LastTest lastTest;
    std::optional<int> learnedRuntime;
    NutSnapshot current;
};

NutUpsPublisher::NutUpsPublisher(DevComm *devComm, QObject *parent)
    : QObject(parent), d(new NutUpsPublisherPrivate)
{
    qRegisterMetaType<NutSnapshot>();
    d->q = this;
    d->devComm = devComm;
    d->timer.setInterval(1000);
    connect(&d->timer, &QTimer::timeout, this, &NutUpsPublisher::onTimerTimeout);
}

NutUpsPublisher::~NutUpsPublisher()
{
    delete d;
}

void NutUpsPublisher::start()
{
    const SelfTestRows::Last last = SelfTestRows::last();
    if (last.start.isValid()) {
        d->lastTest.start = last.start;
        d->lastTest.result.seconds = last.seconds;
        d->lastTest.result.batteryLow = last.batteryLow;
        d->lastTest.result.upsFailed = last.upsFailed;
    }
    d->publish();
}

NutSnapshot NutUpsPublisher::snapshot() const
{
    return d->serving ? d->current : d->make();
}

void NutUpsPublisher::setServing(bool serving)
{
    d->serving = serving;
    d->publish();
}

NutStatusFlags::Flags NutUpsPublisher::statusFlags(const UpsState &s)
{
    using F = NutStatusFlags;
    F::Flags flags = s.onBattery ? F::OnBattery : F::Online;
    if (s.batteryLow)
        flags |= F::BatteryLow;
    if (s.bypass) {
        if (!s.standbyType) {
            flags |= F::Bypass;
        } else if (s.inputVoltage && s.ratedOutputVoltage && *s.ratedOutputVoltage > 0) {
            // A standby type corrects the mains: up when it is low, down when it is high.
            flags |= *s.inputVoltage < *s.ratedOutputVoltage ? F::Boost : F::Trim;
        }
    }
    if (s.selfTest)
        flags |= F::Calibrating;
    if (s.outputOff())
        flags |= F::OutputOff;
    if (s.faulted())
        flags |= F::Alarm;
    return flags;
}

NutSnapshot NutUpsPublisher::build(const UpsState &s, int commType, const QStringList &alarms,
                                const LastTest &lastTest, std::optional<int> learnedRuntime)
{
    NutSnapshot out;
    out.stale = false;
    out.onBattery = s.onBattery;
    out.alarms = alarms;
    // The UPS's fault flag is read before the alarm list takes it: ALARM never goes without
    // its words.
    if (out.alarms.isEmpty() && s.faulted())
        out.alarms << Alarm::alarmText(Alarm::UPSFault, false);
    auto add = [&out](const char *name, const QByteArray &value, bool isText) {
        out.variables.append({name, value, isText});
    };
    auto addNumber = [&](const char *name, const auto &value, int decimals) {
        if (value && std::isfinite(double(*value)))
            add(name, number(float(*value), decimals), false);
    };
    auto addText = [&](const char *upsName, const char *deviceName, const QString &value) {
        const QByteArray t = text(value);
        if (t.isEmpty())
            return;
        add(upsName, t, true);
        add(deviceName, t, true);
    };

    addNumber("battery.charge", s.batteryCharge, 0);
    // The UPS's own backup time where it tells one, else the one learned from its discharges,
    // else none: never a figure made up.
    std::optional<int> runtime = learnedRuntime;
    if (s.runtime && !s.runtimeEstimated)
        runtime = qMax(0, *s.runtime) * 60;
    addNumber("battery.runtime", runtime, 0);
    addNumber("battery.voltage", s.batteryVoltage, 2);
    addNumber("battery.voltage.nominal", s.ratedBatteryVoltage, 1);
    add("device.type", "ups", true);
    add("driver.name", "quelta", true);
    add("driver.version", QUELTA_APP_VERSION, true);
    // The rating reply under the names NUT's driver gives it, and under the output's names too.
    addNumber("input.current.nominal", s.ratedCurrent, 1);
    addNumber("input.frequency", s.inputFrequency, 1);
    addNumber("input.frequency.nominal", s.ratedFrequency, 1);
    addNumber("input.voltage", s.inputVoltage, 1);
    addNumber("input.voltage.fault", s.inputFaultVoltage, 1);
    addNumber("input.voltage.nominal", s.ratedOutputVoltage, 0);
    addNumber("output.current.nominal", s.ratedCurrent, 0);
    addNumber("output.voltage", s.outputVoltage, 1);
    addNumber("output.voltage.nominal", s.ratedOutputVoltage, 1);
    add("ups.beeper.status", s.beeper ? "enabled" : "disabled", true);
    addText("ups.firmware", "device.firmware", s.firmware);
    addNumber("ups.load", s.load, 0);
    addText("ups.mfr", "device.mfr", s.manufacturer);
    addText("ups.model", "device.model", s.model);
    addText("ups.serial", "device.serial", s.serialNumber);
    add("ups.status", NutStatusFlags::join(statusFlags(s)), true);
    addNumber("ups.temperature", s.temperature, 1);
    // NUT's words for the outcome.
    if (s.selfTest)
        add("ups.test.result", "In progress", true);
    else if (!lastTest.start.isValid())
        add("ups.test.result", "No test initiated", true);
    else if (lastTest.result.passed())
        add("ups.test.result", "Done and passed", true);
    else
        add("ups.test.result", lastTest.result.upsFailed ? "Done and error" : "Done and warning",
            true);
    if (lastTest.start.isValid())
        add("ups.test.date", QLocale::c().toString(lastTest.start, timeFormat).toLatin1(), true);
    add("ups.type", s.standbyType ? "offline / line interactive" : "online", true);
    std::sort(out.variables.begin(), out.variables.end(),
              [](const NutVariable &a, const NutVariable &b) { return a.name < b.name; });

    out.commands = commandsOf(s, commType);
    return out;
}

void NutUpsPublisher::setLearnedRuntime(std::optional<int> seconds)
{
    if (d->learnedRuntime == seconds)
        return;
    d->learnedRuntime = seconds;
    if (d->haveState)
        d->publish();
}

void NutUpsPublisher::updateState(const UpsState &state)
{
    d->haveState = true;
    if (state.online()) {
        d->online = true;
        d->lostSince = -1;
        d->last = state;
        d->timer.stop();
    } else if (d->online) {
        d->online = false;
        d->lostSince = Clock::secsSinceEpoch();
        d->timer.start();
        qCInfo(lcNetwork) << "UPS link lost: clients get the last data for" << staleAfterSeconds
                          << "s";
    }
    d->publish();
}

void NutUpsPublisher::setAlarms(const QStringList &englishTexts)
{
    if (englishTexts == d->alarms)
        return;
    d->alarms = englishTexts;
    d->publish();
}

void NutUpsPublisher::selfTestFinished(const SelfTestResult &result)
{
    d->lastTest = {Clock::now().addSecs(-result.seconds), result};
    d->publish();
}

// The exact start, once the recording is stored.
void NutUpsPublisher::selfTestRecorded(const QDateTime &start)
{
    d->lastTest.start = start;
    d->publish();
}

void NutUpsPublisher::runCommand(const QByteArray &command, const QByteArray &parameter)
{
    DevComm *dev = d->devComm;
    if (!d->online) {
        qCWarning(lcNetwork) << "Instant command" << command << "dropped: the UPS link is lost";
        return;
    }
    if (command == "beeper.toggle")
        dev->toggleBeeper();
    else if (command == "load.off" || command == "shutdown.return" || command == "shutdown.stayoff")
        dev->switchOutputOff(0);
    else if (command == "load.on" || command == "shutdown.stop")
        dev->cancelOutputOff();
    else if (command == "test.battery.start.quick")
        dev->setSelfTest(UpsLink::SelfTest10S, 0);
    else if (command == "test.battery.start.deep")
        dev->setSelfTest(UpsLink::SelfTestEOD, 0);
    else if (command == "test.battery.start")
        dev->setSelfTest(UpsLink::SelfTestCustom, (parameter.toInt() + 59) / 60);
    else if (command == "test.battery.stop")
        dev->setSelfTest(UpsLink::SelfTestCancel, 0);
    else
        qCWarning(lcNetwork) << "Instant command" << command << "is not known";
}

// Runs only while the link is lost and the data not yet stale.
void NutUpsPublisher::onTimerTimeout()
{
    const bool stale = d->lostTooLong();
    if (stale)
        d->publish();
    if (d->lostSince < 0 || stale)
        d->timer.stop();
}

// Lost for longer than the last data is served: the data is stale.
bool NutUpsPublisherPrivate::lostTooLong() const
{
    return lostSince >= 0 &&
        Clock::secsSinceEpoch() - lostSince > NutUpsPublisher::staleAfterSeconds;
}

NutSnapshot NutUpsPublisherPrivate::make() const
{
    NutSnapshot next;
    const bool fresh = online || (lostSince >= 0 && !lostTooLong());
    if (fresh) {
        next = NutUpsPublisher::build(last, devComm->commType(), alarms, lastTest,
                                      learnedRuntime);
        if (!online) {
            for (NutOfferedCommand &c : next.commands)
                c.refusal = "the UPS link is lost"; // nothing reaches the UPS now
        }
    } else {
        next.stale = true;
    }
    return next;
}

void NutUpsPublisherPrivate::publish()
{
    if (!serving)
        return;
    const NutSnapshot next = make();
    if (next == current)
        return;
    if (next.stale && !current.stale && lostSince >= 0) {
        qCWarning(lcNetwork) << "UPS link lost for more than" << NutUpsPublisher::staleAfterSeconds
                             << "s: network clients get DATA-STALE";
    }
    current = next;
    emit q->snapshotChanged(current);
}
