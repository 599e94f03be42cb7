#pragma once

#include <QVariantList>
#include <QVariantMap>

struct UpsState;

// The string-keyed map the screens read as DevComm's devData: whether the UPS answers
// ("devOnline") and the last 60 input and output voltages for the live chart ("inputVolList",
// "outputVolList"), where a voltage the UPS did not report is an empty entry. Everything else the
// screens show comes from the typed state through the status view.
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
