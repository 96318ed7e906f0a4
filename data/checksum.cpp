#include "data/checksum.h"

#include <zlib.h>

#include <algorithm>

namespace lambreya {
namespace {

// Runs zlib's checksum `update` over bytes of any length, in pieces it can take.
template <typename Update>
std::uint32_t checksumOf(std::string_view bytes, Update update) {
    uLong sum = update(0L, Z_NULL, 0);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.data());
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(left, 1u << 30));
        sum = update(sum, data, chunk);
        data += chunk;
        left -= chunk;
    }
    return static_cast<std::uint32_t>(sum);
}

} // namespace

std::uint32_t crc32Of(std::string_view bytes) {
    return checksumOf(bytes, crc32);
}

std::uint32_t adler32Of(std::string_view bytes) {
    return checksumOf(bytes, adler32);
}

} // namespace lambreya
