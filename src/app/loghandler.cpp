#include "loghandler.h"

#include "clock.h"
#include "logcategories.h"
#include "paths.h"

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

} // namespace

namespace LogHandler {

void install(bool alsoStandardError)
{
    toStandardError = alsoStandardError;
    qInstallMessageHandler(messageHandler);
}

void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (writing)
        return;
    writing = true;

    const QDateTime now = Clock::now();
    const QLocale english(QLocale::English);
    const QString entry = QStringLiteral("[%1] ").arg(
                              english.toString(now, QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))) +
        QLatin1String(levelWord(type)) + text;
    const QString fileName = Paths::file(QStringLiteral("/log/")) +
        english.toString(now, QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".txt");
    const QByteArray bytes = entry.toUtf8() + "\n\n";
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
            fwrite(bytes.constData(), 1, size_t(bytes.size() - 1), stderr);
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
