#pragma once

#include <QString>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace lambreya::test {

// A file's bytes as they are on disk.
inline std::string readAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeAll(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// A file far larger than memory that takes no room on disk: `head`, then zeros up to 15 TiB.
// False where the file system or the machine cannot stand in for that: no such file size,
// or memory promised without limit (overcommit 1), where taking the memory would succeed.
inline bool makeHugeSparseFile(const QString& path, const std::string& head) {
    if (readAll(QStringLiteral("/proc/sys/vm/overcommit_memory")).starts_with('1'))
        return false;
    writeAll(path, head);
    return std::filesystem::exists(path.toStdString()) &&
           ::truncate(path.toLocal8Bit().constData(), off_t{15} << 40) == 0;
}

} // namespace lambreya::test
