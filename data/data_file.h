#pragma once

#include "data/large_memory.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

namespace lambreya {

// Reads a data file whole. Empty when there is no file of that name (a folder does not
// count); an existing file that cannot be read, or one that is not a regular file (a named
// pipe, a device), is the error "Cannot open file %s" with `shownName` (the name as the
// settings give it). When `checkStart` is given, it sees the first bytes (up to
// kDataFileHead of them) and the file's size before the rest is read, and may refuse them
// by throwing: what a file's head declares is checked against its size before memory is
// taken for the whole file.
inline constexpr std::size_t kDataFileHead = 4096;
using DataFileStartCheck = void (*)(std::string_view head, std::uint64_t fileSize);
std::optional<Bytes> readDataFile(const QString& path, const QString& shownName,
                                  DataFileStartCheck checkStart = nullptr);

// Replaces the file at `path` with `bytes`: written to a temporary file in the same
// folder, flushed to disk and renamed over the old file. On failure the old file stays
// as it was and the error says what went wrong.
void writeDataFile(const QString& path, std::string_view bytes);

} // namespace lambreya
