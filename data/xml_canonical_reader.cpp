#include "data/xml_canonical_reader.h"

#include "data/columns_builder.h"
#include "data/cp1251.h"
#include "data/stored_form.h"
#include "data/xml_form.h"

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

// The declaration, <directory> and <fields> lines.
constexpr std::size_t kLinesBeforeFields = 3;

class Cursor {
public:
    explicit Cursor(std::string_view bytes)
        : m_bytes(bytes) {}

    bool atEnd() const { return m_at == m_bytes.size(); }
    void seek(std::size_t at) { m_at = at; }

    bool skip(std::string_view literal) {
        if (m_bytes.substr(m_at, literal.size()) != literal)
            return false;
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
        const auto [end, error] = std::from_chars(begin, m_bytes.data() + m_bytes.size(), value);
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
    char peek() const { return m_at < m_bytes.size() ? m_bytes[m_at] : '\0'; }

    static int digit(char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::string_view m_bytes;
    std::size_t m_at = 0;
};

// The head in the program's own layout: markers, fields and the declared record count.
std::uint64_t readHead(Cursor& in, Directory& dir) {
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
        in.text(field.name);
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

Directory read(Cursor& in, std::string_view bytes) {
    Directory dir;
    std::uint64_t declared = 0;
    std::size_t firstRecordLine = 0;
    try {
        declared = readHead(in, dir);
        firstRecordLine = kLinesBeforeFields + dir.fields.size() + 3;
    } catch (const Declined&) {
        // A head written otherwise (attributes in another order, other spacing) is read by
        // the general reader; the records may still be in the program's layout.
        std::optional<XmlHead> head = readXmlHead(bytes);
        if (!head)
            throw;
        dir = std::move(head->directory);
        declared = *head->declaredCount;
        in.seek(head->recordsAt);
        in.expect("\n");
        firstRecordLine = head->line + 1;
    }

    const std::size_t fieldCount = dir.fields.size();
    ColumnsBuilder columns(fieldCount);
    while (in.skip("<r>")) {
        if (columns.records() >= std::numeric_limits<RecordId>::max())
            throw Declined{};
        for (std::size_t f = 0; f < fieldCount; ++f) {
            Bytes& out = columns.column(f);
            columns.beginValue(f);
            const std::size_t limit = out.size() + dir.fields[f].width;
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
            // Everything up to here is sound and the records are one a line, so the value is
            // at fault and is refused as the general reader would refuse it.
            if (columns.endValue(f) > dir.fields[f].width)
                throw DataFormatError("XML, строка " +
                                      std::to_string(firstRecordLine + columns.records()) + ": " +
                                      valueTooLong(dir.fields[f], columns.records()));
        }
        in.expect("</r>\n");
        columns.endRecord();
    }
    in.expect("</records>\n</directory>\n");
    if (!in.atEnd() || declared != columns.records())
        throw Declined{};
    columns.finish(dir);
    return dir;
}

} // namespace

std::optional<Directory> readCanonicalXml(std::string_view bytes) {
    Cursor in(bytes);
    try {
        return read(in, bytes);
    } catch (const Declined&) {
        return std::nullopt;
    }
}

} // namespace lambreya
