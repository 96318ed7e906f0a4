#include "app/error_box.h"

#include "printable.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

struct TextCase {
    const char16_t* message;
    const char16_t* shown;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << test::printable(c.message);
}

class ErrorBoxText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxText, EndsWithAFullStopWhereTheMessageEndsAfterIt) {
    EXPECT_EQ(errorBoxText(QStringView(GetParam().message)), QString::fromUtf16(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ErrorBoxText,
    ::testing::Values(TextCase{u"Файл не найден", u"Файл не найден."},
                      TextCase{u"Table1: Cannot open file", u"Table1: Cannot open file."},
                      TextCase{u"Error 42", u"Error 42."},
                      TextCase{u"Нет доступа!", u"Нет доступа!"}, TextCase{u"Готово.", u"Готово."},
                      TextCase{u"(в скобках)", u"(в скобках)"}, TextCase{u"Что?", u"Что?."},
                      TextCase{u"a-", u"a-"}, TextCase{u"path/", u"path/."}, TextCase{u"", u""}));

TEST(MessageBoxes, CaptionsIconsAndTexts) {
    EXPECT_EQ(standardErrorBox(u"Нет файла"),
              (MessageBoxContent{QMessageBox::Critical, QStringLiteral("Ламбрея"),
                                 QStringLiteral("Нет файла.")}));
    EXPECT_EQ(
        loadSettingsWarningBox(),
        (MessageBoxContent{
            QMessageBox::Warning, QStringLiteral("Warning"),
            QStringLiteral("Не могу загрузить настройки!\r\nИспользую настройки по умолчанию.")}));
    EXPECT_EQ(saveSettingsWarningBox(),
              (MessageBoxContent{QMessageBox::Warning, QStringLiteral("Warning"),
                                 QStringLiteral("Не могу сохранить настройки!")}));
}

} // namespace
} // namespace lambreya
