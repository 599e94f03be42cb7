#include "platform.h"

#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool matchOwner(const std::wstring &path, const std::wstring &like)
{
    const QByteArray target = QFile::encodeName(QString::fromStdWString(path));
    const QByteArray model = QFile::encodeName(QString::fromStdWString(like));
    struct stat targetInfo
    {
    };
    struct stat modelInfo
    {
    };
    if (::lstat(target.constData(), &targetInfo) != 0 || ::stat(model.constData(), &modelInfo) != 0)
        return false;
    if (targetInfo.st_uid == modelInfo.st_uid && targetInfo.st_gid == modelInfo.st_gid)
        return true;
    // Only root may give a file away; anyone else wrote it as its own user on purpose.
    if (::geteuid() != 0)
        return true;
    return ::lchown(target.constData(), modelInfo.st_uid, modelInfo.st_gid) == 0;
}

} // namespace platform
