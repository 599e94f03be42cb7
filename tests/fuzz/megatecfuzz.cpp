// libFuzzer target for the serial reply parser. The first four bytes seed the chunking; the rest
// is the byte stream from the UPS. It is handed to the driver in chunks of random size while the
// outstanding request moves through the poll cycle and the control requests, as the device link
// would move it on an accepted reply, a time-out or a user's command. After every chunk the
// record and the published map must still be sound.
#include "clock.h"
#include "database.h"
#include "megatec.h"
#include "paths.h"
#include "settings.h"
#include "startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) { }

struct Random
{
    std::uint32_t state;
    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

bool terminated(const char *slot, std::size_t size)
{
    return slot[size - 1] == '\0';
}

void checkState(Megatec &driver)
{
    const UpsData &data = *driver.upsData();
    const float values[] = {data.inputVol,     data.inputFaultVol,   data.outputVol,
                            data.inputFreq,    data.battVol,         data.temperature,
                            data.battCapacity, data.ratingOutputVol, data.ratingBattVol,
                            data.ratingFreq};
    for (float value : values)
        check(std::isfinite(value), "finite record values");
    check(data.battCapacity >= 0.0f && data.battCapacity <= 999.9f + 0.01f, "capacity range");
    check(terminated(data.compName, sizeof data.compName), "company slot terminated");
    check(terminated(data.UPSModel, sizeof data.UPSModel), "model slot terminated");
    check(terminated(data.version, sizeof data.version), "version slot terminated");
    check(terminated(data.sn, sizeof data.sn), "serial number slot terminated");

    const QVariantMap map = driver.data();
    check(map.size() == 26 || map.size() == 27, "map keys");
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
        driver.toggleBuzzer();
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(quiet);

    // A throw-away program root, in memory where possible: the status file and the self-test
    // recordings are written for real, and synced writes would dominate the run.
    const QString base =
        QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    static QTemporaryDir root(base + QStringLiteral("/quelta-fuzz-XXXXXX"));
    qputenv("QUELTA_HOME", root.path().toUtf8());
    Paths::setRoot(root.path());
    Startup::createAppDirectories();
    Settings::instance()->load();

    // The schema in an in-memory database, so stored alarms cost no disk.
    Database::instance();
    QSqlDatabase db = QSqlDatabase::database();
    db.close();
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    Database::instance()->init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static unsigned runs = 0;
    if (++runs % 4096 == 0) {
        QSqlQuery(QStringLiteral("delete from alarm"));
        QSqlQuery(QStringLiteral("delete from log_self_test"));
        QCoreApplication::processEvents(); // the alarm expiry timer
    }
    if (size < 4)
        return 0;

    Random random {0x9E3779B9u};
    std::uint32_t seed;
    std::memcpy(&seed, data, 4);
    random.state ^= seed;
    random.next();
    data += 4;
    size -= 4;

    Clock::setNow(QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0)));
    Megatec driver;
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
        const bool accepted = driver.handleResponse(chunk);
        check(!accepted || command == Megatec::CmdQueryBase || command > Megatec::CmdCloseOutput,
              "only replies to queries are accepted");
        checkState(driver);

        // The link asks for the next request after a complete line or when it times out.
        const std::uint32_t event = random.next();
        if (chunk.contains('\r') || event % 8 == 0)
            driver.nextCommand();
        if (event % 29 == 0)
            controlRequest(driver, random);
        if (event % 11 == 0)
            Clock::advance(1);
        if (event % 97 == 0) {
            driver.reset();
            checkState(driver);
        }
    }
    driver.reset();
    return 0;
}
