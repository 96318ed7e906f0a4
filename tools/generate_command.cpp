#include "data/byte_writer.h"
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/directory_generator.h"

#include "data/error.h"
#include "data/stored_form.h"

namespace lambreya::tools {

int runGenerate(const QStringList& args) {
    const Arguments a(args, {{"-n", "--seed", "-o"}, {}});
    a.expectPositional(0);
    if (!a.has("-n") || !a.has("-o"))
        throw Error("Нужны -n N и -o FILE (см. --help)");
    const std::size_t records = a.number("-n", 0);
    if (records > 100'000'000)
        throw Error("Слишком много записей: не больше 100000000");
    const QString out = *a.value("-o");
    const Directory dir = generateDirectory(records, a.number("--seed", 1));
    writeOutput(out, asView(storeDirectory(dir, storedFormForName(out))));
    return 0;
}

} // namespace lambreya::tools
