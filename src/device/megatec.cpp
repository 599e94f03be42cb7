#include "megatec.h"

#include "alarm.h"
#include "clock.h"
#include "logcategories.h"
#include "megatecreply.h"
#include "paths.h"
#include "selftestlog.h"
#include "statusfilerecord.h"

#include <QList>
#include <QVariantList>

#include <cstring>

namespace {

constexpr int bufferSize = 128;
constexpr int historyLength = 60;

constexpr quint8 mainsFailureBit = 0x01;
constexpr quint8 standbyBit = 0x10;
constexpr quint8 selfTestBit = 0x20;

struct Request
{
    int command;
    QByteArray frame;
};

// The alarm calls of one status bit: on a change to 1 clear `setClears` and raise `setRaises`;
// on a change to 0 clear `setRaises` and raise `setClears` as a timed event.
struct BitAlarms
{
    int setClears;
    int setRaises;
    bool lasting; // setRaises stays listed until the bit clears
};

const BitAlarms statusAlarms[8] = {
    {Alarm::MainsNormal, Alarm::MainsFault, true},
    {Alarm::BattVolNormal, Alarm::BattVolLow, true},
    {Alarm::RecSupply, Alarm::BypassSupply, false}, // bit 4 set: boostOrBuck, below
    {Alarm::UPSNormal, Alarm::UPSFault, true},
    {-1, -1, false},
    {Alarm::SelfTestFinished, Alarm::SelfTest, false},
    {Alarm::NotInPowerOff, Alarm::InPowerOff, false},
    {Alarm::BuzzerOff, Alarm::BuzzerOn, false},
};
const BitAlarms boostOrBuck = {Alarm::BoostOrBuckReturn, Alarm::BoostOrBuck, false};

const char *const statusKeys[8] = {"mainsFault", "battLowVol", "bypassStart", "UPSFault",
                                   "workState",  "selfTest",   "powerOff",    "buzzer"};

QString slotText(const char *slot, std::size_t size)
{
    return QString::fromLatin1(slot, int(qstrnlen(slot, uint(size))));
}

} // namespace

class MegatecPrivate
{
public:
    explicit MegatecPrivate(Megatec *owner) : q(owner) { }

    Megatec *q;
    QList<Request> queue;
    int current = Megatec::CmdError;
    char buffer[bufferSize + 1] = {};
    int count = 0;

    bool devInfoReceived = false;
    bool ratingInfoReceived = false;
    bool nquReceived = false;
    bool battPercentReceived = false;
    bool online = false;

    int kind = -1;
    Megatec::FaultWords words {};

    UpsData data {};
    QVariantMap map;
    QVariantList inputHistory;
    QVariantList outputHistory;
    SelfTestLog selfTestLog;
    StatusFileRecord lastSummary;

    void fillPollCycle();
    void pushFront(int command, const QByteArray &frame);

    bool parse();
    bool checkLine(int length, char start, char altStart = 0) const;
    bool parseStatus();
    bool parseRating();
    bool parseDevInfo();
    bool parseNqu();
    bool parseRemainTime();
    bool parseBattPercent();
    bool parseFaultWords();

    void statusBitChanged(int bit, bool set, quint8 newStatus);

    // The last rejected line; a UPS that keeps sending the same wrong reply is logged once.
    QByteArray lastRejected;
    void noteRejected(bool accepted);
    // A UPS streaming without carriage returns overflows twice a second; warn once until a good
    // reply.
    bool overflowLogged = false;
};

void MegatecPrivate::fillPollCycle()
{
    queue.append({Megatec::CmdOrvakBT, QByteArrayLiteral("BT\r")});
    queue.append({Megatec::CmdOrvakBP, QByteArrayLiteral("BP\r")});
    if (!nquReceived)
        queue.append({Megatec::CmdOrvakNqu, QByteArrayLiteral("NQU\r")});
    if (!ratingInfoReceived)
        queue.append({Megatec::CmdQueryRatingInfo, QByteArrayLiteral("F\r")});
    if (!devInfoReceived)
        queue.append({Megatec::CmdQueryDevInfo, QByteArrayLiteral("I\r")});
    queue.append({Megatec::CmdQueryBase, QByteArrayLiteral("Q1\r")});
    queue.append({Megatec::CmdOrvakA1, QByteArrayLiteral("A1\r")});
}

void MegatecPrivate::pushFront(int command, const QByteArray &frame)
{
    queue.prepend({command, frame});
}

