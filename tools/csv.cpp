#include "tools/csv.h"

#include "data/cp1251.h"
#include "data/error.h"

namespace lambreya::csv {

void appendRecord(std::string& out, const std::vector<std::string_view>& fields, Style style) {
    const char special[] = {style.delimiter, '"', '\r', '\n', '\0'};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.push_back(style.delimiter);
        const std::string_view field = fields[i];
        if (!style.quoteAll && field.find_first_of(special) == std::string_view::npos) {
            out.append(field);
            continue;
        }
        out.push_back('"');
        for (char c : field) {
            if (c == '"')
                out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    out.append("\r\n");
}

void appendTable(std::string& out, const std::vector<FieldDef>& fields, std::size_t rows,
                 const std::function<std::string_view(std::size_t, std::size_t)>& valueOf,
                 Style style) {
    std::vector<std::string> row(fields.size());
    std::vector<std::string_view> views(fields.size());
    auto append = [&] {
        for (std::size_t f = 0; f < row.size(); ++f)
            views[f] = row[f];
        appendRecord(out, views, style);
    };
    for (std::size_t f = 0; f < fields.size(); ++f)
        row[f] = cp1251::toUtf8(fields[f].name);
    append();
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t f = 0; f < fields.size(); ++f)
            row[f] = cp1251::toUtf8(valueOf(r, f));
        append();
    }
}

char headerDelimiter(std::string_view text) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\r' || c == '\n'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
    }
    return semicolons > commas ? ';' : ',';
}

void Reader::fail(const std::string& what) const {
    throw Error("CSV, строка " + std::to_string(m_line) + ": " + what);
}

void Reader::checkLength(const std::string& field) const {
    if (field.size() > m_maxFieldBytes)
        fail(m_tooLong);
}

bool Reader::takeNextPart() {
    while (m_more) {
        m_part = m_more();
        m_at = 0;
        if (m_part.empty())
            m_more = nullptr;
        else
            return true;
    }
    return false;
}

bool Reader::next(std::vector<std::string>& record, std::size_t maxFields,
                  const std::string& tooMany) {
    record.clear();
    if (!have())
        return false;
    m_recordLine = m_line;
    std::string field;
    for (;;) {
        if (record.size() >= maxFields) {
            m_line = m_recordLine;
            fail(tooMany);
        }
        // At the start of a field.
        if (have() && m_part[m_at] == '"') {
            ++m_at;
            for (;;) {
                if (!have())
                    fail("кавычки не закрыты");
                const char c = m_part[m_at++];
                if (c == '"') {
                    if (have() && m_part[m_at] == '"') {
                        field.push_back('"');
                        ++m_at;
                        continue;
                    }
                    break;
                }
                if (c == '\n')
                    ++m_line;
                field.push_back(c);
                checkLength(field);
            }
            if (have() && !endsField(m_part[m_at]))
                fail("после закрывающей кавычки стоит текст");
        } else {
            while (have() && !endsField(m_part[m_at])) {
                if (m_part[m_at] == '"')
                    fail("кавычка внутри поля без кавычек");
                field.push_back(m_part[m_at++]);
                checkLength(field);
            }
        }
        record.push_back(std::move(field));
        field.clear();
        if (!have())
            return true;
        const char end = m_part[m_at++];
        if (end == m_delimiter)
            continue; // a delimiter at the very end leaves an empty last field
        // A line break: CRLF, or a lone LF or CR.
        if (end == '\r' && have() && m_part[m_at] == '\n')
            ++m_at;
        ++m_line;
        return true;
    }
}

std::vector<std::vector<std::string>> parse(std::string_view text) {
    std::vector<std::vector<std::string>> records;
    Reader reader(text);
    std::vector<std::string> record;
    while (reader.next(record))
        records.push_back(std::move(record));
    return records;
}

} // namespace lambreya::csv
