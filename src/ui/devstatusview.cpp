#include "devstatusview.h"

#include "devcomm.h"
#include "serviceshutdown.h"
#include "upscondition.h"
#include "upsdirectory.h"
#include "upsstate.h"
#include "watchedups.h"

#include <cmath>
#include <optional>

namespace {
const QString noValue = QStringLiteral("--");

int flag(bool online, bool set)
{
    if (!online)
        return DevStatusView::FlagUnknown;
    return set ? DevStatusView::FlagActive : DevStatusView::FlagNormal;
}
} // namespace

class DevStatusViewPrivate
{
public:
    QPointer<DevComm> source;
    QMetaObject::Connection connection;
    QMetaObject::Connection outputOffConnection;
    QMetaObject::Connection busyConnection;
    QPointer<WatchedUps> watched;
    QMetaObject::Connection watchedConnection;
    QString name;
    QPointer<ServiceShutdown> shutdown;
    QMetaObject::Connection shutdownConnection;
    UpsState state;
    QPointer<UpsDirectory> directory;
    QMetaObject::Connection directoryConnection;
    UpsEntry::Learned learned;
    QString knownModel;
    int shutdownSeconds = 0;

    bool online() const { return state.online(); }
    template<typename T> QString text(const std::optional<T> &value, int decimals) const
    {
        if (!online() || !value || !std::isfinite(double(*value)))
            return noValue;
        return QString::number(double(*value), 'f', decimals);
    }
    ::UpsCondition::Words words() const
    {
        const int outputOff = source ? source->outputOffSeconds() : -1;
        return ::UpsCondition::words(::UpsCondition::of(state, outputOff),
                                     source && source->linkBusy(), outputOff);
    }
    // Measured, as the network server and the shutdown decide it (UpsState::outputOff).
    bool outputOff() const { return state.outputOff(); }
    static QString identity(const QString &value)
    {
        const QString text = value.simplified();
        return text.isEmpty() ? noValue : text;
    }
};

DevStatusView::DevStatusView(QObject *parent) : QObject(parent), d(new DevStatusViewPrivate) { }

DevStatusView::~DevStatusView() = default;

DevComm *DevStatusView::source() const
{
    return d->source;
}

void DevStatusView::setSource(DevComm *source)
{
    if (source == d->source)
        return;
    disconnect(d->connection);
    disconnect(d->outputOffConnection);
    disconnect(d->busyConnection);
    d->source = source;
    if (source) {
        d->connection = connect(source, &DevComm::stateChanged, this, &DevStatusView::setState);
        d->outputOffConnection = connect(source, &DevComm::outputOffChanged, this, [this] {
            emit shutdownSecondsChanged();
            emit statusChanged(); // the UPS's state shows a pending output-off
        });
        d->busyConnection =
            connect(source, &DevComm::linkBusyChanged, this, &DevStatusView::statusChanged);
        setState(source->state());
    }
    emit sourceChanged();
    emit shutdownSecondsChanged();
}

WatchedUps *DevStatusView::watched() const
{
    return d->watched;
}

void DevStatusView::setWatched(WatchedUps *watched)
{
    if (watched == d->watched)
        return;
    disconnect(d->watchedConnection);
    d->watched = watched;
    if (watched) {
        d->watchedConnection =
            connect(watched, &WatchedUps::stateChanged, this, &DevStatusView::setState);
        setState(watched->state());
    }
    emit sourceChanged();
}

QString DevStatusView::name() const
{
    return d->name;
}

void DevStatusView::setName(const QString &name)
{
    if (name == d->name)
        return;
    d->name = name;
    emit sourceChanged();
}

ServiceShutdown *DevStatusView::shutdown() const
{
    return d->shutdown;
}

void DevStatusView::setShutdown(ServiceShutdown *shutdown)
{
    if (shutdown == d->shutdown)
        return;
    disconnect(d->shutdownConnection);
    d->shutdown = shutdown;
    if (shutdown) {
        // Whether the countdown may be cancelled changes with no second going by.
        d->shutdownConnection = connect(shutdown, &ServiceShutdown::progressChanged, this, [this] {
            d->shutdownSeconds = d->shutdown->countdown();
            emit shutdownSecondsChanged();
        });
        d->shutdownSeconds = shutdown->countdown();
    }
    emit sourceChanged();
    emit shutdownSecondsChanged();
}

