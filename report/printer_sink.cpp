#include "report/printer_sink.h"

#include "report/page_painter.h"

#include "data/error.h"

#include <QPageSize>
#include <QPrinter>

namespace lambreya {

namespace {

[[noreturn]] void printerFailed(const QPrinter& printer, const char* what) {
    const QString name = printer.printerName();
    throw Error(QStringLiteral("Не удалось %1 на принтере «%2»")
                    .arg(QString::fromUtf8(what), name)
                    .toStdString());
}

} // namespace

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

PrinterSink::PrinterSink(QPrinter& printer, const PrintSettings& settings, Sheet sheet)
    : m_printer(printer)
    , m_settings(settings)
    , m_sheet(sheet) {}

PrinterSink::~PrinterSink() {
    if (m_painter.isActive())
        abortDocument();
}

void PrinterSink::beginDocument(const DocumentInfo& document) {
    m_fonts = document.fonts;
    m_composed = 0;
    m_printed = 0;
}

void PrinterSink::addPage(PageDrawing page) {
    ++m_composed;
    if (!m_settings.inRange(m_composed))
        return;
    if (!m_painter.isActive()) {
        m_printer.setFullPage(m_sheet == Sheet::WholePaper);
        if (!m_painter.begin(&m_printer))
            printerFailed(m_printer, "начать печать");
    } else if (!m_printer.newPage()) {
        printerFailed(m_printer, "начать новый лист");
    }
    const QRectF sheet(QPointF(0, 0), m_sheet == Sheet::WholePaper
                                          ? m_printer.paperRect(QPrinter::DevicePixel).size()
                                          : m_printer.pageRect(QPrinter::DevicePixel).size());
    paintPage(m_painter, page, m_fonts, sheet);
    ++m_printed;
}

void PrinterSink::endDocument() {
    if (!m_painter.isActive())
        return;
    if (!m_painter.end() || m_printer.printerState() == QPrinter::Error)
        printerFailed(m_printer, "напечатать документ");
}

void PrinterSink::abortDocument() {
    if (!m_painter.isActive())
        return;
    m_printer.abort();
    m_painter.end();
}

} // namespace lambreya