bool MegatecPrivate::parse()
{
    switch (current) {
    case Megatec::CmdQueryBase:
        return parseStatus();
    case Megatec::CmdQueryRatingInfo:
        return parseRating();
    case Megatec::CmdQueryDevInfo:
        return parseDevInfo();
    case Megatec::CmdOrvakNqu:
        return parseNqu();
    case Megatec::CmdOrvakBT:
        return parseRemainTime();
    case Megatec::CmdOrvakBP:
        return parseBattPercent();
    case Megatec::CmdOrvakA1:
        return parseFaultWords();
    default:
        return false; // control requests and nothing outstanding: no reply is parsed
    }
}

// The line must have the reply's exact length and start character, and be the only line
// received for this request: bytes that follow a complete line never make a reply.
bool MegatecPrivate::checkLine(int length, char start, char altStart) const
{
    if (count != length)
        return false;
    if (buffer[0] != start && (altStart == 0 || buffer[0] != altStart))
        return false;
    if (std::memchr(buffer, '\r', std::size_t(length - 1)) != nullptr)
        return false;
    return true;
}

bool MegatecPrivate::parseStatus()
{
    if (!checkLine(47, '('))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 45);
    if (fields.size() != 8)
        return false;

    data.inputVol = MegatecReply::toFloat(fields.at(0));
    data.inputFaultVol = MegatecReply::toFloat(fields.at(1));
    data.outputVol = MegatecReply::toFloat(fields.at(2));
    data.load = MegatecReply::toUnsigned(fields.at(3));
    data.inputFreq = MegatecReply::toFloat(fields.at(4));
    data.battVol = MegatecReply::toFloat(fields.at(5));
    data.temperature = MegatecReply::toFloat(fields.at(6));
    q->setStatus(MegatecReply::statusByte(fields.at(7)));

    if (!battPercentReceived) {
        const float capacity =
            MegatecReply::estimateCapacity(data.battVol, data.ratingBattVol, data.status);
        data.battCapacity = capacity;
        data.battRemainTime = quint16(capacity * 1.2f);
    }
    battPercentReceived = false;
    q->updateData();
    if (!online) {
        online = true;
        map.insert(QStringLiteral("devOnline"), true);
        emit q->onlineChanged(true);
    }
    emit q->dataChanged();
    q->updateStatusFile();
    return true;
}

