#pragma once

#include "data/checksum.h"
#include "data/directory.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// What the fuzz targets share: a failed property ends the run with its name, which libFuzzer
// records as a finding with the input that made it.
namespace lambreya::fuzz {

inline void check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n", property);
        std::abort();
    }
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Reads `input` as it is and, since libFuzzer can hardly mutate through a checksum, again
// with its closing 32-bit checksum made right.
template <typename Read>
void readAlsoWithChecksumMadeRight(std::string_view input, Read&& read) {
    read(input);
    if (input.size() <= 4)
        return;
    std::string fixed(input);
    const std::uint32_t crc = crc32Of(std::string_view(fixed).substr(0, fixed.size() - 4));
    for (std::size_t i = 0; i < 4; ++i)
        fixed[fixed.size() - 4 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    read(std::string_view(fixed));
}

// Two directories hold the same fields, markers and records in the same order.
inline bool sameDirectory(const Directory& a, const Directory& b) {
    if (a.fields != b.fields || a.markers != b.markers || a.order.size() != b.order.size())
        return false;
    for (std::size_t r = 0; r < a.order.size(); ++r) {
        for (std::size_t f = 0; f < a.fields.size(); ++f) {
            if (a.columns.value(a.order[r], f) != b.columns.value(b.order[r], f))
                return false;
        }
    }
    return true;
}

} // namespace lambreya::fuzz
