#include "report/report_preview.h"

#include "data/guarded.h"
#include "report/print_progress_window.h"
#include "report/printer_sink.h"
#include "report/report_preview_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTimer>

#include <functional>

namespace lambreya {

// Tells a run's progress and pages to whoever shows them, lets pending messages through
// between records and says when the run is to stop.
class ReportPreview::Observer : public RunObserver {
public:
    Observer(ReportPreview& owner, std::function<void(int)> onProgress,
             std::function<void(int)> onPage, std::function<bool()> cancelled)
        : m_owner(owner)
        , m_onProgress(std::move(onProgress))
        , m_onPage(std::move(onPage))
        , m_cancelled(std::move(cancelled)) {
        m_sinceMessages.start();
    }

    void progress(int percent) override { m_onProgress(percent); }

    void pageAvailable(int page) override {
        m_onPage(page);
        // The first page is shown as soon as it exists.
        m_firstPageEnded = page == 1;
    }

    Stop afterRecord() override {
        const int slice = m_owner.m_sliceMs;
        if (slice <= 0 || m_firstPageEnded || m_sinceMessages.hasExpired(slice)) {
            m_firstPageEnded = false;
            QCoreApplication::processEvents();
            m_sinceMessages.restart();
        }
        if (m_owner.programEnding() || m_owner.m_stop == Stop::Abandon)
            return Stop::Abandon;
        if (m_owner.m_stop == Stop::Finish || (m_cancelled && m_cancelled()))
            return Stop::Finish;
        return Stop::No;
    }

private:
    ReportPreview& m_owner;
    std::function<void(int)> m_onProgress;
    std::function<void(int)> m_onPage;
    std::function<bool()> m_cancelled;
    QElapsedTimer m_sinceMessages;
    bool m_firstPageEnded = false;
};

ReportPreview::ReportPreview(RunnableReport& report, ErrorHandler errors, QObject* parent)
    : QObject(parent)
    , m_report(report)
    , m_errors(std::move(errors)) {}

ReportPreview::~ReportPreview() = default;

bool ReportPreview::programEnding() const {
    return m_wait && !m_wait->isRunning();
}

void ReportPreview::preview() {
    QCoreApplication::processEvents();
    if (m_running || m_window)
        return;

    const PrintSettings& settings = m_report.printSettings();
    ReportPreviewWindow window(std::make_unique<PageStore>(
        m_report.documentInfo(), PageRange{settings.firstPage, settings.lastPage}));
    m_window = &window;
    connectGuarded(&window, &ReportPreviewWindow::closing, this, &ReportPreview::onWindowClosing);
    connectGuarded(&window, &ReportPreviewWindow::printRequested, this,
                   &ReportPreview::onPrintRequested);
    Q_EMIT windowOpened(&window);
    window.showMaximized();

    // The run goes on inside the loop that then waits for the window to close, so that the
    // end of the program (which tells every running loop to exit) reaches the run too.
    QEventLoop wait;
    m_wait = &wait;
    QTimer::singleShot(0, &wait, [this] { runIntoWindow(); });
    wait.exec();
    m_wait = nullptr;
    m_window = nullptr;
}

void ReportPreview::runIntoWindow() {
    ReportPreviewWindow* window = m_window;
    if (!window)
        return;
    m_running = true;
    m_stop = RunObserver::Stop::No;
    Observer observer(
        *this, [window](int percent) { window->showProgress(percent); },
        [window](int page) { window->pageBuilt(page); }, {});
    try {
        m_report.compose(window->pageStore(), observer);
    } catch (...) {
        handleCurrentException(m_errors);
    }
    m_running = false;
    window->runEnded();
}

void ReportPreview::stopBuilding() {
    if (m_running)
        m_stop = RunObserver::Stop::Abandon;
}

void ReportPreview::onWindowClosing() {
    if (m_running)
        m_stop = RunObserver::Stop::Abandon;
    if (m_wait)
        m_wait->quit();
}

void ReportPreview::onPrintRequested() {
    runGuarded(m_errors, [this] {
        if (!m_window)
            return;
        if (m_window->pageStore().loadedFromFile()) {
            Q_EMIT loadedPagesPrintRequested(m_window);
            return;
        }
        if (m_running || QPrinterInfo::availablePrinters().isEmpty())
            return;
        printRun();
    });
}

void ReportPreview::printRun() {
    const PrintSettings settings = m_report.printSettings();
    const DocumentInfo document = m_report.documentInfo();
    QPrinter printer(QPrinter::HighResolution);
    applyPrintSettings(printer, settings, document.title);
    PrinterSink sink(printer, settings);

    PrintProgressWindow progress;
    progress.show();
    Q_EMIT printRunStarted(&progress);

    m_running = true;
    m_stop = RunObserver::Stop::No;
    Observer observer(
        *this, [&progress](int percent) { progress.showProgress(percent); }, [](int) {},
        [&progress] { return progress.cancelled(); });
    try {
        m_report.compose(sink, observer);
    } catch (...) {
        m_running = false;
        throw;
    }
    m_running = false;
}

} // namespace lambreya
