// The record store at a city's scale: a generated directory of a million records, its
// stored forms, the filter and the locate, beside SQLite doing the same work.
#include "bench/bench_reporter.h"
#include "bench/memory_in_use.h"
#include "bench/sqlite_directory.h"
#include "data/byte_writer.h"
#include "data/change_journal.h"
#include "data/checksum.h"
#include "data/cp1251.h"
#include "data/data_file.h"
#include "data/large_memory.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "search/filter_compiler.h"
#include "tools/directory_generator.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
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

// Opens the file as Table1 and gives the memory the set holds beyond its text, per record.
void measureMemory(benchmark::State& state, const QString& file, const char* counter) {
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
        state.counters[counter] = static_cast<double>(used - text) / kRecords;
        table.close();
    }
}

void memory_1m(benchmark::State& state) {
    measureMemory(state, sample().binaryFile, "bytes_per_record"); // made before measuring
}

// A million records of seven empty values: what an empty value costs.
void memory_empty_1m(benchmark::State& state) {
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("empty.cds"));
    {
        Directory empty;
        empty.fields = standardDirectoryFields();
        empty.columns = ColumnStore(empty.fields.size());
        for (std::size_t r = 0; r < kRecords; ++r)
            empty.order.push_back(empty.columns.add());
        writeDataFile(file, asView(storeDirectory(empty, StoredForm::Binary)));
    }
    measureMemory(state, file, "empty_bytes_per_record");
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

// Posting one edit as the program does, with the journal: one small append and an
// fdatasync. Each post is timed alone, beside the same post without a journal; the first post
// of a session, which reads the data file once more for its fingerprint, is a figure of its
// own.
void journal_post_1m(benchmark::State& state) {
    constexpr int kPosts = 200;
    for (auto _ : state) {
        QTemporaryDir folder;
        const QString file = folder.filePath(QStringLiteral("city.cds"));
        writeDataFile(file, asView(sample().binary));
        auto timedPosts = [&](bool journal) {
            RecordSet table("Table1");
            table.setKeepsJournal(journal);
            table.setFileName(file);
            table.open();
            std::vector<double> times;
            for (int i = 0; i < kPosts; ++i) {
                table.moveToRow(i * 4999);
                table.edit();
                table.setFieldText(6, "x" + std::to_string(i));
                const auto start = std::chrono::steady_clock::now();
                table.post();
                times.push_back(std::chrono::duration<double, std::milli>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
            }
            table.discard();
            QFile::remove(file + QStringLiteral(".journal"));
            return times;
        };
        std::vector<double> journalled = timedPosts(true);
        std::vector<double> plain = timedPosts(false);
        state.counters["journal_first_post_ms"] = journalled.front();
        journalled.erase(journalled.begin());
        std::sort(journalled.begin(), journalled.end());
        std::sort(plain.begin(), plain.end());
        state.counters["journal_post_median_ms"] = journalled[journalled.size() / 2];
        state.counters["journal_post_worst_ms"] = journalled.back();
        state.counters["plain_post_median_ms"] = plain[plain.size() / 2];
    }
}

// The start after a session that never ended: the million records opened with a journal of
// 10,000 changes to replay, edits, insertions and deletions all over the directory.
void startup_10k_journal_1m_ms(benchmark::State& state) {
    constexpr int kChanges = 10'000;
    QTemporaryDir folder;
    const QString file = QFileInfo(folder.filePath(QStringLiteral("city.cds"))).absoluteFilePath();
    const Bytes& bytes = sample().binary;
    writeDataFile(file, asView(bytes));
    const Directory& dir = sample().directory;
    const QFileInfo info(file);
    std::string journal = encodeJournalHeader(
        file,
        DataFileState{info.size(), info.lastModified().toMSecsSinceEpoch(),
                      adler32Of(asView(bytes)), static_cast<std::uint32_t>(dir.fields.size())});
    std::mt19937 random(1);
    std::size_t records = kRecords;
    for (int i = 0; i < kChanges; ++i) {
        const ChangeKind kind =
            i % 10 < 8 ? ChangeKind::Edit : (i % 10 == 8 ? ChangeKind::Insert : ChangeKind::Delete);
        const auto place = static_cast<std::uint32_t>(
            random() % (kind == ChangeKind::Insert ? records + 1 : records));
        std::vector<std::string> values;
        if (kind != ChangeKind::Delete) {
            const RecordId like = dir.order[random() % kRecords];
            for (std::size_t f = 0; f < dir.fields.size(); ++f)
                values.emplace_back(dir.columns.value(like, f));
        }
        records += kind == ChangeKind::Insert ? 1 : kind == ChangeKind::Delete ? -1 : 0;
        journal += encodeJournalEntry(kind, place, values);
    }
    writeDataFile(file + QStringLiteral(".journal"), journal);
    for (auto _ : state) {
        RecordSet table("Table1");
        table.setKeepsJournal(true);
        table.setFileName(file);
        table.open();
        if (table.openingNotice().find(std::to_string(kChanges)) == std::string::npos)
            state.SkipWithError("the journal was not replayed");
        state.PauseTiming();
        table.discard();
        state.ResumeTiming();
    }
}

constexpr int kRepetitions = 5;

BENCHMARK(load_bin_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(3);
BENCHMARK(store_bin_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->Iterations(3);
BENCHMARK(load_xml_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(3)->Iterations(1);
BENCHMARK(store_xml_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(3)->Iterations(1);
BENCHMARK(journal_post_1m)->Iterations(1);
BENCHMARK(startup_10k_journal_1m_ms)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->Iterations(1);
BENCHMARK(memory_1m)->Iterations(1);
BENCHMARK(memory_empty_1m)->Iterations(1);
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
    reporter.addRatio("journal_over_plain_post_ratio", "journal_post_median_ms",
                      "plain_post_median_ms");
    reporter.addRatio("startup_journal_over_load_ratio", "startup_10k_journal_1m_ms",
                      "load_bin_1m_ms");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
