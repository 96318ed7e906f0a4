#pragma once

#include "data/large_memory.h"

#include <string_view>

namespace lambreya {

// Builds the bytes of a file in large storage.
class ByteWriter {
public:
    explicit ByteWriter(std::size_t expectedSize) { m_bytes.reserve(expectedSize); }

    ByteWriter& append(std::string_view text) {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        return *this;
    }
    void push(char c) { m_bytes.push_back(c); }
    std::string_view view() const { return {m_bytes.data(), m_bytes.size()}; }
    Bytes take() { return std::move(m_bytes); }

private:
    Bytes m_bytes;
};

template <typename T>
void putLittleEndian(ByteWriter& out, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline std::string_view asView(const Bytes& bytes) {
    return {bytes.data(), bytes.size()};
}

} // namespace lambreya