bool MegatecPrivate::parseRating()
{
    if (!checkLine(22, '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 20);
    if (fields.size() != 4)
        return false;
    data.ratingOutputVol = MegatecReply::toFloat(fields.at(0));
    data.ratingCurrent = MegatecReply::toUnsigned(fields.at(1));
    data.ratingBattVol = MegatecReply::toFloat(fields.at(2));
    data.ratingFreq = MegatecReply::toFloat(fields.at(3));
    ratingInfoReceived = true;
    q->updateRatingInfo();
    return true;
}

bool MegatecPrivate::parseDevInfo()
{
    // Fixed columns: company 1-15, model 17-26, version 28-37.
    if (!checkLine(39, '#', '!'))
        return false;
    if (!nquReceived) {
        std::memcpy(data.compName, buffer + 1, 15);
        std::memcpy(data.UPSModel, buffer + 17, 10);
    }
    std::memcpy(data.version, buffer + 28, 10);
    devInfoReceived = true;
    q->updateDevInfo();
    return true;
}

bool MegatecPrivate::parseNqu()
{
    // Fixed columns: serial number 1-21, model 23-42, company 44-53. Published with the
    // identity reply that follows in the same cycle, or now when that was answered before.
    if (!checkLine(55, '#'))
        return false;
    std::memcpy(data.sn, buffer + 1, 21);
    std::memcpy(data.UPSModel, buffer + 23, 20);
    std::memcpy(data.compName, buffer + 44, 10);
    nquReceived = true;
    if (devInfoReceived)
        q->updateDevInfo();
    return true;
}

bool MegatecPrivate::parseRemainTime()
{
    if (!checkLine(12, '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 10);
    if (fields.size() != 2)
        return false;
    data.battRemainTime = MegatecReply::toUnsigned(fields.at(0));
    return true;
}

bool MegatecPrivate::parseBattPercent()
{
    if (!checkLine(6, '#'))
        return false;
    data.battCapacity = float(MegatecReply::toUnsigned(QByteArray(buffer + 1, 4))) * 0.1f;
    battPercentReceived = true;
    return true;
}

bool MegatecPrivate::parseFaultWords()
{
    if (!checkLine(69, '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 67);
    if (fields.size() != 1 + Megatec::FaultWordCount)
        return false;
    Megatec::FaultWords newWords {};
    for (int i = 0; i < Megatec::FaultWordCount; ++i)
        newWords[std::size_t(i)] = MegatecReply::toHexWord(fields.at(i + 1));
    q->setFaultWords(MegatecReply::toSigned(fields.at(0)), newWords);
    return true;
}

void MegatecPrivate::noteRejected(bool accepted)
{
    const bool query = current == Megatec::CmdQueryBase || current > Megatec::CmdCloseOutput;
    if (accepted || !query)
        return;
    const QByteArray line(buffer, count);
    if (line == lastRejected)
        return;
    lastRejected = line;
    qCDebug(lcDevice) << "Reply rejected for command" << current << ":" << line;
}

void MegatecPrivate::statusBitChanged(int bit, bool set, quint8 newStatus)
{
    const BitAlarms &rule = bit == 2 && (newStatus & standbyBit) ? boostOrBuck : statusAlarms[bit];
    if (rule.setRaises < 0)
        return;
    if (bit == 5) {
        if (set)
            selfTestLog.start();
        else
            selfTestLog.stop();
    }
    Alarm *alarm = Alarm::instance();
    if (set) {
        alarm->delAlarm(rule.setClears);
        if (rule.lasting)
            alarm->addAlarm(rule.setRaises);
        else
            alarm->addEvent(rule.setRaises);
    } else {
        alarm->delAlarm(rule.setRaises);
        alarm->addEvent(rule.setClears);
    }
}

Megatec::Megatec(QObject *parent) : QObject(parent), d(new MegatecPrivate(this))
{
    reset();
}

Megatec::~Megatec() = default;

QByteArray Megatec::nextCommand()
{
    if (d->queue.isEmpty())
        d->fillPollCycle();
    const Request request = d->queue.takeFirst();
    d->current = request.command;
    d->count = 0;
    return request.frame;
}

bool Megatec::handleResponse(const QByteArray &bytes)
{
    for (const char byte : bytes) {
        d->buffer[d->count++] = byte;
        if (d->count > bufferSize) {
            if (!d->overflowLogged)
                qCWarning(lcDevice) << "Reply longer than" << bufferSize
                                    << "bytes dropped (not logged again until a good reply)";
            d->overflowLogged = true;
            d->count = 0;
            return false;
        }
        if (byte == '\r') {
            d->buffer[d->count] = '\0';
            const bool accepted = d->parse();
            d->noteRejected(accepted);
            if (accepted)
                d->overflowLogged = false;
            return accepted;
        }
    }
    return false;
}

int Megatec::currentCommand() const
{
    return d->current;
}

bool Megatec::isOnline() const
{
    return d->online;
}

UpsData *Megatec::upsData()
{
    return &d->data;
}

QVariantMap Megatec::data() const
{
    return d->map;
}

void Megatec::updateData()
{
    const UpsData &data = d->data;
    QVariantMap &map = d->map;
    map.insert(QStringLiteral("inputVol"), data.inputVol);
    map.insert(QStringLiteral("outputVol"), data.outputVol);
    map.insert(QStringLiteral("load"), int(data.load));
    map.insert(QStringLiteral("inputFreq"), data.inputFreq);
    map.insert(QStringLiteral("battVol"), data.battVol);
    map.insert(QStringLiteral("battCapacity"), data.battCapacity);
    map.insert(QStringLiteral("battRemainTime"), int(data.battRemainTime));
    map.insert(QStringLiteral("temperature"), data.temperature);

    if (d->inputHistory.size() >= historyLength) {
        d->inputHistory.removeFirst();
        d->outputHistory.removeFirst();
    }
    d->inputHistory.append(data.inputVol);
    d->outputHistory.append(data.outputVol);
    map.insert(QStringLiteral("inputVolList"), d->inputHistory);
    map.insert(QStringLiteral("outputVolList"), d->outputHistory);

    for (int bit = 0; bit < 8; ++bit)
        map.insert(QLatin1String(statusKeys[bit]), (data.status >> bit) & 1);

    if (d->selfTestLog.running)
        d->selfTestLog.sample(data.load, data.battCapacity);
}

void Megatec::updateRatingInfo()
{
    const UpsData &data = d->data;
    d->map.insert(QStringLiteral("ratingOutputVol"), data.ratingOutputVol);
    d->map.insert(QStringLiteral("ratingFreq"), data.ratingFreq);
    d->map.insert(QStringLiteral("ratingBattVol"), data.ratingBattVol);
    d->map.insert(QStringLiteral("ratingCurrent"), int(data.ratingCurrent));
}

void Megatec::updateDevInfo()
{
    const UpsData &data = d->data;
    d->map.insert(QStringLiteral("compName"), slotText(data.compName, sizeof data.compName));
    d->map.insert(QStringLiteral("UPSModel"), slotText(data.UPSModel, sizeof data.UPSModel));
    d->map.insert(QStringLiteral("version"), slotText(data.version, sizeof data.version));
    d->map.insert(QStringLiteral("sn"), slotText(data.sn, sizeof data.sn));
}

void Megatec::setStatus(quint8 status)
{
    const quint8 old = d->data.status;
    for (int bit = 0; bit < 8; ++bit) {
        const bool set = (status >> bit) & 1;
        if (set != bool((old >> bit) & 1))
            d->statusBitChanged(bit, set, status);
    }
    d->data.status = status;
}

void Megatec::setFaultWords(int kind, const FaultWords &words)
{
    const int family = kind & 0xFF;
    if (family != d->kind) {
        d->kind = family;
        d->words.fill(0);
    }
    // Only the two fault families have texts; kind 0 would land on the event codes.
    const bool raises = family == 1 || family == 2;
    Alarm *alarm = Alarm::instance();
    for (int i = 0; i < FaultWordCount; ++i) {
        const quint16 changed = words[std::size_t(i)] ^ d->words[std::size_t(i)];
        if (!changed)
            continue;
        for (int bit = 0; raises && bit < 16; ++bit) {
            if (!((changed >> bit) & 1))
                continue;
            const int code = (16 * i + bit) | (family << 16);
            if ((words[std::size_t(i)] >> bit) & 1) {
                alarm->addAlarm(code);
                alarm->delAlarm(code + 500);
            } else {
                alarm->delAlarm(code);
                alarm->addEvent(code + 500);
            }
        }
        d->words[std::size_t(i)] = words[std::size_t(i)];
    }
}

void Megatec::setOnline(bool online)
{
    if (online == d->online)
        return;
    d->online = online;
    d->map.insert(QStringLiteral("devOnline"), online);
    emit onlineChanged(online);
    updateStatusFile();
}

void Megatec::reset()
{
    d->kind = -1;
    d->words.fill(0);
    d->devInfoReceived = false;
    d->ratingInfoReceived = false;
    d->nquReceived = false;

    d->data = UpsData {};
    d->lastSummary = StatusFileRecord {};
    updateData();
    updateDevInfo();
    updateRatingInfo();

    if (d->online) {
        d->online = false;
        d->map.insert(QStringLiteral("devOnline"), false);
        emit onlineChanged(false);
        emit dataChanged();
        updateStatusFile();
    }
    d->selfTestLog.stop();
}

void Megatec::updateStatusFile()
{
    const StatusFileRecord summary =
        StatusFileRecord::fromState(d->online, d->data, d->kind, d->words);
    if (summary == d->lastSummary)
        return;
    summary.writeTo(Paths::file(QStringLiteral("/log/output/upsstatus.txt")), Clock::now());
    d->lastSummary = summary;
}

void Megatec::shutdown(bool shutdown, int time)
{
    if (!shutdown) {
        d->pushFront(CmdCloseOutput, QByteArrayLiteral("C\r"));
        return;
    }
    if (time < 0 || time > 10) {
        qCInfo(lcDevice) << "UPS shutdown delay" << time << "minutes is out of range; not sent";
        return;
    }
    QByteArray frame = time == 0 ? QByteArrayLiteral("S.2")
                                 : "S" + QByteArray::number(time).rightJustified(2, '0');
    // A restart time only while the mains is present; on battery the output stays off.
    if (!(d->data.status & mainsFailureBit))
        frame += "R9999";
    frame += '\r';
    d->pushFront(CmdCloseOutput, frame);
}

void Megatec::selfTest(int type, int time)
{
    const bool testing = d->data.status & selfTestBit;
    if (type == 1 && testing) {
        d->pushFront(CmdSCCancel, QByteArrayLiteral("CT\r"));
    } else if (type == 2 && !testing) {
        d->pushFront(CmdSC10S, QByteArrayLiteral("T\r"));
    } else if (type == 3 && !testing) {
        d->pushFront(CmdSCEOD, QByteArrayLiteral("TL\r"));
    } else if (type == 4 && !testing && time >= 1 && time <= 99) {
        d->pushFront(CmdSCCustom, "T" + QByteArray::number(time).rightJustified(2, '0') + '\r');
    } else {
        qCInfo(lcDevice) << "Self-test request" << type << time
                         << "not sent; test running:" << testing;
    }
}

void Megatec::toggleBuzzer()
{
    d->pushFront(CmdBuzzer, QByteArrayLiteral("Q\r"));
}
