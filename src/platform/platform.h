#pragma once

// The operating-system layer. Plain standard C++ in the interface, one implementation file per
// system (*_linux.cpp, *_win.cpp).

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Writes "yyyyMMddhhmmss.dmp" into `folder` when the process crashes (into the working directory
// when the folder cannot take it), then lets the process end as it would have. The path is
// prepared here, so the handler itself builds nothing.
void installCrashHandler(const std::wstring &folder);

enum class PowerOffResult {
    Requested, // the system accepted the request and goes down
    Refused, // not allowed (missing privilege, polkit said no)
    Unavailable, // nobody to ask (no system bus, no login manager)
    Failed // asked, but the request failed otherwise
};

// Asks the system to power the computer off now, forcing applications closed, without waiting
// for the answer; `done` runs later on the calling thread's event loop (or at once) with the
// outcome, which is logged (Linux).
// Linux: org.freedesktop.login1.Manager.PowerOff(false) on the system bus, or on the D-Bus
// address in the environment variable QUELTA_LOGIN1_BUS when that is set (tests); a login
// manager that does not answer in 10 s counts as Failed.
// Windows: enables SeShutdownPrivilege, then ExitWindowsEx with shutdown and force.
void powerOff(std::function<void(PowerOffResult result)> done);

// Class name -> titles of the visible top-level windows of that class, in the order the system
// lists them. Windows without a class name or without a title are left out.
using WindowList = std::map<std::wstring, std::vector<std::wstring>>;

// Longest class name and title kept; longer ones are cut.
constexpr std::size_t maxWindowClassLength = 255;
constexpr std::size_t maxWindowTitleLength = 511;

// Linux: the X11 display in DISPLAY; the window manager's _NET_CLIENT_LIST, or the mapped
// children of the root window where no window manager publishes one. No display: empty.
// Windows: EnumWindows.
WindowList openWindows();

enum class NotificationResult {
    Shown, // the desktop took it
    Unavailable, // nobody to show it (no notification server, or none of the system's kind)
    Failed // the server refused it
};

// A notice for the desktop. `replaces` is the id of one shown before, replaced in place (0: a new
// one); `actions` are (key, label) pairs offered as buttons.
struct Notice
{
    std::wstring title;
    std::wstring body;
    bool urgent = false;
    unsigned int replaces = 0;
    std::vector<std::pair<std::wstring, std::wstring>> actions;
};

// Shows a notice on the desktop without waiting for it; `done` runs later on the calling
// thread's event loop (or at once) with the outcome and the id the desktop gave it (0 if none).
// Linux: org.freedesktop.Notifications.Notify on the session bus, or on the D-Bus address in
// the environment variable QUELTA_NOTIFY_BUS when that is set (tests).
// Windows: Unavailable, so the caller shows it as a balloon of its tray icon.
void showNotification(const Notice &notice,
                      std::function<void(NotificationResult result, unsigned int id)> done);
// Takes a notice off the desktop (CloseNotification); nothing where notices are not shown.
void closeNotification(unsigned int id);
// The user chose action `key` of notice `id`: `handler` runs on the thread that set it. One
// handler per process; an empty one stops listening.
void setNotificationActionHandler(
    std::function<void(unsigned int id, const std::wstring &key)> handler);

// The name of the user running the program, for the log (who did what); empty if unknown.
// Linux: the password database's name for the real user id. Windows: GetUserNameW.
std::wstring userName();

// Starting with the desktop session, for the user running the program.
// Linux: the XDG autostart entry "quelta.desktop" in $XDG_CONFIG_HOME/autostart (~/.config when
// the variable is unset); an entry the desktop's own settings hid (Hidden=true) counts as off.
// Windows: the value "Quelta" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run.
bool startsWithDesktop();
// Writes the entry with `command` (the program, then its arguments) or removes it. False, and
// logged, when that failed.
bool setStartWithDesktop(bool on, const std::vector<std::wstring> &command);

// Claims a device node (a serial port, a HID node) among the programs that claim it too, so two
// Quelta programs (the desktop one and the service) never drive one UPS at once. Returns a
// handle for releaseDevice, or -1: with `busy` set when another program holds the node, cleared
// when the node cannot be opened at all (the caller's own open then tells why).
// Linux: an advisory lock (flock) on the node; a terminal another process opened exclusively
// counts as held too. Windows: the system already opens serial ports exclusively; returns 0.
int claimDevice(const std::wstring &path, bool *busy);
void releaseDevice(int handle);

// Runs the calling thread ahead of ordinary work, so the poll of the UPS keeps its pace on a busy
// machine and a request written to the line is not preempted by the kernel worker it wakes.
// Linux: the lowest real-time priority (SCHED_FIFO 1), reset for the threads and processes it
// starts later, which run as ever; it needs root, CAP_SYS_NICE or an RLIMIT_RTPRIO of 1. Windows:
// the thread's highest priority in its class. False, with the system's reason, where refused.
bool raiseThreadPriority(std::string *why);

// Requests to end the process (Linux: SIGTERM, SIGINT, SIGHUP) turned into one byte each, the
// signal number, on a pipe whose read end this returns, so the event loop can end the program in
// order. The handler only writes that byte. -1 where the system sends no such requests
// (Windows: session end reaches the application object itself). Installed on the first call.
int terminationRequests();

// Waits until what was written to the open file `descriptor` is on the disk (its data; the
// size too when it grew). False when the system says it could not be.
// Linux: fdatasync. Windows: _commit on the C runtime descriptor.
bool syncToDisk(int descriptor);

// Whether standard error goes to the system journal, which stamps and ranks each line itself.
// Linux: the stream systemd names in JOURNAL_STREAM. Windows: never.
bool standardErrorIsJournal();

// Who the process is on its program folder, after runAsFolderOwner.
enum class FolderUser {
    Unchanged, // not root, or root on a folder of its own or one not made yet
    Owner, // root on a folder of another user: the process is that user now, for good
    Refused // root on a folder of another user, and the process could not become that user
};

// Run by root on a folder another user owns (the service's, a user's own), the process becomes
// that user before it writes anything there, so every file it makes there, and every program it
// starts, is theirs as when they run it themselves: the folder's owner and group, the user's
// other groups, and their HOME, USER and LOGNAME. What root left in `entries` of the folder
// (names below it, walked down without leaving the folder; links and files of several names
// left alone) is given to that user first, so an earlier run as root keeps them out of nothing. `user` gets the user's name (the number when the system
// knows no name for it), `error` why the process could not become them.
// Linux: fchownat, then setgroups (the user's groups), setgid, setuid, and a check that root
// cannot be taken back. Windows: files follow the folder's rights; always Unchanged.
FolderUser runAsFolderOwner(const std::wstring &folder, const std::vector<std::wstring> &entries,
                            std::wstring *user, std::wstring *error);

// Bytes this process may still write on the disk that holds `folder`; -1 when unknown.
// Linux: statvfs (the blocks free to unprivileged users). Windows: GetDiskFreeSpaceExW.
long long freeDiskSpace(const std::wstring &folder);

// Makes `path` a file of `bytes` whose room the disk has really set aside, so removing it gives
// that room back at once. False, and no file, when there is no room for it.
// Linux: posix_fallocate. Windows: the end of file set past the data (NTFS allocates it).
bool setAsideFile(const std::wstring &path, long long bytes);

// How many files and sockets the process may hold open at once, after raising its own limit as
// far as the system lets it (up to 65536); -1 where the system sets no such limit on sockets.
// Linux: RLIMIT_NOFILE, the soft limit raised towards the hard one. Windows: -1.
int raiseOpenFileLimit();

// A connected TCP socket used through its descriptor, without waiting, for a server that keeps
// no buffers of its own per client between requests.
// Reads up to `size` bytes: the count read, 0 once the peer has closed, -1 when nothing is there
// yet, -2 on an error.
long long socketRead(long long socket, char *data, long long size);
// Writes what the system takes now: the count (0 when it takes nothing), -1 on an error.
long long socketWrite(long long socket, const char *data, long long size);
void socketClose(long long socket);
// The peer's address as text ("192.0.2.7", "::ffff:192.0.2.7", "::1"); empty when unknown.
std::string socketPeer(long long socket);
// Small writes go out at once (TCP_NODELAY).
void socketNoDelay(long long socket);

// A set of sockets the system watches for a server with many clients: asking which are ready
// costs in proportion to the ready ones, not to all those watched. The set is a descriptor of
// its own that reads ready while any of its sockets is, so an event loop needs to watch it alone.
// Level-triggered: a socket stays ready until it is read or written.
// Linux: epoll. Windows: none (readySetCreate gives -1), the caller watches each socket itself.
struct ReadySocket
{
    unsigned long long tag; // as given to readySetWatch
    bool read; // data, the peer's end, or an error: a read tells which
    bool write;
};
long long readySetCreate();
// Watches `socket` (or changes what for) under `tag`; false when the system refuses it.
bool readySetWatch(long long set, long long socket, unsigned long long tag, bool read, bool write);
void readySetForget(long long set, long long socket);
// The sockets ready now, up to `most`, without waiting: the count.
int readySetTake(long long set, ReadySocket *ready, int most);
void readySetClose(long long set);

// An open serial port used through its handle (QSerialPort::handle()), without waiting: the
// link knows when a reply is due, so it needs neither the port class's buffer nor a readiness
// check before each read.
// Reads up to `size` bytes: the count read (0 when nothing is there), -1 when the port failed
// (the other end hung up, the adapter went).
// Linux: read(2) on the non-blocking descriptor; a read of nothing asks poll(2) whether the line
// hung up. Windows: ReadFile on the overlapped handle, which returns at once under the port's
// time-outs.
long long portRead(long long handle, char *data, long long size);
// Writes what the driver takes now: the count (fewer than `size`, even 0, when its queue is
// full), -1 when the port failed.
long long portWrite(long long handle, const char *data, long long size);

// Hands the free pages of the heap back to the system, the arenas of every thread included.
// Linux: malloc_trim. Windows: nothing (the heap gives them back by itself).
void releaseFreeMemory();

} // namespace platform
