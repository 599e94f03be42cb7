#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QStringList>
#include <QVector>

// What the network server publishes about the UPS at one moment, handed to the server's thread
// as a value. Variables the UPS does not report are simply not in the list.
struct NutVariable
{
    QByteArray name; // NUT's standard name, e.g. "battery.charge"
    QByteArray value;
    bool text = false; // a text (STRING) rather than a number

    bool operator==(const NutVariable &o) const
    {
        return name == o.name && value == o.value && text == o.text;
    }
};

// An instant command the link can carry out. One with maxSeconds above 0 takes a time in
// seconds, 1 to maxSeconds, defaultSeconds when the client gives none (test.battery.start). One
// with a refusal does not fit the UPS's present state and is refused when asked for; it stays
// listed, since clients read the list once.
struct NutOfferedCommand
{
    QByteArray name;
    int maxSeconds = 0;
    int defaultSeconds = 0;
    QByteArray refusal; // why not now; empty: it can be carried out

    bool operator==(const NutOfferedCommand &o) const
    {
        return name == o.name && maxSeconds == o.maxSeconds &&
            defaultSeconds == o.defaultSeconds && refusal == o.refusal;
    }
};

struct NutSnapshot
{
    // No current data: the link has been lost for a while, or never came up. Data queries then
    // answer DATA-STALE.
    bool stale = true;
    QVector<NutVariable> variables;
    QVector<NutOfferedCommand> commands; // what the link can carry out, sorted by name
    QStringList alarms; // current alarm texts, in English
    bool onBattery = false; // for clearing a forced shutdown once the mains is back

    bool operator==(const NutSnapshot &o) const
    {
        return stale == o.stale && variables == o.variables && commands == o.commands &&
            alarms == o.alarms && onBattery == o.onBattery;
    }
    bool operator!=(const NutSnapshot &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(NutSnapshot)
