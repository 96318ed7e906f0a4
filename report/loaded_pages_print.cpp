#include "report/loaded_pages_print.h"

#include "report/page_store.h"
#include "report/printer_sink.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace lambreya {

QPageLayout paperLayoutFor(PaperSize paper) {
    const bool landscape = paper.width > paper.height;
    const double shortSide = std::min(paper.width, paper.height) / double(kDrawingUnitsPerMm);
    const double longSide = std::max(paper.width, paper.height) / double(kDrawingUnitsPerMm);
    const QSizeF portrait(shortSide, longSide);
    const QPageSize::PageSizeId id = QPageSize::id(portrait, QPageSize::Millimeter);
    const QPageSize size =
        id == QPageSize::Custom ? QPageSize(portrait, QPageSize::Millimeter) : QPageSize(id);
    return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

int printLoadedPages(const PageStore& store, const PrintSettings& settings) {
    if (QPrinterInfo::availablePrinters().isEmpty() || store.pageCount() == 0)
        return 0;
    const PageRange& range = store.printRange();
    const int first = std::max(1, range.first);
    const int last = range.last > 0 ? std::min(range.last, store.pageCount()) : store.pageCount();
    if (first > last)
        return 0;
    QPrinter printer(QPrinter::HighResolution);
    applyPrintSettings(printer, settings, store.documentName());
    const QPageLayout paper = paperLayoutFor(store.paper());
    printer.setPageSize(paper.pageSize());
    printer.setPageOrientation(paper.orientation());
    const auto pages = std::span(store.pages())
                           .subspan(static_cast<std::size_t>(first - 1),
                                    static_cast<std::size_t>(last - first + 1));
    printPages(printer, pages, store.document().fonts, PrintArea::PrintableArea);
    return static_cast<int>(pages.size());
}

} // namespace lambreya
