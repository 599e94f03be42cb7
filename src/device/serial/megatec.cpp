#include "megatec.h"

#include "clock.h"
#include "logcategories.h"
#include "megatecreply.h"
#include "upslink.h"

#include <QDebug>
#include <QHash>
#include <QList>

#include <cstring>
#include <string_view>

namespace {

constexpr int bufferSize = 128;

struct Request
{
    int command;
    QByteArray frame;
};

QString slotText(const char *slot, std::size_t size)
{
    return QString::fromLatin1(slot, int(qstrnlen(slot, uint(size))));
}

// The number (from 1) of the first value that is missing, or 0 when all are there.
template<typename... Values> int firstMissing(const Values &...values)
{
    int position = 0;
    int missing = 0;
    ((++position, missing = (missing == 0 && !values) ? position : missing), ...);
    return missing;
}

} // namespace

class MegatecPrivate
{
public:
    explicit MegatecPrivate(Megatec *owner) : q(owner) { }

    Megatec *q;
    QList<Request> queue;
    int current = Megatec::CmdError;
    QByteArray currentFrame;
    char buffer[bufferSize + 1] = {};
    int count = 0;
    // Some units and adapters echo every request in front of the reply.
    bool echoPassed = false;
    bool echoLogged = false;
    bool isEcho() const;

    bool devInfoReceived = false;
    bool ratingInfoReceived = false;
    bool nquReceived = false;
    bool battPercentReceived = false;

    // The identity as the replies write it: each reply writes its columns into the start of a
    // slot and leaves the rest as it was; the last byte of every slot stays NUL.
    char compName[15 + 1] = {};
    char model[20 + 1] = {};
    char version[10 + 1] = {};
    char sn[21 + 1] = {};

    UpsState state;

    // The last status line accepted, while only status queries went out since: a UPS at rest
    // repeats its reading byte for byte, and the same line would parse into the same state.
    char lastStatus[bufferSize + 1] = {};
    bool lastStatusKept = false;

    // The poll order once the UPS answers (fillPollCycle).
    static constexpr int statusPerSlowOnMains = 10;
    static constexpr int statusPerSlowOnBattery = 2;
    int statusSinceSlow = 0;
    int lastSlow = Megatec::CmdError;
    static int slowRank(int command);

    // While the UPS is well and on mains, a status reply that changes no flag is told once a
    // second: the status query is asked several times a second to see a mains failure soon, not
    // for the screens and the network to follow every reading.
    static constexpr qint64 steadyTellEveryMs = 1000;
    qint64 toldAt = -1;
    bool toldWell = false; // the last state told was well and on mains
    quint8 toldStatus = 0;
    bool tellWanted(bool wasOnline);

    void fillPollCycle();
    void pushFront(int command, const QByteArray &frame);

    bool parse();
    bool checkLine(int length, char start, char altStart = 0);
    bool parseStatus();
    bool readStatusFields();
    bool parseRating();
    bool parseDevInfo();
    bool parseNqu();
    bool parseRemainTime();
    bool parseBattPercent();
    bool parseFaultWords();
    void publishIdentity();

    // Why a reply was refused: nothing of it is stored. Each kind is logged the first time it
    // comes for a query, and counted.
    enum class Refusal { Garbled, FieldCount, NotANumber, NotText, OutOfRange };
    QHash<int, int> refusals; // per query and kind
    int refusedTotal = 0;
    bool refuse(Refusal why, int field = 0);
    // A UPS streaming without carriage returns overflows twice a second; warn once until a good
    // reply.
    bool overflowLogged = false;
};

namespace {

// The length of each query's reply line, carriage return included.
int replyLengthOf(int command)
{
    switch (command) {
    case Megatec::CmdQueryBase:
        return 47;
    case Megatec::CmdQueryRatingInfo:
        return 22;
    case Megatec::CmdQueryDevInfo:
        return 39;
    case Megatec::CmdOrvakNqu:
        return 55;
    case Megatec::CmdOrvakBT:
        return 12;
    case Megatec::CmdOrvakBP:
        return 6;
    case Megatec::CmdOrvakA1:
        return 69;
    default:
        return 0;
    }
}

} // namespace

