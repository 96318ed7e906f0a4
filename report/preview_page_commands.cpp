#include "report/preview_page_commands.h"

#include "report/page_store.h"
#include "report/preview_files.h"
#include "report/print_setup.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"
#include "report/stepped_run.h"
#include "report/stored_pages_work.h"

#include "data/guarded.h"

#include <QPrinterInfo>

namespace lambreya {

PreviewPageCommands::PreviewPageCommands(ReportPreview& preview, PrintSettings& settings)
    : QObject(&preview)
    , m_preview(preview)
    , m_settings(settings) {
    connectGuarded(&preview, &ReportPreview::windowOpened, this, &PreviewPageCommands::attach);
    connectGuarded(&preview, &ReportPreview::loadedPagesPrintRequested, this,
                   [this](ReportPreviewWindow* window) { printLoaded(*window); });
}

void PreviewPageCommands::attach(ReportPreviewWindow* window) {
    auto command = [this, window](void (PreviewPageCommands::*act)(ReportPreviewWindow&)) {
        return [this, window, act] { (this->*act)(*window); };
    };
    connectGuarded(window, &ReportPreviewWindow::printSetupClicked, this,
                   command(&PreviewPageCommands::printSetup));
    connectGuarded(window, &ReportPreviewWindow::saveReportClicked, this,
                   command(&PreviewPageCommands::saveReport));
    connectGuarded(window, &ReportPreviewWindow::loadReportClicked, this,
                   command(&PreviewPageCommands::loadReport));
}

SteppedRun* PreviewPageCommands::startPagesWork(std::unique_ptr<PageWork> work) {
    auto* run = new SteppedRun(std::move(work), this);
    // Deleted once it has ended, out of the handlers of its own signal.
    connect(run, &SteppedRun::ended, run, &QObject::deleteLater);
    m_latest = run;
    run->start();
    return run;
}

void PreviewPageCommands::printSetup(ReportPreviewWindow& window) {
    runPrintSetup(&window, m_settings, window.pageStore().pageCount());
}

void PreviewPageCommands::saveReport(ReportPreviewWindow& window) {
    const QString path = chooseSaveReportFile(&window);
    if (path.isEmpty())
        return;
    if (std::unique_ptr<PageWork> pdf = saveReportPages(window.pageStore(), path))
        startPagesWork(std::move(pdf));
}

void PreviewPageCommands::loadReport(ReportPreviewWindow& window) {
    const QString path = chooseLoadReportFile(&window);
    if (path.isEmpty())
        return;
    SavedPages saved = readReportFile(path);
    m_preview.stopBuilding();
    showLoadedPages(window, std::move(saved));
}

void PreviewPageCommands::printLoaded(ReportPreviewWindow& window) {
    // Print pressed again while the pages are going to the printer is ignored.
    if (m_printing || QPrinterInfo::availablePrinters().isEmpty() ||
        window.pageStore().pageCount() == 0)
        return;
    m_printing = startPagesWork(printOfLoadedPages(window.pageStore(), m_settings));
}

} // namespace lambreya
