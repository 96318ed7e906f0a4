// Filter and locate texts. Whatever compiles is evaluated over a small directory, and the
// record store's scan (with its quick first-bytes test) finds exactly the records that a
// plain loop over the comparisons finds. The input's first line is the condition text;
// each further line is a record, its fields separated by tabs.
#include "data/directory.h"
#include "data/error.h"
#include "fuzz/fuzz_check.h"
#include "search/filter_compiler.h"

#include <vector>

namespace {

using namespace lambreya;

Directory directoryOf(std::string_view lines) {
    Directory dir;
    dir.fields = standardDirectoryFields();
    dir.columns = ColumnStore(dir.fields.size());
    std::size_t at = 0;
    while (at < lines.size() && dir.order.size() < 64) {
        std::size_t end = lines.find('\n', at);
        if (end == std::string_view::npos)
            end = lines.size();
        std::string_view line = lines.substr(at, end - at);
        at = end + 1;
        const RecordId id = dir.columns.add();
        dir.order.push_back(id);
        for (std::size_t f = 0; f < dir.fields.size() && !line.empty(); ++f) {
            const std::size_t tab = line.find('\t');
            dir.columns.set(id, f, line.substr(0, tab));
            line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
        }
    }
    return dir;
}

bool plainlyPasses(const Directory& dir, const Condition& condition, RecordId id) {
    for (const Comparison& c : condition.comparisons) {
        if (!matches(c, dir.columns.value(id, static_cast<std::size_t>(c.field))))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::asText(data, size);
    const std::size_t newline = input.find('\n');
    const std::string_view text = input.substr(0, newline);
    const Directory dir = directoryOf(
        newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1));
    const FieldResolver resolve = [&](std::string_view name) {
        const int field = dir.findField(name);
        if (field < 0)
            throw Error("Field not found");
        return field;
    };
    static const FilterCompiler compiler;
    for (ConditionPurpose purpose : {ConditionPurpose::Filter, ConditionPurpose::Locate}) {
        for (bool caseInsensitive : {false, true}) {
            Condition condition;
            try {
                condition =
                    compiler.compile(text, resolve, purpose, FilterOptions{caseInsensitive, false});
            } catch (const Error&) {
                continue;
            }
            for (const Comparison& c : condition.comparisons)
                fuzz::check(c.field >= 0 && static_cast<std::size_t>(c.field) < dir.fields.size(),
                            "a compiled comparison names a field of the directory");
            // Every record, and every other one, as a filtered view would hold them.
            for (std::size_t step : {1u, 2u}) {
                std::vector<RecordId> ids;
                for (std::size_t r = 0; r < dir.order.size(); r += step)
                    ids.push_back(dir.order[r]);
                LargeVector<RecordId> selected;
                dir.columns.select(condition, ids, selected);
                std::vector<RecordId> expected;
                for (RecordId id : ids) {
                    if (plainlyPasses(dir, condition, id))
                        expected.push_back(id);
                }
                fuzz::check(std::vector<RecordId>(selected.begin(), selected.end()) == expected,
                            "the scan selects what a plain loop selects");
                const std::size_t first = dir.columns.findFirst(condition, ids);
                fuzz::check(expected.empty() ? first == ids.size()
                                             : first < ids.size() && ids[first] == expected.front(),
                            "the locate finds the first record a plain loop finds");
            }
        }
    }
    return 0;
}
