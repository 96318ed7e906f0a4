#pragma once

#include <QString>

#include <fstream>
#include <iterator>
#include <string>

namespace lambreya::test {

// A file's bytes as they are on disk.
inline std::string readAll(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeAll(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

} // namespace lambreya::test
