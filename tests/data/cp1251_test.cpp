#include "data/cp1251.h"

#include "support/test_text.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

TEST(Cp1251, EveryByteSurvivesTheRoundTripThroughUnicode) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const QString text = cp1251::toUnicode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0xC8), QChar(0x0418)); // И
    EXPECT_EQ(text.at(0xA8), QChar(0x0401)); // Ё
    EXPECT_EQ(text.at(0xB9), QChar(0x2116)); // №
    EXPECT_EQ(cp1251::fromUnicode(text), all);
}

TEST(Cp1251, CharactersOutsideTheCodePageAreRefused) {
    EXPECT_FALSE(cp1251::fromUnicode(QStringLiteral("\u00E9")).has_value()); // é
    EXPECT_FALSE(cp1251::fromUnicode(QStringLiteral("\u4E2D")).has_value());
    EXPECT_FALSE(cp1251::canEncode(QChar(0x00E9)));
    EXPECT_TRUE(cp1251::canEncode(QChar(0x0451))); // ё
}

TEST(Cp1251, Utf8ConversionsForMessagesAndTheCommandLine) {
    EXPECT_EQ(cp1251::toUtf8(test::cp("ИВАН")), "ИВАН");
    EXPECT_EQ(cp1251::fromUtf8("ИВАН"), test::cp("ИВАН"));
    EXPECT_FALSE(cp1251::fromUtf8("\xFF\xFE").has_value()); // not UTF-8
}

TEST(Cp1251, CaseBlindComparisonOfNames) {
    EXPECT_TRUE(cp1251::equalsCaseBlind("Nsa_Famili", "NSA_FAMILI"));
    EXPECT_TRUE(cp1251::equalsCaseBlind(test::cp("имя"), test::cp("ИМЯ")));
    EXPECT_FALSE(cp1251::equalsCaseBlind("Nsa_famil", "Nsa_famili"));
    EXPECT_EQ(cp1251::upper('_'), '_');
    EXPECT_EQ(cp1251::upper(0xFF), 0xDF);
}

} // namespace
} // namespace lambreya
