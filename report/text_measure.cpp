#include "report/text_measure.h"

#include "report/page_drawing.h"

#include "data/cp1251.h"

#include <QFontMetricsF>

namespace lambreya {
namespace {

// Metrics are taken at a large size, where the font's design advances come through
// unrounded, and scaled to the font's size on paper.
constexpr int kMeasurePixels = 2000;

} // namespace

FontMeasure::FontMeasure(const ReportFont& font) {
    QFont qfont = toQFont(font, font.points);
    qfont.setPixelSize(kMeasurePixels);
    const QFontMetricsF metrics(qfont);
    const double unitsPerEm = font.points * 25.4 / 72.0 * kDrawingUnitsPerMm;
    const double scale = unitsPerEm / kMeasurePixels;
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString text = cp1251::toUnicode(std::string_view(&c, 1));
        m_advance[static_cast<std::size_t>(byte)] = metrics.horizontalAdvance(text) * scale;
    }
    m_ascent = metrics.ascent() * scale;
    m_lineHeight = metrics.height() * scale;
}

FontMeasures measureFonts(const ReportFonts& fonts) {
    FontMeasures measures;
    measures.reserve(fonts.size());
    for (const ReportFont& font : fonts)
        measures.emplace_back(font);
    return measures;
}

} // namespace lambreya
