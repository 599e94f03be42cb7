#pragma once

#include <QObject>
#include <QScopedPointer>
#include <QString>
#include <QStringList>

class BatteryPack;
class UpsModelPrivate;

// The simulated UPS: mains, battery, output, self-test, beeper, fault words, identity and
// ratings. It moves on by itself (a timer; scaled by the speed factor): the battery drains while
// the output runs from it and charges on mains, a self-test ends on its own, a delayed output-off
// happens and the output restarts when it may. Every change is announced by changed().
class UpsModel : public QObject
{
    Q_OBJECT
public:
    enum SelfTest { NoTest, Test10Seconds, TestUntilLow, TestMinutes };
    enum LowBattery { LowAuto, LowForcedOn, LowForcedOff };
    static constexpr int FaultWordCount = 13;

    explicit UpsModel(QObject *parent = nullptr);
    ~UpsModel() override;

    // What the status reply reports.
    float inputVoltage() const;
    float inputFaultVoltage() const;
    float outputVoltage() const;
    int load() const; // as reported: 0 while the output is off
    float frequency() const;
    float batteryVoltage() const; // per cell on an on-line unit, the whole string on a standby unit
    float temperature() const;
    quint8 statusBits() const; // bit 0 mains failure ... bit 7 beeper, as on the line
    double capacity() const; // percent
    int remainingSeconds() const;

    // Ratings and identity.
    float ratedOutputVoltage() const;
    int ratedCurrent() const;
    float ratedBatteryVoltage() const;
    float ratedFrequency() const;
    QString company() const;
    QString model() const;
    QString version() const;
    QString serial() const;
    int faultKind() const;
    quint16 faultWord(int index) const;

    bool mainsPresent() const;
    bool outputOn() const;
    SelfTest selfTest() const;
    double selfTestSecondsLeft() const; // < 0 for a test that runs until the battery is low

    // Scenario settings.
    void setMains(bool present);
    void setCapacity(double percent);
    void setLowBattery(LowBattery mode);
    void setLowLevel(double percent);
    void setBypass(bool on);
    void setUpsFault(bool on);
    void setStandbyType(bool on);
    void setBeeper(bool on);
    void setLoad(int percent);
    void setInputVoltage(float volts);
    void setFrequency(float hertz);
    void setTemperature(float celsius);
    void setFaultKind(int kind);
    void setFaultWord(int index, quint16 word);
    void setFaultBit(int index, int bit, bool on);
    void clearFaults();
    void setRuntime(double minutesAtFullLoad);
    void setChargeTime(double minutesFromEmpty);
    void setRatings(float outputVolts, int current, float batteryVolts, float hertz);
    void setIdentity(const QString &what, const QString &text); // company, model, version, serial
    void setSpeed(double factor);
    double speed() const;
    void setWander(bool on, quint32 seed = 1);
    // The lead-acid string (capacity, Peukert, resistance, ageing) instead of the plain
    // minutes-at-full-load drain; "off" goes back to the plain one. False with the reason for a
    // setting it cannot take.
    bool setPack(const QStringList &words, QString *why);
    bool packOn() const;
    const BatteryPack &pack() const;
    double batteryWatts() const; // drawn from the battery at the present load

    // Control requests from the line. They return false, with the reason, when the UPS refuses.
    bool startSelfTest(SelfTest kind, int minutes, QString *why);
    bool cancelSelfTest(QString *why);
    void finishSelfTest();
    bool setSelfTestSecondsLeft(double seconds, QString *why); // a timed test only
    void toggleBeeper();
    bool scheduleOutputOff(double delaySeconds, int restartMinutes, QString *why); // -1: none
    void cancelOutputOff();
    void restartOutput();

    // Moves the model on by this many seconds of UPS time (the timer calls it; tests may too).
    void advance(double seconds);

    // Every part of the state as "key=value" pairs on one line.
    QString describe() const;

signals:
    void changed(const QString &what);

private slots:
    void onTick();

private:
    QScopedPointer<UpsModelPrivate> d;
};
