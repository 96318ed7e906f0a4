// The search results report at a city's scale: a generated directory of a million records,
// every one matching (26,316 pages), composed into page drawings as the preview keeps them,
// beside QPicture recording the same pages; the same report into a PDF with the memory it
// takes; and one page replayed onto a screen-sized image.
#include "bench/bench_reporter.h"
#include "bench/memory_in_use.h"
#include "data/record_set.h"
#include "report/page_painter.h"
#include "report/pdf_sink.h"
#include "report/quick_report.h"
#include "tools/directory_generator.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

namespace lambreya::bench {
namespace {

constexpr std::size_t kRecords = 1'000'000;
constexpr std::size_t kQPictureSample = 200;

// Table1 over the generated directory with no filter: every record is in the view. A
// listener stands for the grid, which is told of every move of the run.
struct Sample {
    struct Grid : RecordSetListener {
        void currentMoved(int, int row, MoveKind) override { last = row; }
        int last = -1;
    } grid;
    RecordSet table{"Table1"};
    std::unique_ptr<QuickReport> report;

    Sample() {
        table.openDirectory(generateDirectory(kRecords, 1));
        table.addListener(&grid);
        report = std::make_unique<QuickReport>(table);
        report->setClock([] { return QDateTime(QDate(2026, 12, 9), QTime(12, 0)); });
    }
    ~Sample() { table.removeListener(&grid); }
};

Sample& sample() {
    static Sample s;
    return s;
}

// The preview's page store: every page kept as it comes.
struct PageStore : PageSink {
    void beginDocument(const DocumentInfo& d) override { document = d; }
    void addPage(PageDrawing page) override { pages.push_back(std::move(page)); }
    void endDocument() override {}
    void abortDocument() override { pages.clear(); }

    DocumentInfo document;
    std::vector<PageDrawing> pages;
};

PageStore& store() {
    static PageStore s;
    return s;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The processor time the process has used, which a busy machine does not inflate.
double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Composition into page drawings, then QPicture recording a sample of the same pages: the
// time of recording all of them is scaled from the sample.
void report_pages_1m(benchmark::State& state) {
    Sample& s = sample();
    PageStore& pages = store();
    RunObserver observer;
    for (auto _ : state) {
        pages.pages.clear();
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        s.report->compose(pages, observer);
        state.counters["report_pages_1m_s"] = secondsSince(start);
        state.counters["report_pages_1m_cpu_s"] = cpuSeconds() - cpuStart;
    }
    std::size_t bytes = 0;
    for (const PageDrawing& page : pages.pages)
        bytes += page.memoryBytes();
    const double count = static_cast<double>(pages.pages.size());
    state.counters["report_pages"] = count;
    state.counters["page_bytes"] = static_cast<double>(bytes) / count;

    std::size_t pictureBytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < kQPictureSample; ++i) {
        const PageDrawing& page = pages.pages[i * pages.pages.size() / kQPictureSample];
        QPicture picture;
        QPainter painter(&picture);
        const double dotsPerUnit = picture.logicalDpiX() / 2540.0;
        paintPage(
            painter, page, pages.document.fonts,
            QRectF(0, 0, page.paper().width * dotsPerUnit, page.paper().height * dotsPerUnit));
        painter.end();
        pictureBytes += picture.size();
    }
    state.counters["qpicture_pages_s"] = secondsSince(start) / kQPictureSample * count;
    state.counters["qpicture_page_bytes"] = static_cast<double>(pictureBytes) / kQPictureSample;
}

// The same report into a PDF; the memory the run adds is sampled after every page.
void report_pdf_1m(benchmark::State& state) {
    Sample& s = sample();
    store().pages = {};
    struct Watch : RunObserver {
        void pageAvailable(int page) override {
            const std::size_t now = memoryInUse();
            peak = std::max(peak, now);
            if (page == 1000)
                atPage1000 = now;
        }
        std::size_t peak = 0, atPage1000 = 0;
    } watch;
    QTemporaryDir folder;
    for (auto _ : state) {
        const std::size_t before = memoryInUse();
        watch.peak = before;
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = cpuSeconds();
        PdfSink pdf(folder.filePath(QStringLiteral("city.pdf")));
        s.report->compose(pdf, watch);
        state.counters["report_pdf_1m_s"] = secondsSince(start);
        state.counters["report_pdf_1m_cpu_s"] = cpuSeconds() - cpuStart;
        constexpr double kMb = 1024.0 * 1024.0;
        state.counters["report_pdf_peak_mb"] = static_cast<double>(watch.peak - before) / kMb;
        state.counters["report_pdf_growth_after_page_1000_mb"] =
            (static_cast<double>(watch.peak) - static_cast<double>(watch.atPage1000)) / kMb;
        state.counters["report_pdf_file_mb"] =
            static_cast<double>(QFileInfo(folder.filePath(QStringLiteral("city.pdf"))).size()) /
            kMb;
    }
}

// One page replayed at page width onto a full-HD image, as the preview draws it.
void page_paint_ms(benchmark::State& state) {
    Sample& s = sample();
    PageStore pages;
    RunObserver observer;
    s.report->compose(pages, observer); // warm: fonts measured
    const PageDrawing& page = pages.pages.front();
    QImage screen(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    const double width = 1920 * 0.9;
    const QRectF sheet(96, 0, width, width * page.paper().height / page.paper().width);
    for (auto _ : state) {
        screen.fill(Qt::gray);
        QPainter painter(&screen);
        painter.fillRect(sheet, Qt::white);
        paintPage(painter, page, pages.document.fonts, sheet);
    }
}

BENCHMARK(report_pages_1m)->Iterations(1);
BENCHMARK(report_pdf_1m)->Iterations(1);
BENCHMARK(page_paint_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(50);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    reporter.addRatio("qpicture_over_page_bytes_ratio", "qpicture_page_bytes", "page_bytes");
    reporter.addRatio("qpicture_over_report_pages_ratio", "qpicture_pages_s", "report_pages_1m_s");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
