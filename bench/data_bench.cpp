// The record store at a city's scale: a generated directory of a million records, its
// stored forms, the filter and the locate, beside SQLite doing the same work.
#include "bench/bench_reporter.h"
#include "bench/memory_in_use.h"
#include "bench/sqlite_directory.h"
#include "data/byte_writer.h"
#include "data/cp1251.h"
#include "data/data_file.h"
#include "data/large_memory.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "search/filter_compiler.h"
#include "tools/directory_generator.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>

namespace lambreya::bench {
namespace {

constexpr std::size_t kRecords = 1'000'000;

struct Sample {
    Directory directory = generateDirectory(kRecords, 1);
    Bytes binary = storeDirectory(directory, StoredForm::Binary);
    Bytes xml = storeDirectory(directory, StoredForm::Xml);
    QTemporaryDir folder;
    QString binaryFile = folder.filePath(QStringLiteral("city.cds"));
    QString xmlFile = folder.filePath(QStringLiteral("city.xml"));

    Sample() {
        writeDataFile(binaryFile, asView(binary));
        writeDataFile(xmlFile, asView(xml));
    }
};

Sample& sample() {
    static Sample s;
    return s;
}

const FilterCompiler& compiler() {
    static FilterCompiler c;
    return c;
}

// A record set opened on the sample, as the window's Table1 is.
RecordSet& openTable() {
    static std::unique_ptr<RecordSet> table = [] {
        auto t = std::make_unique<RecordSet>("Table1");
        t->setCompiler(&compiler());
        t->setFileName(sample().binaryFile);
        t->open();
        t->setFiltered(true);
        return t;
    }();
    return *table;
}

std::string cp(const char* utf8) {
    return *cp1251::fromUtf8(utf8);
}

// Loading is what the program's start does: the file read whole and turned into records.
void loadFrom(benchmark::State& state, const QString& file) {
    for (auto _ : state) {
        RecordSet table("Table1");
        table.setFileName(file);
        table.open();
        benchmark::DoNotOptimize(table.recordCount());
        state.PauseTiming();
        table.close();
        state.ResumeTiming();
    }
}

void load_bin_1m_ms(benchmark::State& state) {
    loadFrom(state, sample().binaryFile);
}

void load_xml_1m_ms(benchmark::State& state) {
    loadFrom(state, sample().xmlFile);
}

// Storing is what closing a changed set does: the whole set to bytes, then the atomic
// replacement of the file, flushed to disk.
void storeInto(benchmark::State& state, StoredForm form, const char* name) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QString::fromLatin1(name));
    for (auto _ : state)
        writeDataFile(file, asView(storeDirectory(sample().directory, form)));
}

void store_bin_1m_ms(benchmark::State& state) {
    storeInto(state, StoredForm::Binary, "out.cds");
}

void store_xml_1m_ms(benchmark::State& state) {
    storeInto(state, StoredForm::Xml, "out.xml");
}

void filter_1m_ms(benchmark::State& state) {
    RecordSet& table = openTable();
    const std::string texts[] = {cp("Nsa_famili = 'ИВ*'"), cp("Nsa_famili = 'ПЕ*'")};
    int i = 0;
    for (auto _ : state)
        table.setFilter(texts[i++ % 2]);
    table.setFilter(texts[0]);
    state.counters["filter_matches"] = table.recordCount();
    table.setFilter("");
}

void locate_miss_1m_ms(benchmark::State& state) {
    RecordSet& table = openTable();
    table.setFilter("");
    const std::string key = cp("ЯЯЯ");
    for (auto _ : state) {
        if (table.locate("Nsa_Famili", key, true))
            state.SkipWithError("found a record that is not there");
    }
}

void memory_1m(benchmark::State& state) {
    const QString file = sample().binaryFile; // made before measuring
    for (auto _ : state) {
        const std::size_t before = memoryInUse();
        RecordSet table("Table1");
        table.setFileName(file);
        table.open();
        const std::size_t used = memoryInUse() - before;
        std::size_t text = 0;
        const Directory& dir = table.directory();
        for (RecordId id : dir.order) {
            for (std::size_t f = 0; f < dir.fields.size(); ++f)
                text += dir.columns.value(id, f).size();
        }
        state.counters["text_bytes_per_record"] = static_cast<double>(text) / kRecords;
        state.counters["bytes_per_record"] = static_cast<double>(used - text) / kRecords;
        table.close();
    }
}

// SQLite, in memory, the same records and the same condition: a case-sensitive prefix on
// the surname, the ids of the matches collected as the view is.
void sqlite_filter_1m_ms(benchmark::State& state) {
    static SqliteDirectory sqlite(sample().directory);
    sqlite3_stmt* query = sqlite.prepare("SELECT rowid FROM t WHERE famili GLOB ?");
    const std::vector<std::string> patterns[] = {{"ИВ*"}, {"ПЕ*"}};
    std::vector<std::int64_t> view;
    int i = 0;
    for (auto _ : state)
        sqlite.collect(query, patterns[i++ % 2], view);
    sqlite.collect(query, patterns[0], view);
    state.counters["sqlite_matches"] = static_cast<double>(view.size());
}

constexpr int kRepetitions = 5;

BENCHMARK(load_bin_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(3);
BENCHMARK(store_bin_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(3);
BENCHMARK(load_xml_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(3)->Iterations(1);
BENCHMARK(store_xml_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(3)->Iterations(1);
BENCHMARK(memory_1m)->Iterations(1);
BENCHMARK(filter_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(20);
BENCHMARK(sqlite_filter_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(5);
BENCHMARK(locate_miss_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(20);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    reporter.addRatio("sqlite_over_filter_ratio", "sqlite_filter_1m_ms", "filter_1m_ms");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
