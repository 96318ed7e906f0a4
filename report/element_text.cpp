#include "report/element_text.h"

#include <algorithm>
#include <cmath>

namespace lambreya {
namespace {

// A line may end this far below the element's box.
constexpr double kHeightAllowance = 0.1 * kDrawingUnitsPerMm;
// How far a glyph may reach past its advance or the line (an italic's slant).
constexpr double kOverhang = 1.0 * kDrawingUnitsPerMm;

// Calls `line(text)` for each part of `text` between carriage returns.
template <typename Line>
bool forEachSourceLine(std::string_view text, Line&& line) {
    for (;;) {
        const std::size_t cr = text.find('\r');
        if (!line(text.substr(0, cr)))
            return false;
        if (cr == std::string_view::npos)
            return true;
        text.remove_prefix(cr + 1);
    }
}

// The end of the word that starts at `at`: just after the next blank or hyphen.
std::size_t wordEnd(std::string_view text, std::size_t at) {
    const std::size_t found = text.find_first_of(" -", at);
    return found == std::string_view::npos ? text.size() : found + 1;
}

} // namespace

void ElementPainter::paint(const ElementBox& box, std::string_view text) {
    if (text.find('\n') != std::string_view::npos) {
        m_clean.assign(text);
        std::erase(m_clean, '\n');
        text = m_clean;
    }
    const FontMeasure& measure = m_measures[static_cast<std::size_t>(box.font)];
    const double lineHeight = measure.lineHeight();
    int lines = 0;
    if (lineHeight > 0)
        while ((lines + 1) * lineHeight <= box.height + kHeightAllowance)
            ++lines;

    ElementBox placed = box;
    if (box.autoSize) {
        double widest = 0;
        forEachSourceLine(text, [&](std::string_view line) {
            widest = std::max(widest, measure.width(line));
            return true;
        });
        placed.width = widest;
    }
    const int left = wholeUnits(placed.left);
    const int top = wholeUnits(placed.top);
    const int width = wholeUnits(placed.left + placed.width) - left;
    const int bottom = wholeUnits(placed.top + placed.height);
    if (width > 0 && m_ink.covers(left, top, left + width, bottom))
        m_out.fill(PageDrawing::Colour::White, left, top, width, bottom - top);

    int printed = 0;
    if (placed.autoSize) {
        forEachSourceLine(text, [&](std::string_view line) {
            if (printed == lines)
                return false;
            printLine(placed, printed++, line, measure.width(line));
            return true;
        });
        return;
    }
    forEachSourceLine(text, [&](std::string_view source) {
        std::size_t start = 0;
        do {
            if (printed == lines)
                return false;
            // Whole words while they fit; a first word that does not fit is cut.
            std::size_t end = start;
            double used = 0;
            while (end < source.size()) {
                const std::size_t next = wordEnd(source, end);
                const double word = measure.width(source.substr(end, next - end));
                if (used + word > placed.width)
                    break;
                used += word;
                end = next;
            }
            std::size_t resume = end;
            if (end == start && start < source.size()) {
                while (end < source.size() && used + measure.advance(source[end]) <= placed.width)
                    used += measure.advance(source[end++]);
                resume = wordEnd(source, start);
            }
            printLine(placed, printed++, source.substr(start, end - start), used);
            start = resume;
        } while (start < source.size());
        return true;
    });
}

void ElementPainter::printLine(const ElementBox& box, int line, std::string_view text,
                               double width) {
    if (text.empty())
        return;
    const FontMeasure& measure = m_measures[static_cast<std::size_t>(box.font)];
    const double x =
        box.alignment == Alignment::Centre ? box.left + (box.width - width) / 2 : box.left;
    const double lineTop = box.top + line * measure.lineHeight();
    m_out.text(box.font, wholeUnits(x), wholeUnits(lineTop + measure.ascent()), text);
    m_ink.add(x - kOverhang, lineTop - kOverhang, x + width + kOverhang,
              lineTop + measure.lineHeight() + kOverhang);
}

} // namespace lambreya
