#pragma once

#include "data/columns_builder.h"
#include "data/directory.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace lambreya {

// Reads the XML form as the program writes it, in one pass over the bytes, an order of
// magnitude faster than a general XML reader. A head written otherwise (attributes in
// another order, other spacing, comments) is read by the general reader and the records
// still quickly when they are in the program's layout. Anything else (records spaced
// otherwise, another encoding, a damaged or unsound file) is declined, and the general
// reader takes the file from the start and says what is wrong. A value longer than its
// field's width is refused here (DataFormatError, the general reader's message) as soon as
// its width + 1st byte is seen.
//
// The bytes may be given as they are read from the file: each call is given every byte read
// so far, and the reader goes on from the value it stopped in, so that an overlong value is
// refused once that much of it has arrived and no value is read twice over.
class CanonicalXmlReader {
public:
    enum class Progress {
        Reading,  // sound so far; the rest is to come
        Read,     // the whole file: take() gives the directory
        Declined, // for the general reader
    };

    // `soFar` holds what the last call was given and what has been read since; `complete`
    // when that is the whole file.
    Progress arrived(std::string_view soFar, bool complete);
    // Past the head: from here on the reader bounds every piece it reads itself.
    bool inRecords() const { return m_stage != Stage::Head; }
    Directory take() { return std::move(m_dir); }

private:
    enum class Stage { Head, Records, End, Done, Declined };

    // Where the records start.
    std::size_t readHead(std::string_view soFar, bool complete);

    Stage m_stage = Stage::Head;
    Directory m_dir;
    std::optional<ColumnsBuilder> m_columns;
    std::uint64_t m_declared = 0;
    std::size_t m_firstRecordLine = 0;
    // Where to go on: the start of a record or of a value, and the value's field.
    std::size_t m_at = 0;
    std::size_t m_field = 0;
    bool m_inRecord = false;
    // A head not in the program's layout waits for the first record to arrive, looked for
    // from here.
    bool m_headWrittenOtherwise = false;
    std::size_t m_lookedForRecord = 0;
};

// The whole file at once.
std::optional<Directory> readCanonicalXml(std::string_view bytes);

} // namespace lambreya
