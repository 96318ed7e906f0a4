#include "report/saved_pages.h"

#include "data/byte_reader.h"
#include "data/byte_writer.h"
#include "data/checksum.h"
#include "data/cp1251.h"
#include "data/data_file.h"
#include "data/error.h"

#include <QDir>

#include <bit>
#include <cmath>
#include <string>

namespace lambreya {
namespace {

constexpr std::string_view kMagic{"KVREP\r\n\x1A", 8};
constexpr std::uint16_t kVersion = 1;

constexpr std::uint8_t kPortrait = 0;
constexpr std::uint8_t kLandscape = 1;

constexpr std::uint8_t kFontBold = 1u << 0;
constexpr std::uint8_t kFontItalic = 1u << 1;
constexpr std::uint8_t kFontUnderline = 1u << 2;
constexpr std::uint8_t kKnownFontFlags = kFontBold | kFontItalic | kFontUnderline;

constexpr std::size_t kMaxFonts = 255; // a drawing names its font in one byte
constexpr double kMinPoints = 1;
constexpr double kMaxPoints = 1000;

// Each page starts with its width, height and length.
constexpr std::size_t kPageHead = 2 + 2 + 4;

// The header up to the title, the title length and the font count included.
constexpr std::size_t kFixedHead = kMagic.size() + 2 + 2 + 2 + 1 + 2 + 1;

std::string cp1251Of(const QString& text, const char* what) {
    std::optional<std::string> bytes = cp1251::fromUnicode(text);
    if (!bytes)
        throw Error(std::string(what) + " содержит знак, которого нет в кодовой странице 1251");
    return std::move(*bytes);
}

std::uint8_t orientationOf(PaperSize paper) {
    return paper.width > paper.height ? kLandscape : kPortrait;
}

void putPaper(ByteWriter& out, PaperSize paper) {
    putLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(paper.width));
    putLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(paper.height));
}

PaperSize readPaper(ByteReader& in) {
    PaperSize paper;
    paper.width = in.number<std::uint16_t>();
    paper.height = in.number<std::uint16_t>();
    return paper;
}

bool possible(PaperSize paper) {
    return paper.width > 0 && paper.height > 0 && paper.width <= kMaxDrawingLength &&
           paper.height <= kMaxDrawingLength;
}

ReportFont readFont(ByteReader& in, std::size_t index) {
    const std::string number = std::to_string(index + 1);
    ReportFont font;
    font.family = cp1251::toUnicode(in.take(in.number<std::uint8_t>()));
    font.points = std::bit_cast<double>(in.number<std::uint64_t>());
    if (!(font.points >= kMinPoints && font.points <= kMaxPoints))
        throw DataFormatError("размер шрифта " + number + " невозможен");
    const auto flags = in.number<std::uint8_t>();
    if ((flags & ~kKnownFontFlags) != 0)
        throw DataFormatError("шрифт " + number + " имеет неизвестные признаки");
    font.bold = (flags & kFontBold) != 0;
    font.italic = (flags & kFontItalic) != 0;
    font.underline = (flags & kFontUnderline) != 0;
    font.colour = in.number<std::uint32_t>();
    return font;
}

std::string shown(const QString& path) {
    return QDir::toNativeSeparators(path).toStdString();
}

} // namespace

Bytes savedPagesBytes(const DocumentInfo& document, std::span<const PageDrawing> pages) {
    const std::string title = cp1251Of(document.title, "Название документа");
    if (title.size() > UINT16_MAX)
        throw Error("Название документа слишком длинное для файла отчёта");
    if (document.fonts.size() > kMaxFonts)
        throw Error("В отчёте больше шрифтов, чем помещается в файл отчёта");
    std::vector<std::string> families;
    for (const ReportFont& font : document.fonts) {
        families.push_back(cp1251Of(font.family, "Название шрифта"));
        if (families.back().size() > UINT8_MAX)
            throw Error("Название шрифта слишком длинное для файла отчёта");
    }

    std::size_t size = kFixedHead + title.size() + 4 + 4;
    for (const std::string& family : families)
        size += 1 + family.size() + 8 + 1 + 4;
    for (const PageDrawing& page : pages)
        size += kPageHead + page.bytes().size();

    ByteWriter out(size);
    out.append(kMagic);
    putLittleEndian<std::uint16_t>(out, kVersion);
    putPaper(out, document.paper);
    putLittleEndian<std::uint8_t>(out, orientationOf(document.paper));
    putLittleEndian<std::uint16_t>(out, static_cast<std::uint16_t>(title.size()));
    out.append(title);
    putLittleEndian<std::uint8_t>(out, static_cast<std::uint8_t>(families.size()));
    for (std::size_t f = 0; f < families.size(); ++f) {
        const ReportFont& font = document.fonts[f];
        putLittleEndian<std::uint8_t>(out, static_cast<std::uint8_t>(families[f].size()));
        out.append(families[f]);
        putLittleEndian<std::uint64_t>(out, std::bit_cast<std::uint64_t>(font.points));
        std::uint8_t flags = 0;
        flags |= font.bold ? kFontBold : 0;
        flags |= font.italic ? kFontItalic : 0;
        flags |= font.underline ? kFontUnderline : 0;
        putLittleEndian<std::uint8_t>(out, flags);
        putLittleEndian<std::uint32_t>(out, font.colour);
    }
    putLittleEndian<std::uint32_t>(out, static_cast<std::uint32_t>(pages.size()));
    for (const PageDrawing& page : pages) {
        const std::span<const std::uint8_t> ops = page.bytes();
        putPaper(out, page.paper());
        putLittleEndian<std::uint32_t>(out, static_cast<std::uint32_t>(ops.size()));
        out.append({reinterpret_cast<const char*>(ops.data()), ops.size()});
    }
    putLittleEndian<std::uint32_t>(out, crc32Of(out.view()));
    return out.take();
}

