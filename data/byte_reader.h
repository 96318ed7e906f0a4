#pragma once

#include "data/error.h"

#include <cstddef>
#include <string_view>

namespace lambreya {

// Running off the end of the bytes at hand: a cut-off file, or, when only a file's head is
// at hand, a head too short to tell.
class TruncatedError : public DataFormatError {
public:
    TruncatedError()
        : DataFormatError("файл обрезан") {}
};

// Little-endian reads of a binary file with bounds checks: running off the end means a
// cut-off file.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes)
        : m_bytes(bytes) {}

    std::size_t left() const { return m_bytes.size() - m_at; }

    std::string_view take(std::size_t n) {
        if (n > left())
            throw TruncatedError();
        const std::string_view part = m_bytes.substr(m_at, n);
        m_at += n;
        return part;
    }

    template <typename T>
    T number() {
        const std::string_view raw = take(sizeof(T));
        T value = 0;
        for (std::size_t i = 0; i < sizeof(T); ++i)
            value = static_cast<T>(value |
                                   (static_cast<T>(static_cast<unsigned char>(raw[i])) << (8 * i)));
        return value;
    }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

} // namespace lambreya
