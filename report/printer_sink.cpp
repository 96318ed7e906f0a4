#include "report/printer_sink.h"

#include "report/pdf_sink.h"
#include "report/print_job.h"

#include "data/error.h"

#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>

namespace lambreya {

QMarginsF printableMargins(const PrintSettings& settings, PaperSize paper) {
    QPrinter printer(QPrinter::HighResolution);
    applyPrintSettings(printer, settings, QString());
    printer.setPageOrientation(paper.width > paper.height ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    printer.setFullPage(false);
    return printer.pageLayout().marginsPoints();
}

void applyPrintSettings(QPrinter& printer, const PrintSettings& settings,
                        const QString& documentName) {
    if (!settings.printer.isEmpty())
        printer.setPrinterName(settings.printer);
    printer.setCopyCount(std::max(1, settings.copies));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(settings.orientation == PrintSettings::Orientation::Landscape
                                   ? QPageLayout::Landscape
                                   : QPageLayout::Portrait);
    // The drawing covers the whole sheet: its origin is the paper's corner.
    printer.setFullPage(true);
    printer.setDocName(documentName);
}

PrinterSink::PrinterSink(PrintSettings settings, QString documentName, QMarginsF margins)
    : m_settings(std::move(settings))
    , m_documentName(std::move(documentName))
    , m_margins(margins) {}

PrinterSink::~PrinterSink() {
    abortDocument();
}

void PrinterSink::beginDocument(const DocumentInfo& document) {
    abortDocument();
    m_composed = 0;
    m_kept = 0;
    m_spool = std::make_unique<QTemporaryDir>();
    if (!m_spool->isValid())
        throw Error("Не удалось создать временную папку для печати: " +
                    m_spool->errorString().toStdString());
    m_pdf = std::make_unique<PdfSink>(m_spool->filePath(QStringLiteral("job.pdf")), m_margins);
    m_pdf->beginDocument(document);
}

void PrinterSink::addPage(PageDrawing page) {
    if (!m_pdf)
        throw Error("Печать: документ не начат");
    if (!m_settings.inRange(++m_composed))
        return;
    m_pdf->addPage(std::move(page));
    ++m_kept;
}

void PrinterSink::endDocument() {
    if (!m_pdf)
        throw Error("Печать: документ не начат");
    if (m_kept == 0) {
        abortDocument();
        return;
    }
    m_pdf->endDocument();
    m_pdf.reset();
    submitPrintJob({m_settings.printer, m_spool->filePath(QStringLiteral("job.pdf")),
                    m_documentName, m_settings.copies});
    m_spool.reset();
}

void PrinterSink::abortDocument() {
    if (m_pdf)
        m_pdf->abortDocument();
    m_pdf.reset();
    m_spool.reset();
}

} // namespace lambreya
