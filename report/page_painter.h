#pragma once

#include "report/page_drawing.h"
#include "report/report_font.h"

#include <QRectF>

class QPainter;

namespace lambreya {

// Replays a page drawing on any painter: the sheet is mapped onto `sheet` (in the
// painter's coordinates), so the same routine serves the preview at its zoom, a printer
// and a PDF. Fonts are scaled with the sheet; texts start where the drawing placed them.
void paintPage(QPainter& painter, const PageDrawing& page, const ReportFonts& fonts,
               const QRectF& sheet);

} // namespace lambreya
