#pragma once

#include "data/large_memory.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

class QFile;

namespace lambreya {

// A data file opened for reading from its start. Only a regular file is opened: a named pipe
// would wait for a writer, a device such as /dev/zero never ends. An existing file that
// cannot be opened or read, or one that is not a regular file, is the error "Cannot open
// file %s" with `shownName` (the name as the settings give it).
class DataFileReader {
public:
    DataFileReader(const QString& path, const QString& shownName);
    ~DataFileReader();
    DataFileReader(const DataFileReader&) = delete;
    DataFileReader& operator=(const DataFileReader&) = delete;

    // False when there is no file of that name (a folder does not count).
    bool found() const { return m_file != nullptr; }
    // The file's size when it was opened.
    std::uint64_t size() const { return m_size; }
    // Reads the next `count` bytes into `to`; fewer only at the file's end.
    std::size_t read(char* to, std::size_t count);

private:
    std::unique_ptr<QFile> m_file;
    QString m_shownName;
    std::uint64_t m_size = 0;
};

// Reads a data file whole. Empty when there is no file of that name; otherwise the errors of
// DataFileReader. When `checkStart` is given, it sees the first bytes (up to kDataFileHead of
// them) and the file's size before the rest is read, and may refuse them by throwing: what a
// file's head declares is checked against its size before memory is taken for the whole
// file. When `arrived` is given, it sees the bytes as they are read, after the head and after
// each chunk of kDataFileChunk bytes: every byte read so far, and whether that is the whole
// file. It may refuse them by throwing, and the rest is never read: a fault near the start of
// a large file costs no more than the chunk it is in.
inline constexpr std::size_t kDataFileHead = 4096;
inline constexpr std::size_t kDataFileChunk = std::size_t{4} << 20;
using DataFileStartCheck = void (*)(std::string_view head, std::uint64_t fileSize);
using DataFileArrival = std::function<void(std::string_view soFar, bool complete)>;
std::optional<Bytes> readDataFile(const QString& path, const QString& shownName,
                                  DataFileStartCheck checkStart = nullptr,
                                  const DataFileArrival& arrived = nullptr);

// Replaces the file at `path` with `bytes`: written to a temporary file in the same
// folder, flushed to disk and renamed over the old file. On failure the old file stays
// as it was and the error says what went wrong.
void writeDataFile(const QString& path, std::string_view bytes);

} // namespace lambreya
