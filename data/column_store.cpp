#include "data/column_store.h"

#include "data/error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace lambreya {
namespace {

constexpr std::size_t kArenaLimit = std::numeric_limits<std::uint32_t>::max();

} // namespace

ColumnStore::ColumnStore(std::size_t fieldCount)
    : m_columns(fieldCount) {}

RecordId ColumnStore::add() {
    if (m_recordCount >= std::numeric_limits<RecordId>::max())
        throw Error("The directory cannot hold more records");
    const auto id = static_cast<RecordId>(m_recordCount++);
    for (Column& c : m_columns) {
        c.length.push_back(0);
        if ((id & (kBlock - 1)) == 0)
            c.block.push_back(kNoOffsets);
    }
    return id;
}

std::uint32_t& ColumnStore::offsetSlot(Column& c, RecordId id) {
    std::uint32_t& block = c.block[id >> kBlockShift];
    if (block == kNoOffsets) {
        block = static_cast<std::uint32_t>(c.offsets.size() / kBlock);
        c.offsets.resize(c.offsets.size() + kBlock);
    }
    return c.offsets[std::size_t{block} * kBlock + (id & (kBlock - 1))];
}

std::size_t ColumnStore::readLongLength(const char* at) {
    std::uint32_t length;
    std::memcpy(&length, at, sizeof length);
    return length;
}

std::uint32_t ColumnStore::appendToArena(Column& c, std::string_view value) {
    if (!c.arena.empty() && value.data() >= c.arena.data() &&
        value.data() < c.arena.data() + c.arena.size()) {
        // The value lives in this arena, which may move as it grows.
        const std::string copy(value);
        return appendToArena(c, copy);
    }
    const bool isLong = value.size() >= kLongValue;
    const std::size_t needed = value.size() + (isLong ? sizeof(std::uint32_t) : 0);
    if (c.arena.size() + needed > kArenaLimit)
        throw Error("The directory's text is too large to hold");
    const auto offset = static_cast<std::uint32_t>(c.arena.size());
    if (isLong) {
        const auto length = static_cast<std::uint32_t>(value.size());
        const char* bytes = reinterpret_cast<const char*>(&length);
        c.arena.insert(c.arena.end(), bytes, bytes + sizeof length);
    }
    c.arena.insert(c.arena.end(), value.begin(), value.end());
    return offset;
}

void ColumnStore::set(RecordId id, std::size_t field, std::string_view value) {
    Column& c = m_columns[field];
    if (value.empty()) {
        c.length[id] = 0; // the old bytes, if any, stay unused
        return;
    }
    const std::string_view old = this->value(id, field);
    const bool wasLong = c.length[id] == kLongValue;
    const bool isLong = value.size() >= kLongValue;
    if (value.size() <= old.size() && wasLong == isLong) {
        // Fits where the old value stood.
        char* at = c.arena.data() + offsetOf(c, id);
        if (isLong) {
            const auto length = static_cast<std::uint32_t>(value.size());
            std::memcpy(at, &length, sizeof length);
            at += sizeof length;
        }
        std::memcpy(at, value.data(), value.size());
    } else {
        const std::uint32_t offset = appendToArena(c, value);
        offsetSlot(c, id) = offset;
    }
    c.length[id] = isLong ? kLongValue : static_cast<std::uint8_t>(value.size());
}

void ColumnStore::resetForLoad(std::size_t records) {
    if (records > std::numeric_limits<RecordId>::max())
        throw Error("The directory cannot hold more records");
    m_recordCount = records;
    for (Column& c : m_columns) {
        c.arena.clear();
        c.length.assign(records, 0);
        c.block.assign((records + kBlock - 1) / kBlock, kNoOffsets);
        c.offsets.clear();
    }
}

