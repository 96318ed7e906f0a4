#pragma once

#include "report/print_settings.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace lambreya {

class ReportPreview;
class ReportPreviewWindow;
class PageWork;
class SteppedRun;

// The preview window's commands over its pages and the report's print settings: the print
// dialog (PrintSetup), saving and loading pages (SaveReport, LoadReport) and Print for
// pages loaded from a file. Connected to every window the preview opens. Saving as a PDF
// and printing loaded pages are worked off a page a turn of the event loop, so that
// neither freezes the program however many pages there are; they go on when the window
// closes and are dropped, leaving no file and no job, when the program ends.
class PreviewPageCommands : public QObject {
    Q_OBJECT

public:
    PreviewPageCommands(ReportPreview& preview, PrintSettings& settings);

    void printSetup(ReportPreviewWindow& window);
    void saveReport(ReportPreviewWindow& window);
    void loadReport(ReportPreviewWindow& window);
    void printLoaded(ReportPreviewWindow& window);

    // The pages last sent to a PDF or to the printer, while they go (tests watch them).
    SteppedRun* pagesWork() const { return m_latest; }

private:
    void attach(ReportPreviewWindow* window);
    SteppedRun* startPagesWork(std::unique_ptr<PageWork> work);

    ReportPreview& m_preview;
    PrintSettings& m_settings;
    QPointer<SteppedRun> m_printing; // the loaded pages going to the printer
    QPointer<SteppedRun> m_latest;
};

} // namespace lambreya
