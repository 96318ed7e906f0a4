#pragma once

#include <QStringList>

// The commands of kalvest-data. Each takes the arguments after its name, writes its
// result and returns the exit status; errors are thrown as lambreya::Error.
namespace lambreya::tools {

struct Command {
    const char* name;
    const char* usage; // the help text, UTF-8
    int (*run)(const QStringList& args);
};

int runGenerate(const QStringList& args);
int runConvert(const QStringList& args);
int runExport(const QStringList& args);
int runImport(const QStringList& args);
int runInfo(const QStringList& args);
int runQuery(const QStringList& args);
int runReport(const QStringList& args);

extern const Command kCommands[];
extern const std::size_t kCommandCount;

// Whether the command lays out text, and so needs the fonts of a graphical application.
bool commandPaints(const char* name);

} // namespace lambreya::tools