int DevStatusView::outputOffSeconds() const
{
    return d->source ? d->source->outputOffSeconds() : -1;
}

int DevStatusView::cardMode() const
{
    if (d->shutdownSeconds > 0)
        return CardCountdown;
    return outputOffSeconds() >= 0 ? CardOutputOff : CardIdle;
}

int DevStatusView::cancelKind() const
{
    if (d->shutdownSeconds > 0)
        return d->shutdown && d->shutdown->cancellable() ? CancelShutdown : CancelNone;
    // Once the countdown is over the output-off is the user's to call off; before, the
    // countdown would only ask for it again.
    return outputOffSeconds() >= 0 ? CancelOutputOff : CancelNone;
}

void DevStatusView::cancel(const QString &where)
{
    switch (cancelKind()) {
    case CancelShutdown:
        d->shutdown->cancelCountdown(where);
        break;
    case CancelOutputOff:
        d->source->cancelOutputOff(where);
        break;
    default:
        break;
    }
}

void DevStatusView::setState(const UpsState &state)
{
    // The link republishes mostly unchanged data sets: compare before waking the screens.
    if (state == d->state)
        return;
    d->state = state;
    const QString model = state.model.simplified();
    if (state.online() && !model.isEmpty())
        d->knownModel = model;
    emit statusChanged();
}

int DevStatusView::shutdownSeconds() const
{
    return d->shutdownSeconds;
}

void DevStatusView::setShutdownSeconds(int seconds)
{
    seconds = qMax(0, seconds);
    if (seconds == d->shutdownSeconds)
        return;
    d->shutdownSeconds = seconds;
    emit shutdownSecondsChanged();
}

int DevStatusView::linkState() const
{
    switch (d->state.link) {
    case UpsState::Link::Online:
        return LinkOnline;
    case UpsState::Link::Offline:
        return LinkOffline;
    case UpsState::Link::Unknown:
        break;
    }
    return LinkUnknown;
}

bool DevStatusView::online() const
{
    return d->online();
}

int DevStatusView::inputState() const
{
    return flag(d->online(), d->state.onBattery);
}

int DevStatusView::batteryState() const
{
    return flag(d->online(), d->state.batteryLow);
}

int DevStatusView::faultState() const
{
    return flag(d->online(), d->state.faulted());
}

int DevStatusView::selfTestState() const
{
    return flag(d->online(), d->state.selfTest);
}

int DevStatusView::workMode() const
{
    // The mains-fault flag says the load runs from the battery. The standby type describes the
    // kind of UPS, not where the power comes from; it only names what the bypass bit means.
    if (!d->online())
        return WorkUnknown;
    if (d->state.onBattery)
        return WorkOnBattery;
    if (d->state.boostOrBuck())
        return WorkBoostOrBuck;
    if (d->state.onBypass())
        return WorkOnBypass;
    return WorkOnMains;
}

int DevStatusView::upsState() const
{
    return ::UpsCondition::of(d->state, outputOffSeconds());
}

QString DevStatusView::wordsKey() const
{
    return QLatin1String(d->words().key);
}

QString DevStatusView::wordsTime() const
{
    return d->words().time;
}

double DevStatusView::batteryPercent() const
{
    if (!d->online() || !d->state.batteryCharge)
        return -1;
    return qBound(0.0, double(*d->state.batteryCharge), 100.0);
}

double DevStatusView::loadPercent() const
{
    if (!d->online() || !d->state.load)
        return -1;
    return qMax(0.0, double(*d->state.load));
}

QString DevStatusView::battRemainText() const
{
    // The UPS reports the remaining backup time in minutes; one estimated from the charge is
    // no figure of the UPS.
    if (!d->online())
        return clockText(-1);
    const bool own = d->state.runtime && !d->state.runtimeEstimated;
    const QString ups = own ? clockText(qMax(0LL, qint64(*d->state.runtime)) * 60) : QString();
    if (!d->learned.predicted)
        return own ? ups : clockText(-1);
    const QString measured = clockText(*d->learned.predicted);
    return own ? tr("UPS says %1 · measured %2").arg(ups, measured)
               : tr("measured %1").arg(measured);
}

UpsDirectory *DevStatusView::directory() const
{
    return d->directory;
}

