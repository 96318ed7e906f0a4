#pragma once

#include <cstdint>
#include <string_view>

namespace lambreya {

// CRC-32 with the polynomial of zlib, PNG and Ethernet: the checksum that ends the
// program's binary files.
std::uint32_t crc32Of(std::string_view bytes);

// Adler-32 of zlib: the fingerprint of a whole file that may end in its own CRC-32. The
// CRC-32 of such a file is the same for every content, so it cannot tell two of them apart.
std::uint32_t adler32Of(std::string_view bytes);

} // namespace lambreya
