#include "data/xml_canonical_reader.h"

#include "data/columns_builder.h"
#include "data/cp1251.h"
#include "data/stored_form.h"
#include "data/xml_form.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string>

namespace lambreya {
namespace {

// Bytes that end a run of plain text: markup, references, and what the writer never
// leaves bare (control bytes, 0x98, quotes, '>').
constexpr std::array<bool, 256> kStopBytes = [] {
    std::array<bool, 256> stop{};
    for (int b = 0; b < 0x20; ++b)
        stop[static_cast<std::size_t>(b)] = true;
    for (int c : {int{'<'}, int{'&'}, int{'"'}, int{'>'}, 0x98})
        stop[static_cast<std::size_t>(c)] = true;
    return stop;
}();

class Declined {};
// The bytes that have arrived end before the piece being read does.
class NeedMore {};

// The declaration, <directory> and <fields> lines.
constexpr std::size_t kLinesBeforeFields = 3;

// Bytes that have arrived, perhaps not all of the file's: a read that would go past them
// when more are to come throws NeedMore, and the piece is read again once they are there.
class Cursor {
public:
    Cursor(std::string_view bytes, bool complete, std::size_t at)
        : m_bytes(bytes)
        , m_complete(complete)
        , m_at(at) {}

    std::size_t at() const { return m_at; }
    bool atEnd() const { return m_at == m_bytes.size(); }
    void seek(std::size_t at) { m_at = at; }

    bool skip(std::string_view literal) {
        const std::string_view here = m_bytes.substr(m_at, literal.size());
        if (here != literal) {
            if (!m_complete && here.size() < literal.size() && literal.starts_with(here))
                throw NeedMore{};
            return false;
        }
        m_at += literal.size();
        return true;
    }

    void expect(std::string_view literal) {
        if (!skip(literal))
            throw Declined{};
    }

    // Escaped text up to the next '<' (content) or '"' (attribute value), decoded; no
    // further than one byte past `limit` bytes in `out`, so that an overlong value is seen
    // without being read whole.
    template <typename Out>
    void text(Out& out, std::size_t limit = std::numeric_limits<std::size_t>::max()) {
        for (;;) {
            if (out.size() > limit)
                return;
            const std::size_t start = m_at;
            const std::size_t room = limit - out.size();
            const std::size_t left = m_bytes.size() - m_at;
            const std::size_t end = room < left ? m_at + room + 1 : m_bytes.size();
            while (m_at < end && !kStopBytes[static_cast<unsigned char>(m_bytes[m_at])])
                ++m_at;
            out.insert(out.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(start),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(m_at));
            if (m_at < m_bytes.size() && m_bytes[m_at] == '&') {
                if (skip("&amp;"))
                    out.push_back('&');
                else if (skip("&lt;"))
                    out.push_back('<');
                else if (skip("&gt;"))
                    out.push_back('>');
                else if (skip("&quot;"))
                    out.push_back('"');
                else
                    throw Declined{};
                continue;
            }
            return;
        }
    }

    std::uint64_t number() {
        std::uint64_t value = 0;
        const char* begin = m_bytes.data() + m_at;
        const char* arrived = m_bytes.data() + m_bytes.size();
        const auto [end, error] = std::from_chars(begin, arrived, value);
        if (end == arrived && !m_complete)
            throw NeedMore{}; // the digits may go on
        if (error != std::errc() || end == begin)
            throw Declined{};
        m_at += static_cast<std::size_t>(end - begin);
        return value;
    }

    bool flag() {
        if (skip("1"))
            return true;
        expect("0");
        return false;
    }

    // Hex digits, decoded; as text() does, no further than one byte past `limit`.
    void hex(Bytes& out, std::size_t limit) {
        while (out.size() <= limit) {
            const int high = digit(peek());
            if (high < 0)
                return;
            ++m_at;
            const int low = digit(peek());
            if (low < 0)
                throw Declined{};
            ++m_at;
            out.push_back(static_cast<char>(high * 16 + low));
        }
    }

private:
    char peek() const {
        if (m_at < m_bytes.size())
            return m_bytes[m_at];
        if (!m_complete)
            throw NeedMore{};
        return '\0';
    }

