#include "loghandler.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"
#include "platform.h"

#include <QFile>
#include <QLocale>
#include <QString>

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::mutex logMutex;
// A message raised while this thread is already writing one (say, by the file layer) is dropped
// rather than waiting on our own lock.
thread_local bool writing = false;
std::atomic<bool> toStandardError {false};
std::atomic<bool> toJournal {false};

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
    const QString line = QLatin1String(levelWord(type)) + text;
    const QString entry = QStringLiteral("[%1] ").arg(english.toString(
                              now, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))) +
        line;
    const QString fileName = Paths::file(QStringLiteral("/log/")) +
        english.toString(now, QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
    const QByteArray bytes = entry.toUtf8() + '\n';
    bool opened = false;

    {
        std::lock_guard<std::mutex> lock(logMutex);
        QFile file(fileName);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            file.write(bytes);
            file.flush();
            file.close();
            opened = true;
        }
        if (opened && toStandardError) {
            const QByteArray out =
                toJournal ? journalPriority(type) + line.toUtf8() + '\n' : bytes;
            fwrite(out.constData(), 1, size_t(out.size()), stderr);
            fflush(stderr);
        }
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
