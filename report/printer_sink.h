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

// The margins of the printer's printable area on a sheet of `paper`, in points.
QMarginsF printableMargins(const PrintSettings& settings, PaperSize paper);

// The pages of a document onto a printer: only those from the settings' first to last page
// are printed. Each page is painted into the job's document as it comes, so memory does not
// grow with the pages and no page waits to be painted at the end; the document goes to the
// print system as one job when it ends. An abandoned document leaves nothing in the queue,
// and a document with no page in the range prints nothing.
//
// Each page is replayed over the whole sheet (a run's pages), or within `margins` in points
// (pages loaded from a file, over the printer's printable area). The sink asks nothing of
// the printer before the job is handed over, so that it can work on any thread.
class PrinterSink : public PageSink {
public:
    PrinterSink(PrintSettings settings, QString documentName, QMarginsF margins = {});
    ~PrinterSink() override;

    void beginDocument(const DocumentInfo& document) override;
    void addPage(PageDrawing page) override;
    void endDocument() override;
    void abortDocument() override;

private:
    PrintSettings m_settings;
    QString m_documentName;
    QMarginsF m_margins;
    std::unique_ptr<QTemporaryDir> m_spool;
    std::unique_ptr<PdfSink> m_pdf;
    int m_composed = 0;
    int m_kept = 0;
};

} // namespace lambreya
