#pragma once

#include "report/page_drawing.h"
#include "report/page_ink.h"
#include "report/report_definition.h"
#include "report/text_measure.h"

#include <string>
#include <string_view>

namespace lambreya {

// An element where it stands on the sheet, in drawing units.
struct ElementBox {
    double left, top, width, height;
    int font;
    Alignment alignment;
    bool autoSize;
};

// Sets the text of elements and paints them into a page: line feeds are removed and a
// carriage return starts a new line; an auto-size element takes the width of its widest
// line, a fixed one breaks its lines into words (after a blank or a hyphen) and cuts a word
// too long for a line of its own. The box is filled white (where it may cover ink of the
// page), then the lines are printed one line height apart while they end within the box's
// height and 0.1 mm.
class ElementPainter {
public:
    ElementPainter(PageDrawingBuilder& out, PageInk& ink, const FontMeasures& measures)
        : m_out(out)
        , m_ink(ink)
        , m_measures(measures) {}

    void paint(const ElementBox& box, std::string_view cp1251);

private:
    void printLine(const ElementBox& box, int line, std::string_view text, double width);

    PageDrawingBuilder& m_out;
    PageInk& m_ink;
    const FontMeasures& m_measures;
    std::string m_clean; // the text without line feeds, kept between elements
};

} // namespace lambreya
