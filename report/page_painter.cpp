#include "report/page_painter.h"

#include "data/cp1251.h"

#include <QPaintDevice>
#include <QPainter>

#include <vector>

namespace lambreya {

void paintPage(QPainter& painter, const PageDrawing& page, const ReportFonts& fonts,
               const QRectF& sheet) {
    const PaperSize paper = page.paper();
    if (paper.width <= 0 || paper.height <= 0 || sheet.isEmpty())
        return;
    const double scaleX = sheet.width() / paper.width;
    const double scaleY = sheet.height() / paper.height;

    // A font of `points` on the sheet is points × (device pixels per drawing unit) ×
    // (units per inch) device pixels high; Qt takes its size in the device's points.
    const QPaintDevice* device = painter.device();
    const double deviceDpi = device ? device->logicalDpiY() : 72.0;
    const double unitsPerInch = 25.4 * kDrawingUnitsPerMm;
    std::vector<QFont> qfonts;
    std::vector<QColor> colours;
    qfonts.reserve(fonts.size());
    for (const ReportFont& f : fonts) {
        qfonts.push_back(toQFont(f, f.points * scaleY * unitsPerInch / deviceDpi));
        colours.emplace_back(f.colour);
    }

    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    int currentFont = -1;
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Fill) {
            const QRectF r(sheet.left() + op.x * scaleX, sheet.top() + op.y * scaleY,
                           op.width * scaleX, op.height * scaleY);
            painter.fillRect(r, op.colour == PageDrawing::Colour::White ? Qt::white : Qt::black);
            return;
        }
        if (op.font < 0 || static_cast<std::size_t>(op.font) >= qfonts.size())
            return;
        if (op.font != currentFont) {
            currentFont = op.font;
            painter.setFont(qfonts[static_cast<std::size_t>(op.font)]);
            painter.setPen(colours[static_cast<std::size_t>(op.font)]);
        }
        painter.drawText(QPointF(sheet.left() + op.x * scaleX, sheet.top() + op.y * scaleY),
                         cp1251::toUnicode(op.text));
    });
    painter.restore();
}

} // namespace lambreya
