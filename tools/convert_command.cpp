#include "data/byte_writer.h"
#include "tools/command_line.h"
#include "tools/commands.h"

#include "data/record_set.h"
#include "data/stored_form.h"

namespace lambreya::tools {

int runConvert(const QStringList& args) {
    const Arguments a(args, {});
    a.expectPositional(2);
    RecordSet table("Table1");
    openDirectoryFile(table, a.positional()[0]);
    const QString out = a.positional()[1];
    writeOutput(out, asView(storeDirectory(table.directory(), storedFormForName(out))));
    return 0;
}

} // namespace lambreya::tools
