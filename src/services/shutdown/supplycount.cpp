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

void SupplyCount::checkNames()
{
    if (!m_known)
        return;
    QStringList unknown;
    for (const QString &name : qAsConst(m_chosen)) {
        if (name != QLatin1String(localName) && !m_known(name))
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
}

bool SupplyCount::localOnly() const
{
    return m_chosen.size() == 1 && m_chosen.first() == QLatin1String(localName);
}

QStringList SupplyCount::lost() const
{
    QStringList names;
    for (const QString &name : m_chosen) {
        if (m_lost.value(name))
            names.append(name);
    }
    return names;
}

void SupplyCount::updateLocal(const UpsState &state)
{
    if (state.online())
        m_localSeen = state;
    judge(QString::fromLatin1(localName), UpsState::supplyLost(state, m_localSeen));
}

void SupplyCount::updateSupply(const QString &name, const UpsState &now, const UpsState &lastSeen)
{
    judge(name, UpsState::supplyLost(now, lastSeen));
}

void SupplyCount::forget(const QString &name)
{
    judge(name, false);
}

void SupplyCount::judge(const QString &name, bool lost)
{
    if (m_lost.value(name) == lost)
        return;
    m_lost.insert(name, lost);
    if (m_chosen.contains(name)) {
        // With its own UPS alone this computer's shutdown keeps its own words for it.
        if (!localOnly())
            qCInfo(lcServices).noquote()
                << (lost ? QStringLiteral("Supply %1 can no longer feed this computer")
                         : QStringLiteral("Supply %1 can feed this computer again"))
                       .arg(name);
        emit changed();
    }
}
