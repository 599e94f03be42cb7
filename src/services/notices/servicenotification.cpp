#include "servicenotification.h"

#include "clock.h"
#include "logcategories.h"
#include "platform.h"
#include "selftestresult.h"
#include "settings.h"
#include "supplycount.h"
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
    : QObject(parent), m_settings(settings),
      m_supplies {QString::fromLatin1(SupplyCount::localName)}
{
    m_timer.setInterval(1000);
    m_timer.setObjectName(QStringLiteral("heldBackTimer"));
    connect(&m_timer, &QTimer::timeout, this, &ServiceNotification::checkHeldBack);
    connect(settings, &Settings::changed, this, [this](const QString &key) {
        if (key == m_settings->keyName(Settings::NotifyEnable))
            follow(m_settings->flag(Settings::NotifyEnable));
    });
}

ServiceNotification::~ServiceNotification() = default;

void ServiceNotification::start()
{
    m_enable = m_settings->flag(Settings::NotifyEnable);
    m_started = true;
}

bool ServiceNotification::enable() const
{
    return m_enable;
}

void ServiceNotification::follow(bool enable)
{
    if (enable == m_enable)
        return;
    m_enable = enable;
    if (!enable) {
        for (Held &held : m_held)
            held.count = 0;
        m_timer.stop();
        if (m_countdownEnd != 0)
            withdrawCountdown();
    }
}

void ServiceNotification::setDeliver(bool deliver)
{
    m_deliver = deliver;
    if (!deliver)
        return;
    QPointer<ServiceNotification> self(this);
    platform::setNotificationActionHandler([self](uint id, const std::wstring &key) {
        if (self && id != 0 && id == self->m_countdownId && key == L"cancel")
            emit self->cancelRequested();
    });
}

uint ServiceNotification::standingNotice(const QString &name, int kind) const
{
    const auto held = m_held.constFind({name, kind});
    return held != m_held.constEnd() && held->standing ? held->standingId : 0;
}

void ServiceNotification::updateState(const UpsState &state)
{
    judge(m_local, QString(), state);
}

void ServiceNotification::updateNamedState(const QString &name, const UpsState &state)
{
    judge(m_named[name], name, state);
}

void ServiceNotification::setLearnedRuntime(const QString &name, int seconds)
{
    (name.isEmpty() ? m_local : m_named[name]).learnedRuntime = seconds;
}

void ServiceNotification::setSupplies(const QStringList &names)
{
    m_supplies = names;
}

bool ServiceNotification::feedsThisComputer(const QString &name) const
{
    return m_supplies.contains(name.isEmpty() ? QString::fromLatin1(SupplyCount::localName)
                                              : name);
}

void ServiceNotification::judge(Seen &seen, const QString &name, const UpsState &state)
{
    if (state.link == UpsState::Link::Unknown)
        return;
    const bool online = state.online();
    // The first answer is compared with a UPS at rest; no "back" before anything was lost.
    if (!seen.seen) {
        if (!online)
            return;
        seen.seen = true;
        seen.online = true;
    }
    if (online != seen.online) {
        seen.online = online;
        if (online)
            postAbout(name, Link, tr("Communication restored"),
                      tr("Quelta is talking to the UPS again."), false, Ends);
        else
            postAbout(name, Link, tr("Communication lost"),
                      tr("Quelta cannot reach the UPS: it no longer sees a mains failure."), true,
                      Opens);
    }
    // Flags of a UPS that does not answer are stale.
    if (!online)
        return;
    if (state.onBattery != seen.onBattery) {
        seen.onBattery = state.onBattery;
        if (seen.onBattery) {
            QString body = tr("The UPS is running on its battery.");
            if (state.batteryCharge)
                body += QLatin1Char(' ') +
                    tr("Battery charge: %1 %.").arg(qRound(*state.batteryCharge));
            if (seen.learnedRuntime >= 0)
                body += QLatin1Char(' ') +
                    tr("Measured at this load, it lasts about %1.")
                        .arg(secondsText(seen.learnedRuntime));
            postAbout(name, Mains, tr("Mains failure"), body, true, Opens);
        } else {
            postAbout(name, Mains, tr("Mains returned"),
                      tr("The UPS is running on the mains again."), false, Ends);
        }
    }
    if (state.batteryLow != seen.batteryLow) {
        seen.batteryLow = state.batteryLow;
        if (seen.batteryLow)
            postAbout(name, BatteryLow, tr("Battery low"),
                      feedsThisComputer(name)
                          ? tr("The UPS battery is low: the computer may lose power soon.")
                          : tr("The UPS battery is low: the UPS may switch off soon."),
                      true);
    }
    if (state.faulted() != seen.faulted) {
        seen.faulted = state.faulted();
        if (seen.faulted)
            postAbout(name, UpsFault, tr("UPS fault"),
                      tr("The UPS reports a fault; the alarm list tells more."), true);
    }
}

