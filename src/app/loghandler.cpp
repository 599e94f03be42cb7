#include "loghandler.h"

#include "clock.h"
#include "diskreserve.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"

#include <QFile>
#include <QLocale>
#include <QString>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>

namespace {

std::mutex logMutex;
// A message raised while this thread is already writing one (say, by the file layer) is dropped
// rather than waiting on our own lock.
thread_local bool writing = false;
std::atomic<bool> toStandardError {false};
std::atomic<bool> toJournal {false};
unsigned releasesSeen = 0; // the reserve's releases this handler saw (under the log lock)

const char *levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "Debug: ";
    case QtWarningMsg:
        return "Warning: ";
    case QtCriticalMsg:
        return "Critical: ";
    case QtFatalMsg:
        return "Fatal: ";
    case QtInfoMsg:
        return "Information: ";
    }
    return "";
}

// The journal's own priority prefix (sd-daemon(3)): it keeps the time itself.
const char *journalPriority(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "<7>";
    case QtInfoMsg:
        return "<6>";
    case QtWarningMsg:
        return "<4>";
    case QtCriticalMsg:
        return "<3>";
    case QtFatalMsg:
        return "<2>";
    }
    return "";
}

enum class Append { Written, NoRoom, Failed };

// Appends the entry whole or not at all: a disk that fills up in the middle of it would leave a
// line cut short, so what part of it went is taken back. With the log lock held.
Append appendWhole(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return errno == ENOSPC ? Append::NoRoom : Append::Failed;
    const qint64 before = file.size();
    const qint64 written = file.write(bytes);
    if (written == bytes.size())
        return Append::Written;
    file.resize(before);
    // Part of it went, or nothing for want of room.
    return written > 0 || file.error() == QFileDevice::ResourceError ? Append::NoRoom
                                                                     : Append::Failed;
}

} // namespace

namespace LogHandler {

void install(bool alsoStandardError)
{
    toStandardError = alsoStandardError;
    toJournal = alsoStandardError && platform::standardErrorIsJournal();
    qInstallMessageHandler(messageHandler);
}

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (writing)
        return;
    writing = true;

    const QDateTime now = Clock::now();
    const QLocale english(QLocale::English);
    const QString stamp = QStringLiteral("[%1] ").arg(
        english.toString(now, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
    const QString line = QLatin1String(levelWord(type)) + text;
    const QString fileName = Paths::file(QStringLiteral("/log/")) +
        english.toString(now, QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
    const QByteArray bytes = (stamp + line).toUtf8() + '\n';
    const auto toError = [type](const QByteArray &entry, const QString &words) {
        const QByteArray out = toJournal ? journalPriority(type) + words.toUtf8() + '\n' : entry;
        fwrite(out.constData(), 1, size_t(out.size()), stderr);
        fflush(stderr);
    };
    bool opened = false;

    {
        std::lock_guard<std::mutex> lock(logMutex);
        Append result = appendWhole(fileName, bytes);
        if (result == Append::NoRoom) {
            // A full disk gives up its reserve. Its note is written here, before the entry: a
            // message raised inside a message handler never reaches one.
            const DiskReserve::Release room = DiskReserve::release(&releasesSeen, false);
            if (room == DiskReserve::Release::GivenUp) {
                const QString noteLine =
                    QLatin1String(levelWord(QtWarningMsg)) + DiskReserve::note();
                const QByteArray noteEntry = (stamp + noteLine).toUtf8() + '\n';
                if (appendWhole(fileName, noteEntry) == Append::Written && toStandardError)
                    toError(noteEntry, noteLine);
            }
            if (room != DiskReserve::Release::NoRoom)
                result = appendWhole(fileName, bytes);
        }
        opened = result == Append::Written;
        if (opened && toStandardError)
            toError(bytes, line);
    }
    if (!opened) {
        // The day's file cannot be written (the folder was removed, the disk is full): keep the
        // entry on standard error rather than losing it. This warning re-enters the handler on
        // this thread and is dropped there, without waiting on the lock.
        fputs(bytes.constData(), stderr);
        qCWarning(lcShell) << "Cannot write the log file" << fileName;
    }
    writing = false;
}

} // namespace LogHandler
