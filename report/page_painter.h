#pragma once

#include "report/page_drawing.h"
#include "report/report_font.h"

#include <QRectF>

class QPaintDevice;
class QPainter;

namespace lambreya {

// Replays a page drawing on any painter: the sheet is mapped onto `sheet` (in the
// painter's coordinates), so the same routine serves the preview at its zoom, a printer
// and a PDF. Fonts are scaled with the sheet; every glyph of a text stands where the
// text's measure puts it, so a text is as wide on every device.
void paintPage(QPainter& painter, const PageDrawing& page, const ReportFonts& fonts,
               const QRectF& sheet);

// A sheet of `paper` at its exact size on `device` (in its pixels), from the device's
// top-left corner; a device's own page may be rounded to whole points or pixels.
QRectF paperRectOn(const QPaintDevice& device, PaperSize paper);

} // namespace lambreya