void ServiceNotification::setCountdownReason(const QString &reason)
{
    m_countdownReason = reason;
}

void ServiceNotification::setEndDoesNothing(bool nothing)
{
    m_endDoesNothing = nothing;
}

void ServiceNotification::countdownChanged(int seconds)
{
    if (seconds > 0) {
        if (m_countdownEnd != 0)
            withdrawCountdown();
        m_countdown = true;
        m_countdownEnd = Clock::secsSinceEpoch() + seconds;
        tellCountdown(tr("Shutdown countdown started"));
        return;
    }
    const bool wasRunning = m_countdown;
    m_countdown = false;
    m_countdownReason.clear();
    if (m_countdownEnd != 0)
        withdrawCountdown();
    if (wasRunning)
        post(Countdown, tr("Shutdown countdown cancelled"), tr("The computer stays on."), false);
}

void ServiceNotification::countdownShortened(int seconds)
{
    if (m_countdownEnd == 0)
        return;
    m_countdownEnd = Clock::secsSinceEpoch() + seconds;
    tellCountdown(tr("Shutdown countdown shortened"));
}

void ServiceNotification::countdownTick(int seconds)
{
    if (m_countdownEnd == 0)
        return;
    if (seconds <= 0) {
        // Over: the computer goes down or stays on; either way nothing is left to count.
        m_countdown = false;
        withdrawCountdown();
        return;
    }
    // A countdown held while the network clients leave ends later than it said.
    const qint64 end = Clock::secsSinceEpoch() + seconds;
    if (qAbs(end - m_countdownEnd) >= 2) {
        m_countdownEnd = end;
        tellCountdown(m_countdownTitle);
    }
}

void ServiceNotification::tellCountdown(const QString &title)
{
    if (!m_enable)
        return;
    const qint64 left = qMax<qint64>(0, m_countdownEnd - Clock::secsSinceEpoch());
    const QString end =
        QDateTime::fromSecsSinceEpoch(m_countdownEnd).toString(QStringLiteral("hh:mm:ss"));
    m_countdownTitle = title;
    m_countdownBody = m_endDoesNothing
        ? tr("The countdown ends in %1, at %2. Nothing is set to happen then: the computer "
             "stays on.")
              .arg(secondsText(int(left)), end)
        : tr("The computer shuts down in %1, at %2.").arg(secondsText(int(left)), end);
    if (!m_countdownReason.isEmpty())
        m_countdownBody += QLatin1Char(' ') + m_countdownReason;
    qCInfo(lcServices).noquote() << "Notice:" << title << "-" << m_countdownBody;
    emit notify(Countdown, title, m_countdownBody, true);
    if (m_deliver)
        deliverCountdown();
}

// One Notify at a time: a replacement asked for before the desktop gave the notice its id
// waits for that id, so the countdown never shows twice.
void ServiceNotification::deliverCountdown()
{
    if (m_countdownSending) {
        m_countdownDirty = true;
        return;
    }
    m_countdownSending = true;
    m_countdownDirty = false;
    platform::Notice notice;
    notice.title = m_countdownTitle.toStdWString();
    notice.body = m_countdownBody.toStdWString();
    notice.urgent = true;
    notice.replaces = m_countdownId;
    notice.actions = {{L"cancel", tr("Cancel shutdown").toStdWString()}};
    const quint64 generation = m_countdownGeneration;
    const QString title = m_countdownTitle, body = m_countdownBody;
    QPointer<ServiceNotification> self(this);
    platform::showNotification(
        notice, [self, generation, title, body](platform::NotificationResult result, uint id) {
            if (!self)
                return;
            self->m_countdownSending = false;
            if (generation != self->m_countdownGeneration) {
                platform::closeNotification(id); // its countdown is over
            } else if (result == platform::NotificationResult::Shown) {
                self->m_countdownId = id;
            } else {
                emit self->undelivered(title, body, true);
            }
            if (self->m_countdownDirty && self->m_countdownEnd != 0)
                self->deliverCountdown();
        });
}

void ServiceNotification::withdrawCountdown()
{
    qCInfo(lcServices) << "Notice withdrawn: the shutdown countdown";
    if (m_deliver)
        platform::closeNotification(m_countdownId);
    m_countdownId = 0;
    m_countdownEnd = 0;
    m_countdownDirty = false;
    ++m_countdownGeneration;
}

void ServiceNotification::selfTestFinished(const SelfTestResult &result)
{
    namedSelfTestFinished(QString(), result);
}

