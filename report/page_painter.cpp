#include "report/page_painter.h"

#include "report/text_measure.h"

#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
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
        faces.push_back({&measure, measure.rawFontAt(f.points * kDrawingUnitsPerPoint * scaleY),
                         QColor(f.colour), f.underline});
    }

    // Every glyph stands where the text's measure puts it, on every device alike. Texts of
    // one font that follow each other go out as one run of glyphs, which devices (a PDF
    // above all) take far faster than many. An underlined text gets its line drawn here,
    // from its first glyph to its end, at the font's underline position.
    std::vector<quint32> glyphs;
    std::vector<QPointF> positions;
    int runFont = -1;
    auto flush = [&] {
        if (glyphs.empty())
            return;
        const DeviceFont& face = faces[static_cast<std::size_t>(runFont)];
        QGlyphRun run;
        run.setRawFont(face.raw);
        run.setRawData(glyphs.data(), positions.data(), static_cast<int>(glyphs.size()));
        painter.setPen(face.colour);
        painter.drawGlyphRun(QPointF(0, 0), run);
        glyphs.clear();
        positions.clear();
    };
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    forEachOp(page, [&](const DrawingOp& op) {
        if (op.kind == DrawingOp::Kind::Fill) {
            flush();
            const QRectF r(sheet.left() + op.x * scaleX, sheet.top() + op.y * scaleY,
                           op.width * scaleX, op.height * scaleY);
            painter.fillRect(r, op.colour == PageDrawing::Colour::White ? Qt::white : Qt::black);
            return;
        }
        if (op.font < 0 || static_cast<std::size_t>(op.font) >= faces.size() || op.text.empty())
            return;
        const DeviceFont& face = faces[static_cast<std::size_t>(op.font)];
        if (op.font != runFont)
            flush();
        runFont = op.font;
        const double start = sheet.left() + op.x * scaleX;
        const double y = sheet.top() + op.y * scaleY;
        double x = start;
        for (const char c : op.text) {
            glyphs.push_back(face.measure->glyph(c));
            positions.emplace_back(x, y);
            x += face.measure->advance(c) * scaleX;
        }
        if (face.underline) {
            const double thickness = std::max(face.raw.lineThickness(), 1.0);
            painter.fillRect(QRectF(start, y + face.raw.underlinePosition(), x - start, thickness),
                             face.colour);
        }
    });
    flush();
    painter.restore();
}

QRectF paperRectOn(const QPaintDevice& device, PaperSize paper) {
    constexpr double kUnitsPerInch = 25.4 * kDrawingUnitsPerMm;
    return {0, 0, paper.width * device.logicalDpiX() / kUnitsPerInch,
            paper.height * device.logicalDpiY() / kUnitsPerInch};
}

} // namespace lambreya
