// libFuzzer target for the network server's request handling. The first four bytes seed the
// chunking; the rest is the byte stream of one client. It is cut into lines by the splitter and
// answered by the dispatcher, in chunks of random size, while the data turns stale or fresh, FSD
// comes and goes, and a second session logs in and out beside it. Every reply must be whole
// lines of the protocol's shapes, and the shared state must stay sound.
#include "fuzzing.h"
#include "nutdispatcher.h"
#include "nutlinesplitter.h"
#include "nutpassword.h"
#include "nutserverstate.h"
#include "nutsession.h"

#include <QCoreApplication>

#include <cstdint>

using namespace Fuzzing;

namespace {

NutSnapshot snapshot(bool stale)
{
    NutSnapshot s;
    s.stale = stale;
    s.variables = {{"battery.charge", "87", false}, {"battery.runtime", "1260", false},
        {"ups.mfr", "Maker \"Q\" #1 \\ x", true}, {"ups.status", "OB LB", true}};
    s.commands = {{"beeper.toggle", 0}, {"test.battery.start", 99}};
    s.alarms = QStringList {QStringLiteral("Mains fault")};
    s.onBattery = true;
    return s;
}

const NutAccountList &accounts()
{
    // Few iterations: the stored form is the real one, only cheaper to check.
    static const NutAccountList list = {{"adm", NutAccount::Admin, NutPassword::hash("pw", 1000)},
        {"mon", NutAccount::Monitor, NutPassword::hash("pw", 1000)}};
    return list;
}

// A reply is one or more lines, each ending in LF with nothing but printable bytes before it,
// and a list is framed by its BEGIN and END lines.
void checkReply(const NutReply &reply)
{
    const QByteArray &text = reply.text;
    check(!text.isEmpty() && text.endsWith('\n'), "reply ends with LF");
    check(!text.contains('\r'), "no CR in replies");
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        check(c == '\n' || (u >= 0x20 && u != 0x7f), "printable reply bytes");
    }
    const QByteArrayList lines = text.left(text.size() - 1).split('\n');
    if (lines.first().startsWith("BEGIN LIST ")) {
        check(lines.size() >= 2, "list has an end");
        check(lines.last() == "END " + lines.first().mid(6), "list ends as it began");
    } else {
        check(lines.size() == 1, "single-line reply");
    }
    check(reply.after != NutReply::Close || text == "OK Goodbye\n", "only LOGOUT closes");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(quiet);
    accounts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Random random;
    std::uint32_t seed;
    if (!random.seed(data, size, &seed))
        return 0;

    NutServerState state;
    state.setNames("ups", {"qnapups"});
    state.setAccounts(accounts());
    state.setTlsReady(seed & 1);
    state.setSnapshot(snapshot(false));
    int commands = 0;
    state.runCommand = [&](const QByteArray &, const QByteArray &, const NutSession &) {
        ++commands;
    };
    NutSession client;
    client.address = "192.0.2.1";
    NutSession other;
    other.address = "::1";
    state.addSession(&client);
    state.addSession(&other);

    NutLineSplitter splitter;
    std::size_t position = 0;
    bool closed = false;
    while (position < size && !closed) {
        const std::uint32_t pick = random.next();
        std::size_t length = 1 + (pick % 16 == 0 ? pick % 2000 : pick % 64);
        if (length > size - position)
            length = size - position;
        splitter.feed(reinterpret_cast<const char *>(data + position), int(length));
        position += length;
        check(splitter.pending() <= NutLineSplitter::maxLength + 2000, "input stays bounded");

        NutLineSplitter::Line line;
        while (!closed && splitter.next(&line)) {
            check(line.tooLong || line.text.size() <= NutLineSplitter::maxLength, "line length");
            check(!line.text.contains('\n'), "no LF inside a line");
            const int before = commands;
            const NutReply reply = line.tooLong ? NutDispatcher::tooLong()
                                                : NutDispatcher::handle(state, client, line.text);
            checkReply(reply);
            check(commands == before || reply.text == "OK\n", "a command runs only when accepted");
            check(!reply.passwordChecked || client.hasUsername, "passwords checked with a name");
            closed = reply.after == NutReply::Close;
            if (reply.after == NutReply::StartTls)
                client.tls = true;
        }

        const std::uint32_t event = random.next();
        if (event % 13 == 0)
            state.setSnapshot(snapshot(event & 0x100));
        if (event % 17 == 0)
            state.setFsd(event & 0x200);
        if (event % 19 == 0)
            other.loggedIn = !other.loggedIn;
        check(state.loginCount() == int(client.loggedIn) + int(other.loggedIn), "login count");
        const NutVariable *status = state.variable("ups.status");
        check(status && status->value.startsWith("FSD") == state.fsd(), "FSD leads the status");
    }
    state.removeSession(&client);
    state.removeSession(&other);
    return 0;
}
