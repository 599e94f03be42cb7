#pragma once

#include "nutsnapshot.h"
#include "nutstatusflags.h"
#include "selftestresult.h"

#include <QDateTime>
#include <QObject>

#include <optional>

class DevComm;
class NutUpsPublisherPrivate;
struct UpsState;

// What the network server publishes, made from the typed UPS state: NUT's standard variables
// under the names NUT's own driver gives the same UPS (absent when the UPS does not report them,
// never zero), the current alarms in English, the last self-test and its outcome in NUT's words,
// and every instant command the link in use can carry out, with those that do not fit the state
// refused; they go out through the same control requests as the control page. When the link is
// lost the last data stays served for 15 s; then the data counts as stale. Nothing is published
// while no server serves it.
class NutUpsPublisher : public QObject
{
    Q_OBJECT
public:
    static constexpr int staleAfterSeconds = 15;
    // The longest battery test asked for in seconds: 99 minutes on the serial line.
    static constexpr int maxTestSeconds = 99 * 60;

    struct LastTest
    {
        QDateTime start; // invalid: none recorded
        SelfTestResult result;
    };

    explicit NutUpsPublisher(DevComm *devComm, QObject *parent = nullptr);
    ~NutUpsPublisher() override;

    // Reads the last self-test from the records (its outcome from the alarms raised while it
    // ran) and starts the one-second check of a lost link.
    void start();
    // The snapshot now: the one last published while serving, made on the spot otherwise.
    NutSnapshot snapshot() const;
    // While a server serves the UPS, each change is published as it comes; otherwise nothing is
    // made until asked (the data set comes several times a second on battery).
    void setServing(bool serving);

    // NUT's status flags of the state (ups.status) apart from the server's own FSD and the
    // ALARM of its alarm list.
    static NutStatusFlags::Flags statusFlags(const UpsState &state);

    // The snapshot of one state on its own: what an online UPS read by the link of `commType`
    // offers (DevComm::CommunicationType numbering).
    static NutSnapshot build(const UpsState &state, int commType, const QStringList &alarms,
                             const LastTest &lastTest,
                             std::optional<int> learnedRuntime = std::nullopt);
    // Seconds to battery low learned from the UPS's discharges, served as battery.runtime when
    // the UPS tells none; none while nothing was learned.
    void setLearnedRuntime(std::optional<int> seconds);

public slots:
    void updateState(const UpsState &state);
    void setAlarms(const QStringList &englishTexts);
    void selfTestFinished(const SelfTestResult &result);
    void selfTestRecorded(const QDateTime &start);
    // An instant command the server accepted; the parameter is already checked.
    void runCommand(const QByteArray &command, const QByteArray &parameter);
    // Once a second: a link lost for long enough makes the data stale.
    void onTimerTimeout();

signals:
    void snapshotChanged(const NutSnapshot &snapshot);

private:
    NutUpsPublisherPrivate *d;
};
