#include "data/byte_writer.h"
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

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
};

Layout layoutFromHeader(const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows) {
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
            // Another column: a text field as wide as its longest value.
            field.name = header[c];
            field.width = 1;
            for (const auto& row : rows) {
                if (c < row.size())
                    field.width = std::max<std::uint32_t>(
                        field.width, static_cast<std::uint32_t>(row[c].size()));
            }
        }
        layout.fields.push_back(field);
        layout.fieldOfColumn.push_back(c);
    }
    return layout;
}

Layout layoutLike(const QString& likeFile, const std::vector<std::string>& header) {
    RecordSet like("Table1");
    openDirectoryFile(like, likeFile);
    Layout layout{like.fields(), like.markers(), {}};
    for (const std::string& name : header) {
        const int field = like.findField(name);
        if (field < 0)
            throw Error("В справочнике " + likeFile.toStdString() + " нет поля " +
                        cp1251::toUtf8(name));
        layout.fieldOfColumn.push_back(static_cast<std::size_t>(field));
    }
    return layout;
}

} // namespace

int runImport(const QStringList& args) {
    const Arguments a(args, {{"-o", "--like"}, {}});
    a.expectPositional(1);
    if (!a.has("-o"))
        throw Error("Нужен -o FILE (см. --help)");
    const QString out = *a.value("-o");

    // Decode everything first: a character outside code page 1251 is named with its place.
    const auto rowsUtf8 = csv::parse(readTextFile(a.positional()[0]));
    if (rowsUtf8.empty())
        throw Error("CSV-файл пуст: нет даже строки с именами полей");
    std::vector<std::vector<std::string>> rows;
    rows.reserve(rowsUtf8.size());
    for (std::size_t r = 0; r < rowsUtf8.size(); ++r) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < rowsUtf8[r].size(); ++c) {
            std::optional<std::string> bytes = cp1251::fromUtf8(rowsUtf8[r][c]);
            if (!bytes)
                throw Error("CSV, строка " + std::to_string(r + 1) + ", поле " +
                            (c < rowsUtf8[0].size() ? rowsUtf8[0][c] : std::to_string(c + 1)) +
                            ": знак вне кодовой страницы 1251");
            row.push_back(std::move(*bytes));
        }
        rows.push_back(std::move(row));
    }
    const std::vector<std::string> header = rows.front();
    rows.erase(rows.begin());
    if (rows.size() == 1 && rows.front().size() == 1 && rows.front().front().empty())
        rows.clear(); // a header followed by one empty line

    const Layout layout =
        a.has("--like") ? layoutLike(*a.value("--like"), header) : layoutFromHeader(header, rows);
    Directory dir;
    dir.fields = layout.fields;
    dir.markers = layout.markers;
    checkFieldDefinitions(dir.fields);
    dir.columns = ColumnStore(dir.fields.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string line = std::to_string(r + 2);
        if (rows[r].size() != header.size())
            throw Error("CSV, строка " + line + ": " + std::to_string(rows[r].size()) +
                        " полей, а в заголовке " + std::to_string(header.size()));
        const RecordId id = dir.columns.add();
        dir.order.push_back(id);
        for (std::size_t c = 0; c < header.size(); ++c) {
            const FieldDef& field = dir.fields[layout.fieldOfColumn[c]];
            if (rows[r][c].size() > field.width)
                throw Error("CSV, строка " + line + ", поле " + cp1251::toUtf8(field.name) +
                            ": значение длиннее ширины поля (" + std::to_string(field.width) + ")");
            dir.columns.set(id, layout.fieldOfColumn[c], rows[r][c]);
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
