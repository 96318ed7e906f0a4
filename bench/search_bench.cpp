// The search at a city's scale: a generated directory of a million records, searched with
// one box and with all seven and located in as instant search does, beside SQLite doing the
// same work on the same records.
#include "bench/bench_reporter.h"
#include "bench/search_sample.h"
#include "bench/sqlite_directory.h"
#include "data/cp1251.h"
#include "data/record_set.h"
#include "search/filter_compiler.h"
#include "search/search_filter.h"
#include "tools/directory_generator.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace lambreya::bench {
namespace {

constexpr std::size_t kRecords = 1'000'000;

// The directory as the window's Table1 holds it, and the same records in SQLite.
struct Fixture {
    SearchSample sample;
    std::unique_ptr<SqliteDirectory> sqlite;
    FilterCompiler compiler;
    RecordSet table{"Table1"};

    Fixture() {
        Directory directory = generateDirectory(kRecords, 1);
        sample = searchSample(directory);
        sqlite = std::make_unique<SqliteDirectory>(directory);
        table.setCompiler(&compiler);
        table.openDirectory(std::move(directory));
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Runs the search of the window with the box texts, taken in turn.
void searchInTurn(benchmark::State& state, const std::array<BoxTexts, 2>& boxes,
                  const char* matches) {
    RecordSet& table = fixture().table;
    const std::array<std::string, 2> texts = {filterTextOf(boxes[0]), filterTextOf(boxes[1])};
    std::size_t i = 0;
    int found = 0;
    for (auto _ : state)
        found = applySearchFilterText(table, texts[i++ % 2]);
    benchmark::DoNotOptimize(found);
    state.counters[matches] = applySearchFilterText(table, texts[0]);
}

void search_1box_1m_ms(benchmark::State& state) {
    searchInTurn(state, fixture().sample.oneBox, "search_1box_matches");
}

void search_7box_1m_ms(benchmark::State& state) {
    searchInTurn(state, fixture().sample.sevenBoxes, "search_7box_matches");
}

// The locate of a key release in the telephone box over the whole directory: the record
// that begins with the text lies near the end.
void locate_1m_ms(benchmark::State& state) {
    RecordSet& table = fixture().table;
    applySearchFilterText(table, "");
    const auto& teles = fixture().sample.lateTelephones;
    std::size_t i = 0;
    for (auto _ : state) {
        if (!table.locate("Nsa_Tele", teles[i++ % 2], true))
            state.SkipWithError("the record was not found");
    }
    if (table.currentRow() < static_cast<int>(kRecords * 9 / 10))
        state.SkipWithError("the record found lies too early to measure a long locate");
}

// The view as SQLite gives it: the row ids that pass, in stored order.
void sqliteInTurn(benchmark::State& state, const char* sql, const std::array<BoxTexts, 2>& boxes,
                  const char* matches) {
    SqliteDirectory& sqlite = *fixture().sqlite;
    sqlite3_stmt* query = sqlite.prepare(sql);
    // The columns in the order of the statement: the boxes' own order.
    std::array<std::vector<std::string>, 2> patterns;
    for (std::size_t turn = 0; turn < 2; ++turn) {
        for (const std::string& text : boxes[turn]) {
            if (!text.empty())
                patterns[turn].push_back(cp1251::toUtf8(text) + "*");
        }
    }
    std::vector<std::int64_t> view;
    std::size_t i = 0;
    for (auto _ : state)
        sqlite.collect(query, patterns[i++ % 2], view);
    sqlite.collect(query, patterns[0], view);
    state.counters[matches] = static_cast<double>(view.size());
}

void sqlite_search_1box_1m_ms(benchmark::State& state) {
    sqliteInTurn(state, "SELECT rowid FROM t WHERE famili GLOB ?", fixture().sample.oneBox,
                 "sqlite_1box_matches");
}

void sqlite_search_7box_1m_ms(benchmark::State& state) {
    sqliteInTurn(state,
                 "SELECT rowid FROM t WHERE famili GLOB ? AND initsi GLOB ? AND street GLOB ? "
                 "AND home GLOB ? AND room GLOB ? AND tele GLOB ? AND prim GLOB ?",
                 fixture().sample.sevenBoxes, "sqlite_7box_matches");
}

void sqlite_locate_1m_ms(benchmark::State& state) {
    SqliteDirectory& sqlite = *fixture().sqlite;
    sqlite3_stmt* query = sqlite.prepare("SELECT rowid FROM t WHERE tele GLOB ? LIMIT 1");
    const auto& teles = fixture().sample.lateTelephones;
    const std::array<std::vector<std::string>, 2> patterns = {
        std::vector<std::string>{teles[0] + "*"}, std::vector<std::string>{teles[1] + "*"}};
    std::vector<std::int64_t> found;
    std::size_t i = 0;
    for (auto _ : state) {
        sqlite.collect(query, patterns[i++ % 2], found);
        if (found.empty())
            state.SkipWithError("the record was not found");
    }
}

constexpr int kRepetitions = 5;

BENCHMARK(search_1box_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(20);
BENCHMARK(sqlite_search_1box_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(4);
BENCHMARK(search_7box_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(20);
BENCHMARK(sqlite_search_7box_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(4);
BENCHMARK(locate_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(20);
BENCHMARK(sqlite_locate_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(4);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    reporter.addRatio("sqlite_over_search_1box_ratio", "sqlite_search_1box_1m_ms",
                      "search_1box_1m_ms");
    reporter.addRatio("sqlite_over_search_7box_ratio", "sqlite_search_7box_1m_ms",
                      "search_7box_1m_ms");
    reporter.addRatio("sqlite_over_locate_ratio", "sqlite_locate_1m_ms", "locate_1m_ms");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
