#include "report/text_measure.h"

#include "report/page_drawing.h"

#include "data/cp1251.h"

#include <QCoreApplication>
#include <QFontMetricsF>

#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>

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
    m_rawFont = QRawFont::fromFont(qfont);
    const double unitsPerEm = font.points * kDrawingUnitsPerPoint;
    const double scale = unitsPerEm / kMeasurePixels;
    std::string all(256, '\0');
    for (int byte = 0; byte < 256; ++byte)
        all[static_cast<std::size_t>(byte)] = static_cast<char>(byte);
    const QString chars = cp1251::toUnicode(all);
    for (int byte = 0; byte < 256; ++byte) {
        const auto i = static_cast<std::size_t>(byte);
        m_advance[i] = metrics.horizontalAdvance(chars.at(byte)) * scale;
        const QList<quint32> glyphs = m_rawFont.glyphIndexesForString(chars.mid(byte, 1));
        m_glyph[i] = glyphs.isEmpty() ? 0 : glyphs.first();
    }
    m_ascent = metrics.ascent() * scale;
    m_lineHeight = metrics.height() * scale;
}

QRawFont FontMeasure::rawFontAt(double pixels) const {
    constexpr std::size_t kSizesKept = 8;
    for (auto it = m_sized.begin(); it != m_sized.end(); ++it) {
        if (it->first == pixels) {
            std::rotate(it, it + 1, m_sized.end());
            return m_sized.back().second;
        }
    }
    if (m_sized.size() == kSizesKept)
        m_sized.erase(m_sized.begin());
    QRawFont sized = m_rawFont;
    sized.setPixelSize(pixels);
    m_sized.emplace_back(pixels, sized);
    return sized;
}

namespace {

std::mutex measuredMutex;
std::vector<std::pair<ReportFont, std::unique_ptr<FontMeasure>>> measured;

// The raw fonts go with the application, before the font engines they hold.
void forgetMeasures() {
    const std::lock_guard lock(measuredMutex);
    measured.clear();
}

} // namespace

const FontMeasure& measureOf(const ReportFont& font) {
    const std::lock_guard lock(measuredMutex);
    for (const auto& [known, measure] : measured)
        if (known == font)
            return *measure;
    if (measured.empty())
        qAddPostRoutine(forgetMeasures);
    measured.emplace_back(font, std::make_unique<FontMeasure>(font));
    return *measured.back().second;
}

FontMeasures measureFonts(const ReportFonts& fonts) {
    FontMeasures measures;
    measures.reserve(fonts.size());
    for (const ReportFont& font : fonts)
        measures.push_back(measureOf(font));
    return measures;
}

} // namespace lambreya
