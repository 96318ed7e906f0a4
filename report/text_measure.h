#pragma once

#include "report/report_font.h"

#include <QRawFont>

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace lambreya {

// A report font's metrics in drawing units, the same for every device: the advance of
// every code page 1251 byte, the ascent, and the line height (the height of "W", which is
// the font's height). Fonts are used without kerning or shaping, so the width of a text is
// the sum of its bytes' advances; painting places every glyph by these advances, so that a
// text is as wide on the screen, on paper and in a PDF as it was measured.
class FontMeasure {
public:
    explicit FontMeasure(const ReportFont& font);

    double width(std::string_view cp1251) const {
        double sum = 0;
        for (const char c : cp1251)
            sum += m_advance[static_cast<unsigned char>(c)];
        return sum;
    }
    double advance(char c) const { return m_advance[static_cast<unsigned char>(c)]; }
    double ascent() const { return m_ascent; }
    double lineHeight() const { return m_lineHeight; }

    // The font's outlines at `pixels` to the em and the glyph of every byte, for painting.
    // The last few sizes are kept, so that a device's glyph cache stays warm between pages;
    // pages are painted on the one UI thread.
    QRawFont rawFontAt(double pixels) const;
    std::uint32_t glyph(char c) const { return m_glyph[static_cast<unsigned char>(c)]; }

private:
    std::array<double, 256> m_advance{};
    std::array<std::uint32_t, 256> m_glyph{};
    double m_ascent = 0;
    double m_lineHeight = 0;
    QRawFont m_rawFont;
    mutable std::vector<std::pair<double, QRawFont>> m_sized; // the newest last
};

// The measure of a font, taken once and kept while the program runs.
const FontMeasure& measureOf(const ReportFont& font);

// The measures of a document's fonts, by the fonts' indices.
using FontMeasures = std::vector<FontMeasure>;

FontMeasures measureFonts(const ReportFonts& fonts);

} // namespace lambreya
