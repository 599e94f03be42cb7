#pragma once

#include "watchedups.h"

#include <QObject>
#include <QPointer>
#include <QScopedPointer>

class DevComm;
class DevStatusViewPrivate;
class ServiceShutdown;
class UpsDirectory;
struct UpsState;

// What the device page shows, decided from the typed state of the UPS, the shutdown countdown
// and a pending output-off: the link state, the six status tiles, the measurement texts, the
// live parts of the power-flow diagram and what may be cancelled now. The screens set `source`
// to DevComm and `shutdown` to ServiceShutdown, bind to these properties and only pick the
// translated words.
class DevStatusView : public QObject
{
    Q_OBJECT
    Q_PROPERTY(DevComm *source READ source WRITE setSource NOTIFY sourceChanged)
    // A watched UPS instead of this computer's (no countdown and no output-off of its own).
    Q_PROPERTY(WatchedUps *watched READ watched WRITE setWatched NOTIFY sourceChanged)
    // The shown name, for a card of the overview.
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY sourceChanged)
    Q_PROPERTY(ServiceShutdown *shutdown READ shutdown WRITE setShutdown NOTIFY sourceChanged)
    Q_PROPERTY(int shutdownSeconds READ shutdownSeconds WRITE setShutdownSeconds NOTIFY
                   shutdownSecondsChanged)
    // An output-off asked of the UPS that has not happened yet: its seconds left (-1: none).
    Q_PROPERTY(int outputOffSeconds READ outputOffSeconds NOTIFY shutdownSecondsChanged)
    // What the countdown card shows (CardMode) and what a cancel there, in the pop-up or in the
    // tray menu calls off now (CancelKind).
    Q_PROPERTY(int cardMode READ cardMode NOTIFY shutdownSecondsChanged)
    Q_PROPERTY(int cancelKind READ cancelKind NOTIFY shutdownSecondsChanged)

    Q_PROPERTY(int linkState READ linkState NOTIFY statusChanged)
    Q_PROPERTY(bool online READ online NOTIFY statusChanged)
    Q_PROPERTY(int inputState READ inputState NOTIFY statusChanged)
    Q_PROPERTY(int batteryState READ batteryState NOTIFY statusChanged)
    Q_PROPERTY(int faultState READ faultState NOTIFY statusChanged)
    Q_PROPERTY(int selfTestState READ selfTestState NOTIFY statusChanged)
    Q_PROPERTY(int workMode READ workMode NOTIFY statusChanged)
    Q_PROPERTY(int upsState READ upsState NOTIFY statusChanged)
    // The words of that state (UpsCondition::words): their key, and the time to put in them.
    Q_PROPERTY(QString wordsKey READ wordsKey NOTIFY statusChanged)
    Q_PROPERTY(QString wordsTime READ wordsTime NOTIFY shutdownSecondsChanged)

    Q_PROPERTY(double batteryPercent READ batteryPercent NOTIFY statusChanged)
    Q_PROPERTY(double loadPercent READ loadPercent NOTIFY statusChanged)
    // The UPS's own runtime beside the one learned from its discharges ("UPS says 12:00 ·
    // measured 8:10"), either alone, or none.
    Q_PROPERTY(QString battRemainText READ battRemainText NOTIFY statusChanged)
    // Where the learned runtime and health are read: the entry of this computer's UPS for a
    // view of `source`, the one of `name` for a watched one.
    Q_PROPERTY(UpsDirectory *directory READ directory WRITE setDirectory NOTIFY sourceChanged)
    Q_PROPERTY(double batteryHealth READ batteryHealth NOTIFY statusChanged) // 0..1, -1: none
    Q_PROPERTY(QString countdownText READ countdownText NOTIFY shutdownSecondsChanged)
    Q_PROPERTY(bool countdownRunning READ countdownRunning NOTIFY shutdownSecondsChanged)

    Q_PROPERTY(QString inputVolText READ inputVolText NOTIFY statusChanged)
    Q_PROPERTY(QString outputVolText READ outputVolText NOTIFY statusChanged)
    Q_PROPERTY(QString inputFreqText READ inputFreqText NOTIFY statusChanged)
    Q_PROPERTY(QString battVolText READ battVolText NOTIFY statusChanged)
    Q_PROPERTY(QString loadText READ loadText NOTIFY statusChanged)
    Q_PROPERTY(QString temperatureText READ temperatureText NOTIFY statusChanged)

    Q_PROPERTY(QString manufacturerText READ manufacturerText NOTIFY statusChanged)
    Q_PROPERTY(QString modelText READ modelText NOTIFY statusChanged)
    Q_PROPERTY(QString versionText READ versionText NOTIFY statusChanged)
    Q_PROPERTY(QString snText READ snText NOTIFY statusChanged)
    // The model of the UPS when it last answered; kept while the link is lost, empty until a UPS
    // named one.
    Q_PROPERTY(QString knownModel READ knownModel NOTIFY statusChanged)

    Q_PROPERTY(bool mainsLive READ mainsLive NOTIFY statusChanged)
    Q_PROPERTY(bool bypassLive READ bypassLive NOTIFY statusChanged)
    Q_PROPERTY(bool inverterLive READ inverterLive NOTIFY statusChanged)
    Q_PROPERTY(bool batteryCharging READ batteryCharging NOTIFY statusChanged)
    Q_PROPERTY(bool batteryDischarging READ batteryDischarging NOTIFY statusChanged)
    Q_PROPERTY(bool loadLive READ loadLive NOTIFY statusChanged)

