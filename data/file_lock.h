#pragma once

#include <QString>

namespace lambreya {

// An advisory lock on a file, held by one process at a time while it works on that file.
// The system drops it when the holder ends, however it ends, so a crash leaves no stale
// lock behind. Trying never waits.
class FileLock {
public:
    enum class Outcome {
        Held,          // this object holds the lock
        HeldElsewhere, // another holder has it
        Unavailable,   // no such file, or the file system keeps no locks
    };

    FileLock() = default;
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    Outcome outcome() const { return m_outcome; }
    bool heldElsewhere() const { return m_outcome == Outcome::HeldElsewhere; }
    void release();

private:
    int m_handle = -1;
    Outcome m_outcome = Outcome::Unavailable;
};

} // namespace lambreya
