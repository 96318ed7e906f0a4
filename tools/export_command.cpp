#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

#include "data/cp1251.h"
#include "data/record_set.h"

namespace lambreya::tools {

int runExport(const QStringList& args) {
    const Arguments a(args, {{"-o"}, {}});
    a.expectPositional(1);
    RecordSet table("Table1");
    openDirectoryFile(table, a.positional()[0]);
    const Directory& dir = table.directory();

    std::string out;
    std::vector<std::string> row(dir.fields.size());
    std::vector<std::string_view> views(dir.fields.size());
    auto append = [&] {
        for (std::size_t f = 0; f < row.size(); ++f)
            views[f] = row[f];
        csv::appendRecord(out, views);
    };
    for (std::size_t f = 0; f < dir.fields.size(); ++f)
        row[f] = cp1251::toUtf8(dir.fields[f].name);
    append();
    for (RecordId id : dir.order) {
        for (std::size_t f = 0; f < dir.fields.size(); ++f)
            row[f] = cp1251::toUtf8(dir.columns.value(id, f));
        append();
    }
    writeOutput(a.value("-o").value_or(QString()), out);
    return 0;
}

} // namespace lambreya::tools
