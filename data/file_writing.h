#pragma once

#include <QString>

#include <optional>
#include <string_view>

namespace lambreya {

// How a file's new content reaches the disk.
enum class Rewrite {
    // Always through a new file: written beside the old one, flushed, renamed over it. A
    // failed write leaves the old file whole.
    Replace,
    // Through a new file where the result is the same file for everyone who uses it;
    // otherwise the file itself is rewritten in place: a file with several hard links, one
    // whose owner or group a new file could not get, and one in a folder that refuses new
    // files. A failed rewrite in place puts the old content back.
    KeepFile,
};

// Writes `bytes` as the whole new content of the file at path, creating it when it does
// not exist. An existing file keeps its owner, group and mode either way. Returns the
// reason when the write failed, empty on success.
std::optional<QString> writeWholeFile(const QString& path, std::string_view bytes, Rewrite how);

} // namespace lambreya
