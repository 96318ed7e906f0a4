#include "report/page_drawing.h"

#include <algorithm>
#include <cstring>

namespace lambreya {

using namespace drawing_detail;

PageDrawing::PageDrawing(const PageDrawing& other)
    : m_paper(other.m_paper)
    , m_ops(other.m_size ? std::make_unique<std::uint8_t[]>(other.m_size) : nullptr)
    , m_size(other.m_size) {
    if (m_size)
        std::memcpy(m_ops.get(), other.m_ops.get(), m_size);
}

PageDrawing& PageDrawing::operator=(const PageDrawing& other) {
    if (this != &other)
        *this = PageDrawing(other);
    return *this;
}

bool operator==(const PageDrawing& a, const PageDrawing& b) {
    return a.m_paper == b.m_paper && std::ranges::equal(a.bytes(), b.bytes());
}

std::unique_ptr<PageDrawing> PageDrawing::fromBytes(PaperSize paper,
                                                    std::span<const std::uint8_t> bytes,
                                                    std::size_t fontCount, const char** why) {
    auto fail = [why](const char* reason) {
        if (why)
            *why = reason;
        return nullptr;
    };
    if (paper.width <= 0 || paper.height <= 0 || paper.width > kMaxDrawingLength ||
        paper.height > kMaxDrawingLength)
        return fail("размер листа невозможен");
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* end = p + bytes.size();
    std::size_t items = 0;
    std::size_t textBytes = 0;
    while (p < end) {
        const std::size_t left = static_cast<std::size_t>(end - p);
        if (++items > kMaxPageItems)
            return fail("на листе больше предметов, чем лист может показать");
        if (*p == kFill) {
            if (left < 10)
                return fail("операция рисунка обрезана");
            if (p[1] > 1)
                return fail("заливка неизвестного цвета");
            p += 10;
        } else if (*p == kText) {
            if (left < 7)
                return fail("операция рисунка обрезана");
            if (p[1] >= fontCount)
                return fail("текст ссылается на шрифт, которого нет");
            std::size_t length = p[6];
            std::size_t head = 7;
            if (length == kLongText) {
                if (left < 11)
                    return fail("операция рисунка обрезана");
                length = read32(p + 7);
                head = 11;
            }
            if (length > left - head)
                return fail("текст выходит за конец рисунка");
            // A character narrower than a hundredth of a millimetre cannot be seen, so no
            // line of the sheet holds more characters than the sheet is wide in units.
            if (length > static_cast<std::size_t>(paper.width))
                return fail("строка текста длиннее, чем помещается на листе");
            if (read16(p + 2) > paper.width)
                return fail("текст начинается за правым краем листа");
            textBytes += length;
            if (textBytes > kMaxPageText)
                return fail("на листе больше текста, чем лист может показать");
            p += head + length;
        } else {
            return fail("неизвестная операция рисунка");
        }
    }
    auto page = std::make_unique<PageDrawing>(paper);
    page->m_size = bytes.size();
    if (page->m_size) {
        page->m_ops = std::make_unique<std::uint8_t[]>(page->m_size);
        std::memcpy(page->m_ops.get(), bytes.data(), page->m_size);
    }
    return page;
}

void PageDrawingBuilder::begin(PaperSize paper) {
    m_paper = paper;
    m_buffer.clear();
}

void PageDrawingBuilder::put16(int value) {
    const auto v = static_cast<std::uint16_t>(
        static_cast<std::int16_t>(std::clamp(value, -kMaxDrawingLength - 1, kMaxDrawingLength)));
    m_buffer.push_back(static_cast<std::uint8_t>(v & 0xFF));
    m_buffer.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PageDrawingBuilder::fill(PageDrawing::Colour colour, int x, int y, int width, int height) {
    m_buffer.push_back(kFill);
    m_buffer.push_back(static_cast<std::uint8_t>(colour));
    put16(x);
    put16(y);
    put16(width);
    put16(height);
}

void PageDrawingBuilder::text(int font, int x, int baseline, std::string_view cp1251) {
    m_buffer.push_back(kText);
    m_buffer.push_back(static_cast<std::uint8_t>(font));
    put16(x);
    put16(baseline);
    if (cp1251.size() < kLongText) {
        m_buffer.push_back(static_cast<std::uint8_t>(cp1251.size()));
    } else {
        m_buffer.push_back(kLongText);
        const auto length = static_cast<std::uint32_t>(cp1251.size());
        for (int shift = 0; shift < 32; shift += 8)
            m_buffer.push_back(static_cast<std::uint8_t>(length >> shift));
    }
    m_buffer.insert(m_buffer.end(), cp1251.begin(), cp1251.end());
}

PageDrawing PageDrawingBuilder::take() {
    PageDrawing page(m_paper);
    page.m_size = m_buffer.size();
    if (page.m_size) {
        page.m_ops = std::make_unique<std::uint8_t[]>(page.m_size);
        std::memcpy(page.m_ops.get(), m_buffer.data(), page.m_size);
    }
    m_buffer.clear();
    return page;
}

} // namespace lambreya