// A status change (the mains, the battery low) shows first in the status reply; the other
// queries' answers change slowly. Until the UPS answers, a cycle asks everything, so the status
// reply that brings it online comes complete (runtime, percentage, ratings, identity): BT BP NQU F
// I Q1 A1. Once it answers, the status query is asked back to back and one slow query (BT, BP,
// any of NQU, F, I still unread, A1, in turn) comes after every `statusPerSlowOnMains` of them,
// so a mains failure waits at most for one status reply in flight; on battery, when the runtime
// and the charge are what the user watches, after every `statusPerSlowOnBattery`.
void MegatecPrivate::fillPollCycle()
{
    const Request status {Megatec::CmdQueryBase, QByteArrayLiteral("Q1\r")};
    const int statusPerSlow = state.onBattery ? statusPerSlowOnBattery : statusPerSlowOnMains;
    if (state.online() && statusSinceSlow < statusPerSlow) {
        queue.append(status);
        ++statusSinceSlow;
        return;
    }
    QList<Request> slow = {{Megatec::CmdOrvakBT, QByteArrayLiteral("BT\r")},
                           {Megatec::CmdOrvakBP, QByteArrayLiteral("BP\r")}};
    if (!nquReceived)
        slow.append({Megatec::CmdOrvakNqu, QByteArrayLiteral("NQU\r")});
    if (!ratingInfoReceived)
        slow.append({Megatec::CmdQueryRatingInfo, QByteArrayLiteral("F\r")});
    if (!devInfoReceived)
        slow.append({Megatec::CmdQueryDevInfo, QByteArrayLiteral("I\r")});
    const Request faults {Megatec::CmdOrvakA1, QByteArrayLiteral("A1\r")};
    if (!state.online()) {
        queue.append(slow);
        queue.append(status);
        queue.append(faults);
        statusSinceSlow = 0;
        lastSlow = Megatec::CmdError;
        return;
    }
    slow.append(faults);
    // The one after the last asked, in the order above; the list is shorter once a query was
    // answered, so it is found by place, not by number.
    int next = 0;
    while (next < slow.size() && slowRank(slow.at(next).command) <= slowRank(lastSlow))
        ++next;
    lastSlow = slow.at(next % slow.size()).command;
    queue.append(slow.at(next % slow.size()));
    queue.append(status);
    statusSinceSlow = 1;
}

int MegatecPrivate::slowRank(int command)
{
    switch (command) {
    case Megatec::CmdOrvakBT:
        return 1;
    case Megatec::CmdOrvakBP:
        return 2;
    case Megatec::CmdOrvakNqu:
        return 3;
    case Megatec::CmdQueryRatingInfo:
        return 4;
    case Megatec::CmdQueryDevInfo:
        return 5;
    case Megatec::CmdOrvakA1:
        return 6;
    default:
        return 0;
    }
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
bool MegatecPrivate::checkLine(int length, char start, char altStart)
{
    if (count != length || (buffer[0] != start && (altStart == 0 || buffer[0] != altStart)) ||
        std::memchr(buffer, '\r', std::size_t(length - 1)) != nullptr)
        return refuse(Refusal::Garbled);
    return true;
}

bool MegatecPrivate::parseStatus()
{
    const int length = replyLengthOf(Megatec::CmdQueryBase);
    if (!checkLine(length, '('))
        return false;
    const bool same = lastStatusKept && std::memcmp(buffer, lastStatus, std::size_t(length)) == 0;
    if (!same) {
        if (!readStatusFields())
            return false;
        std::memcpy(lastStatus, buffer, std::size_t(length));
        lastStatusKept = true;
    }
    const bool wasOnline = state.online();
    if (!wasOnline) {
        state.link = UpsState::Link::Online;
        emit q->onlineChanged(true);
    }
    if (tellWanted(wasOnline))
        emit q->stateChanged();
    return true;
}

// The fields of a complete status line into the state; nothing is stored from a line refused.
bool MegatecPrivate::readStatusFields()
{
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 45);
    if (fields.size() != 8)
        return refuse(Refusal::FieldCount);
    const auto decimal = [&fields](int i) {
        return MegatecReply::toDecimal(fields.at(i));
    };
    const std::optional<float> input = decimal(0), faultVoltage = decimal(1), output = decimal(2),
                               frequency = decimal(4), battery = decimal(5);
    // Units without a temperature sensor write dashes there.
    const bool noTemperature = MegatecReply::isPlaceholder(fields.at(6));
    const std::optional<float> temperature = noTemperature ? std::optional<float>(0.0f) : decimal(6);
    const std::optional<quint16> load = MegatecReply::toWhole(fields.at(3));
    const std::optional<quint8> status = MegatecReply::statusByte(fields.at(7));
    if (const int field = firstMissing(input, faultVoltage, output, load, frequency, battery,
                                       temperature, status))
        return refuse(Refusal::NotANumber, field);

    state.inputVoltage = input;
    state.inputFaultVoltage = faultVoltage;
    state.outputVoltage = output;
    state.load = *load;
    state.inputFrequency = frequency;
    state.batteryVoltage = battery;
    state.temperature = noTemperature ? std::nullopt : temperature;
    state.setStatusByte(*status);

    // Without an answer to the percentage query last asked, both battery figures come from the
    // voltage.
    if (!battPercentReceived) {
        const float capacity = MegatecReply::estimateCapacity(
            *battery, state.ratedBatteryVoltage.value_or(0.0f), state.standbyType);
        state.batteryCharge = capacity;
        state.chargeEstimated = true;
        state.runtime = UpsState::runtimeFromCharge(capacity);
        state.runtimeEstimated = true;
    }
    return true;
}

