// kalvest-data report: the search results report into a PDF. The boxes are filled from the
// command line, the search is put in force as the window does it, the filter labels show
// the boxes' texts, and the report is composed exactly as the preview shows it.
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/search_options.h"

#include "data/cp1251.h"
#include "data/error.h"
#include "data/record_set.h"
#include "report/pdf_sink.h"
#include "report/search_res_form.h"
#include "search/filter_compiler.h"
#include "search/search_filter.h"

namespace lambreya::tools {

int runReport(const QStringList& args) {
    const Arguments a(args, {{"--search", "-o"}, {"--landscape"}});
    a.expectPositional(1);
    if (!a.has("-o") || a.value("-o")->isEmpty())
        throw Error("Не задан файл отчёта: -o ФАЙЛ.pdf");
    if (a.values("-o").size() > 1)
        throw Error("Параметр -o задан больше одного раза");
    const std::array<std::string, kSearchBoxCount> boxes = searchBoxTexts(a);

    const FilterCompiler compiler;
    RecordSet table("Table1");
    table.setCompiler(&compiler);
    openDirectoryFile(table, a.positional()[0]);
    applySearchFilterText(table, searchFilterTextOf(boxes));

    TSearchResForm form(table);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        form.findLabel(kDirectoryFields[i].filterLabel)->setCaption(cp1251::toUnicode(boxes[i]));
    if (a.has("--landscape"))
        form.QuickRep1.PrinterSettings.orientation = PrintSettings::Orientation::Landscape;
    PdfSink pdf(*a.value("-o"));
    RunObserver observer;
    form.QuickRep1.compose(pdf, observer);
    return 0;
}

} // namespace lambreya::tools
