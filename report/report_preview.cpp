#include "report/report_preview.h"

#include "data/guarded.h"
#include "report/page_composer.h"
#include "report/print_progress_window.h"
#include "report/printer_sink.h"
#include "report/quick_report.h"
#include "report/report_preview_window.h"
#include "report/threaded_sink.h"

#include <QPrinterInfo>

namespace lambreya {

ReportPreview::ReportPreview(QuickReport& report, QObject* parent)
    : QObject(parent)
    , m_report(report) {}

ReportPreview::~ReportPreview() {
    // The run goes first: it may still be painting into the window's pages.
    delete std::exchange(m_run, nullptr);
    delete m_progress;
    delete std::exchange(m_window, nullptr);
    // Windows closed but not yet deleted when the event loop stopped turning.
    for (const QPointer<QWidget>& closed : std::as_const(m_closed))
        delete closed;
}

void ReportPreview::disposeOf(QWidget* window) {
    if (!window)
        return;
    window->hide();
    // Deleted once the event loop turns, out of the handlers of its own signals.
    window->deleteLater();
    m_closed.removeAll(nullptr);
    m_closed.append(window);
}

void ReportPreview::preview() {
    if (m_run || m_window)
        return;
    const PrintSettings& settings = m_report.PrinterSettings;
    m_window = new ReportPreviewWindow(std::make_unique<PageStore>(
        m_report.documentInfo(), PageRange{settings.firstPage, settings.lastPage}));
    connectGuarded(m_window, &ReportPreviewWindow::closing, this, &ReportPreview::onWindowClosing);
    connectGuarded(m_window, &ReportPreviewWindow::printRequested, this,
                   &ReportPreview::onPrintRequested);
    Q_EMIT windowOpened(m_window);
    m_window->showMaximized();
    start(Kind::Preview, m_report.composition(m_window->pageStore(), *this));
}

void ReportPreview::start(Kind kind, std::unique_ptr<PageWork> work) {
    m_kind = kind;
    m_run = new SteppedRun(std::move(work), this);
    m_run->setSlice(m_sliceMs);
    connect(m_run, &SteppedRun::stepped, this, &ReportPreview::runStepped);
    connectGuarded(m_run, &SteppedRun::ended, this, &ReportPreview::onRunEnded);
    Q_EMIT runStarted();
    m_run->start();
}

void ReportPreview::onRunEnded(RunEnd how) {
    if (m_run)
        m_run->deleteLater();
    m_run = nullptr;
    if (m_kind == Kind::Print) {
        disposeOf(std::exchange(m_progress, nullptr));
    } else if (m_window) {
        m_window->runEnded();
    }
    Q_EMIT runEnded(how);
}

void ReportPreview::progress(int percent) {
    if (m_kind == Kind::Print) {
        if (m_progress)
            m_progress->showProgress(percent);
    } else if (m_window) {
        m_window->showProgress(percent);
    }
}

void ReportPreview::pageAvailable(int page) {
    if (m_kind == Kind::Preview && m_window)
        m_window->pageBuilt(page);
}

void ReportPreview::stopBuilding() {
    if (m_run && m_kind == Kind::Preview)
        m_run->stop(RunEnd::Replaced);
}

void ReportPreview::onWindowClosing() {
    // The window is gone for whoever hears of the run's end: a run building its pages, or
    // printing from it, is dropped with it.
    ReportPreviewWindow* closing = std::exchange(m_window, nullptr);
    if (m_run)
        m_run->stop(RunEnd::Closed);
    disposeOf(closing);
    Q_EMIT windowClosed();
}

void ReportPreview::onPrintRequested() {
    if (!m_window)
        return;
    if (m_window->pageStore().loadedFromFile()) {
        Q_EMIT loadedPagesPrintRequested(m_window);
        return;
    }
    if (m_run || QPrinterInfo::availablePrinters().isEmpty())
        return;
    printRun();
}

void ReportPreview::printRun() {
    const PrintSettings& settings = m_report.PrinterSettings;
    auto sink =
        std::make_unique<ThreadedSink>(std::make_unique<PrinterSink>(settings, m_report.title()));
    std::unique_ptr<ReportComposition> run = m_report.composition(*sink, *this);
    run->ownSink(std::move(sink));

    m_progress = new PrintProgressWindow;
    connectGuarded(m_progress, &PrintProgressWindow::cancelRequested, this, [this] {
        if (m_run && m_kind == Kind::Print)
            m_run->stop(RunEnd::Cancelled);
    });
    m_progress->show();
    Q_EMIT printRunStarted(m_progress);
    start(Kind::Print, std::move(run));
}

} // namespace lambreya
