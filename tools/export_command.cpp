#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

#include "data/record_set.h"

namespace lambreya::tools {

int runExport(const QStringList& args) {
    const Arguments a(args, {{"-o"}, {}});
    a.expectPositional(1);
    RecordSet table("Table1");
    openDirectoryFile(table, a.positional()[0]);
    const Directory& dir = table.directory();

    std::string out;
    csv::appendTable(out, dir.fields, dir.order.size(), [&](std::size_t row, std::size_t field) {
        return dir.columns.value(dir.order[row], field);
    });
    writeOutput(a.value("-o").value_or(QString()), out);
    return 0;
}

} // namespace lambreya::tools
