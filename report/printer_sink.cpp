#include "report/printer_sink.h"

#include "report/page_painter.h"

#include "data/error.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <utility>

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

void printPages(QPrinter& printer, std::span<const PageDrawing> pages, const ReportFonts& fonts,
                PrintArea area) {
    if (pages.empty())
        return;
    printer.setFullPage(area == PrintArea::WholePaper);
    QPainter painter;
    if (!painter.begin(&printer))
        printerFailed(printer, "начать печать");
    // The whole sheet at its exact size: the printer's own page is whole points.
    const QRectF sheet =
        area == PrintArea::WholePaper
            ? paperRectOn(printer, pages.front().paper())
            : QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size());
    bool first = true;
    for (const PageDrawing& page : pages) {
        if (!std::exchange(first, false) && !printer.newPage())
            printerFailed(printer, "начать новый лист");
        paintPage(painter, page, fonts, sheet);
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        printerFailed(printer, "напечатать документ");
}

PrinterSink::PrinterSink(QPrinter& printer, const PrintSettings& settings)
    : m_printer(printer)
    , m_settings(settings) {}

void PrinterSink::beginDocument(const DocumentInfo& document) {
    m_fonts = document.fonts;
    m_waiting.clear();
    m_composed = 0;
    m_printed = 0;
}

void PrinterSink::addPage(PageDrawing page) {
    if (m_settings.inRange(++m_composed))
        m_waiting.push_back(std::move(page));
}

void PrinterSink::endDocument() {
    const std::vector<PageDrawing> pages = std::exchange(m_waiting, {});
    printPages(m_printer, pages, m_fonts);
    m_printed = static_cast<int>(pages.size());
}

void PrinterSink::abortDocument() {
    m_waiting.clear();
}

} // namespace lambreya
