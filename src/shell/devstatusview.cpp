#include "devstatusview.h"

#include <cmath>

namespace {
const QString noValue = QStringLiteral("--");
// Below this the output is off: a live output is never near it, a dead one reads 0.
constexpr double outputOffVolts = 1.0;

int flag(const QVariantMap &data, const char *key)
{
    return data.value(QLatin1String(key)).toInt() != 0 ? DevStatusView::FlagActive
                                                       : DevStatusView::FlagNormal;
}
} // namespace

class DevStatusViewPrivate
{
public:
    QVariantMap data;
    int shutdownSeconds = 0;

    bool online() const { return data.value(QStringLiteral("devOnline")).toBool(); }
    bool on(const char *key) const
    {
        return online() && data.value(QLatin1String(key)).toInt() != 0;
    }
    double number(const char *key) const { return data.value(QLatin1String(key)).toDouble(); }
    QString text(const char *key, int decimals) const
    {
        if (!online())
            return noValue;
        const QVariant value = data.value(QLatin1String(key));
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return noValue;
        return QString::number(v, 'f', decimals);
    }
    bool outputOff() const
    {
        // Decided by the measured output voltage, not by status bit 6 ("powerOff", shutdown
        // active): that bit is set from the moment the UPS accepts a shutdown command, through
        // the command's delay while the load still has power, until the output is restored, and
        // it stays clear when the output stops for another reason (a battery run flat). So the
        // bit says an off is pending or done; an output at (near) 0 V while the UPS answers says
        // the load has no power.
        if (!online())
            return false;
        bool ok = false;
        const double volts = data.value(QStringLiteral("outputVol")).toDouble(&ok);
        return ok && std::isfinite(volts) && volts < outputOffVolts;
    }
    QString identity(const char *key) const
    {
        const QString value = data.value(QLatin1String(key)).toString().simplified();
        return value.isEmpty() ? noValue : value;
    }
};

DevStatusView::DevStatusView(QObject *parent) : QObject(parent), d(new DevStatusViewPrivate) { }

DevStatusView::~DevStatusView() = default;

QVariantMap DevStatusView::devData() const
{
    return d->data;
}

void DevStatusView::setDevData(const QVariantMap &data)
{
    // The map is republished on every poll, mostly unchanged: compare before waking the screens.
    if (data == d->data)
        return;
    d->data = data;
    emit devDataChanged();
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
    // "devOnline" is absent until the link has been found up or down once.
    if (!d->data.contains(QStringLiteral("devOnline")))
        return LinkUnknown;
    return d->online() ? LinkOnline : LinkOffline;
}

bool DevStatusView::online() const
{
    return d->online();
}

int DevStatusView::inputState() const
{
    return d->online() ? flag(d->data, "mainsFault") : FlagUnknown;
}

int DevStatusView::batteryState() const
{
    return d->online() ? flag(d->data, "battLowVol") : FlagUnknown;
}

int DevStatusView::faultState() const
{
    return d->online() ? flag(d->data, "UPSFault") : FlagUnknown;
}

int DevStatusView::selfTestState() const
{
    return d->online() ? flag(d->data, "selfTest") : FlagUnknown;
}

int DevStatusView::workMode() const
{
    // The mains-fault bit says the load runs from the battery. The standby-type bit ("workState")
    // describes the kind of UPS, not where the power comes from, so it decides nothing here.
    if (!d->online())
        return WorkUnknown;
    if (d->on("mainsFault"))
        return WorkOnBattery;
    if (d->on("bypassStart"))
        return WorkOnBypass;
    return WorkOnMains;
}

int DevStatusView::upsState() const
{
    switch (linkState()) {
    case LinkUnknown:
        return UpsWaiting;
    case LinkOffline:
        return UpsCommLost; // what the UPS said last is not known to hold any more
    default:
        break;
    }
    if (d->on("UPSFault"))
        return UpsFault;
    if (d->outputOff())
        return UpsOutputOff;
    // Low on mains too: a battery still recharging after an outage would not carry the load.
    if (d->on("battLowVol"))
        return UpsBatteryLow;
    if (d->on("mainsFault"))
        return UpsOnBattery;
    return UpsNormal;
}

double DevStatusView::batteryPercent() const
{
    if (!d->online())
        return -1;
    return qBound(0.0, d->number("battCapacity"), 100.0);
}

double DevStatusView::loadPercent() const
{
    if (!d->online())
        return -1;
    return qMax(0.0, d->number("load"));
}

QString DevStatusView::battRemainText() const
{
    // The UPS reports the remaining backup time in minutes.
    if (!d->online())
        return clockText(-1);
    return clockText(qMax(0LL, d->data.value(QStringLiteral("battRemainTime")).toLongLong()) * 60);
}

QString DevStatusView::countdownText() const
{
    return clockText(d->shutdownSeconds > 0 ? d->shutdownSeconds : -1);
}

bool DevStatusView::countdownRunning() const
{
    return d->shutdownSeconds > 0;
}

QString DevStatusView::inputVolText() const
{
    return d->text("inputVol", 1);
}

QString DevStatusView::outputVolText() const
{
    return d->text("outputVol", 1);
}

QString DevStatusView::inputFreqText() const
{
    return d->text("inputFreq", 1);
}

QString DevStatusView::battVolText() const
{
    return d->text("battVol", 2);
}

QString DevStatusView::loadText() const
{
    return d->text("load", 0);
}

QString DevStatusView::temperatureText() const
{
    return d->text("temperature", 1);
}

QString DevStatusView::manufacturerText() const
{
    return d->identity("compName");
}

QString DevStatusView::modelText() const
{
    return d->identity("UPSModel");
}

QString DevStatusView::versionText() const
{
    return d->identity("version");
}

QString DevStatusView::snText() const
{
    return d->identity("sn");
}

bool DevStatusView::mainsLive() const
{
    return d->online() && !d->on("mainsFault");
}

bool DevStatusView::bypassLive() const
{
    return mainsLive() && d->on("bypassStart") && !d->on("powerOff");
}

bool DevStatusView::inverterLive() const
{
    // Power reaches the inverter from the rectifier or the battery unless the output is off, the
    // load runs on the bypass or the UPS has failed.
    return d->online() && !d->on("powerOff") && !d->on("bypassStart") && !d->on("UPSFault") &&
        (mainsLive() || batteryDischarging());
}

bool DevStatusView::batteryCharging() const
{
    return mainsLive() && !d->on("selfTest") && !d->on("UPSFault");
}

bool DevStatusView::batteryDischarging() const
{
    // A self-test runs the load from the battery with the mains still present.
    return d->online() && (d->on("mainsFault") || d->on("selfTest"));
}

bool DevStatusView::loadLive() const
{
    return d->online() && !d->on("powerOff") && d->number("outputVol") > 1.0;
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
