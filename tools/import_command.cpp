#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

#include "data/byte_writer.h"
#include "data/cp1251.h"
#include "data/error.h"
#include "data/record_set.h"
#include "data/stored_form.h"

#include <algorithm>

namespace lambreya::tools {
namespace {

// The fields the CSV columns go to, from the header, and for each column its field.
struct Layout {
    std::vector<FieldDef> fields;
    SetMarkers markers;
    std::vector<std::size_t> fieldOfColumn;
    // Columns that are no field of the directory: a text field as wide as its longest value.
    std::vector<bool> widthFromValues;
};

Layout layoutFromHeader(const std::vector<std::string>& header) {
    const std::vector<FieldDef> standard = standardDirectoryFields();
    Layout layout;
    for (std::size_t c = 0; c < header.size(); ++c) {
        const auto known = std::find_if(standard.begin(), standard.end(), [&](const FieldDef& f) {
            return cp1251::equalsCaseBlind(f.name, header[c]);
        });
        FieldDef field;
        if (known != standard.end()) {
            field = *known;
        } else {
            field.name = header[c];
            field.width = 1;
        }
        layout.fields.push_back(field);
        layout.fieldOfColumn.push_back(c);
        layout.widthFromValues.push_back(known == standard.end());
    }
    return layout;
}

Layout layoutLike(const QString& likeFile, const std::vector<std::string>& header) {
    RecordSet like("Table1");
    openDirectoryFile(like, likeFile);
    Layout layout{like.fields(), like.markers(), {}, std::vector<bool>(header.size(), false)};
    for (const std::string& name : header) {
        const int field = like.findField(name);
        if (field < 0)
            throw Error("В справочнике " + likeFile.toStdString() + " нет поля " +
                        cp1251::toUtf8(name));
        layout.fieldOfColumn.push_back(static_cast<std::size_t>(field));
    }
    return layout;
}

// The record's fields in code page 1251; a character outside it is named with its place.
void toCodePage(std::vector<std::string>& record, std::size_t line,
                const std::vector<std::string>& headerUtf8) {
    for (std::size_t c = 0; c < record.size(); ++c) {
        std::optional<std::string> bytes = cp1251::fromUtf8(record[c]);
        if (!bytes)
            throw Error("CSV, строка " + std::to_string(line) + ", поле " +
                        (c < headerUtf8.size() ? headerUtf8[c] : std::to_string(c + 1)) +
                        ": знак вне кодовой страницы 1251");
        record[c] = std::move(*bytes);
    }
}

// A header whose names are joined by some other mark would import as one field with a
// strange name and every row blank beside it.
void refuseOtherDelimiters(const std::vector<std::string>& header) {
    struct Other {
        char mark;
        const char* name;
    };
    for (const Other& other : {Other{'\t', "знаком табуляции"}, Other{'|', "чертой «|»"}}) {
        for (const std::string& name : header) {
            if (name.find(other.mark) != std::string::npos)
                throw Error(std::string("CSV, строка 1: имена полей разделены ") + other.name +
                            "; нужна запятая или точка с запятой");
        }
    }
}

} // namespace

int runImport(const QStringList& args) {
    const Arguments a(args, {{"-o", "--like"}, {}});
    a.expectPositional(1);
    if (!a.has("-o"))
        throw Error("Нужен -o FILE (см. --help)");
    const QString out = *a.value("-o");

    // The file is read a part at a time and each record checked as it arrives, so that a
    // file that is no directory is refused once its fault has been read.
    TextFileParts file(a.positional()[0]);
    std::string_view first = file.next();
    // A spreadsheet (and export --spreadsheet) marks UTF-8 with a byte-order mark.
    if (first.starts_with(csv::kUtf8ByteOrderMark))
        first.remove_prefix(csv::kUtf8ByteOrderMark.size());
    // The header tells the delimiter: a comma, or the semicolon of a Russian spreadsheet. A
    // value in UTF-8 takes at most three bytes for each of its code page 1251 characters.
    csv::Reader reader(
        first, [&] { return file.next(); }, csv::headerDelimiter(first),
        3 * std::size_t{kMaxFieldWidth},
        "поле длиннее " + std::to_string(kMaxFieldWidth) + " знаков, самой большой ширины поля");
    std::vector<std::string> header;
    if (!reader.next(header, kMaxFieldCount,
                     "полей больше допустимого (" + std::to_string(kMaxFieldCount) + ")"))
        throw Error("CSV-файл пуст: нет даже строки с именами полей");
    refuseOtherDelimiters(header);
    const std::vector<std::string> headerUtf8 = header;
    toCodePage(header, 1, headerUtf8);

    Layout layout =
        a.has("--like") ? layoutLike(*a.value("--like"), header) : layoutFromHeader(header);
    Directory dir;
    dir.fields = layout.fields;
    dir.markers = layout.markers;
    checkFieldDefinitions(dir.fields);
    dir.columns = ColumnStore(dir.fields.size());

    const std::string tooMany =
        "полей больше, чем в заголовке (" + std::to_string(header.size()) + ")";
    std::vector<std::string> row;
    for (std::size_t r = 0; reader.next(row, header.size(), tooMany); ++r) {
        const std::size_t lineNumber = r + 2;
        if (r == 0 && row.size() == 1 && row.front().empty() && reader.atEnd())
            break; // a header followed by one empty line
        toCodePage(row, lineNumber, headerUtf8);
        const std::string line = std::to_string(lineNumber);
        if (row.size() != header.size())
            throw Error("CSV, строка " + line + ": " + std::to_string(row.size()) +
                        " полей, а в заголовке " + std::to_string(header.size()));
        const RecordId id = dir.columns.add();
        dir.order.push_back(id);
        for (std::size_t c = 0; c < header.size(); ++c) {
            FieldDef& field = dir.fields[layout.fieldOfColumn[c]];
            const std::uint32_t width = layout.widthFromValues[c] ? kMaxFieldWidth : field.width;
            if (row[c].size() > width)
                throw Error("CSV, строка " + line + ", поле " + cp1251::toUtf8(field.name) +
                            ": значение длиннее ширины поля (" + std::to_string(width) + ")");
            if (layout.widthFromValues[c])
                field.width = std::max(field.width, static_cast<std::uint32_t>(row[c].size()));
            dir.columns.set(id, layout.fieldOfColumn[c], row[c]);
        }
        for (std::size_t f = 0; f < dir.fields.size(); ++f) {
            if (dir.fields[f].required && dir.columns.value(id, f).empty())
                throw Error("CSV, строка " + line + ", поле " + cp1251::toUtf8(dir.fields[f].name) +
                            ": поле должно иметь значение");
        }
    }
    writeOutput(out, asView(storeDirectory(dir, storedFormForName(out))));
    return 0;
}

} // namespace lambreya::tools
