#pragma once

#include <QSize>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace lambreya {

// Lengths of a page drawing are whole hundredths of a millimetre, measured from the
// top-left corner of the sheet; a sheet of up to 327 mm fits the 16 bits they are kept in.
inline constexpr int kDrawingUnitsPerMm = 100;
inline constexpr int kMaxDrawingLength = 32767;
// A font's size is given in points of 25.4 / 72 mm.
inline constexpr double kDrawingUnitsPerPoint = 25.4 / 72.0 * kDrawingUnitsPerMm;

// A length in drawing units, to the nearest whole unit.
inline int wholeUnits(double units) {
    return static_cast<int>(std::lround(units));
}

// The size of a sheet in drawing units: A4 portrait is 21000 by 29700.
struct PaperSize {
    int width = 0;
    int height = 0;

    friend bool operator==(const PaperSize&, const PaperSize&) = default;
};

inline constexpr PaperSize kA4Portrait{21000, 29700};
inline constexpr PaperSize kA4Landscape{29700, 21000};

// What a page shows, as a compact display list: filled rectangles and single-line text
// runs, in the order they are painted. A page of the report costs a few kilobytes, so a
// million records' worth of pages stays in memory; one routine (paintPage) replays it on
// any device at any scale.
//
// The list is a byte string of operations, each an opcode and little-endian fields:
//   1 fill:  colour (0 white, 1 black), x, y, width, height  (16-bit signed each)
//   2 text:  font index (8 bits), x, baseline y (16-bit signed), length (8 bits; 255 is
//            followed by a 32-bit length), then that many bytes of code page 1251 text
class PageDrawing {
public:
    enum class Colour : std::uint8_t { White = 0, Black = 1 };

    PageDrawing() = default;
    explicit PageDrawing(PaperSize paper)
        : m_paper(paper) {}

    PaperSize paper() const { return m_paper; }
    std::span<const std::uint8_t> bytes() const { return {m_ops.get(), m_size}; }
    // What the page holds in memory, its bookkeeping included.
    std::size_t memoryBytes() const { return sizeof(*this) + m_size; }

    // A page of the report holds a few hundred operations and a few thousand characters;
    // painting costs in proportion to both, so a saved page is held to what a sheet can
    // show.
    static constexpr std::size_t kMaxPageItems = 16384;
    static constexpr std::size_t kMaxPageText = std::size_t{1} << 20;

    // Takes a display list as it was written (a saved page); nullptr with `why` set (in
    // Russian, for the user) when the bytes are not a well-formed list, name a font at or
    // past `fontCount`, or hold what the sheet could not show: more operations or text than
    // the limits above, a line of text longer than the sheet is wide in hundredths of a
    // millimetre, or a text that starts past the sheet's right edge.
    static std::unique_ptr<PageDrawing> fromBytes(PaperSize paper,
                                                  std::span<const std::uint8_t> bytes,
                                                  std::size_t fontCount, const char** why);

    friend bool operator==(const PageDrawing& a, const PageDrawing& b);

private:
    friend class PageDrawingBuilder;

    PaperSize m_paper;
    std::unique_ptr<std::uint8_t[]> m_ops;
    std::size_t m_size = 0;

public:
    PageDrawing(PageDrawing&&) noexcept = default;
    PageDrawing& operator=(PageDrawing&&) noexcept = default;
    PageDrawing(const PageDrawing& other);
    PageDrawing& operator=(const PageDrawing& other);
};

// Records one page at a time into a buffer kept between pages, so that composing a page
// allocates once, when the page is taken.
class PageDrawingBuilder {
public:
    void begin(PaperSize paper);
    // Coordinates are clamped to what a drawing can hold.
    void fill(PageDrawing::Colour colour, int x, int y, int width, int height);
    void text(int font, int x, int baseline, std::string_view cp1251);
    // The page as recorded since begin; the builder is empty afterwards.
    PageDrawing take();

private:
    void put16(int value);

    PaperSize m_paper;
    std::vector<std::uint8_t> m_buffer;
};

// One operation of a display list, as read back.
struct DrawingOp {
    enum class Kind { Fill, Text } kind;
    PageDrawing::Colour colour; // fill
    int font;                   // text
    int x, y;                   // fill: top-left; text: start of the baseline
    int width, height;          // fill
    std::string_view text;      // text: code page 1251
};

// Calls `visit(const DrawingOp&)` for each operation of a well-formed page in order.
template <typename Visit>
void forEachOp(const PageDrawing& page, Visit&& visit);

} // namespace lambreya

#include "report/page_drawing_ops.h"
