// The search and the report as the user meets them: the real main window on the offscreen
// platform over a generated directory of a million records, from the event to the grid
// painted; Ctrl+P, the run into the preview's page store, and the page area repainted on
// a page or zoom change.
#include "bench/bench_reporter.h"
#include "bench/memory_in_use.h"
#include "bench/search_sample.h"
#include "data/cp1251.h"
#include "data/error.h"
#include "data/guarded.h"
#include "report/page_composer.h"
#include "report/page_store.h"
#include "report/pdf_sink.h"
#include "report/preview_page_area.h"
#include "report/quick_report.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "report/search_res_form.h"
#include "report/stepped_run.h"
#include "report/stored_pages_work.h"
#include "report/threaded_sink.h"
#include "tools/directory_generator.h"
#include "ui/db_grid.h"
#include "ui/help_viewer.h"
#include "ui/lambreya_form.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <ctime>

#include <memory>

namespace lambreya::bench {
namespace {

constexpr std::size_t kRecords = 1'000'000;

std::string g_error;

// What escapes a handler during a benchmark: kept to end it with the error.
void keepEscapedError() {
    g_error = currentErrorMessage().value_or("an error");
}

// The main window, shown and active, its directory opened, with the report form and its
// preview runs as the program makes them.
struct Window {
    HelpViewer help;
    SearchSample sample;
    std::unique_ptr<TLambreyaForm> form;
    std::unique_ptr<TSearchResForm> report;
    std::unique_ptr<ReportPreview> preview;

    Window() {
        Directory directory = generateDirectory(kRecords, 1);
        sample = searchSample(directory);
        form = std::make_unique<TLambreyaForm>(&help);
        form->Table1.openDirectory(std::move(directory));
        report = std::make_unique<TSearchResForm>(form->Table1);
        preview = std::make_unique<ReportPreview>(report->QuickRep1);
        form->SearchResForm = report.get();
        form->QuickRep1Preview = preview.get();
        form->show();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowActive(form.get()))
            throw std::runtime_error("the window did not become active");
    }
};

std::unique_ptr<Window> g_window;

Window& window() {
    if (!g_window)
        g_window = std::make_unique<Window>();
    return *g_window;
}

QString boxText(const std::string& text) {
    return cp1251::toUnicode(text);
}

// A click on the caption runs the search with the surname box's text; the grid shows the
// view from its top. Timed up to the grid painted.
void window_search_1box_1m_ms(benchmark::State& state) {
    TLambreyaForm& form = *window().form;
    const auto& boxes = window().sample.oneBox;
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        form.Edit1_Famili->setText(boxText(boxes[i++ % 2][0]));
        state.ResumeTiming();
        form.Label1Click();
        form.DBGrid1->viewport()->repaint();
    }
    form.Edit1_Famili->clear();
    form.Label1Click();
}

// A key released in the telephone box with instant search on: the locate runs through
// nearly the whole directory, the found record is placed in the middle of the grid, and the
// grid is painted.
void keyup_to_paint_1m_ms(benchmark::State& state) {
    TLambreyaForm& form = *window().form;
    form.mmOptions_InstantSearch->setChecked(true);
    SearchBox* box = form.Edit6_Tele;
    box->setFocus(Qt::TabFocusReason);
    QKeyEvent shift(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    QApplication::sendEvent(box, &shift);
    const auto& teles = window().sample.lateTelephones;
    std::size_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString text = boxText(teles[i++ % 2]);
        box->setText(text);
        state.ResumeTiming();
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, text.right(1));
        QApplication::sendEvent(box, &release);
        form.DBGrid1->viewport()->repaint();
    }
    if (form.Table1.currentRow() < static_cast<int>(kRecords * 9 / 10))
        state.SkipWithError("the key release located no record near the end");
    form.mmOptions_InstantSearch->setChecked(false);
}

// The longest stretch without a turn of the event loop, as the longest gap between the
// firings of a timer due every millisecond, from start() to stop() (a zero timer would keep
// the thread busy, taking a processor from work on other threads); and the most processor
// time the thread used within one gap: on a machine shared with other work, a gap can be
// longer than what the program did in it, for the time the thread waited for a processor.
// Windows closed before start() are deleted first: their teardown is not the watched work.
class LoopWatch {
public:
    LoopWatch() {
        QObject::connect(&m_tick, &QTimer::timeout, [this] { lap(); });
    }
    void start() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_sinceTick.start();
        m_cpuAtTick = threadCpuNs();
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.start(1);
    }
    void stop() {
        lap();
        m_tick.stop();
    }
    double longestMs() const { return static_cast<double>(m_longestNs) / 1e6; }
    double longestBusyMs() const { return static_cast<double>(m_longestBusyNs) / 1e6; }

private:
    static qint64 threadCpuNs() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
    }
    void lap() {
        const qint64 cpu = threadCpuNs();
        m_longestNs = std::max(m_longestNs, m_sinceTick.nsecsElapsed());
        m_sinceTick.restart();
        m_longestBusyNs = std::max(m_longestBusyNs, cpu - m_cpuAtTick);
        m_cpuAtTick = cpu;
    }

    QTimer m_tick;
    QElapsedTimer m_sinceTick;
    qint64 m_cpuAtTick = 0;
    qint64 m_longestNs = 0;
    qint64 m_longestBusyNs = 0;
};

