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
    PrintSettings job = settings;
    job.firstPage = store.printRange().first;
    job.lastPage = store.printRange().last;
    QPrinter printer(QPrinter::HighResolution);
    applyPrintSettings(printer, job, store.documentName());
    const QPageLayout paper = paperLayoutFor(store.paper());
    printer.setPageSize(paper.pageSize());
    printer.setPageOrientation(paper.orientation());

    PrinterSink sink(printer, job, PrinterSink::Sheet::PrintableArea);
    // On an error the sink discards the job as it goes.
    sink.beginDocument(store.document());
    for (const PageDrawing& page : store.pages())
        sink.addPage(page);
    sink.endDocument();
    return sink.pagesPrinted();
}

} // namespace lambreya
