#pragma once

#include <QSaveFile>
#include <QString>

#include <string_view>

namespace lambreya {

// A file that is replaced whole or not at all: written to a temporary file in the same
// folder and renamed over `path` on commit, so that a failure (an unwritable folder, a
// full disk) leaves the earlier file, or none, as it was. Errors name the file and say
// what went wrong; a writer destroyed without commit leaves nothing behind.
class AtomicFile {
public:
    enum class Buffering {
        // Every write reaches the file at once, so a short write is seen where it happens.
        None,
        // For many small writes through device(); their errors are seen on commit.
        Buffered,
    };

    AtomicFile(const QString& path, Buffering buffering);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    QIODevice& device() { return m_file; }
    void write(std::string_view bytes);
    // Flushes, syncs and renames the temporary file over the file.
    void commit();
    // Drops the temporary file.
    void cancel() { m_file.cancelWriting(); }

private:
    [[noreturn]] void fail(const QString& reason);

    QSaveFile m_file;
    QString m_path;
    bool m_existed;
};

} // namespace lambreya
