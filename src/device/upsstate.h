#pragma once

#include <QMetaType>
#include <QString>

#include <array>
#include <optional>

// What is known about the UPS at one moment, the same whichever link reads it. A value the UPS
// did not report is absent, never zero: the serial and USB links fill everything they read, a
// UPS served over the network may leave some out.
struct UpsState
{
    static constexpr int FaultWordCount = 13;
    using FaultWords = std::array<quint16, FaultWordCount>;

    // Unknown until the UPS has answered once since the program started.
    enum class Link { Unknown, Online, Offline };
    // How the UPS itself says its last self-test ended, where it says so (a network UPS
    // server's ups.test.result); a warning is what the battery gives when it runs low.
    enum class TestVerdict { None, Passed, Warning, Failed };
    // The operating mode of the status summary, worst first.
    enum class Mode { Normal = 0, BypassOrBoost = 1, OnBattery = 2, Standby = 3, Failed = 4 };

    Link link = Link::Unknown;

    // The status flags.
    bool onBattery = false; // the mains (input) failed
    bool batteryLow = false;
    bool bypass = false; // on bypass; boost or buck on a standby type
    bool upsFailed = false;
    bool standbyType = false; // the kind of UPS, not where the power comes from
    bool selfTest = false;
    bool shutdownActive = false; // the output is switched off or about to be
    bool beeper = false;
    // A network UPS server's primary is switching the UPS off (FSD): protected computers go
    // down now. No serial or USB UPS says this.
    bool forcedShutdown = false;
    TestVerdict testVerdict = TestVerdict::None;

    // Fault words of family 1 or 2 (others carry no texts); -1 while none were read.
    int faultKind = -1;
    FaultWords faultWords {};

    std::optional<float> inputVoltage;
    std::optional<float> inputFaultVoltage;
    std::optional<float> outputVoltage;
    std::optional<int> load; // percent
    std::optional<float> inputFrequency;
    std::optional<float> batteryVoltage;
    std::optional<float> temperature; // degrees Celsius
    std::optional<float> batteryCharge; // percent
    bool chargeEstimated = false; // from the battery voltage, not reported by the UPS
    std::optional<int> runtime; // minutes of backup left
    bool runtimeEstimated = false;

    std::optional<float> ratedOutputVoltage;
    std::optional<float> ratedBatteryVoltage;
    std::optional<int> ratedCurrent;
    std::optional<float> ratedFrequency;

    QString manufacturer;
    QString model;
    QString firmware;
    QString serialNumber;

    // Below this the output is off, as measured: a live output is never near it, one switched
    // off reads 0 or a few volts of residue.
    static constexpr float outputOffVolts = 10.0f;

    bool online() const { return link == Link::Online; }
    // The bypass bit names two things by the kind of UPS: a standby (line-interactive) type
    // boosts or trims the mains through its own circuit, any other runs the load on the bypass.
    bool onBypass() const { return bypass && !standbyType; }
    bool boostOrBuck() const { return bypass && standbyType; }
    Mode mode() const;
    // The load has no power: the UPS answers and measures its output below outputOffVolts. Not
    // the shutdown flag: that is set from the moment the UPS accepts an output-off, through the
    // command's delay while the load still has power, and stays clear when the output stops for
    // another reason (a battery run flat). The window, the network server and the shutdown all
    // go by this.
    bool outputOff() const;
    // The UPS says it failed: its status flag, or a fault of its fault words (families 1 and 2;
    // the others carry no faults). Every face shows this one rule as its fault.
    bool faulted() const;
    // The backup a charge gives where the UPS tells none: 1.2 minutes a percent.
    static int runtimeFromCharge(float percent);

    bool operator==(const UpsState &other) const;
    bool operator!=(const UpsState &other) const { return !(*this == other); }

    // The status byte of both protocols: bit 0 mains failed, 1 battery low, 2 bypass or boost,
    // 3 UPS failed, 4 standby type, 5 self-test, 6 shutdown active, 7 beeper on.
    quint8 statusByte() const;
    void setStatusByte(quint8 status);

    // How a status query and a monitoring plugin see the UPS, numbered as their exit codes: on
    // mains, on battery, in danger (battery low, a fault of the UPS, the output off, a forced
    // shutdown), or no UPS answering.
    enum class Health { OnMains = 0, OnBattery = 1, Critical = 2, NoUps = 3 };
    Health health() const;

};

Q_DECLARE_METATYPE(UpsState)
