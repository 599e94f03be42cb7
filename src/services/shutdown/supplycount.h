#pragma once

#include "protectiondecision.h"
#include "upsstate.h"

#include <QMap>
#include <QObject>
#include <QStringList>

#include <functional>

class Settings;

// The UPSes that feed this computer ("shutdown/supplies", shown names, "local" for its own) and
// how many of them must still be able to ("shutdown/minSupplies"), with what was seen of each:
// the reading now, the one before it and the last one while it answered. The protection decision
// judges them (Protection::critical). A name no watched UPS has (a typo) is never judged, so it
// counts as able to feed: it is told in the log and on the settings page instead. A UPS that
// leaves its server keeps what it was last seen as.
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
    // The chosen supplies as the decision takes them, in the order chosen. A local battery
    // reading counts once two status replies in a row agree: one garbled reply must not bring
    // the end nearer. `capacityPercent` is the charge below which the battery counts as spent.
    QList<Protection::Supply> supplies(int capacityPercent) const;
    // The chosen supplies that can no longer feed now, in the order chosen.
    QStringList lost() const;

    // Whether a name is one of a watched UPS (or may be, once its server answers).
    void setNameCheck(const std::function<bool(const QString &)> &known);
    QStringList unknown() const { return m_unknown; }
    // The chosen names judged again by the check: the watched UPSes changed.
    void checkNames();
    // The user edited the watched list: what was seen of a UPS it no longer names is dropped.
    void listEdited();

public slots:
    void updateLocal(const UpsState &state);
    void updateSupply(const QString &name, const UpsState &now);
    // The UPS is no longer watched (its server stopped listing it): it no longer answers.
    void forget(const QString &name);
    // Seconds to battery low learned from a supply's discharges (localName: this computer's
    // UPS); -1 while none. The lower of it and the UPS's own runtime is what the minimum
    // runtime setting is held against.
    void setLearnedRuntime(const QString &name, int seconds);

signals:
    // A chosen supply was seen again, or the choice changed.
    void changed();
    void unknownChanged();

private:
    struct Seen
    {
        UpsState now;
        UpsState previous;
        UpsState last; // the last reading while it answered
    };

    void read();
    void see(const QString &name, const UpsState &state);

    Settings *m_settings;
    QStringList m_chosen {QString::fromLatin1(localName)};
    int m_minimum = 1;
    QMap<QString, Seen> m_seen;
    QMap<QString, int> m_learned;
    std::function<bool(const QString &)> m_known;
    QStringList m_unknown;
};
