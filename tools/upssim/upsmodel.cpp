#include "upsmodel.h"

#include "batterypack.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
constexpr int TickMs = 200;

const char *const BitOn[8] = {"mains fail",      "battery-low on", "bypass on",   "ups-fault on",
                              "standby-type on", "selftest on",    "shutdown on", "beeper on"};
const char *const BitOff[8] = {"mains return",  "battery-low off",  "bypass off",
                               "ups-fault off", "standby-type off", "selftest off",
                               "shutdown off",  "beeper off"};

QString number(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals);
}
} // namespace

class UpsModelPrivate
{
public:
    explicit UpsModelPrivate(UpsModel *owner) : q(owner) { }

    UpsModel *q;

    bool mains = true;
    float inputNominal = 230.0f;
    float inputNow = 230.0f;
    float lastGoodInput = 230.0f;
    float hertz = 50.0f;
    int load = 35;
    double loadNow = 35;
    float temperature = 30.5f;
    double capacity = 100.0;
    UpsModel::LowBattery low = UpsModel::LowAuto;
    double lowLevel = 20.0;
    bool bypass = false;
    bool upsFault = false;
    bool standby = true;
    bool beeper = true;
    int faultKind = 1;
    quint16 words[UpsModel::FaultWordCount] = {};

    UpsModel::SelfTest test = UpsModel::NoTest;
    double testLeft = 0;

    bool offPending = false;
    double offDelayLeft = 0;
    int restartMinutes = -1;
    bool outputOn = true;
    bool offByRequest = false;
    bool restartOnMains = false;
    double offElapsed = 0;

    double runtimeFull = 12.0;
    double chargeMinutes = 120.0;

    float ratedOutput = 230.0f;
    int ratedCurrent = 4;
    float ratedBattery = 24.0f;
    float ratedHertz = 50.0f;
    QString company = QStringLiteral("SimPower");
    QString model = QStringLiteral("SIM-1000");
    QString version = QStringLiteral("V1.00");
    QString serial = QStringLiteral("SIM000000000000000001");

    bool packOn = false;
    BatteryPack pack;

    double speed = 1.0;
    bool wander = false;
    QRandomGenerator rng;

    QTimer timer;
    QElapsedTimer clock;

    quint8 lastBits = 0;
    bool lastOutput = true;
    int lastStep = 20;

    bool onBattery() const { return outputOn && (!mains || test != UpsModel::NoTest); }
    double runtimeMinutes() const
    {
        return runtimeFull * 100.0 / std::max(5.0, std::round(loadNow));
    }
    // Watts from the battery: the load's share of the rated volt-amperes at a power factor of
    // 0.8, through an inverter of 90 % efficiency.
    double watts() const
    {
        return std::max(0.0, loadNow) / 100.0 * ratedOutput * ratedCurrent * 0.8 / 0.9;
    }
    bool packLow() const
    {
        return packOn &&
            pack.terminalVoltage(watts(), capacity / 100.0) <
            BatteryPack::CutoffPerCell * pack.cells;
    }
    bool lowBattery() const
    {
        switch (low) {
        case UpsModel::LowForcedOn:
            return true;
        case UpsModel::LowForcedOff:
            return false;
        case UpsModel::LowAuto:
            break;
        }
        return !mains && (capacity <= lowLevel || packLow());
    }
    quint8 bits() const
    {
        quint8 b = 0;
        b |= quint8(!mains) << 0;
        b |= quint8(lowBattery()) << 1;
        b |= quint8(bypass) << 2;
        b |= quint8(upsFault) << 3;
        b |= quint8(standby) << 4;
        b |= quint8(test != UpsModel::NoTest) << 5;
        b |= quint8(offPending || offByRequest) << 6;
        b |= quint8(beeper) << 7;
        return b;
    }