public:
    enum LinkState { LinkUnknown = 0, LinkOnline = 1, LinkOffline = 2 };
    Q_ENUM(LinkState)
    // A status flag of the UPS; Unknown while no data from an online UPS is at hand.
    enum FlagState { FlagUnknown = -1, FlagNormal = 0, FlagActive = 1 };
    Q_ENUM(FlagState)
    enum WorkMode {
        WorkUnknown = 0,
        WorkOnMains = 1,
        WorkOnBattery = 2,
        WorkOnBypass = 3,
        WorkBoostOrBuck = 4
    };
    Q_ENUM(WorkMode)
    // The one state the header, the diagram's pill and the tray show (UpsCondition::of), in
    // rising order of severity: where several hold at once, the worst is shown.
    enum UpsCondition {
        UpsWaiting = 0, // no answer from the UPS yet
        UpsNormal = 1,
        UpsOnBattery = 2,
        UpsBatteryLow = 3,
        UpsOutputOffPending = 4, // the load still has power, for outputOffSeconds
        UpsOutputOff = 5,
        UpsFault = 6,
        UpsCommLost = 7
    };
    Q_ENUM(UpsCondition)
    enum CardMode { CardIdle = 0, CardCountdown = 1, CardOutputOff = 2 };
    Q_ENUM(CardMode)
    enum CancelKind { CancelNone = 0, CancelShutdown = 1, CancelOutputOff = 2 };
    Q_ENUM(CancelKind)

    explicit DevStatusView(QObject *parent = nullptr);
    ~DevStatusView() override;

    DevComm *source() const;
    void setSource(DevComm *source);
    WatchedUps *watched() const;
    void setWatched(WatchedUps *watched);
    QString name() const;
    void setName(const QString &name);
    void setState(const ::UpsState &state);
    ServiceShutdown *shutdown() const;
    void setShutdown(ServiceShutdown *shutdown);
    int shutdownSeconds() const;
    void setShutdownSeconds(int seconds);
    int outputOffSeconds() const;
    int cardMode() const;
    int cancelKind() const;
    // Calls off what cancelKind names, from `where` (for the log).
    Q_INVOKABLE void cancel(const QString &where);

    int linkState() const;
    bool online() const;
    int inputState() const;
    int batteryState() const;
    int faultState() const;
    int selfTestState() const;
    int workMode() const;
    int upsState() const;
    QString wordsKey() const;
    QString wordsTime() const;

    double batteryPercent() const; // -1 while unknown
    double loadPercent() const; // -1 while unknown
    QString battRemainText() const;
    UpsDirectory *directory() const;
    void setDirectory(UpsDirectory *directory);
    double batteryHealth() const;
    QString countdownText() const;
    bool countdownRunning() const;

    QString inputVolText() const;
    QString outputVolText() const;
    QString inputFreqText() const;
    QString battVolText() const;
    QString loadText() const;
    QString temperatureText() const;

    // The identity fields come padded from the UPS; blank ones show "--".
    QString manufacturerText() const;
    QString modelText() const;
    QString versionText() const;
    QString snText() const;
    QString knownModel() const;

    bool mainsLive() const;
    bool bypassLive() const;
    bool inverterLive() const;
    bool batteryCharging() const;
    bool batteryDischarging() const;
    bool loadLive() const;

    // "hh:mm:ss" for a count of seconds, "--:--:--" for none; hours go past 24 unwrapped.
    static QString clockText(qint64 seconds);

signals:
    void sourceChanged();
    void shutdownSecondsChanged();
    void statusChanged();

private:
    QScopedPointer<DevStatusViewPrivate> d;
};
