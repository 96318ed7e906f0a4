#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"

#include <vector>

class QPrinter;

namespace lambreya {

// Sets up a printer from the report's print settings: the printer (the default one when
// none is named), copies, A4 in the settings' orientation, and the job's document name.
void applyPrintSettings(QPrinter& printer, const PrintSettings& settings,
                        const QString& documentName);

// Where a page is replayed on the printer: over the whole sheet (a run's pages) or over
// the printable area (pages loaded from a file).
enum class PrintArea { WholePaper, PrintableArea };

// Prints `pages` as one job, one sheet each, replayed over `area`; returns when the job
// has gone to the printer. Throws when the printer fails.
void printPages(QPrinter& printer, std::span<const PageDrawing> pages, const ReportFonts& fonts,
                PrintArea area = PrintArea::WholePaper);

// The pages of a print run onto a printer: only those from the settings' first to last
// page are printed, each replayed over the whole sheet. The pages wait as drawings until
// the document ends and then go to the printer as one job; an abandoned document leaves
// no job behind. (The print system cannot take back a job once pages have reached it:
// QPrinter::abort does nothing on CUPS.)
class PrinterSink : public PageSink {
public:
    PrinterSink(QPrinter& printer, const PrintSettings& settings);

    int pagesPrinted() const { return m_printed; }
    int pagesWaiting() const { return static_cast<int>(m_waiting.size()); }

    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    QPrinter& m_printer;
    PrintSettings m_settings;
    ReportFonts m_fonts;
    std::vector<PageDrawing> m_waiting;
    int m_composed = 0;
    int m_printed = 0;
};

} // namespace lambreya