    void endTest(const char *why)
    {
        if (test == UpsModel::NoTest)
            return;
        test = UpsModel::NoTest;
        testLeft = 0;
        emit q->changed(QStringLiteral("selftest end (%1)").arg(QLatin1String(why)));
    }

    // Announces what changed since the last call: status bits, output, battery in 5 % steps.
    void publish()
    {
        const quint8 now = bits();
        for (int bit = 0; bit < 8; ++bit) {
            const bool was = lastBits & (1 << bit);
            const bool is = now & (1 << bit);
            if (was != is)
                emit q->changed(QLatin1String(is ? BitOn[bit] : BitOff[bit]));
        }
        lastBits = now;
        if (lastOutput != outputOn) {
            lastOutput = outputOn;
            emit q->changed(outputOn ? QStringLiteral("output on") : QStringLiteral("output off"));
        }
        // Rounded up, so a draining battery is announced at 95.0, 90.0, ... and a charging one too.
        const int step = int(std::ceil(capacity / 5.0));
        if (step != lastStep) {
            lastStep = step;
            emit q->changed(QStringLiteral("battery %1").arg(number(capacity)));
        }
    }

    void wanderStep(double seconds)
    {
        if (!wander)
            return;
        const double spread = std::min(1.0, seconds);
        loadNow += (rng.generateDouble() - 0.5) * 6.0 * spread;
        loadNow = std::clamp(loadNow, std::max(0.0, load - 15.0), std::min(120.0, load + 15.0));
        inputNow = float(inputNominal + (rng.generateDouble() - 0.5) * 6.0);
    }
};

UpsModel::UpsModel(QObject *parent) : QObject(parent), d(new UpsModelPrivate(this))
{
    d->lastBits = d->bits();
    d->clock.start();
    d->timer.setInterval(TickMs);
    connect(&d->timer, &QTimer::timeout, this, &UpsModel::onTick);
    d->timer.start();
}

UpsModel::~UpsModel() = default;

float UpsModel::inputVoltage() const
{
    return d->mains ? d->inputNow : 0.0f;
}

float UpsModel::inputFaultVoltage() const
{
    return d->mains ? d->inputNow : d->lastGoodInput;
}

float UpsModel::outputVoltage() const
{
    if (!d->outputOn)
        return 0.0f;
    if (d->bypass && d->mains)
        return d->inputNow;
    return d->ratedOutput;
}

int UpsModel::load() const
{
    return d->outputOn ? int(std::lround(d->loadNow)) : 0;
}

float UpsModel::frequency() const
{
    return d->mains ? d->hertz : 0.0f;
}

float UpsModel::batteryVoltage() const
{
    const double share = d->capacity / 100.0;
    if (d->packOn) {
        // Under load on battery the terminals sag; on mains the charger holds them up.
        const double string = d->onBattery() ? d->pack.terminalVoltage(d->watts(), share)
                                             : d->pack.openVoltage(share) + 0.13 * d->pack.cells;
        return float(d->standby ? string : string / d->pack.cells);
    }
    if (d->standby) {
        // 20 V empty and 27.2 V full for every 24 V of rated battery voltage.
        const double k = d->ratedBattery / 24.0;
        return float(k * (20.0 + 7.2 * share));
    }
    // One cell of an on-line unit: 1.667 V empty, 2.267 V full.
    return float(1.667 + 0.6 * share);
}

float UpsModel::temperature() const
{
    return d->temperature;
}

quint8 UpsModel::statusBits() const
{
    return d->bits();
}

double UpsModel::capacity() const
{
    return d->capacity;
}

int UpsModel::remainingSeconds() const
{
    if (d->packOn) {
        const double truth = d->pack.secondsTo(d->lowLevel / 100.0, d->watts(),
                                               d->capacity / 100.0, d->temperature);
        return int(std::min(1e6, truth * d->pack.reportFactor));
    }
    return int(d->capacity / 100.0 * d->runtimeMinutes() * 60.0);
}

