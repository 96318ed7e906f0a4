#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The XML text form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

bool looksLikeXmlForm(std::string_view bytes);
Directory parseXmlForm(std::string_view bytes);
// The general reader alone, which any well-formed XML of the form goes through.
Directory parseXmlFormGeneral(std::string_view bytes);
Bytes storeXmlForm(const Directory& directory);

// What an XML file declares before its first record, as the general reader reads it: the
// markers and the fields, the declared record count, and where the records start (the byte
// after the <records> start tag, on line `line`). The quick reader takes the records from
// there when the head is not in the program's own layout (another attribute order, other
// spacing). Empty when the head is not sound, declares no count, or its characters cannot
// be told from its bytes: the general reader then reads the whole file.
struct XmlHead {
    Directory directory;
    std::optional<std::uint64_t> declaredCount;
    std::size_t recordsAt = 0;
    std::size_t line = 0;
    bool inCodePage1251 = false;
};
std::optional<XmlHead> readXmlHead(std::string_view bytes);

} // namespace lambreya