    static int digit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view m_bytes;
    bool m_complete;
    std::size_t m_at;
};

// The head in the program's own layout: markers, fields and the declared record count.
std::uint64_t readProgramsHead(Cursor& in, Directory& dir) {
    in.expect("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<directory version=\"1\" "
              "readonly=\"");
    dir.markers.readOnly = in.flag();
    in.expect("\" DISABLE_EDITS=\"");
    dir.markers.disableEdits = in.flag();
    in.expect("\" DISABLE_INSERTS=\"");
    dir.markers.disableInserts = in.flag();
    in.expect("\" DISABLE_DELETES=\"");
    dir.markers.disableDeletes = in.flag();
    in.expect("\">\n<fields>\n");
    while (in.skip("<field name=\"")) {
        FieldDef field;
        // A longer name is refused below; the rest of it is not read.
        in.text(field.name, kMaxFieldNameLength);
        in.expect("\" type=\"text\" width=\"");
        const std::uint64_t width = in.number();
        field.width = width <= kMaxFieldWidth ? static_cast<std::uint32_t>(width) : 0;
        in.expect("\" readonly=\"");
        field.readOnly = in.flag();
        in.expect("\" required=\"");
        field.required = in.flag();
        in.expect("\"/>\n");
        dir.fields.push_back(std::move(field));
        if (dir.fields.size() > kMaxFieldCount)
            throw Declined{};
    }
    in.expect("</fields>\n<records count=\"");
    const std::uint64_t declared = in.number();
    in.expect("\">\n");
    try {
        checkFieldDefinitions(dir.fields);
    } catch (const DataFormatError&) {
        throw Declined{};
    }
    return declared;
}

} // namespace

std::size_t CanonicalXmlReader::readHead(std::string_view soFar, bool complete) {
    Cursor in(soFar, complete, 0);
    m_dir = Directory{};
    if (!m_headWrittenOtherwise) {
        try {
            m_declared = readProgramsHead(in, m_dir);
            m_firstRecordLine = kLinesBeforeFields + m_dir.fields.size() + 3;
            return in.at();
        } catch (const Declined&) {
            m_headWrittenOtherwise = true;
            m_dir = Directory{};
        }
    }
    // A head written otherwise (attributes in another order, other spacing) is read by the
    // general reader once the first record has arrived; the records may still be in the
    // program's layout.
    if (!complete && soFar.find("<r>", m_lookedForRecord) == std::string_view::npos) {
        m_lookedForRecord = soFar.size() - std::min<std::size_t>(soFar.size(), 2);
        throw NeedMore{};
    }
    std::optional<XmlHead> head = readXmlHead(soFar);
    if (!head)
        throw Declined{};
    m_dir = std::move(head->directory);
    m_declared = *head->declaredCount;
    in.seek(head->recordsAt);
    in.expect("\n");
    m_firstRecordLine = head->line + 1;
    return in.at();
}

CanonicalXmlReader::Progress CanonicalXmlReader::arrived(std::string_view soFar, bool complete) {
    if (m_stage == Stage::Declined)
        return Progress::Declined;
    if (m_stage == Stage::Done)
        return Progress::Read;
    Cursor in(soFar, complete, m_at);
    // Where to go on from when the bytes run out: a record's or a value's start.
    std::size_t mark = m_at;
    std::size_t f = m_field;
    bool inRecord = m_inRecord;
    try {
        if (m_stage == Stage::Head) {
            in.seek(readHead(soFar, complete));
            m_columns.emplace(m_dir.fields.size());
            m_stage = Stage::Records;
            mark = in.at();
        }
        ColumnsBuilder& columns = *m_columns;
        const std::size_t fieldCount = m_dir.fields.size();
        while (m_stage == Stage::Records) {
            if (!inRecord) {
                if (!in.skip("<r>")) {
                    m_stage = Stage::End;
                    break;
                }
                if (columns.records() >= std::numeric_limits<RecordId>::max())
                    throw Declined{};
                inRecord = true;
                f = 0;
                mark = in.at();
            }
            for (; f < fieldCount; ++f, mark = in.at()) {
                Bytes& out = columns.column(f);
                columns.beginValue(f);
                const std::size_t limit = out.size() + m_dir.fields[f].width;
                if (in.skip("<v>")) {
                    in.text(out, limit);
                    if (out.size() <= limit)
                        in.expect("</v>");
                } else if (in.skip("<v hex=\"")) {
                    in.hex(out, limit);
                    if (out.size() <= limit)
                        in.expect("\"/>");
                } else {
                    in.expect("<v/>");
                }
                // Everything up to here is sound and the records are one a line, so the value
                // is at fault and is refused as the general reader would refuse it.
                if (columns.endValue(f) > m_dir.fields[f].width)
                    throw DataFormatError("XML, строка " +
                                          std::to_string(m_firstRecordLine + columns.records()) +
                                          ": " + valueTooLong(m_dir.fields[f], columns.records()));
            }
            in.expect("</r>\n");
            columns.endRecord();
            inRecord = false;
            mark = in.at();
        }
        in.expect("</records>\n</directory>\n");
        if (!in.atEnd())
            throw Declined{};
        if (!complete)
            throw NeedMore{};
        if (m_declared != columns.records())
            throw Declined{};
        columns.finish(m_dir);
        m_columns.reset();
        m_stage = Stage::Done;
        return Progress::Read;
    } catch (const NeedMore&) {
        if (inRecord && f < m_dir.fields.size())
            m_columns->dropValue(f);
        m_at = mark;
        m_field = f;
        m_inRecord = inRecord;
        return Progress::Reading;
    } catch (const Declined&) {
        m_stage = Stage::Declined;
        m_columns.reset();
        m_dir = Directory{};
        return Progress::Declined;
    }
}

std::optional<Directory> readCanonicalXml(std::string_view bytes) {
    CanonicalXmlReader reader;
    if (reader.arrived(bytes, true) != CanonicalXmlReader::Progress::Read)
        return std::nullopt;
    return reader.take();
}

} // namespace lambreya
