#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <mutex>

namespace {

std::mutex rootMutex;
QString cachedRoot;
QString serviceFolder;

// An installed program (under /usr, or with its shipped files in share/quelta beside its bin
// folder) never keeps files beside itself, though root may write there.
bool installed(const QString &programFolder)
{
    return programFolder == QLatin1String("/usr") ||
        programFolder.startsWith(QLatin1String("/usr/")) ||
        QFileInfo(programFolder + QStringLiteral("/../share/quelta")).isDir();
}

QString computeRoot()
{
    const QString home = qEnvironmentVariable("QUELTA_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(QDir(home).absolutePath());
    const QString appDir = QCoreApplication::applicationDirPath();
    if (!appDir.isEmpty() && !installed(appDir) && QFileInfo(appDir).isWritable())
        return appDir;
    if (!serviceFolder.isEmpty())
        return serviceFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

} // namespace

namespace Paths {

QString root()
{
    std::lock_guard<std::mutex> lock(rootMutex);
    if (cachedRoot.isEmpty())
        cachedRoot = computeRoot();
    return cachedRoot;
}

QString file(const QString &relative)
{
    return root() + relative;
}

QString shipped(const QString &relative)
{
    // Installed, the program is <prefix>/bin/quelta and its files are in <prefix>/share/quelta,
    // whatever the prefix.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QStringList bases = {programFolder,
                               programFolder + QStringLiteral("/../share/quelta")};
    for (const QString &base : bases) {
        const QString path = base + relative;
        if (QFileInfo::exists(path))
            return path;
    }
    return QString();
}

void setServiceRoot(const QString &folder)
{
    std::lock_guard<std::mutex> lock(rootMutex);
    serviceFolder = folder;
}

QString serviceRoot()
{
    std::lock_guard<std::mutex> lock(rootMutex);
    return serviceFolder;
}

void setRoot(const QString &root)
{
    std::lock_guard<std::mutex> lock(rootMutex);
    cachedRoot = root.isEmpty() ? QString() : QDir::cleanPath(root);
}

} // namespace Paths