float UpsModel::ratedOutputVoltage() const
{
    return d->ratedOutput;
}

int UpsModel::ratedCurrent() const
{
    return d->ratedCurrent;
}

float UpsModel::ratedBatteryVoltage() const
{
    return d->ratedBattery;
}

float UpsModel::ratedFrequency() const
{
    return d->ratedHertz;
}

QString UpsModel::company() const
{
    return d->company;
}

QString UpsModel::model() const
{
    return d->model;
}

QString UpsModel::version() const
{
    return d->version;
}

QString UpsModel::serial() const
{
    return d->serial;
}

int UpsModel::faultKind() const
{
    return d->faultKind;
}

quint16 UpsModel::faultWord(int index) const
{
    return index >= 0 && index < FaultWordCount ? d->words[index] : 0;
}

bool UpsModel::mainsPresent() const
{
    return d->mains;
}

bool UpsModel::outputOn() const
{
    return d->outputOn;
}

UpsModel::SelfTest UpsModel::selfTest() const
{
    return d->test;
}

double UpsModel::selfTestSecondsLeft() const
{
    return d->test == TestUntilLow ? -1.0 : d->testLeft;
}

void UpsModel::setMains(bool present)
{
    onTick(); // the time until now passes under the old state
    if (d->mains == present)
        return;
    if (!present) {
        d->lastGoodInput = d->inputNow;
        d->mains = false;
        d->endTest("mains failed");
    } else {
        d->mains = true;
    }
    advance(0);
}

void UpsModel::setCapacity(double percent)
{
    onTick(); // the time until now passes under the old state
    d->capacity = std::clamp(percent, 0.0, 100.0);
    d->lastStep = -1; // always announce a value that was set
    advance(0);
}

void UpsModel::setLowBattery(LowBattery mode)
{
    d->low = mode;
    advance(0);
}

void UpsModel::setLowLevel(double percent)
{
    d->lowLevel = std::clamp(percent, 0.0, 100.0);
    advance(0);
}

void UpsModel::setBypass(bool on)
{
    d->bypass = on;
    advance(0);
}

void UpsModel::setUpsFault(bool on)
{
    d->upsFault = on;
    advance(0);
}

void UpsModel::setStandbyType(bool on)
{
    d->standby = on;
    advance(0);
}

void UpsModel::setBeeper(bool on)
{
    d->beeper = on;
    advance(0);
}

void UpsModel::setLoad(int percent)
{
    onTick(); // the time until now passes under the old state
    d->load = std::clamp(percent, 0, 999);
    d->loadNow = d->load;
    emit changed(QStringLiteral("load %1").arg(d->load));
}

void UpsModel::setInputVoltage(float volts)
{
    d->inputNominal = std::clamp(volts, 0.0f, 999.9f);
    d->inputNow = d->inputNominal;
    emit changed(QStringLiteral("input %1").arg(number(d->inputNominal)));
}

void UpsModel::setFrequency(float hertz)
{
    d->hertz = std::clamp(hertz, 0.0f, 99.9f);
    emit changed(QStringLiteral("frequency %1").arg(number(d->hertz)));
}

void UpsModel::setTemperature(float celsius)
{
    d->temperature = std::clamp(celsius, 0.0f, 99.9f);
    emit changed(QStringLiteral("temperature %1").arg(number(d->temperature)));
}

void UpsModel::setFaultKind(int kind)
{
    d->faultKind = std::clamp(kind, 0, 99);
    emit changed(QStringLiteral("faultkind %1").arg(d->faultKind));
}

void UpsModel::setFaultWord(int index, quint16 word)
{
    if (index < 0 || index >= FaultWordCount || d->words[index] == word)
        return;
    d->words[index] = word;
    emit changed(QStringLiteral("faultword %1 %2").arg(index).arg(word, 4, 16, QLatin1Char('0')));
}

