#pragma once

#include "report/report_font.h"

#include <span>
#include <string_view>

namespace lambreya {

// Lengths of the report's definition are whole pixels of the design scale, 96 to the inch;
// on paper a pixel is 25.4 / 96 mm.
inline constexpr double kDrawingUnitsPerPixel = 2540.0 / 96.0;

inline constexpr double pixelsToDrawingUnits(int pixels) {
    return pixels * kDrawingUnitsPerPixel;
}

enum class ElementKind {
    Label,      // prints its caption
    Field,      // prints a field of the current record
    PageNumber, // prints its prefix and the number of the page being composed
    DateTime,   // prints its prefix and the date and time of composing the page
};

enum class Alignment { Left, Centre };

// One element of a band: where it stands within its band, what it prints and how.
struct ReportElement {
    std::string_view name;
    ElementKind kind;
    int left, top, width, height; // pixels, from the band's top-left corner
    std::string_view text;        // UTF-8: the caption, the field name or the prefix
    int font;                     // index into ReportDefinition::fonts
    Alignment alignment;
    bool autoSize; // the width follows the printed text
};

struct ReportBand {
    std::string_view name;
    int height; // pixels
    std::span<const ReportElement> elements;
    bool bottomLine; // a black line one point thick along the band's bottom edge
};

// The report as it is defined: paper, margins, bands and their elements in paint order.
struct ReportDefinition {
    double marginTop, marginBottom, marginLeft; // drawing units
    int bandWidth;                              // pixels, the same in either orientation
    const ReportFonts& fonts;
    ReportBand pageHeader;
    ReportBand detail;
    ReportBand pageFooter;
};

// QuickRep1's definition: the search results report.
const ReportDefinition& searchResultsReport();

} // namespace lambreya
