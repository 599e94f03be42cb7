#include "servicenotification.h"

#include "clock.h"
#include "logcategories.h"
#include "platform.h"
#include "selftestresult.h"
#include "settings.h"
#include "upsstate.h"

#include <QPointer>

namespace {

QString secondsText(int seconds)
{
    if (seconds >= 120)
        return ServiceNotification::tr("%1 minutes").arg(seconds / 60);
    return ServiceNotification::tr("%1 seconds").arg(seconds);
}

} // namespace

ServiceNotification::ServiceNotification(Settings *settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &ServiceNotification::checkHeldBack);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key == m_settings->keyName(Settings::NotifyEnable))
            setEnable(m_settings->getSettings(Settings::NotifyEnable).toBool());
    });
}

ServiceNotification::~ServiceNotification() = default;

void ServiceNotification::start()
{
    const QVariant stored = m_settings->getSettings(Settings::NotifyEnable);
    m_enable = !stored.isValid() || stored.toBool();
    m_timer.start();
}

bool ServiceNotification::enable() const
{
    return m_enable;
}

void ServiceNotification::setEnable(bool enable)
{
    if (enable == m_enable)
        return;
    m_enable = enable;
    if (!enable) {
        for (Held &held : m_held)
            held.count = 0;
    }
    if (m_settings->getSettings(Settings::NotifyEnable).toBool() != enable)
        m_settings->setSettings(Settings::NotifyEnable, enable);
    emit enableChanged();
}

void ServiceNotification::setDeliver(bool deliver)
{
    m_deliver = deliver;
}

void ServiceNotification::updateState(const UpsState &state)
{
    if (state.link == UpsState::Link::Unknown)
        return;
    const bool online = state.online();
    // The first answer is compared with a UPS at rest; no "back" before anything was lost.
    if (!m_seen) {
        if (!online)
            return;
        m_seen = true;
        m_online = true;
    }
    if (online != m_online) {
        m_online = online;
        if (online)
            post(Link, tr("Communication restored"), tr("Quelta is talking to the UPS again."),
                 false);
        else
            post(Link, tr("Communication lost"),
                 tr("Quelta cannot reach the UPS: it no longer sees a mains failure."), true);
    }
    // Flags of a UPS that does not answer are stale.
    if (!online)
        return;
    if (state.onBattery != m_onBattery) {
        m_onBattery = state.onBattery;
        if (m_onBattery) {
            QString body = tr("The UPS is running on its battery.");
            if (state.batteryCharge)
                body += QLatin1Char(' ') +
                    tr("Battery charge: %1 %.").arg(qRound(*state.batteryCharge));
            post(Mains, tr("Mains failure"), body, true);
        } else {
            post(Mains, tr("Mains returned"), tr("The UPS is running on the mains again."), false);
        }
    }
    if (state.batteryLow != m_batteryLow) {
        m_batteryLow = state.batteryLow;
        if (m_batteryLow)
            post(BatteryLow, tr("Battery low"),
                 tr("The UPS battery is low: the computer may lose power soon."), true);
    }
    if (state.upsFailed != m_upsFailed) {
        m_upsFailed = state.upsFailed;
        if (m_upsFailed)
            post(UpsFault, tr("UPS fault"),
                 tr("The UPS reports a fault; the alarm list tells more."), true);
    }
}

void ServiceNotification::countdownChanged(int seconds)
{
    const bool running = seconds > 0;
    if (running == m_countdown && !running)
        return;
    m_countdown = running;
    if (running)
        post(
            Countdown, tr("Shutdown countdown started"),
            tr("The computer shuts down in %1 unless the mains returns.").arg(secondsText(seconds)),
            true);
    else
        post(Countdown, tr("Shutdown countdown cancelled"), tr("The computer stays on."), false);
}

void ServiceNotification::selfTestFinished(const SelfTestResult &result)
{
    QString body = result.passed() ? tr("Passed.")
        : result.batteryLow        ? tr("Failed: the battery ran low.")
                                   : tr("Failed: the UPS reported a fault.");
    if (result.voltageDrop)
        body += QLatin1Char(' ') +
            tr("The battery voltage fell by %1 V in %2.")
                .arg(QString::number(*result.voltageDrop, 'f', 2), secondsText(result.seconds));
    post(SelfTest, tr("Self-test finished"), body, !result.passed());
}

void ServiceNotification::post(int kind, const QString &title, const QString &body, bool urgent)
{
    if (kind < 0 || kind >= KindCount || !m_enable)
        return;
    checkHeldBack();
    Held &held = m_held[kind];
    const qint64 now = Clock::secsSinceEpoch();
    if (held.sent && now - held.lastSent < quietSeconds) {
        ++held.count;
        held.title = title;
        held.body = body;
        held.urgent = urgent;
        return;
    }
    held.sent = true;
    held.lastSent = now;
    held.count = 0;
    send(kind, title, body, urgent);
}

void ServiceNotification::checkHeldBack()
{
    const qint64 now = Clock::secsSinceEpoch();
    for (int kind = 0; kind < KindCount; ++kind) {
        Held &held = m_held[kind];
        if (held.count == 0 || now - held.lastSent < quietSeconds)
            continue;
        const QString body = held.body + QLatin1Char('\n') +
            tr("(%1 changes since the last notice)").arg(held.count);
        held.lastSent = now;
        held.count = 0;
        send(kind, held.title, body, held.urgent);
    }
}

void ServiceNotification::send(int kind, const QString &title, const QString &body, bool urgent)
{
    qCInfo(lcServices).noquote() << "Notice:" << title << "-" << body;
    emit notify(kind, title, body, urgent);
    if (!m_deliver)
        return;
    QPointer<ServiceNotification> self(this);
    platform::showNotification(title.toStdWString(), body.toStdWString(), urgent,
                               [self, title, body, urgent](platform::NotificationResult result) {
                                   if (self && result != platform::NotificationResult::Shown)
                                       emit self->undelivered(title, body, urgent);
                               });
}
