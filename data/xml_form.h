#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// The XML text form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

// No piece of the form (a text, a comment, a tag) is longer: a value of the widest field
// with every byte escaped takes under 400 KB.
inline constexpr std::size_t kMaxXmlPiece = std::size_t{1} << 20;

bool looksLikeXmlForm(std::string_view bytes);
Directory parseXmlForm(std::string_view bytes);

// Reads the XML form while its file is read. The quick reader takes the bytes as they
// arrive; what it leaves to the general reader is looked over for pieces no file of the form
// has as it arrives, and read once it is whole. A file is refused (DataFormatError) as soon
// as what has arrived shows a fault no later byte can mend: a value longer than its field in
// the program's layout, a comment, a text or a tag longer than kMaxXmlPiece, an element with
// too many attributes.
class XmlFormReader {
public:
    XmlFormReader();
    ~XmlFormReader();
    // `soFar` holds what the last call was given and what has been read since; `complete`
    // when that is the whole file.
    void arrived(std::string_view soFar, bool complete);
    // The directory, once the whole file has arrived.
    Directory take();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

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
