// Every reader given what is no file of its kind, at the sizes that once hung the program or
// had it killed: how long each refusal takes and the most memory it holds. Each case runs in
// a process of its own, so that its peak is its own; the files are sparse where their size
// is all that matters. Beside them, a directory of five million records loaded from its XML
// form and from its binary form.
#include "app/ini_file.h"
#include "bench/bench_reporter.h"
#include "data/byte_writer.h"
#include "data/data_file.h"
#include "data/record_set.h"
#include "data/stored_form.h"
#include "report/page_drawing.h"
#include "report/saved_pages.h"
#include "tools/commands.h"
#include "tools/directory_generator.h"
#include "ui/help_file.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lambreya::bench {
namespace {

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

QString file(const char* name) {
    return folder().filePath(QString::fromLatin1(name));
}

void write(const QString& path, const std::string& bytes) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
        throw std::runtime_error("cannot write " + path.toStdString());
}

// `head`, then zeros up to `size` bytes, taking no room on disk.
QString sparse(const char* name, const std::string& head, off_t size) {
    const QString path = file(name);
    write(path, head);
    if (::truncate(QFile::encodeName(path).constData(), size) != 0)
        throw std::runtime_error("cannot extend " + path.toStdString());
    return path;
}

struct Outcome {
    double ms = 0;
    double peakMb = 0;
    std::string said;
};