// Handles events until the preview window has closed.
void untilClosed(ReportPreview& preview) {
    if (!preview.window())
        return;
    QEventLoop loop;
    QObject::connect(&preview, &ReportPreview::windowClosed, &loop, &QEventLoop::quit);
    loop.exec();
}

// Watches the page area for its first paint with a page.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(ReportPreviewWindow& window)
        : m_window(window) {
        window.pageArea()->viewport()->installEventFilter(this);
    }
    std::function<void()> onPainted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool result = QObject::eventFilter(watched, event);
        if (event->type() == QEvent::Paint && m_window.pageStore().pageCount() > 0 && onPainted) {
            // After the paint itself.
            QTimer::singleShot(0, &m_window, std::exchange(onPainted, {}));
        }
        return result;
    }

private:
    ReportPreviewWindow& m_window;
};

// Ctrl+P up to the first page painted in the preview window; then the window is closed.
void ctrlp_to_first_page_ms(benchmark::State& state) {
    Window& p = window();
    for (auto _ : state) {
        QElapsedTimer clock;
        double elapsed = 0;
        std::unique_ptr<FirstPaint> watch;
        auto connection = QObject::connect(
            p.preview.get(), &ReportPreview::windowOpened, [&](ReportPreviewWindow* window) {
                watch = std::make_unique<FirstPaint>(*window);
                watch->onPainted = [&, window] {
                    elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
                    window->close();
                };
            });
        clock.start();
        p.form->mmFile_PreviewClick();
        untilClosed(*p.preview);
        QObject::disconnect(connection);
        if (!g_error.empty())
            state.SkipWithError(g_error.c_str());
        state.SetIterationTime(elapsed);
    }
}

// The whole run into the page store: from Ctrl+P to the run's end. With `stopAt`, the
// window is closed once the run has placed that many records, and the time is that of the
// records placed; the time from the close to the window gone is measured then.
void run(benchmark::State& state, int sliceMs, int stopAt) {
    Window& p = window();
    p.preview->setSlice(sliceMs);
    LoopWatch watch;
    int pages = 0;
    int records = 0;
    double closeMs = 0;
    double teardownMs = 0;
    std::size_t bytes = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        double elapsed = 0;
        int placed = 0;
        auto finish = [&](bool stopped) {
            elapsed = static_cast<double>(clock.nsecsElapsed()) / 1e9;
            ReportPreviewWindow* window = p.preview->window();
            records = stopped ? placed : p.form->Table1.recordCount();
            pages = window->pageStore().pageCount();
            bytes = 0;
            for (const PageDrawing& page : window->pageStore().pages())
                bytes += page.memoryBytes();
            QElapsedTimer closing;
            closing.start();
            window->close();
            closeMs = static_cast<double>(closing.nsecsElapsed()) / 1e6;
        };
        auto stepped = QObject::connect(p.preview.get(), &ReportPreview::runStepped, [&] {
            placed += sliceMs == 0 ? 1 : 0;
            if (stopAt > 0 && placed >= stopAt)
                finish(true);
        });
        auto ended = QObject::connect(p.preview.get(), &ReportPreview::runEnded, [&](RunEnd how) {
            if (how == RunEnd::Completed)
                QTimer::singleShot(0, p.preview.get(), [&] { finish(false); });
        });
        clock.start();
        watch.start();
        p.form->mmFile_PreviewClick();
        untilClosed(*p.preview);
        watch.stop();
        // The closed window and its pages are deleted with the next turn of the loop.
        QElapsedTimer teardown;
        teardown.start();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        teardownMs = std::max(teardownMs, static_cast<double>(teardown.nsecsElapsed()) / 1e6);
        QObject::disconnect(stepped);
        QObject::disconnect(ended);
        if (!g_error.empty())
            state.SkipWithError(g_error.c_str());
        state.SetIterationTime(elapsed);
    }
    p.preview->setSlice(SteppedRun::kSliceMs);
    state.counters["records"] = records;
    state.counters["pages"] = pages;
    state.counters["store_mb"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
    state.counters["longest_stretch_ms"] = watch.longestMs();
    state.counters["longest_busy_ms"] = watch.longestBusyMs();
    state.counters["close_to_gone_ms"] = closeMs;
    state.counters["closed_window_deleted_ms"] = teardownMs;
}

// A record a turn of the event loop: so slow that only the first 20,000 records are placed.
void run_20k_every_record_ms(benchmark::State& state) {
    run(state, 0, 20000);
}

void run_1m_sliced_ms(benchmark::State& state) {
    run(state, SteppedRun::kSliceMs, 0);
}

