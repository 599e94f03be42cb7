#include "platform.h"

#include <csignal>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int crashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

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
    // As async-signal-safe as practical: localtime_r and backtrace are the two compromises.
    char name[32];
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    strftime(name, sizeof(name), "%Y%m%d%H%M%S.dmp", &local);

    int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
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

void installCrashHandler()
{
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
