#pragma once

// The reader of a display list's operations; included by page_drawing.h.

namespace lambreya::drawing_detail {

inline int read16(const std::uint8_t* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

inline std::uint32_t read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline constexpr std::uint8_t kFill = 1;
inline constexpr std::uint8_t kText = 2;
inline constexpr std::uint8_t kLongText = 255;

// Reads the operation at `p` (bounds already checked) and returns the byte after it.
inline const std::uint8_t* readOp(const std::uint8_t* p, DrawingOp& op) {
    if (*p == kFill) {
        op.kind = DrawingOp::Kind::Fill;
        op.colour = static_cast<PageDrawing::Colour>(p[1]);
        op.x = read16(p + 2);
        op.y = read16(p + 4);
        op.width = read16(p + 6);
        op.height = read16(p + 8);
        return p + 10;
    }
    op.kind = DrawingOp::Kind::Text;
    op.font = p[1];
    op.x = read16(p + 2);
    op.y = read16(p + 4);
    std::size_t length = p[6];
    p += 7;
    if (length == kLongText) {
        length = read32(p);
        p += 4;
    }
    op.text = std::string_view(reinterpret_cast<const char*>(p), length);
    return p + length;
}

} // namespace lambreya::drawing_detail

namespace lambreya {

template <typename Visit>
void forEachOp(const PageDrawing& page, Visit&& visit) {
    const std::span<const std::uint8_t> bytes = page.bytes();
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* end = p + bytes.size();
    DrawingOp op{};
    while (p < end) {
        p = drawing_detail::readOp(p, op);
        visit(static_cast<const DrawingOp&>(op));
    }
}

} // namespace lambreya
