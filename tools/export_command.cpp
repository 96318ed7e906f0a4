#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

#include "data/record_set.h"

namespace lambreya::tools {

int runExport(const QStringList& args) {
    const Arguments a(args, {{"-o"}, {"--spreadsheet"}});
    a.expectPositional(1);
    RecordSet table("Table1");
    openDirectoryFile(table, a.positional()[0]);
    const Directory& dir = table.directory();

    // For a spreadsheet: a byte-order mark, by which it knows the text is UTF-8, and every
    // field quoted, so that a house "8/1" or a telephone "01-02" stays text where the
    // spreadsheet is told to keep quoted fields as text.
    const bool spreadsheet = a.has("--spreadsheet");
    std::string out(spreadsheet ? csv::kUtf8ByteOrderMark : std::string_view());
    csv::appendTable(out, dir.fields, dir.order.size(),
                     [&](std::size_t row, std::size_t field) {
                         return dir.columns.value(dir.order[row], field);
                     },
                     {',', spreadsheet});
    writeOutput(a.value("-o").value_or(QString()), out);
    return 0;
}

} // namespace lambreya::tools
