#pragma once

#include "upsstate.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// What one variable list of a network UPS server says about the UPS, in the terms the rest of
// the program uses. A measurement the server does not have, or has as something that is not a
// number, stays empty: never a zero that could look like a flat battery.
struct NutReading
{
    // The words of "ups.status" (unknown words are ignored).
    bool online = false; // OL
    bool onBattery = false; // OB
    bool batteryLow = false; // LB
    bool bypass = false; // BYPASS
    bool calibrating = false; // CAL: the battery test of the UPS under way
    bool forcedShutdown = false; // FSD: the primary is switching the UPS off
    bool trim = false; // TRIM
    bool boost = false; // BOOST
    bool outputOff = false; // OFF
    bool overload = false; // OVER
    bool replaceBattery = false; // RB
    bool charging = false; // CHRG
    bool discharging = false; // DISCHRG
    bool alarm = false; // ALARM
    // False when "ups.status" is missing or holds no word known here (a driver still starting
    // says "WAIT"): the list then tells nothing about the UPS.
    bool statusKnown = false;
    // ups.test.result: a test under way (the other sign of one beside CAL), or how the last
    // one ended, in the words of the server's drivers ("Done and passed", "Done and warning",
    // "Done and error", "Failed"; "Aborted" and "No test initiated" tell no verdict).
    bool testInProgress = false;
    UpsState::TestVerdict testVerdict = UpsState::TestVerdict::None;

    std::optional<double> inputVoltage; // input.voltage, V
    std::optional<double> outputVoltage; // output.voltage, V
    std::optional<double> load; // ups.load, %
    std::optional<double> inputFrequency; // input.frequency, Hz
    std::optional<double> batteryVoltage; // battery.voltage, V
    std::optional<double> temperature; // ups.temperature, else battery.temperature, deg C
    std::optional<double> batteryCharge; // battery.charge, % 0..100
    std::optional<double> batteryRuntime; // battery.runtime, s
    std::optional<double> ratingOutputVoltage; // output.voltage.nominal
    std::optional<double> ratingFrequency; // output.frequency.nominal, else input's
    std::optional<double> ratingBatteryVoltage; // battery.voltage.nominal
    std::optional<double> ratingCurrent; // output.current.nominal, A
    std::optional<bool> beeperOn; // ups.beeper.status
    std::optional<bool> standbyType; // ups.type: an offline or line-interactive UPS

    QString manufacturer; // device.mfr, else ups.mfr
    QString model; // device.model, else ups.model
    QString firmware; // ups.firmware
    QString serial; // device.serial, else ups.serial

    // Variables present with a value that was refused (not a number, out of range).
    QStringList refused;

    static NutReading fromVariables(const QHash<QString, QString> &variables);
    // The typed state of an answering UPS, as every link fills it.
    UpsState toState() const;

    // A number as the protocol writes it: optional sign, digits, at most one point; no
    // exponent, no thousands separator, nothing around it.
    static std::optional<double> parseNumber(const QString &text);
};
