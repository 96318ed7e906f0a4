#pragma once

#include "data/error.h"
#include "data/file_ownership.h"

#include <QSaveFile>
#include <QString>

#include <optional>
#include <string_view>

namespace lambreya {

// A failed write of a file: the message names the file and what became of it; the reason
// is what the system said, in Russian.
class FileWriteError : public Error {
public:
    FileWriteError(const std::string& message, QString reason)
        : Error(message)
        , m_reason(std::move(reason)) {}
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// A file that is replaced whole or not at all: written to a temporary file in the same
// folder, flushed to the disk and renamed over `path` on commit, the folder flushed after
// the rename, so that a failure (an unwritable folder, a full disk) leaves the earlier
// file, or none, as it was. A replaced file keeps its owner, group and mode. Errors are
// FileWriteErrors; a writer destroyed without commit leaves nothing behind.
class AtomicFile {
public:
    enum class Buffering {
        // Every write reaches the file at once, so a short write is seen where it happens.
        None,
        // For many small writes through device(); their errors are seen on commit.
        Buffered,
    };

    // With `directWriteFallback`, a folder that refuses new files but holds a writable
    // file lets the file be rewritten in place instead.
    AtomicFile(const QString& path, Buffering buffering, bool directWriteFallback = false);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    QIODevice& device() { return m_file; }
    void write(std::string_view bytes);
    // Flushes what was written so far and syncs it to the disk, so that a large file written
    // piece by piece leaves commit little to sync.
    void syncWritten();
    // Flushes, syncs and renames the temporary file over the file.
    void commit();
    // Drops the temporary file.
    void cancel() { m_file.cancelWriting(); }

private:
    [[noreturn]] void fail(const QString& systemReason);

    QSaveFile m_file;
    QString m_path;
    std::optional<FileOwnership> m_ownership; // of the file being replaced
};

} // namespace lambreya
