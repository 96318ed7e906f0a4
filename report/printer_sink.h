#pragma once

#include "report/page_sink.h"
#include "report/print_settings.h"

#include <QMarginsF>

#include <memory>

class QPrinter;
class QTemporaryDir;

namespace lambreya {

class PdfSink;

// Sets up a printer from the report's print settings: the printer (the default one when
// none is named), copies, A4 in the settings' orientation, and the job's document name.
void applyPrintSettings(QPrinter& printer, const PrintSettings& settings,
                        const QString& documentName);

// Where a page is replayed on the sheet: over the whole sheet (a run's pages) or over the
// printer's printable area (pages loaded from a file).
enum class PrintArea { WholePaper, PrintableArea };

// The pages of a document onto a printer: only those from the settings' first to last page
// are printed. Each page is painted into the job's document as it comes, so memory does not
// grow with the pages and no page waits to be painted at the end; the document goes to the
// print system as one job when it ends. An abandoned document leaves nothing in the queue,
// and a document with no page in the range prints nothing.
class PrinterSink : public PageSink {
public:
    PrinterSink(PrintSettings settings, QString documentName,
                PrintArea area = PrintArea::WholePaper);
    ~PrinterSink() override;

    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    PrintSettings m_settings;
    QString m_documentName;
    PrintArea m_area;
    std::unique_ptr<QTemporaryDir> m_spool;
    std::unique_ptr<PdfSink> m_pdf;
    int m_composed = 0;
    int m_kept = 0;
};

} // namespace lambreya
