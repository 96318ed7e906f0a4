#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"

#include <QPainter>

class QPrinter;

namespace lambreya {

// Sets up a printer from the report's print settings: the printer (the default one when
// none is named), copies, A4 in the settings' orientation, and the job's document name.
void applyPrintSettings(QPrinter& printer, const PrintSettings& settings,
                        const QString& documentName);

// The pages of a print run onto a printer: only those from the settings' first to last
// page are printed, each replayed over the sheet; the job goes to the printer when
// the document ends and is discarded when it is abandoned.
class PrinterSink : public PageSink {
public:
    // Where a page is replayed: over the whole sheet (a run's pages) or over the printer's
    // printable area (pages loaded from a file), with the printer's full-page mode to match.
    enum class Sheet { WholePaper, PrintableArea };

    PrinterSink(QPrinter& printer, const PrintSettings& settings, Sheet sheet = Sheet::WholePaper);
    ~PrinterSink() override;

    int pagesPrinted() const { return m_printed; }

    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    QPrinter& m_printer;
    PrintSettings m_settings;
    Sheet m_sheet;
    ReportFonts m_fonts;
    QPainter m_painter;
    int m_composed = 0;
    int m_printed = 0;
};

} // namespace lambreya
