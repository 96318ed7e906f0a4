#pragma once

#include "report/error_handler.h"
#include "report/print_settings.h"

#include <QObject>

namespace lambreya {

class ReportPreview;
class ReportPreviewWindow;

// The preview window's commands over its pages and the report's print settings: the print
// dialog (PrintSetup), saving and loading pages (SaveReport, LoadReport) and Print for
// pages loaded from a file. Connected to every window the preview opens; errors go to the
// handler given.
class PreviewPageCommands : public QObject {
    Q_OBJECT

public:
    PreviewPageCommands(ReportPreview& preview, PrintSettings& settings, ErrorHandler errors);

    void printSetup(ReportPreviewWindow& window);
    void saveReport(ReportPreviewWindow& window);
    void loadReport(ReportPreviewWindow& window);
    void printLoaded(ReportPreviewWindow& window);

private:
    void attach(ReportPreviewWindow* window);

    ReportPreview& m_preview;
    PrintSettings& m_settings;
    ErrorHandler m_errors;
};

} // namespace lambreya
