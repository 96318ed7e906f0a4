#include "data/binary_form.h"

#include "data/byte_reader.h"
#include "data/byte_writer.h"
#include "data/checksum.h"
#include "data/cp1251.h"
#include "data/stored_form.h"

#include <cstring>

namespace lambreya {
namespace {

constexpr std::string_view kMagic{"KVDIR\r\n\x1A", 8};
constexpr std::uint16_t kVersion = 1;

constexpr std::uint16_t kSetReadOnly = 1u << 0;
constexpr std::uint16_t kSetDisableEdits = 1u << 1;
constexpr std::uint16_t kSetDisableInserts = 1u << 2;
constexpr std::uint16_t kSetDisableDeletes = 1u << 3;
constexpr std::uint16_t kKnownSetFlags =
    kSetReadOnly | kSetDisableEdits | kSetDisableInserts | kSetDisableDeletes;

constexpr std::uint8_t kFieldReadOnly = 1u << 0;
constexpr std::uint8_t kFieldRequired = 1u << 1;
constexpr std::uint8_t kKnownFieldFlags = kFieldReadOnly | kFieldRequired;

FieldDef readField(ByteReader& in, std::size_t index) {
    FieldDef field;
    const auto nameLength = in.number<std::uint8_t>();
    field.name = std::string(in.take(nameLength));
    const auto type = in.number<std::uint8_t>();
    if (type != static_cast<std::uint8_t>(FieldType::Text))
        throw DataFormatError("поле " + std::to_string(index + 1) + " имеет неизвестный тип " +
                              std::to_string(type));
    field.width = in.number<std::uint16_t>();
    const auto flags = in.number<std::uint8_t>();
    if ((flags & ~kKnownFieldFlags) != 0)
        throw DataFormatError("поле " + std::to_string(index + 1) + " имеет неизвестные признаки");
    field.readOnly = (flags & kFieldReadOnly) != 0;
    field.required = (flags & kFieldRequired) != 0;
    return field;
}

} // namespace

bool looksLikeBinaryForm(std::string_view bytes) {
    return bytes.substr(0, kMagic.size()) == kMagic;
}

namespace {

// What the part before the records declares.
struct Header {
    SetMarkers markers;
    std::vector<FieldDef> fields;
    std::uint32_t recordCount = 0;
};

// Reads and checks everything from the magic up to the record count.
Header readHeader(ByteReader& in) {
    in.take(kMagic.size());
    const auto version = in.number<std::uint16_t>();
    if (version != kVersion)
        throw DataFormatError("версия формата " + std::to_string(version) + " не поддерживается");
    Header header;
    const auto setFlags = in.number<std::uint16_t>();
    if ((setFlags & ~kKnownSetFlags) != 0)
        throw DataFormatError("неизвестные признаки набора");
    header.markers.readOnly = (setFlags & kSetReadOnly) != 0;
    header.markers.disableEdits = (setFlags & kSetDisableEdits) != 0;
    header.markers.disableInserts = (setFlags & kSetDisableInserts) != 0;
    header.markers.disableDeletes = (setFlags & kSetDisableDeletes) != 0;

    const auto fieldCount = in.number<std::uint16_t>();
    checkFieldCount(fieldCount);
    for (std::size_t f = 0; f < fieldCount; ++f)
        header.fields.push_back(readField(in, f));
    checkFieldDefinitions(header.fields);
    header.recordCount = in.number<std::uint32_t>();
    return header;
}

std::string countDoesNotFit(std::uint32_t recordCount) {
    return "число записей " + std::to_string(recordCount) + " не соответствует размеру файла";
}

} // namespace

void checkBinaryFormHead(std::string_view head, std::uint64_t fileSize) {
    if (!looksLikeBinaryForm(head) || head.size() >= fileSize)
        return; // the whole file is at hand and decides
    ByteReader in(head);
    Header header;
    try {
        header = readHeader(in);
    } catch (const TruncatedError&) {
        return; // a header longer than the head: the whole file decides
    }
    // Each value takes its two length bytes and at most its field's width.
    const std::uint64_t before = head.size() - in.left();
    std::uint64_t least = 0;
    std::uint64_t most = 0;
    for (const FieldDef& field : header.fields) {
        least += 2;
        most += 2 + std::uint64_t{field.width};
    }
    const std::uint64_t records = header.recordCount;
    const std::uint64_t checksum = sizeof(std::uint32_t);
    if (fileSize < before + records * least + checksum)
        throw DataFormatError(countDoesNotFit(header.recordCount));
    if (fileSize > before + records * most + checksum)
        throw DataFormatError("после записей стоят лишние данные");
}

Directory parseBinaryForm(std::string_view bytes) {
    if (!looksLikeBinaryForm(bytes))
        throw DataFormatError("это не файл справочника: формат не распознан");
    if (bytes.size() < kMagic.size() + sizeof(std::uint32_t))
        throw DataFormatError("файл обрезан");
    const std::string_view body = bytes.substr(0, bytes.size() - sizeof(std::uint32_t));
    ByteReader tail(bytes.substr(body.size()));
    if (tail.number<std::uint32_t>() != crc32Of(body))
        throw DataFormatError("контрольная сумма не совпадает: файл повреждён или обрезан");

    ByteReader in(body);
    Header header = readHeader(in);
    Directory dir;
    dir.markers = header.markers;
    dir.fields = std::move(header.fields);
    const std::size_t fieldCount = dir.fields.size();
    const std::uint32_t recordCount = header.recordCount;
    // Every value takes at least its two length bytes.
    if (static_cast<std::uint64_t>(recordCount) * fieldCount * 2 > in.left())
        throw DataFormatError(countDoesNotFit(recordCount));

    dir.columns = ColumnStore(fieldCount);
    dir.columns.resetForLoad(recordCount);
    LargeVector<std::uint16_t> lengths(recordCount);
    for (std::size_t f = 0; f < fieldCount; ++f) {
        const std::string_view rawLengths = in.take(std::size_t{recordCount} * 2);
        const auto* raw = reinterpret_cast<const unsigned char*>(rawLengths.data());
        const std::uint32_t width = dir.fields[f].width;
        std::uint64_t total = 0;
        for (std::size_t r = 0; r < recordCount; ++r) {
            const auto length = static_cast<std::uint16_t>(raw[2 * r] | (raw[2 * r + 1] << 8));
            if (length > width)
                throw DataFormatError(valueTooLong(dir.fields[f], r));
            lengths[r] = length;
            total += length;
        }
        if (total > in.left())
            throw DataFormatError("файл обрезан");
        dir.columns.loadColumn(f, lengths, in.take(static_cast<std::size_t>(total)));
    }
    if (in.left() != 0)
        throw DataFormatError("после записей стоят лишние данные");

    dir.order.resize(recordCount);
    for (std::uint32_t r = 0; r < recordCount; ++r)
        dir.order[r] = r;
    return dir;
}

Bytes storeBinaryForm(const Directory& dir) {
    const std::size_t fieldCount = dir.fields.size();
    const std::size_t recordCount = dir.order.size();
    std::size_t size = kMagic.size() + 2 + 2 + 2 + 4 + 4;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        size += 1 + dir.fields[f].name.size() + 1 + 2 + 1 + 2 * recordCount;
        for (RecordId id : dir.order)
            size += dir.columns.value(id, f).size();
    }

