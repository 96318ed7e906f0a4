#pragma once

#include "report/page_drawing.h"
#include "report/print_settings.h"

#include <QPageLayout>

namespace lambreya {

class PageStore;

// The sheet of a page as the printer knows it: the known paper size it matches (A4,
// Letter, ...) in the orientation of its sides, or a custom size when it matches none.
QPageLayout paperLayoutFor(PaperSize paper);

// Print with pages loaded from a file: the pages as they are, with no run and no progress
// window, as one document named with the report title, onto the printer and with the
// copies of `settings`; from the first to the last page of the store's range (0 meaning
// no limit at that end), each drawn over the printer's whole printable area. Nothing
// happens when no printer is installed. Returns the number of pages printed.
int printLoadedPages(const PageStore& store, const PrintSettings& settings);

} // namespace lambreya
