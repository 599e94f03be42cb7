#include "platform.h"

#include <QFile>
#include <QString>

#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

// Prepared when the handler is installed: the folder with its closing slash, and the offset of
// local time from UTC then (a change to or from summer time later shifts the name by an hour:
// the time zone cannot be read safely inside the handler).
char dumpPath[4096];
size_t folderLength = 0;
long utcOffset = 0;
const size_t nameLength = sizeof("yyyyMMddhhmmss.dmp") - 1;

void putDigits(char *out, long value, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// "yyyyMMddhhmmss.dmp" of a local time, with calendar arithmetic only (days to civil date).
void writeName(char *out, time_t utc)
{
    const long long local = static_cast<long long>(utc) + utcOffset;
    long long days = local / 86400;
    long long seconds = local % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    const long long z = days + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097;
    const long long yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const long day = static_cast<long>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const long month = static_cast<long>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const long year = static_cast<long>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    putDigits(out, year, 4);
    putDigits(out + 4, month, 2);
    putDigits(out + 6, day, 2);
    putDigits(out + 8, static_cast<long>(seconds / 3600), 2);
    putDigits(out + 10, static_cast<long>(seconds / 60 % 60), 2);
    putDigits(out + 12, static_cast<long>(seconds % 60), 2);
    memcpy(out + 14, ".dmp", 5);
}

void writeText(int fd, const char *text)
{
    ssize_t ignored = write(fd, text, strlen(text));
    (void)ignored;
}

void writeNumber(int fd, long value)
{
    char digits[24];
    int n = 0;
    bool negative = value < 0;
    unsigned long v = negative ? -static_cast<unsigned long>(value) : value;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v && n < 22);
    if (negative)
        digits[n++] = '-';
    char out[24];
    for (int i = 0; i < n; ++i)
        out[i] = digits[n - 1 - i];
    out[n] = '\0';
    writeText(fd, out);
}

void onCrash(int signal, siginfo_t *info, void *)
{
    // As async-signal-safe as practical: backtrace is the one compromise.
    writeName(dumpPath + folderLength, time(nullptr));
    int fd = open(dumpPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) // the folder is gone or full: the working directory
        fd = open(dumpPath + folderLength, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        writeText(fd, "signal ");
        writeNumber(fd, signal);
        writeText(fd, " (");
        writeText(fd, strsignal(signal));
        writeText(fd, ")\npid ");
        writeNumber(fd, getpid());
        writeText(fd, "\naddress 0x");
        char hex[2 * sizeof(void *) + 1];
        auto address = reinterpret_cast<unsigned long>(info ? info->si_addr : nullptr);
        for (int i = static_cast<int>(2 * sizeof(void *)) - 1; i >= 0; --i) {
            hex[i] = "0123456789abcdef"[address & 0xf];
            address >>= 4;
        }
        hex[2 * sizeof(void *)] = '\0';
        writeText(fd, hex);
        writeText(fd, "\nbacktrace:\n");
        void *frames[64];
        int count = backtrace(frames, 64);
        backtrace_symbols_fd(frames, count, fd);
        close(fd);
    }

    // Let the default action end the process (and leave a core where the system keeps one).
    struct sigaction dfl;
    memset(&dfl, 0, sizeof(dfl));
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    sigaction(signal, &dfl, nullptr);
    raise(signal);
}

} // namespace

namespace platform {

void installCrashHandler(const std::wstring &folder)
{
    QByteArray prefix = QFile::encodeName(QString::fromStdWString(folder));
    if (!prefix.isEmpty() && !prefix.endsWith('/'))
        prefix += '/';
    if (size_t(prefix.size()) + nameLength >= sizeof(dumpPath))
        prefix.clear();
    memcpy(dumpPath, prefix.constData(), size_t(prefix.size()));
    folderLength = size_t(prefix.size());
    const time_t now = time(nullptr);
    struct tm local;
    utcOffset = localtime_r(&now, &local) ? local.tm_gmtoff : 0;

    // Warm up backtrace() now: its first call may load libgcc, which is not safe in a handler.
    void *frame[1];
    backtrace(frame, 1);

    struct sigaction action;
    memset(&action, 0, sizeof(action));
    action.sa_sigaction = onCrash;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : crashSignals)
        sigaction(signal, &action, nullptr);
}

} // namespace platform
