// The advisory lock on a data file, through flock: held by the open file, dropped by the
// system when the process ends.
#include "data/file_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

namespace lambreya {

FileLock::FileLock(const QString& path) {
    // Not inherited by child processes (a print job's), which would keep the lock alive.
    m_handle = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_handle < 0)
        return;
    int result = 0;
    do {
        result = ::flock(m_handle, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result == 0) {
        m_outcome = Outcome::Held;
        return;
    }
    m_outcome = errno == EWOULDBLOCK ? Outcome::HeldElsewhere : Outcome::Unavailable;
    ::close(m_handle);
    m_handle = -1;
}

FileLock::~FileLock() {
    release();
}

FileLock::FileLock(FileLock&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1))
    , m_outcome(std::exchange(other.m_outcome, Outcome::Unavailable)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        m_handle = std::exchange(other.m_handle, -1);
        m_outcome = std::exchange(other.m_outcome, Outcome::Unavailable);
    }
    return *this;
}

void FileLock::release() {
    if (m_handle >= 0)
        ::close(m_handle); // closing the last handle of the open file drops its lock
    m_handle = -1;
    m_outcome = Outcome::Unavailable;
}

} // namespace lambreya