bool MegatecPrivate::tellWanted(bool wasOnline)
{
    const qint64 now = Clock::msecsSinceEpoch();
    // A self-test is recorded second by second from every reply.
    const bool well = !state.onBattery && !state.batteryLow && !state.upsFailed &&
        !state.selfTest && !state.shutdownActive && !state.outputOff();
    const bool steady = wasOnline && well && toldWell && state.statusByte() == toldStatus &&
        toldAt >= 0 && now >= toldAt && now - toldAt < steadyTellEveryMs;
    if (steady)
        return false;
    toldAt = now;
    toldWell = well;
    toldStatus = state.statusByte();
    return true;
}

bool MegatecPrivate::parseRating()
{
    if (!checkLine(replyLengthOf(Megatec::CmdQueryRatingInfo), '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 20);
    if (fields.size() != 4)
        return refuse(Refusal::FieldCount);
    const std::optional<float> output = MegatecReply::toDecimal(fields.at(0));
    const std::optional<quint16> current = MegatecReply::toWhole(fields.at(1));
    const std::optional<float> battery = MegatecReply::toDecimal(fields.at(2));
    const std::optional<float> frequency = MegatecReply::toDecimal(fields.at(3));
    if (const int field = firstMissing(output, current, battery, frequency))
        return refuse(Refusal::NotANumber, field);
    state.ratedOutputVoltage = output;
    state.ratedCurrent = *current;
    state.ratedBatteryVoltage = battery;
    state.ratedFrequency = frequency;
    ratingInfoReceived = true;
    emit q->identityChanged();
    return true;
}

bool MegatecPrivate::parseDevInfo()
{
    // Fixed columns: company 1-15, model 17-26, version 28-37.
    const int length = replyLengthOf(Megatec::CmdQueryDevInfo);
    if (!checkLine(length, '#', '!'))
        return false;
    if (!MegatecReply::isText(buffer + 1, length - 2))
        return refuse(Refusal::NotText);
    if (!nquReceived) {
        std::memcpy(compName, buffer + 1, 15);
        std::memcpy(model, buffer + 17, 10);
    }
    std::memcpy(version, buffer + 28, 10);
    devInfoReceived = true;
    publishIdentity();
    return true;
}

bool MegatecPrivate::parseNqu()
{
    // Fixed columns: serial number 1-21, model 23-42, company 44-53. Published with the
    // identity reply that follows in the same cycle, or now when that was answered before.
    const int length = replyLengthOf(Megatec::CmdOrvakNqu);
    if (!checkLine(length, '#'))
        return false;
    if (!MegatecReply::isText(buffer + 1, length - 2))
        return refuse(Refusal::NotText);
    std::memcpy(sn, buffer + 1, 21);
    std::memcpy(model, buffer + 23, 20);
    std::memcpy(compName, buffer + 44, 10);
    nquReceived = true;
    if (devInfoReceived)
        publishIdentity();
    return true;
}

bool MegatecPrivate::parseRemainTime()
{
    if (!checkLine(replyLengthOf(Megatec::CmdOrvakBT), '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 10);
    if (fields.size() != 2)
        return refuse(Refusal::FieldCount);
    // Minutes, then the same in seconds (not used, but a number all the same).
    const std::optional<quint16> minutes = MegatecReply::toWhole(fields.at(0));
    if (const int field = firstMissing(minutes, MegatecReply::isWhole(fields.at(1))))
        return refuse(Refusal::NotANumber, field);
    state.runtime = *minutes;
    state.runtimeEstimated = false;
    return true;
}

bool MegatecPrivate::parseBattPercent()
{
    if (!checkLine(replyLengthOf(Megatec::CmdOrvakBP), '#'))
        return false;
    // Tenths of a percent.
    const std::optional<quint16> tenths = MegatecReply::toWhole(QByteArray(buffer + 1, 4));
    if (!tenths)
        return refuse(Refusal::NotANumber, 1);
    if (*tenths > 1000)
        return refuse(Refusal::OutOfRange, 1);
    state.batteryCharge = float(*tenths) * 0.1f;
    state.chargeEstimated = false;
    battPercentReceived = true;
    return true;
}

bool MegatecPrivate::parseFaultWords()
{
    if (!checkLine(replyLengthOf(Megatec::CmdOrvakA1), '#'))
        return false;
    const QList<QByteArray> fields = MegatecReply::fields(buffer, 1, 67);
    if (fields.size() != 1 + UpsState::FaultWordCount)
        return refuse(Refusal::FieldCount);
    const std::optional<quint16> kind = MegatecReply::toWhole(fields.at(0));
    if (!kind)
        return refuse(Refusal::NotANumber, 1);
    UpsState::FaultWords words {};
    for (int i = 0; i < UpsState::FaultWordCount; ++i) {
        const std::optional<quint16> word = MegatecReply::toHexWord(fields.at(i + 1));
        if (!word)
            return refuse(Refusal::NotANumber, i + 2);
        words[std::size_t(i)] = *word;
    }
    state.faultKind = *kind & 0xFF;
    state.faultWords = words;
    emit q->faultsChanged();
    return true;
}

// The first line received for the request, byte for byte the request itself.
bool MegatecPrivate::isEcho() const
{
    return !echoPassed && count == currentFrame.size() &&
        std::memcmp(buffer, currentFrame.constData(), std::size_t(count)) == 0;
}

bool MegatecPrivate::refuse(Refusal why, int field)
{
    ++refusedTotal;
    if (refusals[current << 8 | int(why)]++ > 0)
        return false;
    QString reason;
    switch (why) {
    case Refusal::Garbled:
        reason = QStringLiteral("not a reply of its kind (start, length or line end)");
        break;
    case Refusal::FieldCount:
        reason = QStringLiteral("a wrong number of fields");
        break;
    case Refusal::NotANumber:
        reason = QStringLiteral("field %1 is not a number as the UPS writes it").arg(field);
        break;
    case Refusal::NotText:
        reason = QStringLiteral("bytes that are not text");
        break;
    case Refusal::OutOfRange:
        reason = QStringLiteral("field %1 is out of range").arg(field);
        break;
    }
    // The line as received, quoted and escaped where it is not text.
    QString line;
    QDebug(&line) << QByteArray(buffer, count);
    qCWarning(lcDevice).noquote()
        << QStringLiteral("Reply to %1 refused, %2: %3. Nothing of it is used; further replies "
                          "refused for this reason are counted, not logged")
               .arg(QString::fromLatin1(currentFrame.trimmed()), reason, line.trimmed());
    return false;
}

void MegatecPrivate::publishIdentity()
{
    state.manufacturer = slotText(compName, sizeof compName);
    state.model = slotText(model, sizeof model);
    state.firmware = slotText(version, sizeof version);
    state.serialNumber = slotText(sn, sizeof sn);
    emit q->identityChanged();
}

Megatec::Megatec(QObject *parent) : QObject(parent), d(new MegatecPrivate(this)) { }

Megatec::~Megatec() = default;

QByteArray Megatec::nextCommand()
{
    if (d->queue.isEmpty())
        d->fillPollCycle();
    const Request request = d->queue.takeFirst();
    d->current = request.command;
    d->currentFrame = request.frame;
    d->count = 0;
    d->echoPassed = false;
    // Any other reply may change what the next status line parses into (the charge and runtime
    // it estimates, the rated battery voltage it scales by).
    if (request.command != CmdQueryBase)
        d->lastStatusKept = false;
    if (request.command == CmdOrvakBP)
        d->battPercentReceived = false;
    return request.frame;
}

bool Megatec::statusQueryNext()
{
    if (d->queue.isEmpty())
        d->fillPollCycle();
    return d->queue.first().command == CmdQueryBase;
}

bool Megatec::handleResponse(const QByteArray &bytes)
{
    return handleResponse(bytes.constData(), int(bytes.size()));
}

bool Megatec::handleResponse(const char *bytes, int size)
{
    for (const char byte : std::string_view(bytes, std::size_t(size))) {
        d->buffer[d->count++] = byte;
        if (d->count > bufferSize) {
            if (!d->overflowLogged)
                qCWarning(lcDevice) << "Reply longer than" << bufferSize
                                    << "bytes dropped (not logged again until a good reply)";
            d->overflowLogged = true;
            d->count = 0;
            return false;
        }
        if (byte == '\r' && d->isEcho()) {
            if (!d->echoLogged)
                qCInfo(lcDevice) << "The UPS line echoes the requests; each echo is passed over";
            d->echoLogged = true;
            d->echoPassed = true;
            d->count = 0; // the reply follows, in this chunk or the next
            continue;
        }
        if (byte == '\r') {
            d->buffer[d->count] = '\0';
            const bool accepted = d->parse();
            if (accepted)
                d->overflowLogged = false;
            return accepted;
        }
    }
    return false;
}

int Megatec::replyBytesAwaited() const
{
    return qMax(0, replyLengthOf(d->current) - d->count);
}

int Megatec::statusExchangeBytes()
{
    return int(sizeof "Q1\r") - 1 + replyLengthOf(CmdQueryBase);
}

int Megatec::refusedReplies() const
{
    return d->refusedTotal;
}

int Megatec::currentCommand() const
{
    return d->current;
}

bool Megatec::isOnline() const
{
    return d->state.online();
}

const UpsState &Megatec::state() const
{
    return d->state;
}

void Megatec::reset()
{
    d->devInfoReceived = false;
    d->ratingInfoReceived = false;
    d->nquReceived = false;
    d->battPercentReceived = false;
    std::memset(d->compName, 0, sizeof d->compName);
    std::memset(d->model, 0, sizeof d->model);
    std::memset(d->version, 0, sizeof d->version);
    std::memset(d->sn, 0, sizeof d->sn);

    const bool wasOnline = d->state.online();
    const UpsState::Link link = d->state.link;
    d->state = UpsState {};
    d->state.link = wasOnline ? UpsState::Link::Offline : link;
    d->toldAt = -1;
    d->statusSinceSlow = 0;
    d->lastStatusKept = false;
    if (wasOnline) {
        emit onlineChanged(false);
        emit stateChanged();
    } else {
        emit identityChanged();
    }
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
    if (!d->state.onBattery)
        frame += "R9999";
    frame += '\r';
    d->pushFront(CmdCloseOutput, frame);
}

void Megatec::powerCycle(int time)
{
    if (time < 0 || time > 10) {
        qCInfo(lcDevice) << "UPS shutdown delay" << time << "minutes is out of range; not sent";
        return;
    }
    // With a restart time the UPS comes back even when the mains returned before its output
    // went off (without one it would stay off); three minutes off, as NUT's driver waits by
    // default, so every machine on it really loses power and starts again.
    const QByteArray delay = time == 0 ? QByteArrayLiteral("S.2")
                                       : "S" + QByteArray::number(time).rightJustified(2, '0');
    d->pushFront(CmdCloseOutput, delay + "R0003\r");
}

void Megatec::selfTest(int type, int time)
{
    const bool testing = d->state.selfTest;
    if (type == UpsLink::SelfTestCancel && testing) {
        d->pushFront(CmdSCCancel, QByteArrayLiteral("CT\r"));
    } else if (type == UpsLink::SelfTest10S && !testing) {
        d->pushFront(CmdSC10S, QByteArrayLiteral("T\r"));
    } else if (type == UpsLink::SelfTestEOD && !testing) {
        d->pushFront(CmdSCEOD, QByteArrayLiteral("TL\r"));
    } else if (type == UpsLink::SelfTestCustom && !testing && time >= 1 && time <= 99) {
        d->pushFront(CmdSCCustom, "T" + QByteArray::number(time).rightJustified(2, '0') + '\r');
    } else {
        qCInfo(lcDevice) << "Self-test request" << type << time
                         << "not sent; test running:" << testing;
    }
}

void Megatec::toggleBeeper()
{
    d->pushFront(CmdBuzzer, QByteArrayLiteral("Q\r"));
}
