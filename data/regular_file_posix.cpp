// Opening a file for reading only when it is a regular file; the one place of the data
// module that opens a file through the platform's own calls.
#include "data/regular_file.h"

#include "data/system_reason.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lambreya {

RegularFile openRegularFile(const QString& path, QFile& file) {
    RegularFile result;
    // O_NONBLOCK: opening a pipe that has no writer returns at once instead of waiting.
    const int handle =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        const int error = errno;
        result.status = error == ENOENT || error == ENOTDIR ? RegularFile::Status::Missing
                                                            : RegularFile::Status::Failed;
        result.reason = inRussian(QString::fromLocal8Bit(std::strerror(error)));
        return result;
    }
    struct stat info {};
    if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(handle);
        result.status = RegularFile::Status::NotRegular;
        return result;
    }
    // A regular file reads the same either way; later reads may then wait for the disk.
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        result.status = RegularFile::Status::Failed;
        result.reason = inRussian(file.errorString());
        return result;
    }
    result.status = RegularFile::Status::Opened;
    result.size = static_cast<std::int64_t>(info.st_size);
    return result;
}

} // namespace lambreya