void UpsModel::setFaultBit(int index, int bit, bool on)
{
    if (index < 0 || index >= FaultWordCount || bit < 0 || bit > 15)
        return;
    const quint16 mask = quint16(1u << bit);
    setFaultWord(index, on ? quint16(d->words[index] | mask) : quint16(d->words[index] & ~mask));
}

void UpsModel::clearFaults()
{
    for (int i = 0; i < FaultWordCount; ++i)
        setFaultWord(i, 0);
}

void UpsModel::setRuntime(double minutesAtFullLoad)
{
    onTick(); // the time until now passes under the old state
    d->runtimeFull = std::max(0.01, minutesAtFullLoad);
}

void UpsModel::setChargeTime(double minutesFromEmpty)
{
    onTick(); // the time until now passes under the old state
    d->chargeMinutes = std::max(0.01, minutesFromEmpty);
}

void UpsModel::setRatings(float outputVolts, int current, float batteryVolts, float hertz)
{
    d->ratedOutput = outputVolts;
    d->ratedCurrent = current;
    d->ratedBattery = batteryVolts;
    d->ratedHertz = hertz;
    d->pack.cells = std::max(1, int(std::lround(batteryVolts / 2.0f)));
    emit changed(QStringLiteral("ratings %1 %2 %3 %4")
                     .arg(number(outputVolts))
                     .arg(current)
                     .arg(number(batteryVolts))
                     .arg(number(hertz)));
}

void UpsModel::setIdentity(const QString &what, const QString &text)
{
    if (what == QLatin1String("company"))
        d->company = text;
    else if (what == QLatin1String("model"))
        d->model = text;
    else if (what == QLatin1String("version"))
        d->version = text;
    else if (what == QLatin1String("serial"))
        d->serial = text;
    else
        return;
    emit changed(QStringLiteral("%1 %2").arg(what, text));
}

void UpsModel::setSpeed(double factor)
{
    onTick(); // the time until now passes under the old state
    d->speed = std::clamp(factor, 0.0, 10000.0);
}

double UpsModel::speed() const
{
    return d->speed;
}

void UpsModel::setWander(bool on, quint32 seed)
{
    d->wander = on;
    d->rng.seed(seed);
    if (!on) {
        d->loadNow = d->load;
        d->inputNow = d->inputNominal;
    }
}

bool UpsModel::setPack(const QStringList &words, QString *why)
{
    onTick(); // the time until now passes under the old state
    const QString first = words.value(0).toLower();
    if (first == QLatin1String("off") || first == QLatin1String("on")) {
        d->packOn = first == QLatin1String("on");
    } else {
        if (!d->pack.configure(words, why))
            return false;
        d->packOn = true;
    }
    d->pack.cells = std::max(1, int(std::lround(d->ratedBattery / 2.0f)));
    emit changed(d->packOn ? QStringLiteral("pack ") + d->pack.describe()
                           : QStringLiteral("pack off"));
    advance(0);
    return true;
}

bool UpsModel::packOn() const
{
    return d->packOn;
}

const BatteryPack &UpsModel::pack() const
{
    return d->pack;
}

double UpsModel::batteryWatts() const
{
    return d->watts();
}

bool UpsModel::startSelfTest(SelfTest kind, int minutes, QString *why)
{
    onTick(); // the time until now passes under the old state
    QString reason;
    if (d->test != NoTest)
        reason = QStringLiteral("self-test already running");
    else if (!d->mains)
        reason = QStringLiteral("on battery");
    else if (!d->outputOn || d->offPending)
        reason = QStringLiteral("output off or going off");
    else if (d->capacity <= d->lowLevel)
        reason = QStringLiteral("battery too low");
    else if (kind == TestMinutes && (minutes < 1 || minutes > 99))
        reason = QStringLiteral("test length out of range");
    else if (kind == NoTest)
        reason = QStringLiteral("no test kind");
    if (!reason.isEmpty()) {
        if (why)
            *why = reason;
        return false;
    }
    d->test = kind;
    d->testLeft = kind == Test10Seconds ? 10.0 : kind == TestMinutes ? minutes * 60.0 : -1.0;
    static const char *const names[] = {"", "10s", "until-low", "minutes"};
    emit changed(QStringLiteral("selftest start %1%2")
                     .arg(QLatin1String(names[kind]))
                     .arg(kind == TestMinutes ? QStringLiteral(" %1").arg(minutes) : QString()));
    advance(0);
    return true;
}

