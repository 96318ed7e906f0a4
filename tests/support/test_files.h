#pragma once

#include "data/checksum.h"
#include "data/error.h"

#include <QString>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
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

// A binary file of the program with its closing checksum recomputed after a change, to
// reach the checks behind the checksum.
inline std::string rechecksummed(std::string bytes) {
    bytes.resize(bytes.size() - 4);
    const std::uint32_t crc = crc32Of(bytes);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((crc >> (8 * i)) & 0xFF));
    return bytes;
}

// A row of a damaged-file table: the bytes and a part of the message that names the
// problem.
struct Damage {
    const char* name;
    std::string bytes;
    const char* message;
};

inline void PrintTo(const Damage& d, std::ostream* os) {
    *os << d.name;
}

inline std::string damageName(const ::testing::TestParamInfo<Damage>& row) {
    return row.param.name;
}

// Expects `read` to refuse the damaged bytes with a message that names the problem.
template <typename Read>
void expectRefused(Read&& read, const Damage& damage) {
    try {
        (void)read(damage.bytes);
        ADD_FAILURE() << "accepted";
    } catch (const DataFormatError& e) {
        EXPECT_NE(std::string(e.what()).find(damage.message), std::string::npos) << e.what();
    }
}

} // namespace lambreya::test
