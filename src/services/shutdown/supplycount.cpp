#include "supplycount.h"

#include "logcategories.h"
#include "settings.h"


SupplyCount::SupplyCount(Settings *settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
}

void SupplyCount::start()
{
    read();
    connect(m_settings, &Settings::changed, this, [this](const QString &key) {
        if (key == m_settings->keyName(Settings::ShutdownSupplies) ||
            key == m_settings->keyName(Settings::ShutdownMinSupplies))
            read();
    });
}

void SupplyCount::read()
{
    QStringList chosen;
    // The settings give the list typed, whether the file holds it quoted or as "a,b".
    const QStringList names = m_settings->getSettings(Settings::ShutdownSupplies).toStringList();
    for (const QString &name : names) {
        if (!chosen.contains(name))
            chosen.append(name);
    }
    if (chosen.isEmpty())
        chosen.append(QString::fromLatin1(localName));
    const int minimum = qMax(1, m_settings->getSettings(Settings::ShutdownMinSupplies).toInt());
    if (chosen == m_chosen && minimum == m_minimum)
        return;
    const bool named = chosen != m_chosen;
    m_chosen = chosen;
    m_minimum = minimum;
    if (!localOnly())
        qCInfo(lcServices).noquote()
            << QStringLiteral("This computer is fed by %1; at least %2 must be able to feed it")
                   .arg(m_chosen.join(QStringLiteral(", ")))
                   .arg(m_minimum);
    if (named)
        checkNames();
    emit changed();
}

void SupplyCount::setNameCheck(const std::function<bool(const QString &)> &known)
{
    m_known = known;
}

void SupplyCount::listEdited()
{
    if (m_known) {
        for (auto it = m_seen.begin(); it != m_seen.end();) {
            if (it.key() != QLatin1String(localName) && !m_known(it.key()))
                it = m_seen.erase(it);
            else
                ++it;
        }
    }
    checkNames();
}

void SupplyCount::checkNames()
{
    if (!m_known)
        return;
    QStringList unknown;
    for (const QString &name : qAsConst(m_chosen)) {
        // One its server stopped listing is judged by what it was last seen as, not unknown.
        if (name != QLatin1String(localName) && !m_known(name) &&
            !m_seen.value(name).last.online())
            unknown.append(name);
    }
    if (unknown == m_unknown)
        return;
    m_unknown = unknown;
    if (!unknown.isEmpty())
        qCWarning(lcServices).noquote()
            << QStringLiteral("No watched UPS is named %1 (shutdown/supplies): never judged, "
                              "it counts as able to feed this computer")
                   .arg(unknown.join(QStringLiteral(", ")));
    emit unknownChanged();
    emit changed();
}

bool SupplyCount::localOnly() const
{
    return m_chosen.size() == 1 && m_chosen.first() == QLatin1String(localName);
}

QList<Protection::Supply> SupplyCount::supplies(int capacityPercent) const
{
    QList<Protection::Supply> list;
    for (const QString &name : m_chosen) {
        const bool isLocal = name == QLatin1String(localName);
        const Seen seen = m_seen.value(name);
        Protection::Supply supply;
        supply.name = name;
        supply.known = isLocal || !m_unknown.contains(name);
        supply.answering = seen.now.online();
        supply.everSeen = seen.last.online();
        const UpsState &flags = supply.answering ? seen.now : seen.last;
        supply.onBattery = flags.onBattery;
        supply.forcedShutdown = flags.forcedShutdown;
        // Readings of this computer's own line need two in a row; a UPS server's are its own.
        supply.batteryLow = supply.answering
            ? seen.now.batteryLow &&
                (!isLocal || (seen.previous.online() && seen.previous.batteryLow))
            : seen.last.batteryLow;
        const auto below = [capacityPercent](const UpsState &state) {
            return state.batteryCharge && float(capacityPercent) > *state.batteryCharge;
        };
        supply.belowCapacity = supply.answering && below(seen.now) && (!isLocal || below(seen.previous));
        if (supply.answering) {
            const UpsState &now = seen.now;
            if (now.runtime && !now.runtimeEstimated)
                supply.runtimeSeconds = qMax(0, *now.runtime) * 60;
            const int learned = m_learned.value(name, -1);
            if (learned >= 0)
                supply.runtimeSeconds = supply.runtimeSeconds < 0
                    ? learned
                    : qMin(supply.runtimeSeconds, learned);
        }
        list.append(supply);
    }
    return list;
}

QStringList SupplyCount::lost() const
{
    QStringList names;
    for (const Protection::Supply &supply : supplies(0)) {
        if (Protection::critical(supply))
            names.append(supply.name);
    }
    return names;
}

void SupplyCount::setLearnedRuntime(const QString &name, int seconds)
{
    if (m_learned.value(name, -1) == seconds)
        return;
    m_learned.insert(name, seconds);
    emit changed();
}

void SupplyCount::updateLocal(const UpsState &state)
{
    see(QString::fromLatin1(localName), state);
}

void SupplyCount::updateSupply(const QString &name, const UpsState &now)
{
    see(name, now);
    if (m_chosen.contains(name))
        emit changed();
}

void SupplyCount::forget(const QString &name)
{
    if (!m_seen.contains(name) || !m_seen.value(name).now.online())
        return;
    see(name, UpsState());
    if (m_chosen.contains(name)) {
        qCWarning(lcServices).noquote()
            << QStringLiteral("Supply %1 is no longer listed by its server; it counts by what "
                              "it was last seen as")
                   .arg(name);
        emit changed();
    }
}

void SupplyCount::see(const QString &name, const UpsState &state)
{
    Seen &seen = m_seen[name];
    seen.previous = seen.now;
    seen.now = state;
    if (state.online())
        seen.last = state;
}
