// kalvest-data query: the window's search from the shell. The boxes are filled from the
// command line, the filter text is built and put in force as the window does it, and the
// status line's message, the place of a locate and the view itself are printed.
#include "tools/command_line.h"
#include "tools/commands.h"
#include "tools/csv.h"

#include "data/error.h"
#include "data/record_set.h"
#include "search/box_text.h"
#include "search/filter_compiler.h"
#include "search/filter_text.h"
#include "search/match_count.h"
#include "search/search_filter.h"

#include <array>
#include <cctype>
#include <optional>
#include <utility>

namespace lambreya::tools {
namespace {

// A box named on the command line and its text, as the box would hold it.
struct BoxText {
    std::size_t box;
    std::string text; // code page 1251
};

// The short names of the boxes: the part of each box's name after its underscore.
std::string boxNames() {
    std::string names;
    for (std::string_view name : kSearchBoxNames) {
        if (!names.empty())
            names += ", ";
        std::string suffix(name.substr(name.find('_') + 1));
        for (char& c : suffix)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        names += suffix;
    }
    return names;
}

// BOX=TEXT: BOX is famili, initsi, ... in any letter case; TEXT is taken as the box takes
// typed text, its letters turned into capitals.
BoxText parseBoxText(const QString& argument, const std::string& option) {
    const qsizetype equals = argument.indexOf(QLatin1Char('='));
    if (equals < 0)
        throw Error("Параметру " + option + " нужно значение вида ПОЛЕ=ТЕКСТ, а дано " +
                    argument.toStdString());
    const QString name = argument.left(equals);
    for (std::size_t i = 0; i < kSearchBoxNames.size(); ++i) {
        const std::string_view boxName = kSearchBoxNames[i];
        const std::string suffix(boxName.substr(boxName.find('_') + 1));
        if (name.compare(QString::fromLatin1(suffix), Qt::CaseInsensitive) != 0)
            continue;
        const QString text = searchBoxCapitals(argument.mid(equals + 1));
        return {i, toCodePage(text, "Текст поля " + name.toStdString())};
    }
    throw Error("Неизвестное поле поиска " + name.toStdString() + "; есть поля " + boxNames());
}

std::string filterTextOf(const Arguments& a) {
    const QStringList searches = a.values("--search");
    if (a.has("--filter")) {
        if (!searches.isEmpty())
            throw Error("Параметры --search и --filter не задаются вместе");
        if (a.values("--filter").size() > 1)
            throw Error("Параметр --filter задан больше одного раза");
        return toCodePage(*a.value("--filter"), "Текст фильтра");
    }
    std::array<std::string, kSearchBoxCount> texts;
    std::array<bool, kSearchBoxCount> given{};
    for (const QString& argument : searches) {
        BoxText box = parseBoxText(argument, "--search");
        if (std::exchange(given[box.box], true))
            throw Error("Поле поиска " +
                        argument.left(argument.indexOf(QLatin1Char('='))).toStdString() +
                        " задано больше одного раза");
        texts[box.box] = std::move(box.text);
    }
    std::array<std::string_view, kSearchBoxCount> views;
    for (std::size_t i = 0; i < texts.size(); ++i)
        views[i] = texts[i];
    return searchFilterText(views);
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
    table.setFileName(a.positional()[0]);
    table.open();
    const int found = applySearchFilterText(table, filterText);

    // Everything is written at the end, so that a failure prints its message alone.
    std::string out = matchCountMessage(static_cast<std::uint64_t>(found)).toStdString() + "\n";
    if (locate) {
        const std::string field(searchFieldName(kSearchBoxNames[locate->box]));
        if (table.locate(field, locate->text, true))
            out += "located " + std::to_string(table.currentRow() + 1) + "\n";
        else
            out += "not found\n";
    }
    if (a.has("--csv"))
        appendView(out, table, found);
    writeOutput(QString(), out);
    return 0;
}

} // namespace lambreya::tools
