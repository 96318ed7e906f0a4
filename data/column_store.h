#pragma once

#include "data/condition.h"
#include "data/large_memory.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lambreya {

using RecordId = std::uint32_t;

// The records' values, kept column by column: for each field one byte arena with the
// values one after another, per record a one-byte length and, for a value that is not
// empty, an offset into the arena. Offsets come in blocks of kBlock records, and a block
// whose values are all empty has none, so an empty value costs little more than its length
// byte. A value of 255 bytes or more stores its length in four bytes in front of its text
// and 255 in the length byte. A changed value is written over the old one when it fits,
// else appended. Record ids are never reused; a deleted record's bytes stay unused.
class ColumnStore {
public:
    ColumnStore() = default;
    explicit ColumnStore(std::size_t fieldCount);

    std::size_t fieldCount() const { return m_columns.size(); }
    std::size_t recordCount() const { return m_recordCount; }

    // Adds a record with every field empty.
    RecordId add();

    std::string_view value(RecordId id, std::size_t field) const {
        const Column& c = m_columns[field];
        const std::uint8_t shortLength = c.length[id];
        if (shortLength == 0)
            return {};
        const char* at = c.arena.data() + offsetOf(c, id);
        if (shortLength != kLongValue)
            return {at, shortLength};
        return {at + sizeof(std::uint32_t), readLongLength(at)};
    }

    void set(RecordId id, std::size_t field, std::string_view value);

    // Fills a store with `records` records at once, column by column: the caller gives
    // each value's length and then the column's bytes, all values back to back.
    void resetForLoad(std::size_t records);
    void loadColumn(std::size_t field, std::span<const std::uint16_t> lengths,
                    std::string_view bytes);

    // Appends to `out` the ids of `from` whose records pass the condition, in order.
    void select(const Condition& condition, std::span<const RecordId> from,
                LargeVector<RecordId>& out) const;

    // The place in `in` of the first record that passes, or in.size() when none does.
    std::size_t findFirst(const Condition& condition, std::span<const RecordId> in) const;

    bool passes(const Condition& condition, RecordId id) const;

private:
    static constexpr std::uint8_t kLongValue = 255;
    static constexpr unsigned kBlockShift = 6;
    static constexpr std::size_t kBlock = std::size_t{1} << kBlockShift;
    static constexpr std::uint32_t kNoOffsets = 0xFFFFFFFF;

    struct Column {
        LargeVector<char> arena;
        LargeVector<std::uint8_t> length;
        // Per block of records: the number of its run of kBlock entries in `offsets`, or
        // kNoOffsets while every value of the block is empty.
        LargeVector<std::uint32_t> block;
        LargeVector<std::uint32_t> offsets;
    };

    // The arena offset of a value that is not empty.
    static std::uint32_t offsetOf(const Column& c, RecordId id) {
        return c.offsets[std::size_t{c.block[id >> kBlockShift]} * kBlock + (id & (kBlock - 1))];
    }
    // The place of a record's offset, made when its block has none yet.
    static std::uint32_t& offsetSlot(Column& c, RecordId id);
    static std::size_t readLongLength(const char* at);
    template <typename Visit>
    void scan(const Condition& condition, std::span<const RecordId> ids, Visit visit) const;
    std::uint32_t appendToArena(Column& c, std::string_view value);

    std::vector<Column> m_columns;
    std::size_t m_recordCount = 0;
};

} // namespace lambreya