namespace {

// The magic and the version, looked at in the first bytes of a file before the rest is read.
void checkSavedPagesStart(std::string_view head, std::uint64_t fileSize) {
    if (fileSize == 0)
        throw DataFormatError("файл пуст");
    if (head.substr(0, kMagic.size()) != kMagic.substr(0, head.size()))
        throw DataFormatError("это не файл сохранённого отчёта");
    if (fileSize < kMagic.size() + 2 + 4)
        throw DataFormatError("файл обрезан");
    if (head.size() < kMagic.size() + 2)
        return;
    ByteReader in(head.substr(kMagic.size(), 2));
    const auto version = in.number<std::uint16_t>();
    if (version != kVersion)
        throw DataFormatError("версия формата " + std::to_string(version) + " не поддерживается");
}

} // namespace

SavedPages parseSavedPages(std::string_view bytes) {
    checkSavedPagesStart(bytes.substr(0, kDataFileHead), bytes.size());
    const std::string_view body = bytes.substr(0, bytes.size() - 4);
    if (ByteReader(bytes.substr(body.size())).number<std::uint32_t>() != crc32Of(body))
        throw DataFormatError("контрольная сумма не совпадает: файл повреждён или обрезан");

    ByteReader in(body.substr(kMagic.size() + 2));
    SavedPages saved;
    DocumentInfo& document = saved.document;
    document.paper = readPaper(in);
    if (!possible(document.paper))
        throw DataFormatError("размер листа невозможен");
    if (in.number<std::uint8_t>() != orientationOf(document.paper))
        throw DataFormatError("ориентация листа не соответствует его размеру");
    document.title = cp1251::toUnicode(in.take(in.number<std::uint16_t>()));
    const auto fontCount = in.number<std::uint8_t>();
    for (std::size_t f = 0; f < fontCount; ++f)
        document.fonts.push_back(readFont(in, f));

    const auto pageCount = in.number<std::uint32_t>();
    if (pageCount == 0)
        throw DataFormatError("в файле нет ни одного листа");
    if (std::uint64_t{pageCount} * kPageHead > in.left())
        throw DataFormatError("число листов " + std::to_string(pageCount) +
                              " не соответствует размеру файла");
    saved.pages.reserve(pageCount);
    for (std::size_t p = 0; p < pageCount; ++p) {
        const std::string number = std::to_string(p + 1);
        const PaperSize paper = readPaper(in);
        const auto length = in.number<std::uint32_t>();
        if (length > in.left())
            throw DataFormatError("лист " + number + " обрезан");
        const std::string_view ops = in.take(length);
        const char* why = nullptr;
        std::unique_ptr<PageDrawing> page = PageDrawing::fromBytes(
            paper, {reinterpret_cast<const std::uint8_t*>(ops.data()), ops.size()},
            document.fonts.size(), &why);
        if (!page)
            throw DataFormatError("лист " + number + " повреждён: " + why);
        saved.pages.push_back(std::move(*page));
    }
    if (in.left() != 0)
        throw DataFormatError("после листов стоят лишние данные");
    return saved;
}

void writeSavedPages(const QString& path, const DocumentInfo& document,
                     std::span<const PageDrawing> pages) {
    const Bytes bytes = savedPagesBytes(document, pages);
    writeDataFile(path, asView(bytes));
}

SavedPages readSavedPages(const QString& path) {
    try {
        const std::optional<Bytes> bytes =
            readDataFile(path, QDir::toNativeSeparators(path), checkSavedPagesStart);
        if (!bytes)
            throw Error("File does not exist");
        return parseSavedPages(asView(*bytes));
    } catch (const DataFormatError& e) {
        throw Error("Файл " + shown(path) + " не загружен: " + e.what());
    }
}

} // namespace lambreya
