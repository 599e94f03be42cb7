#pragma once

#include "upsstate.h"

#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>

class Settings;

// The UPSes that feed this computer ("shutdown/supplies", shown names, "local" for its own) and
// how many of them must still be able to ("shutdown/minSupplies"). Each supply is judged by the
// state's own rule (UpsState::supplyLost); the countdown is due while fewer than the minimum
// can feed. With only "local" chosen the shutdown keeps its rule for the one UPS. A name no
// watched UPS has (a typo) is never judged, so it counts as able to feed: it is told in the log
// and on the settings page instead.
class SupplyCount : public QObject
{
    Q_OBJECT
    // The chosen names that no watched UPS has.
    Q_PROPERTY(QStringList unknown READ unknown NOTIFY unknownChanged)

public:
    static constexpr const char *localName = "local";

    explicit SupplyCount(Settings *settings, QObject *parent = nullptr);

    void start(); // reads the settings and follows them

    bool localOnly() const;
    QStringList chosen() const { return m_chosen; }
    int minimum() const { return m_minimum; }
    // The chosen supplies lost now, in the order chosen.
    QStringList lost() const;
    int able() const { return m_chosen.size() - lost().size(); }
    // Fewer supplies can feed than the minimum (never while only "local" is chosen).
    bool belowMinimum() const { return !localOnly() && able() < m_minimum; }

    // Whether a name is one of a watched UPS (or may be, once its server answers).
    void setNameCheck(const std::function<bool(const QString &)> &known);
    QStringList unknown() const { return m_unknown; }
    // The chosen names judged again by the check: the watched list changed.
    void checkNames();

public slots:
    void updateLocal(const UpsState &state);
    void updateSupply(const QString &name, const UpsState &now, const UpsState &lastSeen);
    void forget(const QString &name);

signals:
    // What is lost or the minimum changed.
    void changed();
    void unknownChanged();

private:
    void read();
    void judge(const QString &name, bool lost);

    Settings *m_settings;
    QStringList m_chosen {QString::fromLatin1(localName)};
    int m_minimum = 1;
    UpsState m_localSeen;
    QMap<QString, bool> m_lost;
    std::function<bool(const QString &)> m_known;
    QStringList m_unknown;
};