void ServiceNotification::namedSelfTestFinished(const QString &name, const SelfTestResult &result)
{
    QString body = result.passed() ? tr("Passed.")
        : result.batteryLow        ? tr("Failed: the battery ran low.")
                                   : tr("Failed: the UPS reported a fault.");
    if (result.voltageDrop)
        body += QLatin1Char(' ') +
            tr("The battery voltage fell by %1 V in %2.")
                .arg(QString::number(*result.voltageDrop, 'f', 2), secondsText(result.seconds));
    postAbout(name, SelfTest, tr("Self-test finished"), body, !result.passed());
}

void ServiceNotification::post(int kind, const QString &title, const QString &body, bool urgent)
{
    postAbout(QString(), kind, title, body, urgent);
}

void ServiceNotification::postAbout(const QString &name, int kind, const QString &what,
                                    const QString &body, bool urgent, Role role)
{
    if (kind < 0 || kind >= KindCount || !m_enable)
        return;
    checkHeldBack();
    const QPair<QString, int> key {name, kind};
    Held &held = m_held[key];
    const qint64 now = Clock::secsSinceEpoch();
    held.what = what;
    held.title = name.isEmpty() ? what : tr("%1: %2").arg(name, what);
    held.body = body;
    held.urgent = urgent;
    held.role = role;
    // The end of a bad notice on the desktop is never held: it would leave the bad one standing.
    if (role == Ends && held.standing) {
        held.count = 0;
        tell(key, held, now);
        return;
    }
    const auto last = held.sentAt.constFind(what);
    const bool repeat = last != held.sentAt.constEnd() && now - *last < quietSeconds;
    if (held.count > 0 || repeat) {
        if (held.count == 0) {
            held.releaseAt = *last + quietSeconds;
            held.firstHeld = now;
        }
        ++held.count;
        held.lastHeld = now;
        if (m_started && !m_timer.isActive())
            m_timer.start();
        return;
    }
    tell(key, held, now);
}

void ServiceNotification::tell(const QPair<QString, int> &key, Held &held, qint64 now)
{
    QString body = held.body;
    if (held.count > 0) {
        const auto time = [](qint64 secs) {
            return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("hh:mm:ss"));
        };
        body += QLatin1Char('\n') +
            (held.count == 1
                 ? tr("(1 change since the last notice: %1 at %2)").arg(held.what, time(held.lastHeld))
                 : tr("(%1 changes since the last notice, between %2 and %3)")
                       .arg(held.count)
                       .arg(time(held.firstHeld), time(held.lastHeld)));
    }
    held.sentAt[held.what] = now;
    held.count = 0;
    uint replaces = 0;
    if (held.role == Ends && held.standing)
        replaces = held.standingId;
    if (held.role != Plain) {
        held.standing = held.role == Opens;
        held.standingId = 0;
        ++held.generation;
    }
    send(key.second, held.title, body, held.urgent, replaces,
         held.role == Opens ? &key : nullptr, held.generation);
}

void ServiceNotification::checkHeldBack()
{
    const qint64 now = Clock::secsSinceEpoch();
    bool holding = false;
    for (auto it = m_held.begin(); it != m_held.end(); ++it) {
        if (it->count == 0)
            continue;
        if (now < it->releaseAt) {
            holding = true;
            continue;
        }
        tell(it.key(), *it, now);
    }
    if (!holding)
        m_timer.stop();
}

void ServiceNotification::send(int kind, const QString &title, const QString &body, bool urgent,
                               uint replaces, const QPair<QString, int> *opened,
                               quint64 generation)
{
    // One line in the log, whatever the desktop shows.
    qCInfo(lcServices).noquote() << "Notice:" << title << "-"
                                 << QString(body).replace(QLatin1Char('\n'), QLatin1Char(' '));
    emit notify(kind, title, body, urgent);
    if (!m_deliver)
        return;
    QPointer<ServiceNotification> self(this);
    platform::Notice notice;
    notice.title = title.toStdWString();
    notice.body = body.toStdWString();
    notice.urgent = urgent;
    notice.replaces = replaces;
    const QPair<QString, int> key = opened ? *opened : QPair<QString, int>();
    platform::showNotification(
        notice, [self, kind, title, body, urgent, opened = opened != nullptr, key,
                 generation](platform::NotificationResult result, uint id) {
            if (!self)
                return;
            if (result == platform::NotificationResult::Shown) {
                if (!opened)
                    return;
                auto held = self->m_held.find(key);
                // Ended (or opened again) before the desktop answered: its end was told as a
                // notice of its own, so this one goes.
                if (held == self->m_held.end() || held->generation != generation)
                    platform::closeNotification(id);
                else
                    held->standingId = id;
                return;
            }
            // The tray shows one balloon: a running countdown's stays.
            if (self->m_countdownEnd != 0 && kind != Countdown) {
                qCInfo(lcServices).noquote()
                    << "Notice kept off the tray while the countdown is shown:" << title;
                return;
            }
            emit self->undelivered(title, body, urgent);
        });
}
