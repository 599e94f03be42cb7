#pragma once

#include <QByteArray>
#include <QList>
#include <QScopedPointer>
#include <QString>
#include <QStringList>

class UpsSimProcessPrivate;

// The UPS simulator (tools/upssim) run as a child process for a test: a serial line made of a
// pseudo-terminal with a simulated UPS on the far end.
//
//     UpsSimProcess sim({"--instant"});
//     QVERIFY(sim.isReady());
//     port.setPortName(sim.portPath());           // or DevComm::openDevice(1, sim.portPath())
//     QVERIFY(sim.run({"mains fail", "battery 50"}));  // or command() for the answer
//     QVERIFY(sim.waitForFrame("Q1\r", 3000));    // the simulator received a status query
//
// Every wait spins the event loop (so the code under test keeps running) and is bounded.
// The destructor ends the simulator ("quit", then terminate/kill if it does not go).
class UpsSimProcess
{
public:
    // Starts QUELTA_BIN_DIR "/upssim" with these options and waits up to `startTimeoutMs` for
    // the line to be announced.
    explicit UpsSimProcess(const QStringList &options = {QStringLiteral("--instant")},
                           int startTimeoutMs = 5000);
    ~UpsSimProcess();

    bool isReady() const; // started and announced its line
    QString portPath() const; // the terminal end to open, e.g. /dev/pts/7

    // Sends one scenario command (see upssim --help) and returns its answer line, "ok ..." or
    // "error ...", or an empty string when none came in time.
    QString command(const QString &text, int timeoutMs = 3000);
    // Sends the commands in turn: true when each was answered "ok ...".
    bool run(const QStringList &commands);

    // Request frames as the simulator received them, carriage return included ("Q1\r").
    QList<QByteArray> receivedFrames() const;
    void clearReceived();
    // The received frames that are not polling queries (control requests), then cleared.
    QList<QByteArray> takeControlFrames();
    // True once `frame` is among the received frames (also one received before the call).
    bool waitForFrame(const QByteArray &frame, int timeoutMs = 3000);

    // Every line the simulator printed so far: its event log.
    QStringList eventLines() const;
    // True once a line starting with `prefix` was printed (e.g. "STATE selftest on").
    bool waitForEvent(const QString &prefix, int timeoutMs = 3000);

private:
    QScopedPointer<UpsSimProcessPrivate> d;
};