void ColumnStore::loadColumn(std::size_t field, std::span<const std::uint16_t> lengths,
                             std::string_view bytes) {
    Column& c = m_columns[field];
    std::size_t longValues = 0;
    std::size_t blocksWithValues = 0;
    for (std::size_t i = 0; i < lengths.size(); i += kBlock) {
        bool any = false;
        for (std::size_t j = i; j < std::min(i + kBlock, lengths.size()); ++j) {
            longValues += lengths[j] >= kLongValue ? 1 : 0;
            any = any || lengths[j] != 0;
        }
        blocksWithValues += any ? 1 : 0;
    }
    c.offsets.reserve(blocksWithValues * kBlock); // no room to spare: it is filled once
    const std::size_t arenaSize = bytes.size() + longValues * sizeof(std::uint32_t);
    if (arenaSize > kArenaLimit)
        throw Error("The directory's text is too large to hold");

    if (longValues == 0) {
        // The usual case: the bytes are the arena as they stand.
        c.arena.assign(bytes.begin(), bytes.end());
        std::uint32_t offset = 0;
        for (std::size_t i = 0; i < lengths.size(); ++i) {
            c.length[i] = static_cast<std::uint8_t>(lengths[i]);
            if (lengths[i] != 0)
                offsetSlot(c, static_cast<RecordId>(i)) = offset;
            offset += lengths[i];
        }
        return;
    }
    c.arena.clear();
    c.arena.reserve(arenaSize);
    std::size_t from = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        const std::string_view v = bytes.substr(from, lengths[i]);
        from += lengths[i];
        c.length[i] = v.size() >= kLongValue ? kLongValue : static_cast<std::uint8_t>(v.size());
        if (!v.empty()) {
            const std::uint32_t offset = appendToArena(c, v);
            offsetSlot(c, static_cast<RecordId>(i)) = offset;
        }
    }
}

bool ColumnStore::passes(const Condition& condition, RecordId id) const {
    for (const Comparison& cmp : condition.comparisons) {
        if (!matches(cmp, value(id, static_cast<std::size_t>(cmp.field))))
            return false;
    }
    return true;
}

// Calls `visit(place)` for each place of `ids` whose record passes, in order, until
// `visit` returns false.
template <typename Visit>
void ColumnStore::scan(const Condition& condition, std::span<const RecordId> ids,
                       Visit visit) const {
    const std::size_t count = ids.size();
    if (condition.empty()) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!visit(i))
                return;
        }
        return;
    }
    const Comparison& head = condition.comparisons.front();
    if (head.caseInsensitive || head.prefixLength == 0) {
        for (std::size_t i = 0; i < count; ++i) {
            if (passes(condition, ids[i]) && !visit(i))
                return;
        }
        return;
    }
    // The usual search: a case-sensitive prefix on the first field. Its first byte
    // rejects most records before anything else is looked at.
    const Column& c = m_columns[static_cast<std::size_t>(head.field)];
    const char* arena = c.arena.data();
    const char* literal = head.literal.data();
    const char first = literal[0];
    const char second = head.prefixLength > 1 ? literal[1] : '\0';
    const std::size_t n = head.prefixLength;
    const bool more = condition.comparisons.size() > 1;
    for (std::size_t i = 0; i < count; ++i) {
        const RecordId id = ids[i];
        const std::uint8_t shortLength = c.length[id];
        if (shortLength < n && shortLength != kLongValue)
            continue;
        const char* at = arena + offsetOf(c, id);
        std::size_t length = shortLength;
        if (shortLength == kLongValue) {
            length = readLongLength(at);
            at += sizeof(std::uint32_t);
        }
        if (length < n || at[0] != first)
            continue;
        // Values often share their first byte (telephone numbers, house numbers): the
        // second settles most of those before a call to memcmp.
        if (n > 1 && (at[1] != second || std::memcmp(at + 2, literal + 2, n - 2) != 0))
            continue;
        if (more && !passes(condition, id))
            continue;
        if (!visit(i))
            return;
    }
}

void ColumnStore::select(const Condition& condition, std::span<const RecordId> from,
                         LargeVector<RecordId>& out) const {
    if (condition.empty()) {
        out.insert(out.end(), from.begin(), from.end());
        return;
    }
    scan(condition, from, [&](std::size_t i) {
        out.push_back(from[i]);
        return true;
    });
}

std::size_t ColumnStore::findFirst(const Condition& condition, std::span<const RecordId> in) const {
    std::size_t found = in.size();
    scan(condition, in, [&](std::size_t i) {
        found = i;
        return false;
    });
    return found;
}

} // namespace lambreya