// A print run's work without the print system: the report of a million records painted
// page by page into a PDF on a thread of its own, as the printer's job is, from the event
// loop. Then the same run cancelled halfway: the time from Cancel to the job's document
// ended.
void print_run_1m_pdf_ms(benchmark::State& state) {
    Window& p = window();
    QTemporaryDir folder;
    LoopWatch watch;
    double cancelMs = 0;
    std::size_t peakGrowth = 0;
    for (auto _ : state) {
        for (const bool cancelHalfway : {false, true}) {
            ThreadedSink pdf(std::make_unique<PdfSink>(folder.filePath(QStringLiteral("job.pdf"))));
            struct Quiet : RunObserver {
            } observer;
            SteppedRun run(p.report->QuickRep1.composition(pdf, observer));
            const std::size_t before = residentMemory();
            int turns = 0;
            QElapsedTimer cancel;
            QEventLoop loop;
            QObject::connect(&run, &SteppedRun::ended, &loop, [&] {
                if (cancel.isValid())
                    cancelMs = static_cast<double>(cancel.nsecsElapsed()) / 1e6;
                loop.quit();
            });
            QObject::connect(&run, &SteppedRun::stepped, [&] {
                const std::size_t now = residentMemory();
                peakGrowth = std::max(peakGrowth, now - std::min(before, now));
                if (cancelHalfway && ++turns == 2000) {
                    cancel.start();
                    run.stop(RunEnd::Cancelled);
                }
            });
            QElapsedTimer clock;
            clock.start();
            if (!cancelHalfway)
                watch.start();
            run.start();
            loop.exec();
            if (!cancelHalfway) {
                watch.stop();
                state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
            }
        }
    }
    state.counters["longest_stretch_ms"] = watch.longestMs();
    state.counters["longest_busy_ms"] = watch.longestBusyMs();
    state.counters["peak_resident_growth_mb"] = static_cast<double>(peakGrowth) / (1024.0 * 1024.0);
    state.counters["cancel_to_document_ended_ms"] = cancelMs;
}

// Save as PDF of a finished preview of a million records (26,316 pages) from the event loop.
void save_pdf_26316_pages_ms(benchmark::State& state) {
    Window& p = window();
    QTemporaryDir folder;
    PageStore store(p.report->QuickRep1.documentInfo());
    struct Quiet : RunObserver {
    } observer;
    p.report->QuickRep1.compose(store, observer);
    LoopWatch watch;
    for (auto _ : state) {
        SteppedRun run(pdfOfPages(store, folder.filePath(QStringLiteral("saved.pdf"))));
        QEventLoop loop;
        QObject::connect(&run, &SteppedRun::ended, &loop, &QEventLoop::quit);
        QElapsedTimer clock;
        clock.start();
        watch.start();
        run.start();
        loop.exec();
        watch.stop();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["pages"] = store.pageCount();
    state.counters["longest_stretch_ms"] = watch.longestMs();
    state.counters["longest_busy_ms"] = watch.longestBusyMs();
}

// A finished preview of a few dozen pages: repaints after a page change and after a zoom
// change.
struct ShownPreview {
    std::unique_ptr<ReportPreviewWindow> window;
    ShownPreview() {
        RecordSet table("Table1");
        table.openDirectory(generateDirectory(2000, 2));
        QuickReport report(table);
        window = std::make_unique<ReportPreviewWindow>(
            std::make_unique<PageStore>(report.documentInfo()));
        struct Quiet : RunObserver {
        } observer;
        report.compose(window->pageStore(), observer);
        window->showMaximized();
        window->pageBuilt(1);
        window->runEnded();
        if (!QTest::qWaitForWindowExposed(window.get()))
            throw std::runtime_error("the preview window was not shown");
    }
};

std::unique_ptr<ShownPreview> g_shown;

ShownPreview& shown() {
    if (!g_shown)
        g_shown = std::make_unique<ShownPreview>();
    return *g_shown;
}

void page_change_repaint_ms(benchmark::State& state) {
    ReportPreviewWindow& window = *shown().window;
    int page = 1;
    for (auto _ : state) {
        page = page == 1 ? 2 : 1;
        window.showPage(page);
        window.pageArea()->viewport()->repaint();
    }
}

void zoom_change_repaint_ms(benchmark::State& state) {
    ReportPreviewWindow& window = *shown().window;
    bool whole = false;
    for (auto _ : state) {
        whole = !whole;
        if (whole)
            window.zoomWholePage();
        else
            window.zoomPageWidth();
        window.pageArea()->viewport()->repaint();
    }
}

BENCHMARK(window_search_1box_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(10);
BENCHMARK(keyup_to_paint_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(10);
BENCHMARK(ctrlp_to_first_page_ms)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(5)
    ->Iterations(3);
BENCHMARK(run_20k_every_record_ms)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK(run_1m_sliced_ms)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(3)
    ->Iterations(1);
BENCHMARK(print_run_1m_pdf_ms)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(1)
    ->Iterations(1);
BENCHMARK(save_pdf_26316_pages_ms)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Repetitions(1)
    ->Iterations(1);
BENCHMARK(page_change_repaint_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(20);
BENCHMARK(zoom_change_repaint_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(20);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    lambreya::setEscapedErrorHandler(&lambreya::bench::keepEscapedError);
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    lambreya::bench::g_shown.reset();
    lambreya::bench::g_window.reset();
    return 0;
}
