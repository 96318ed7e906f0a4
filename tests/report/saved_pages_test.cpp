#include "report/saved_pages.h"

#include "data/error.h"

#include "support/test_files.h"
#include "support/test_text.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

namespace lambreya {
namespace {

using test::cp;
using test::Damage;
using test::rechecksummed;

DocumentInfo sampleDocument() {
    DocumentInfo document;
    document.title = QStringLiteral("Ламбрея: печать результатов поиска");
    document.fonts = {
        {QStringLiteral("Times New Roman"), 10, true, false, false, qRgb(0, 0, 0)},
        {QStringLiteral("Courier New"), 12.5, true, true, true, qRgb(0, 0, 128)},
    };
    return document;
}

// Pages with every kind of operation: both colours, coordinates at the ends of their
// range, texts of every byte and of more than 255 bytes, an empty page, a landscape one.
std::vector<PageDrawing> samplePages() {
    std::string every;
    for (int b = 0; b < 256; ++b)
        every.push_back(static_cast<char>(b));
    PageDrawingBuilder builder;
    std::vector<PageDrawing> pages;
    builder.begin(kA4Portrait);
    builder.fill(PageDrawing::Colour::White, 1000, 1000, 18997, 3466);
    builder.text(0, 1159, 1400, cp("Лист 1"));
    builder.fill(PageDrawing::Colour::Black, -32768, 32767, 0, 35);
    builder.text(1, 0, 0, every);
    builder.text(1, 5, 6, "");
    pages.push_back(builder.take());
    builder.begin(kA4Portrait);
    pages.push_back(builder.take());
    builder.begin(kA4Landscape);
    builder.text(0, 29700, 21000, cp("ИВАНОВ"));
    pages.push_back(builder.take());
    return pages;
}

std::string savedBytes(const DocumentInfo& document, const std::vector<PageDrawing>& pages) {
    const Bytes bytes = savedPagesBytes(document, pages);
    return {bytes.data(), bytes.size()};
}

TEST(SavedPages, ReadBackToTheSameDocumentAndPagesAndTheSameBytes) {
    const DocumentInfo document = sampleDocument();
    const std::vector<PageDrawing> pages = samplePages();
    const std::string bytes = savedBytes(document, pages);

    const SavedPages saved = parseSavedPages(bytes);
    EXPECT_EQ(saved.document.title, document.title);
    EXPECT_EQ(saved.document.paper, document.paper);
    EXPECT_EQ(saved.document.fonts, document.fonts);
    EXPECT_EQ(saved.pages, pages);
    EXPECT_EQ(savedBytes(saved.document, saved.pages), bytes);

    // About the size of the pages in memory.
    std::size_t inMemory = 0;
    for (const PageDrawing& page : pages)
        inMemory += page.memoryBytes();
    EXPECT_LE(bytes.size(), inMemory + 200);
}

template <typename Action>
std::string errorOf(Action&& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

TEST(SavedPages, AFileOnDiskIsWrittenWholeAndReadBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("отчёт.kvr"));
    writeSavedPages(path, sampleDocument(), samplePages());
    EXPECT_EQ(readSavedPages(path).pages, samplePages());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "a temporary file stayed";

    test::writeAll(path, test::readAll(path).substr(0, 100));
    EXPECT_EQ(errorOf([&] { (void)readSavedPages(path); }),
              "Файл " + QDir::toNativeSeparators(path).toStdString() +
                  " не загружен: контрольная сумма не совпадает: файл повреждён или обрезан");
    EXPECT_EQ(errorOf([&] { (void)readSavedPages(dir.filePath(QStringLiteral("нет.kvr"))); }),
              "File does not exist");
    // Judged by its first bytes: the rest, 15 TiB of zeros, is never read.
    const QString zeros = dir.filePath(QStringLiteral("нули.kvr"));
    if (test::makeHugeSparseFile(zeros, std::string(1, '\0'))) {
        EXPECT_EQ(errorOf([&] { (void)readSavedPages(zeros); }),
                  "Файл " + QDir::toNativeSeparators(zeros).toStdString() +
                      " не загружен: это не файл сохранённого отчёта");
    }
}

TEST(SavedPages, ADocumentTheFormatCannotHoldIsRefusedBeforeWriting) {
    DocumentInfo document = sampleDocument();
    document.title = QStringLiteral("печать \u263A");
    EXPECT_THROW((void)savedPagesBytes(document, samplePages()), Error);
    document = sampleDocument();
    document.fonts.resize(256);
    EXPECT_THROW((void)savedPagesBytes(document, samplePages()), Error);
}

// Offsets in the file of a document titled "T" with one font "F" (see the format notes):
// magic 8, version 2, paper 4, orientation 1, title 2 + 1, font count 1, the font
// 1 + 1 + 8 + 1 + 4, page count 4, then the first page's width, height and length.
constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kPaperAt = 10;
constexpr std::size_t kOrientationAt = 14;
constexpr std::size_t kPointsAt = 21;
constexpr std::size_t kFontFlagsAt = 29;
constexpr std::size_t kPageCountAt = 34;
constexpr std::size_t kPageLengthAt = 42;
constexpr std::size_t kFirstOpAt = 46;

std::vector<Damage> damages() {
    DocumentInfo document;
    document.title = QStringLiteral("T");
    document.fonts = {{QStringLiteral("F"), 10, true, false, false, qRgb(0, 0, 0)}};
    PageDrawingBuilder builder;
    std::vector<PageDrawing> pages;
    for (int p = 0; p < 2; ++p) {
        builder.begin(kA4Portrait);
        builder.text(0, 100, 200, "ABC");
        pages.push_back(builder.take());
    }
    const std::string good = savedBytes(document, pages);
    const std::size_t secondOpAt = kFirstOpAt + 10 + 8;
    auto changed = [&](std::size_t at, std::string_view bytes) {
        std::string file = good;
        file.replace(at, bytes.size(), bytes);
        return rechecksummed(file);
    };
    std::string flipped = good;
    flipped[kFirstOpAt + 8] = 'b';
    // Pages whose painting would cost more than a sheet can show.
    auto withPage = [&](auto&& draw) {
        builder.begin(kA4Portrait);
        draw();
        std::vector<PageDrawing> one;
        one.push_back(builder.take());
        return savedBytes(document, one);
    };
    const std::string longRun = withPage([&] { builder.text(0, 0, 100, std::string(21001, 'W')); });
    const std::string pastTheEdge = withPage([&] { builder.text(0, 21001, 100, "A"); });
    const std::string manyItems = withPage([&] {
        for (int i = 0; i <= 16384; ++i)
            builder.fill(PageDrawing::Colour::Black, 0, 0, 1, 1);
    });
    const std::string muchText = withPage([&] {
        for (int i = 0; i < 60; ++i)
            builder.text(0, 0, 100 + i, std::string(20000, 'W'));
    });
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::string nanPoints(8, '\0');
    std::memcpy(nanPoints.data(), &nan, 8);
    return {
        {"Empty", "", "файл пуст"},
        {"Foreign", "PK\x03\x04 not a report", "это не файл сохранённого отчёта"},
        {"DataFile", "KVDIR\r\n\x1A\x01\0\0\0\0\0\0\0\0\0\0", "это не файл сохранённого отчёта"},
        {"CutInTheMagic", good.substr(0, 5), "файл обрезан"},
        {"CutShort", good.substr(0, good.size() - 7), "контрольная сумма не совпадает"},
        {"FlippedByte", flipped, "контрольная сумма не совпадает"},
        {"NewerVersion", changed(kVersionAt, std::string_view("\2\0", 2)),
         "версия формата 2 не поддерживается"},
        {"NoPaper", changed(kPaperAt, std::string_view("\0\0", 2)), "размер листа невозможен"},
        {"PaperTooLarge", changed(kPaperAt, "\xFF\xFF"), "размер листа невозможен"},
        {"OrientationAgainstSize", changed(kOrientationAt, "\1"), "ориентация листа"},
        {"FontSizeNotANumber", changed(kPointsAt, nanPoints), "размер шрифта 1 невозможен"},
        {"UnknownFontFlags", changed(kFontFlagsAt, "\x81"), "шрифт 1 имеет неизвестные признаки"},
        {"AbsurdPageCount", changed(kPageCountAt, "\xFF\xFF\xFF\xFF"),
         "число листов 4294967295 не соответствует размеру файла"},
        {"NoPages", savedBytes(document, {}), "в файле нет ни одного листа"},
        {"PageLongerThanTheFile", changed(kPageLengthAt, "\xFF\xFF\xFF\x0F"), "лист 1 обрезан"},
        {"UnknownOperation", changed(secondOpAt, "\x07"),
         "лист 2 повреждён: неизвестная операция рисунка"},
        {"MissingFont", changed(kFirstOpAt + 1, "\1"),
         "лист 1 повреждён: текст ссылается на шрифт, которого нет"},
        {"PageCutInAnOperation", changed(kPageLengthAt, std::string_view("\5\0\0\0", 4)),
         "лист 1 повреждён: операция рисунка обрезана"},
        {"TextPastItsPage", changed(kFirstOpAt + 6, "\x20"),
         "лист 1 повреждён: текст выходит за конец рисунка"},
        {"TrailingBytes", rechecksummed(good + "xxxx"), "после листов стоят лишние данные"},
        {"RunLongerThanTheSheetIsWide", longRun,
         "лист 1 повреждён: строка текста длиннее, чем помещается на листе"},
        {"TextPastTheSheet", pastTheEdge, "лист 1 повреждён: текст начинается за правым краем"},
        {"MoreItemsThanASheetShows", manyItems, "лист 1 повреждён: на листе больше предметов"},
        {"MoreTextThanASheetShows", muchText, "лист 1 повреждён: на листе больше текста"},
    };
}

class DamagedSavedPages : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedSavedPages, AreRefusedWithAMessageThatNamesTheProblem) {
    test::expectRefused([](const std::string& bytes) { return parseSavedPages(bytes); },
                        GetParam());
}

INSTANTIATE_TEST_SUITE_P(SavedPages, DamagedSavedPages, ::testing::ValuesIn(damages()),
                         test::damageName);

} // namespace
} // namespace lambreya