void DevStatusView::setDirectory(UpsDirectory *directory)
{
    if (directory == d->directory)
        return;
    disconnect(d->directoryConnection);
    d->directory = directory;
    const auto take = [this](const UpsEntry &entry) {
        // This computer's UPS stores its rows without a name; a watched one under its own.
        const bool mine = d->watched ? entry.name == d->name && !d->name.isEmpty()
                                     : entry.recordUps.isEmpty() && !entry.recordFile.isEmpty();
        if (!mine || entry.learned == d->learned)
            return;
        d->learned = entry.learned;
        emit statusChanged();
    };
    if (directory) {
        d->directoryConnection = connect(directory, &UpsDirectory::entryChanged, this, take);
        for (const UpsEntry &entry : directory->entries())
            take(entry);
    }
    emit sourceChanged();
}

double DevStatusView::batteryHealth() const
{
    return d->learned.health ? *d->learned.health : -1.0;
}

QString DevStatusView::countdownText() const
{
    if (d->shutdownSeconds > 0)
        return clockText(d->shutdownSeconds);
    return clockText(outputOffSeconds());
}

bool DevStatusView::countdownRunning() const
{
    return d->shutdownSeconds > 0;
}

QString DevStatusView::inputVolText() const
{
    return d->text(d->state.inputVoltage, 1);
}

QString DevStatusView::outputVolText() const
{
    return d->text(d->state.outputVoltage, 1);
}

QString DevStatusView::inputFreqText() const
{
    return d->text(d->state.inputFrequency, 1);
}

QString DevStatusView::battVolText() const
{
    return d->text(d->state.batteryVoltage, 2);
}

QString DevStatusView::loadText() const
{
    return d->text(d->state.load, 0);
}

QString DevStatusView::temperatureText() const
{
    return d->text(d->state.temperature, 1);
}

QString DevStatusView::manufacturerText() const
{
    return DevStatusViewPrivate::identity(d->state.manufacturer);
}

QString DevStatusView::knownModel() const
{
    return d->knownModel;
}

QString DevStatusView::modelText() const
{
    return DevStatusViewPrivate::identity(d->state.model);
}

QString DevStatusView::versionText() const
{
    return DevStatusViewPrivate::identity(d->state.firmware);
}

QString DevStatusView::snText() const
{
    return DevStatusViewPrivate::identity(d->state.serialNumber);
}

bool DevStatusView::mainsLive() const
{
    return d->online() && !d->state.onBattery;
}

bool DevStatusView::bypassLive() const
{
    return mainsLive() && d->state.onBypass() && !d->outputOff();
}

bool DevStatusView::inverterLive() const
{
    // Power reaches the inverter from the rectifier or the battery unless the output is off (as
    // measured: a pending shutdown still feeds the load), the load runs on the bypass or the UPS
    // has failed.
    return d->online() && !d->outputOff() && !d->state.onBypass() && !d->state.upsFailed &&
        (mainsLive() || batteryDischarging());
}

bool DevStatusView::batteryCharging() const
{
    return mainsLive() && !d->state.selfTest && !d->state.upsFailed;
}

bool DevStatusView::batteryDischarging() const
{
    // A self-test runs the load from the battery with the mains still present.
    return d->online() && (d->state.onBattery || d->state.selfTest);
}

bool DevStatusView::loadLive() const
{
    // The measured output, as the header decides "output off"; a pending shutdown (status bit 6)
    // still has the load powered.
    return d->online() && !d->outputOff() && d->state.outputVoltage.has_value();
}

QString DevStatusView::clockText(qint64 seconds)
{
    if (seconds < 0)
        return QStringLiteral("--:--:--");
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// The screens number the conditions as UpsCondition does.
static_assert(int(DevStatusView::UpsWaiting) == UpsCondition::Waiting &&
                  int(DevStatusView::UpsNormal) == UpsCondition::Normal &&
                  int(DevStatusView::UpsOnBattery) == UpsCondition::OnBattery &&
                  int(DevStatusView::UpsBatteryLow) == UpsCondition::BatteryLow &&
                  int(DevStatusView::UpsOutputOffPending) == UpsCondition::OutputOffPending &&
                  int(DevStatusView::UpsOutputOff) == UpsCondition::OutputOff &&
                  int(DevStatusView::UpsFault) == UpsCondition::Fault &&
                  int(DevStatusView::UpsCommLost) == UpsCondition::CommLost,
              "DevStatusView::UpsCondition and UpsCondition::Condition differ");