bool UpsModel::cancelSelfTest(QString *why)
{
    onTick(); // the time until now passes under the old state
    if (d->test == NoTest) {
        if (why)
            *why = QStringLiteral("no self-test running");
        return false;
    }
    d->endTest("cancelled");
    advance(0);
    return true;
}

bool UpsModel::setSelfTestSecondsLeft(double seconds, QString *why)
{
    onTick(); // the time until now passes under the old state
    if (d->test != Test10Seconds && d->test != TestMinutes) {
        if (why)
            *why = QStringLiteral("no timed self-test running");
        return false;
    }
    d->testLeft = std::max(0.0, seconds);
    emit changed(QStringLiteral("selftest left %1").arg(number(d->testLeft)));
    advance(0);
    return true;
}

void UpsModel::finishSelfTest()
{
    onTick(); // the time until now passes under the old state
    d->endTest("finished");
    advance(0);
}

void UpsModel::toggleBeeper()
{
    setBeeper(!d->beeper);
}

bool UpsModel::scheduleOutputOff(double delaySeconds, int restartMinutes, QString *why)
{
    onTick(); // the time until now passes under the old state
    if (!d->outputOn && !d->offPending) {
        if (why)
            *why = QStringLiteral("output already off");
        return false;
    }
    d->offPending = true;
    d->offDelayLeft = std::max(0.0, delaySeconds);
    d->restartMinutes = restartMinutes;
    emit changed(QStringLiteral("output-off scheduled in %1 s, restart %2")
                     .arg(number(delaySeconds))
                     .arg(restartMinutes < 0 ? QStringLiteral("when mains returns")
                                             : QStringLiteral("after %1 min").arg(restartMinutes)));
    advance(0);
    return true;
}

void UpsModel::cancelOutputOff()
{
    onTick(); // the time until now passes under the old state
    d->offPending = false;
    if (!d->outputOn && (d->mains || d->capacity > 0))
        restartOutput();
    advance(0);
}

void UpsModel::restartOutput()
{
    onTick();
    d->offPending = false;
    d->offByRequest = false;
    d->restartOnMains = false;
    d->outputOn = d->mains || d->capacity > 0;
    advance(0);
}

