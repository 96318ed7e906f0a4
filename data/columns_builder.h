#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lambreya {

// Collects a directory's values as a text form lists them, record by record, and hands
// them to the column store at the end in one block per column.
class ColumnsBuilder {
public:
    explicit ColumnsBuilder(std::size_t fieldCount)
        : m_bytes(fieldCount)
        , m_lengths(fieldCount) {}

    // The value of `field` is appended here between beginValue and endValue.
    Bytes& column(std::size_t field) { return m_bytes[field]; }
    void beginValue(std::size_t field) { m_valueStart = m_bytes[field].size(); }
    // The length of the value just read.
    std::size_t endValue(std::size_t field) {
        const std::size_t length = m_bytes[field].size() - m_valueStart;
        // No wider than a field may be: the reader checks each value against its width.
        m_lengths[field].push_back(
            static_cast<std::uint16_t>(std::min<std::size_t>(length, 0xFFFF)));
        return length;
    }
    // Forgets the value begun last, to be read again from its start.
    void dropValue(std::size_t field) { m_bytes[field].resize(m_valueStart); }
    void endRecord() { ++m_records; }
    std::size_t records() const { return m_records; }

    // Fills the directory's columns and stored order; the builder is spent.
    void finish(Directory& dir);

private:
    std::vector<Bytes> m_bytes;
    std::vector<LargeVector<std::uint16_t>> m_lengths;
    std::size_t m_valueStart = 0;
    std::size_t m_records = 0;
};

} // namespace lambreya
