// kalvest-data query: the window's search from the shell. The boxes are filled from the
// command line, the filter text is built and put in force as the window does it, and the
// status line's message, the place of a locate and the view itself are printed.
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"
#include "tools/search_options.h"

#include "data/error.h"
#include "data/record_set.h"
#include "search/filter_compiler.h"
#include "search/filter_text.h"
#include "search/match_count.h"
#include "search/search_filter.h"

#include <cstdio>
#include <optional>

namespace lambreya::tools {
namespace {

std::string filterTextOf(const Arguments& a) {
    const QStringList searches = a.values("--search");
    if (a.has("--filter")) {
        if (!searches.isEmpty())
            throw Error("Параметры --search и --filter не задаются вместе");
        if (a.values("--filter").size() > 1)
            throw Error("Параметр --filter задан больше одного раза");
        return toCodePage(*a.value("--filter"), "Текст фильтра");
    }
    return searchFilterTextOf(searchBoxTexts(a));
}

void appendView(std::string& out, const RecordSet& table, int rows) {
    csv::appendTable(out, table.fields(), static_cast<std::size_t>(rows),
                     [&](std::size_t row, std::size_t field) {
                         return table.rowText(static_cast<int>(row), static_cast<int>(field));
                     });
}

} // namespace

int runQuery(const QStringList& args) {
    const Arguments a(args, {{"--search", "--filter", "--locate"}, {"--csv"}});
    a.expectPositional(1);
    const std::string filterText = filterTextOf(a);
    std::optional<BoxText> locate;
    if (a.has("--locate")) {
        if (a.values("--locate").size() > 1)
            throw Error("Параметр --locate задан больше одного раза");
        locate = parseBoxText(*a.value("--locate"), "--locate");
    }

    const FilterCompiler compiler;
    RecordSet table("Table1");
    table.setCompiler(&compiler);
    openDirectoryFile(table, a.positional()[0]);
    const int found = applySearchFilterText(table, filterText);

    // Everything is written at the end, so that a failure prints its message alone. With
    // the records as CSV, the messages go to standard error, so that the output is the
    // table alone.
    std::string said = matchCountMessage(static_cast<std::uint64_t>(found)).toStdString() + "\n";
    if (locate) {
        const std::string field(searchFieldName(kSearchBoxNames[locate->box]));
        if (table.locate(field, locate->text, true))
            said += "Найдена запись " + std::to_string(table.currentRow() + 1) + "\n";
        else
            said += "Запись не найдена\n";
    }
    if (!a.has("--csv")) {
        writeOutput(QString(), said);
        return 0;
    }
    std::string out;
    appendView(out, table, found);
    writeOutput(QString(), out);
    std::fputs(said.c_str(), stderr);
    return 0;
}

} // namespace lambreya::tools
