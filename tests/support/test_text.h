#pragma once

#include "data/cp1251.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace lambreya::test {

// Test texts are written in UTF-8; the program works on code page 1251 bytes.
inline std::string cp(std::string_view utf8) {
    auto bytes = cp1251::fromUtf8(utf8);
    if (!bytes)
        throw std::invalid_argument("test text outside code page 1251");
    return *bytes;
}

inline std::string utf8(std::string_view bytes) {
    return cp1251::toUtf8(bytes);
}

} // namespace lambreya::test