void UpsModel::advance(double seconds)
{
    if (seconds > 0) {
        d->wanderStep(seconds);
        if (d->mains)
            d->lastGoodInput = d->inputNow;

        if ((d->test == Test10Seconds || d->test == TestMinutes) && (d->testLeft -= seconds) <= 0)
            d->endTest("done");

        if (d->packOn)
            d->pack.years += seconds / (365.25 * 86400.0);
        if (d->onBattery() && d->packOn) {
            // Small steps: the drain grows as the voltage falls.
            const double before = d->capacity;
            for (double left = seconds; left > 0 && d->capacity > 0; left -= 2.0)
                d->capacity -= std::min(2.0, left) * 100.0 *
                    d->pack.drainPerSecond(d->watts(), d->capacity / 100.0, d->temperature);
            d->pack.wear((before - std::max(0.0, d->capacity)) / 100.0);
        } else if (d->onBattery()) {
            d->capacity -= seconds / 60.0 * 100.0 / d->runtimeMinutes();
        }
        if (d->onBattery()) {
            if (d->capacity <= 0) {
                d->capacity = 0;
                d->outputOn = false;
                d->offPending = false;
                d->restartOnMains = true;
                d->endTest("battery exhausted");
                emit changed(QStringLiteral("battery exhausted"));
            }
        } else if (d->mains) {
            d->capacity = std::min(100.0, d->capacity + seconds / 60.0 * 100.0 / d->chargeMinutes);
        }
        if (d->test == TestUntilLow && (d->capacity <= d->lowLevel || d->packLow()))
            d->endTest("battery low");

        if (d->offPending) {
            if ((d->offDelayLeft -= seconds) <= 0) {
                d->offPending = false;
                d->outputOn = false;
                d->offByRequest = true;
                d->offElapsed = 0;
                d->restartOnMains = !d->mains && d->restartMinutes < 0;
                d->endTest("output off");
            }
        } else if (!d->outputOn) {
            d->offElapsed += seconds;
        }
    }
    if (!d->outputOn && d->mains && !d->offPending) {
        const bool timed =
            d->offByRequest && d->restartMinutes >= 0 && d->offElapsed >= d->restartMinutes * 60.0;
        if (d->restartOnMains || timed) {
            d->outputOn = true;
            d->offByRequest = false;
            d->restartOnMains = false;
        }
    }
    d->publish();
}

void UpsModel::onTick()
{
    const double seconds = d->clock.restart() / 1000.0 * d->speed;
    advance(seconds);
}

QString UpsModel::describe() const
{
    static const char *const tests[] = {"none", "10s", "until-low", "minutes"};
    static const char *const lows[] = {"auto", "on", "off"};
    QString status;
    const quint8 bits = statusBits();
    for (int bit = 0; bit < 8; ++bit)
        status += QLatin1Char(bits & (1 << bit) ? '1' : '0');
    QStringList words;
    for (const quint16 w : d->words)
        words << QStringLiteral("%1").arg(w, 4, 16, QLatin1Char('0')).toUpper();
    QStringList parts;
    parts << QStringLiteral("mains=%1").arg(d->mains ? 1 : 0)
          << QStringLiteral("status=%1").arg(status)
          << QStringLiteral("input=%1").arg(number(inputVoltage()))
          << QStringLiteral("output=%1").arg(number(outputVoltage()))
          << QStringLiteral("load=%1").arg(load())
          << QStringLiteral("frequency=%1").arg(number(frequency()))
          << QStringLiteral("battvolt=%1").arg(number(batteryVoltage(), 2))
          << QStringLiteral("capacity=%1").arg(number(d->capacity))
          << QStringLiteral("remaining=%1").arg(remainingSeconds())
          << QStringLiteral("temperature=%1").arg(number(d->temperature))
          << QStringLiteral("lowbatt=%1").arg(QLatin1String(lows[d->low]))
          << QStringLiteral("lowlevel=%1").arg(number(d->lowLevel))
          << QStringLiteral("selftest=%1").arg(QLatin1String(tests[d->test]))
          << QStringLiteral("testleft=%1").arg(number(selfTestSecondsLeft()))
          << QStringLiteral("outputon=%1").arg(d->outputOn ? 1 : 0)
          << QStringLiteral("offpending=%1")
                 .arg(d->offPending ? number(d->offDelayLeft) : QStringLiteral("no"))
          << QStringLiteral("restart=%1").arg(d->restartMinutes)
          << QStringLiteral("faultkind=%1").arg(d->faultKind)
          << QStringLiteral("faultwords=%1").arg(words.join(QLatin1Char(',')))
          << QStringLiteral("speed=%1").arg(d->speed)
          << QStringLiteral("runtime=%1").arg(d->runtimeFull)
          << QStringLiteral("charge=%1").arg(d->chargeMinutes)
          << QStringLiteral("pack=%1").arg(d->packOn ? QStringLiteral("on") : QStringLiteral("off"));
    if (d->packOn)
        parts << d->pack.describe();
    return parts.join(QLatin1Char(' '));
}
