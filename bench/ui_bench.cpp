// The search as the user meets it: the real main window on the offscreen platform over a
// generated directory of a million records, from the event to the grid painted.
#include "bench/bench_reporter.h"
#include "bench/search_sample.h"
#include "data/cp1251.h"
#include "tools/directory_generator.h"
#include "ui/db_grid.h"
#include "ui/help_viewer.h"
#include "ui/lambreya_form.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace lambreya::bench {
namespace {

constexpr std::size_t kRecords = 1'000'000;

// The main window, shown and active, its directory opened.
struct Window {
    HelpViewer help;
    SearchSample sample;
    std::unique_ptr<TLambreyaForm> form;

    Window() {
        Directory directory = generateDirectory(kRecords, 1);
        sample = searchSample(directory);
        form = std::make_unique<TLambreyaForm>(&help);
        form->Table1.openDirectory(std::move(directory));
        form->show();
        QApplication::setActiveWindow(form.get());
        if (!QTest::qWaitForWindowActive(form.get()))
            throw std::runtime_error("the window did not become active");
    }
};

Window& window() {
    static Window w;
    return w;
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

BENCHMARK(window_search_1box_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(10);
BENCHMARK(keyup_to_paint_1m_ms)->Unit(benchmark::kMillisecond)->Repetitions(5)->Iterations(10);

} // namespace
} // namespace lambreya::bench

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    lambreya::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    lambreya::bench::window().form.reset();
    return 0;
}
