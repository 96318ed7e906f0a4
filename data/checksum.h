#pragma once

#include <cstdint>
#include <string_view>

namespace lambreya {

// CRC-32 with the polynomial of zlib, PNG and Ethernet: the checksum that ends the
// program's binary files.
std::uint32_t crc32Of(std::string_view bytes);

} // namespace lambreya