    ByteWriter out(size);
    out.append(kMagic);
    putLittleEndian<std::uint16_t>(out, kVersion);
    std::uint16_t setFlags = 0;
    setFlags |= dir.markers.readOnly ? kSetReadOnly : 0;
    setFlags |= dir.markers.disableEdits ? kSetDisableEdits : 0;
    setFlags |= dir.markers.disableInserts ? kSetDisableInserts : 0;
    setFlags |= dir.markers.disableDeletes ? kSetDisableDeletes : 0;
    putLittleEndian<std::uint16_t>(out, setFlags);
    putLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(fieldCount));
    for (const FieldDef& field : dir.fields) {
        putLittleEndian<std::uint8_t>(out, static_cast<std::uint8_t>(field.name.size()));
        out.append(field.name);
        putLittleEndian<std::uint8_t>(out, static_cast<std::uint8_t>(field.type));
        putLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(field.width));
        std::uint8_t flags = 0;
        flags |= field.readOnly ? kFieldReadOnly : 0;
        flags |= field.required ? kFieldRequired : 0;
        putLittleEndian<std::uint8_t>(out, flags);
    }
    putLittleEndian<std::uint32_t>(out, static_cast<std::uint32_t>(recordCount));
    for (std::size_t f = 0; f < fieldCount; ++f) {
        for (RecordId id : dir.order)
            putLittleEndian<std::uint16_t>(
                out, static_cast<std::uint16_t>(dir.columns.value(id, f).size()));
        for (RecordId id : dir.order)
            out.append(dir.columns.value(id, f));
    }
    putLittleEndian<std::uint32_t>(out, crc32Of(out.view()));
    return out.take();
}

} // namespace lambreya
