// libFuzzer target for the serial reply parser. The first four bytes seed the chunking; the rest
// is the byte stream from the UPS. It is handed to the driver in chunks of random size while the
// outstanding request moves through the poll cycle and the control requests, as the device link
// would move it on an accepted reply, a time-out or a user's command. After every chunk the
// state and the map built from it must still be sound, and a chunk that completes no accepted
// reply must have changed nothing. The driver touches no file, database or setting, so none is
// needed here.
#include "devdatamap.h"
#include "fuzzing.h"
#include "megatec.h"

#include <QCoreApplication>

#include <cmath>
#include <cstdint>

using namespace Fuzzing;

namespace {

// The protocol writes no sign: a value read is a finite number, never below 0.
void checkRead(const std::optional<float> &value, const char *what)
{
    check(!value || (std::isfinite(*value) && *value >= 0.0f), what);
}

void checkState(const Megatec &driver, const DevDataMap &published)
{
    const UpsState &state = driver.state();
    for (const auto *value :
         {&state.inputVoltage, &state.inputFaultVoltage, &state.outputVoltage,
          &state.inputFrequency, &state.batteryVoltage, &state.temperature, &state.batteryCharge,
          &state.ratedOutputVoltage, &state.ratedBatteryVoltage, &state.ratedFrequency})
        checkRead(*value, "finite state values");
    check(state.batteryCharge.value_or(0.0f) <= 100.0f, "capacity range");
    check(state.manufacturer.size() <= 15 && state.model.size() <= 20 &&
              state.firmware.size() <= 10 && state.serialNumber.size() <= 21,
          "identity within its columns");
    check(state.online() == driver.isOnline(), "online state");

    const QVariantMap map = published.map(state, state.link != UpsState::Link::Unknown);
    check(map.size() == (state.link != UpsState::Link::Unknown ? 3 : 2), "map keys");
    const QVariantList input = map.value(QStringLiteral("inputVolList")).toList();
    const QVariantList output = map.value(QStringLiteral("outputVolList")).toList();
    check(!input.isEmpty() && input.size() <= 60 && input.size() == output.size(), "histories");
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it.value().userType() == QMetaType::Float)
            check(std::isfinite(it.value().toFloat()), "finite published values");
    }
    check(map.value(QStringLiteral("devOnline"), false).toBool() == driver.isOnline(),
          "online flag published");
}

void controlRequest(Megatec &driver, Random &random)
{
    const std::uint32_t pick = random.next();
    const int argument = int(pick >> 8) % 120 - 5;
    switch (pick % 4) {
    case 0:
        driver.shutdown((pick >> 4) & 1, argument);
        break;
    case 1:
    case 2:
        driver.selfTest(int(pick >> 4) % 6, argument);
        break;
    default:
        driver.toggleBeeper();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Random random;
    std::uint32_t seed;
    if (!random.seed(data, size, &seed))
        return 0;

    Megatec driver;
    DevDataMap published;
    QObject::connect(&driver, &Megatec::stateChanged,
                     [&driver, &published] { published.record(driver.state()); });
    // Now and then the line talks before the first request: nothing is outstanding yet.
    if (random.next() % 8 != 0)
        driver.nextCommand();
    std::size_t position = 0;
    while (position < size) {
        const std::uint32_t pick = random.next();
        std::size_t length = 1 + (pick % 16 == 0 ? pick % 200 : pick % 48);
        if (length > size - position)
            length = size - position;
        // Mostly a chunk ends with its line, as when the UPS waits for the next request.
        if (pick % 4 != 0) {
            const void *end = std::memchr(data + position, '\r', length);
            if (end)
                length =
                    std::size_t(static_cast<const std::uint8_t *>(end) - (data + position)) + 1;
        }
        const QByteArray chunk(reinterpret_cast<const char *>(data + position), int(length));
        position += length;

        const int command = driver.currentCommand();
        const UpsState before = driver.state();
        const bool accepted = driver.handleResponse(chunk);
        check(!accepted || command == Megatec::CmdQueryBase || command > Megatec::CmdCloseOutput,
              "only replies to queries are accepted");
        check(accepted || driver.state() == before, "nothing of a refused reply is kept");
        checkState(driver, published);

        // The link asks for the next request after a complete line or when it times out.
        const std::uint32_t event = random.next();
        if (chunk.contains('\r') || event % 8 == 0)
            driver.nextCommand();
        if (event % 29 == 0)
            controlRequest(driver, random);
        if (event % 97 == 0) {
            driver.reset();
            checkState(driver, published);
        }
    }
    driver.reset();
    return 0;
}
