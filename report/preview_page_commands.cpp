#include "report/preview_page_commands.h"

#include "report/loaded_pages_print.h"
#include "report/preview_files.h"
#include "report/print_setup.h"
#include "report/report_preview.h"
#include "report/report_preview_window.h"

#include "data/guarded.h"

namespace lambreya {

PreviewPageCommands::PreviewPageCommands(ReportPreview& preview, PrintSettings& settings,
                                         ErrorHandler errors)
    : QObject(&preview)
    , m_preview(preview)
    , m_settings(settings)
    , m_errors(std::move(errors)) {
    connectGuarded(&preview, &ReportPreview::windowOpened, this, &PreviewPageCommands::attach);
    connectGuarded(&preview, &ReportPreview::loadedPagesPrintRequested, this,
                   [this](ReportPreviewWindow* window) {
                       runGuarded(m_errors, [&] { printLoaded(*window); });
                   });
}

void PreviewPageCommands::attach(ReportPreviewWindow* window) {
    auto guarded = [this, window](void (PreviewPageCommands::*command)(ReportPreviewWindow&)) {
        return
            [this, window, command] { runGuarded(m_errors, [&] { (this->*command)(*window); }); };
    };
    connectGuarded(window, &ReportPreviewWindow::printSetupClicked, this,
                   guarded(&PreviewPageCommands::printSetup));
    connectGuarded(window, &ReportPreviewWindow::saveReportClicked, this,
                   guarded(&PreviewPageCommands::saveReport));
    connectGuarded(window, &ReportPreviewWindow::loadReportClicked, this,
                   guarded(&PreviewPageCommands::loadReport));
}

void PreviewPageCommands::printSetup(ReportPreviewWindow& window) {
    runPrintSetup(&window, m_settings, window.pageStore().pageCount(), m_errors);
}

void PreviewPageCommands::saveReport(ReportPreviewWindow& window) {
    const QString path = chooseSaveReportFile(&window);
    if (!path.isEmpty())
        saveReportPages(window.pageStore(), path);
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
    printLoadedPages(window.pageStore(), m_settings);
}

} // namespace lambreya
