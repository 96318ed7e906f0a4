// Owner, group, mode and links of a file. The one place of the data module that asks the
// platform about them.
#include "data/file_ownership.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace lambreya {

std::optional<FileOwnership> fileOwnership(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileOwnership{static_cast<std::uint64_t>(info.st_nlink), info.st_uid, info.st_gid,
                         static_cast<std::uint32_t>(info.st_mode & 07777)};
}

std::uint32_t processUserId() {
    return ::geteuid();
}

bool canGiveOwnership(const FileOwnership& ownership) {
    if (::geteuid() == 0)
        return true;
    if (ownership.owner != ::geteuid())
        return false;
    if (ownership.group == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = ::getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == ownership.group)
            return true;
    }
    return false;
}

bool giveOwnership(const QString& path, const FileOwnership& ownership) {
    const QByteArray name = QFile::encodeName(path);
    // The owner first: changing it may clear the set-id bits of the mode.
    const bool owned = ::chown(name.constData(), ownership.owner, ownership.group) == 0;
    const bool moded = ::chmod(name.constData(), static_cast<mode_t>(ownership.mode)) == 0;
    return owned && moded;
}

bool syncToDisk(int handle) {
    return ::fsync(handle) == 0;
}

bool syncDataToDisk(int handle) {
    return ::fdatasync(handle) == 0;
}

bool syncFolder(const QString& folder) {
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (handle < 0)
        return false;
    const bool synced = ::fsync(handle) == 0;
    ::close(handle);
    return synced;
}

} // namespace lambreya
