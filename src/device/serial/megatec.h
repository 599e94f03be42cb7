#pragma once

#include "upsstate.h"

#include <QByteArray>
#include <QObject>
#include <QScopedPointer>

class MegatecPrivate;

// The driver of a UPS that speaks the Megatec-style serial protocol. The serial link takes the
// next request frame from nextCommand, writes it, and hands every received chunk to
// handleResponse; the driver parses the replies into its UpsState and says what changed. It
// touches no file, database or alarm.
class Megatec : public QObject
{
    Q_OBJECT

public:
    enum MegatecCommand {
        CmdError = -1,
        CmdQueryBase = 0,
        CmdSCCancel = 1,
        CmdSC10S = 2,
        CmdSCEOD = 3,
        CmdSCCustom = 4,
        CmdBuzzer = 5,
        CmdCloseOutput = 6,
        CmdQueryDevInfo = 7,
        CmdQueryRatingInfo = 8,
        CmdOrvakBT = 100,
        CmdOrvakBP = 101,
        CmdOrvakA1 = 102,
        CmdOrvakNqu = 103
    };
    Q_ENUM(MegatecCommand)

    explicit Megatec(QObject *parent = nullptr);
    ~Megatec() override;

    // The request queue: one poll cycle at a time, control requests in front.
    QByteArray nextCommand();
    // Whether the request nextCommand() gives next is the status query.
    bool statusQueryNext();
    // True when the bytes completed a reply to the request outstanding and it was accepted. An
    // exact echo of the request in front of the reply is passed over.
    bool handleResponse(const QByteArray &bytes);
    bool handleResponse(const char *bytes, int size);
    int currentCommand() const;
    // Complete replies to a query refused since the driver was made: garbled, or with a field
    // that is not what the protocol writes there.
    int refusedReplies() const;
    // The bytes of the outstanding request's reply not yet handed in; 0 when it awaits none (a
    // control request) or its line is complete.
    int replyBytesAwaited() const;
    // The bytes of one status query and its reply on the line, carriage returns included.
    static int statusExchangeBytes();

    const UpsState &state() const;
    bool isOnline() const;
    // Forgets the UPS: everything read is gone, and an online UPS goes offline.
    void reset();

    // Control requests; each goes to the front of the queue and out with the next poll.
    void shutdown(bool shutdown, int time);
    // Off after `time` minutes, on again three minutes later once the mains is present.
    void powerCycle(int time);
    void selfTest(int type, int time);
    void toggleBeeper();

signals:
    void onlineChanged(bool isOnline);
    // An accepted status reply, or the reset of an online UPS.
    void stateChanged();
    void faultsChanged();
    void identityChanged();

private:
    QScopedPointer<MegatecPrivate> d;
    friend class MegatecPrivate;
};
