#pragma once

#include "upsdata.h"

#include <QByteArray>
#include <QObject>
#include <QScopedPointer>
#include <QVariantMap>

#include <array>

class MegatecPrivate;

// The driver of a UPS that speaks the Megatec-style serial protocol. The device link takes the
// next request frame from nextCommand, writes it, and hands every received chunk to
// handleResponse. The driver fills the UpsData record, publishes it as a map, raises the status
// and fault alarms and keeps the status summary file. On USB the link fills the record itself
// and calls the publishing operations (updateData, setStatus, setFaultWords, setOnline, ...).
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

    static constexpr int FaultWordCount = 13;
    using FaultWords = std::array<quint16, FaultWordCount>;

    explicit Megatec(QObject *parent = nullptr);
    ~Megatec() override;

    // Request queue and replies (serial transport).
    QByteArray nextCommand();
    bool handleResponse(const QByteArray &bytes);
    int currentCommand() const;

    bool isOnline() const;
    void reset();
    UpsData *upsData();
    QVariantMap data() const;

    // Publishing, also driven by the USB transport.
    void updateData();
    void updateRatingInfo();
    void updateDevInfo();
    void setStatus(quint8 status);
    void setFaultWords(int kind, const FaultWords &words);
    void setOnline(bool online);
    void updateStatusFile();

    // Control requests; each goes to the front of the queue and out with the next poll.
    void shutdown(bool shutdown, int time);
    void selfTest(int type, int time);
    void toggleBuzzer();

signals:
    void dataChanged();
    void onlineChanged(bool isOnline);

private:
    QScopedPointer<MegatecPrivate> d;
    friend class MegatecPrivate;
};
