#pragma once

#include "data/field_def.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 has them: fields with a comma, a double quote or a
// line break are quoted, quotes doubled; records end with CRLF.
namespace lambreya::csv {

void appendRecord(std::string& out, const std::vector<std::string_view>& fields);

// A directory table as the tool prints it, in UTF-8: the field names, then `rows` records,
// `valueOf(row, field)` giving each value in code page 1251.
void appendTable(
    std::string& out, const std::vector<FieldDef>& fields, std::size_t rows,
    const std::function<std::string_view(std::size_t row, std::size_t field)>& valueOf);

// Reads every record. A lone LF also ends a record; a quote in an unquoted field, text
// after a closing quote and a quoted field left open are errors naming the line.
std::vector<std::vector<std::string>> parse(std::string_view text);

} // namespace lambreya::csv
