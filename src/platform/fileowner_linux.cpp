#include "platform.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Gives `uid` and `gid` what root owns below `name` of the open folder `folder`. The walk never
// leaves the tree (no link is followed, each folder is opened where it was seen) and a file with
// more than one name is left alone: the folder's owner may have linked a file of the system in.
void reclaim(int folder, const char *name, uid_t uid, gid_t gid, int depth)
{
    const int entry = ::openat(folder, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (entry < 0)
        return;
    struct stat info
    {
    };
    if (::fstat(entry, &info) == 0 && !S_ISLNK(info.st_mode)) {
        const bool directory = S_ISDIR(info.st_mode);
        if (info.st_uid == 0 && (directory || info.st_nlink == 1))
            static_cast<void>(::fchownat(entry, "", uid, gid, AT_EMPTY_PATH) == 0);
        const int listed = directory && depth < 16
            ? ::openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)
            : -1;
        struct stat again
        {
        };
        DIR *list = nullptr;
        if (listed >= 0 && ::fstat(listed, &again) == 0 && again.st_dev == info.st_dev &&
            again.st_ino == info.st_ino)
            list = ::fdopendir(listed);
        else if (listed >= 0)
            ::close(listed);
        if (list) {
            while (const dirent *child = ::readdir(list)) {
                if (std::strcmp(child->d_name, ".") != 0 && std::strcmp(child->d_name, "..") != 0)
                    reclaim(::dirfd(list), child->d_name, uid, gid, depth + 1);
            }
            ::closedir(list);
        }
    }
    ::close(entry);
}

std::wstring wide(const std::string &text)
{
    return QString::fromLocal8Bit(text.c_str()).toStdWString();
}

} // namespace

FolderUser runAsFolderOwner(const std::wstring &folder, const std::vector<std::wstring> &entries,
                            std::wstring *user, std::wstring *error)
{
    if (::geteuid() != 0)
        return FolderUser::Unchanged;
    const QString root = QString::fromStdWString(folder);
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(root).constData(), &info) != 0 || info.st_uid == 0)
        return FolderUser::Unchanged;
    const uid_t uid = info.st_uid;
    const gid_t gid = info.st_gid;

    std::string name = std::to_string(uid);
    std::string home;
    std::vector<gid_t> groups {gid};
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd *found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        name = found->pw_name;
        home = found->pw_dir ? found->pw_dir : "";
        int count = 64;
        groups.resize(size_t(count));
        while (::getgrouplist(name.c_str(), gid, groups.data(), &count) < 0)
            groups.resize(size_t(count) + 16);
        groups.resize(size_t(count));
    }
    *user = wide(name);

    const int top = ::open(QFile::encodeName(root).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (top >= 0) {
        for (const std::wstring &relative : entries)
            reclaim(top, QFile::encodeName(QString::fromStdWString(relative)).constData(), uid, gid,
                    0);
        ::close(top);
    }

    // Groups first: once the user id is given up, neither may change any more.
    if (::setgroups(groups.size(), groups.data()) != 0 || ::setgid(gid) != 0 ||
        ::setuid(uid) != 0) {
        *error = wide(std::strerror(errno));
        return FolderUser::Refused;
    }
    if (::setuid(0) == 0 || ::geteuid() != uid || ::getegid() != gid) {
        *error = L"root could be taken back";
        return FolderUser::Refused;
    }
    if (!home.empty())
        ::setenv("HOME", home.c_str(), 1);
    ::setenv("USER", name.c_str(), 1);
    ::setenv("LOGNAME", name.c_str(), 1);
    return FolderUser::Owner;
}

} // namespace platform
