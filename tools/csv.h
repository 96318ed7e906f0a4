#pragma once

#include "data/field_def.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Comma-separated values as RFC 4180 has them: fields with a comma, a double quote or a
// line break are quoted, quotes doubled; records end with CRLF. Spreadsheets of a Russian
// locale write a semicolon in place of the comma.
namespace lambreya::csv {

// What a spreadsheet puts before UTF-8 text, and reads it by.
inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

struct Style {
    char delimiter = ',';
    // Every field quoted, not only those that need it.
    bool quoteAll = false;
};

void appendRecord(std::string& out, const std::vector<std::string_view>& fields, Style style = {});

// A directory table as the tool prints it, in UTF-8: the field names, then `rows` records,
// `valueOf(row, field)` giving each value in code page 1251.
void appendTable(std::string& out, const std::vector<FieldDef>& fields, std::size_t rows,
                 const std::function<std::string_view(std::size_t row, std::size_t field)>& valueOf,
                 Style style = {});

// The delimiter of the text's first line: a semicolon when that line holds more of them
// than commas outside quotes, otherwise a comma.
char headerDelimiter(std::string_view text);

// Reads records one at a time, from a text whole or from its parts as they are read. A lone
// LF also ends a record; a quote in an unquoted field, text after a closing quote and a
// quoted field left open are errors naming the line.
class Reader {
public:
    // The next part of the text, which need only last until the next call; empty at its end.
    using More = std::function<std::string_view()>;

    // A field longer than `maxFieldBytes` is refused, with `tooLong` after the line, as soon
    // as its next byte is seen: a file of one endless field costs no more than that.
    explicit Reader(std::string_view text, char delimiter = ',',
                    std::size_t maxFieldBytes = SIZE_MAX, std::string tooLong = {})
        : Reader(text, nullptr, delimiter, maxFieldBytes, std::move(tooLong)) {}
    // The text's first part, then what `more` gives.
    Reader(std::string_view first, More more, char delimiter = ',',
           std::size_t maxFieldBytes = SIZE_MAX, std::string tooLong = {})
        : m_part(first)
        , m_more(std::move(more))
        , m_delimiter(delimiter)
        , m_maxFieldBytes(maxFieldBytes)
        , m_tooLong(std::move(tooLong)) {}

    // The next record into `record`; false at the end of the text. A record of more than
    // `maxFields` fields is refused as soon as the field after the last allowed one starts,
    // with `tooMany` after the line: nothing is held for the rest of it.
    bool next(std::vector<std::string>& record, std::size_t maxFields = SIZE_MAX,
              const std::string& tooMany = {});
    bool atEnd() { return !have(); }
    // The line the last record read started on.
    std::size_t line() const { return m_recordLine; }

private:
    [[noreturn]] void fail(const std::string& what) const;
    void checkLength(const std::string& field) const;
    // Whether a byte is at hand, taking the next part when this one is read.
    bool have() { return m_at < m_part.size() || takeNextPart(); }
    bool takeNextPart();
    bool endsField(char c) const { return c == m_delimiter || c == '\r' || c == '\n'; }

    std::string_view m_part;
    More m_more;
    char m_delimiter;
    std::size_t m_maxFieldBytes;
    std::string m_tooLong;
    std::size_t m_at = 0;
    std::size_t m_line = 1;
    std::size_t m_recordLine = 1;
};

// Every record of the text.
std::vector<std::vector<std::string>> parse(std::string_view text);

} // namespace lambreya::csv