// Runs `work` in a child process: its time, its peak resident memory and what it said.
Outcome inChild(const std::function<void()>& work) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        const auto start = std::chrono::steady_clock::now();
        std::string said = "accepted";
        try {
            work();
        } catch (const std::bad_alloc&) {
            said = "Недостаточно памяти";
        } catch (const std::exception& e) {
            said = e.what();
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const std::string report = std::to_string(ms) + "\n" + said;
        (void)!::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fds[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, std::size_t(n));
    ::close(fds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Outcome outcome;
    const std::size_t newline = report.find('\n');
    outcome.ms = newline == std::string::npos ? -1 : std::stod(report.substr(0, newline));
    outcome.said = newline == std::string::npos ? "died" : report.substr(newline + 1);
    outcome.peakMb = double(usage.ru_maxrss) / 1024;
    return outcome;
}

void record(benchmark::State& state, const std::string& name, const std::function<void()>& work) {
    const Outcome outcome = inChild(work);
    state.counters[name + "_ms"] = outcome.ms;
    state.counters[name + "_peak_mb"] = outcome.peakMb;
    std::fprintf(stderr, "# %s: %s\n", name.c_str(), outcome.said.c_str());
}

void openDirectory(const QString& path) {
    RecordSet table("Table1");
    table.setFileName(path);
    table.open();
}

void hostile_inputs(benchmark::State& state) {
    for (auto _ : state) {
        record(state, "baseline", [] {});

        const QString pipe = file("pipe.ini");
        ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
        record(state, "settings_pipe", [&] { (void)IniFile(pipe).read(); });
        const QString zero = file("zero.ini");
        QFile::link(QStringLiteral("/dev/zero"), zero);
        record(state, "settings_dev_zero", [&] { (void)IniFile(zero).read(); });
        const QString lines = file("lines.ini");
        write(lines, std::string(100 << 20, '\n'));
        record(state, "settings_100mb_empty_lines", [&] { (void)IniFile(lines).read(); });

        const QString zeros = sparse("zeros.kvr", std::string(1, '\0'), off_t{2} << 30);
        record(state, "kvr_2gb_zeros", [&] { (void)readSavedPages(zeros); });
        DocumentInfo document;
        document.fonts = {{QStringLiteral("Times New Roman"), 1000, false, false, false, 0}};
        PageDrawingBuilder builder;
        builder.begin(kA4Portrait);
        builder.text(0, 0, 100, std::string(100 << 20, 'W'));
        std::vector<PageDrawing> pages;
        pages.push_back(builder.take());
        const QString longRun = file("run.kvr");
        writeSavedPages(longRun, document, pages);
        pages.clear(); // so that no child counts them in its peak
        record(state, "kvr_100mb_run", [&] { (void)readSavedPages(longRun); });
        builder.begin(kA4Portrait);
        for (int i = 0; i < 1'000'000; ++i)
            builder.text(0, 0, 100, "W");
        pages.clear();
        pages.push_back(builder.take());
        const QString manyTexts = file("texts.kvr");
        writeSavedPages(manyTexts, document, pages);
        pages.clear();
        record(state, "kvr_1m_texts", [&] { (void)readSavedPages(manyTexts); });

        const std::string magic("KVDIR\r\n\x1A", 8);
        const QString garbage = sparse("garbage.cds", magic, off_t{8} << 30);
        record(state, "bin_magic_then_8gb", [&] { openDirectory(garbage); });
        Directory one = generateDirectory(1, 1);
        const Bytes small = storeDirectory(one, StoredForm::Binary);
        const QString padded =
            sparse("padded.cds", std::string(small.begin(), small.end()), off_t{2} << 30);
        record(state, "bin_valid_then_2gb", [&] { openDirectory(padded); });

        const Bytes xml = storeDirectory(one, StoredForm::Xml);
        std::string value(xml.begin(), xml.end());
        const std::size_t at = value.find("<v>") + 3;
        value.insert(at, std::string(500 << 20, 'X'));
        const QString longValue = file("value.xml");
        write(longValue, value);
        value.clear();
        value.shrink_to_fit();
        record(state, "xml_500mb_value", [&] { openDirectory(longValue); });
        const QString comment =
            sparse("comment.xml", "<?xml version=\"1.0\"?>\n<directory version=\"1\"><!--",
                   off_t{1} << 30);
        record(state, "xml_1gb_comment", [&] { openDirectory(comment); });

        const QString nul = sparse("nul.csv", std::string(1, '\0'), off_t{2} << 30);
        record(state, "csv_2gb_nul", [&] {
            (void)tools::runImport({nul, QStringLiteral("-o"), file("nul.cds")});
        });

        std::string help = "LAMBREYA-HELP 1\n";
        for (int i = 1; i <= 110'000; ++i)
            help += "@topic " + std::to_string(i) + " A\nB\n@end\n";
        record(state, "help_110k_topics", [&] {
            (void)HelpFile::parse(QByteArray::fromStdString(help), QStringLiteral("Kalvest.hlp"));
        });
        const std::string word =
            "LAMBREYA-HELP 1\n@topic 1 A\n" + std::string(4'000'000, 'x') + "\n@end\n";
        record(state, "help_4mb_word", [&] {
            (void)HelpFile::parse(QByteArray::fromStdString(word), QStringLiteral("Kalvest.hlp"));
        });
    }
}

// A city of five million records, stored in both forms by a child so that this process
// stays small; then each loaded as the program's start loads it.
void load_5m(benchmark::State& state) {
    for (auto _ : state) {
        const QString binary = file("city.cds");
        const QString xml = file("city.xml");
        const QString reordered = file("reordered.xml");
        record(state, "store_5m_both", [&] {
            const Directory city = generateDirectory(5'000'000, 1);
            writeDataFile(binary, asView(storeDirectory(city, StoredForm::Binary)));
            const Bytes text = storeDirectory(city, StoredForm::Xml);
            writeDataFile(xml, asView(text));
            // The same file with the head's attributes in another order, as another program
            // might write it.
            std::string_view rest = asView(text);
            const std::string_view from = "<directory version=\"1\" readonly=\"0\"";
            const std::size_t at = rest.find(from);
            std::string head(rest.substr(0, at));
            head += "<directory readonly=\"0\" version=\"1\"";
            rest.remove_prefix(at + from.size());
            QFile out(reordered);
            if (!out.open(QIODevice::WriteOnly) ||
                out.write(head.data(), qint64(head.size())) < 0 ||
                out.write(rest.data(), qint64(rest.size())) != qint64(rest.size()))
                throw std::runtime_error("cannot write the reordered file");
        });
        record(state, "load_bin_5m", [&] { openDirectory(binary); });
        record(state, "load_xml_5m", [&] { openDirectory(xml); });
        record(state, "load_xml_reordered_5m", [&] { openDirectory(reordered); });
        QFile::remove(binary);
        QFile::remove(xml);
        QFile::remove(reordered);
    }
}

BENCHMARK(hostile_inputs)->Iterations(1);
BENCHMARK(load_5m)->Iterations(1);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    reporter.addRatio("xml_over_bin_5m_load_ratio", "load_xml_5m_ms", "load_bin_5m_ms");
    reporter.addRatio("reordered_over_bin_5m_load_ratio", "load_xml_reordered_5m_ms",
                      "load_bin_5m_ms");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
