#include "report/page_painter.h"

#include "report/text_measure.h"

#include <QGlyphRun>
#include <QPainter>

#include <vector>

namespace lambreya {
namespace {

// A report font as it is painted on one device: its outlines at the device's size.
struct DeviceFont {
    const FontMeasure* measure;
    QRawFont raw;
    QColor colour;
    bool underline;
};

} // namespace

void paintPage(QPainter& painter, const PageDrawing& page, const ReportFonts& fonts,
               const QRectF& sheet) {
    const PaperSize paper = page.paper();
    if (paper.width <= 0 || paper.height <= 0 || sheet.isEmpty())
        return;
    const double scaleX = sheet.width() / paper.width;
    const double scaleY = sheet.height() / paper.height;

    std::vector<DeviceFont> faces;
    faces.reserve(fonts.size());
    for (const ReportFont& f : fonts) {
        const FontMeasure& measure = measureOf(f);
        QRawFont raw = measure.rawFont();
        raw.setPixelSize(f.points * 25.4 / 72.0 * kDrawingUnitsPerMm * scaleY);
        faces.push_back({&measure, raw, QColor(f.colour), f.underline});
    }

    // Every glyph stands where the text's measure puts it, on every device alike.
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Fill) {
            const QRectF r(sheet.left() + op.x * scaleX, sheet.top() + op.y * scaleY,
                           op.width * scaleX, op.height * scaleY);
            painter.fillRect(r, op.colour == PageDrawing::Colour::White ? Qt::white : Qt::black);
            return;
        }
        if (op.font < 0 || static_cast<std::size_t>(op.font) >= faces.size() || op.text.empty())
            return;
        const DeviceFont& face = faces[static_cast<std::size_t>(op.font)];
        glyphs.resize(op.text.size());
        positions.resize(op.text.size());
        double x = 0;
        for (std::size_t i = 0; i < op.text.size(); ++i) {
            glyphs[i] = face.measure->glyph(op.text[i]);
            positions[i] = QPointF(x, 0);
            x += face.measure->advance(op.text[i]) * scaleX;
        }
        QGlyphRun run;
        run.setRawFont(face.raw);
        run.setRawData(glyphs.data(), positions.data(), static_cast<int>(glyphs.size()));
        run.setUnderline(face.underline);
        painter.setPen(face.colour);
        painter.drawGlyphRun(QPointF(sheet.left() + op.x * scaleX, sheet.top() + op.y * scaleY),
                             run);
    });
    painter.restore();
}

} // namespace lambreya
