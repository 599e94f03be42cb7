#pragma once

#include <QVariantList>
#include <QVariantMap>

struct UpsState;

// The string-keyed map the screens read as DevComm's devData, built from the typed state in this
// one place, with the last 60 input and output voltages. A value the UPS did not report reads 0
// here (the screens show "--" for it through the status view), except in the voltage histories,
// where it is an empty entry.
class DevDataMap
{
public:
    DevDataMap(); // the histories start with one zero each

    // A new data set: its voltages join the histories.
    void record(const UpsState &state);
    // "devOnline" is left out until the link was known up or down once (`linkKnown`).
    QVariantMap map(const UpsState &state, bool linkKnown) const;

private:
    QVariantList m_inputHistory;
    QVariantList m_outputHistory;
};
