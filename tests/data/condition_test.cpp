#include "data/condition.h"

#include "support/test_text.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

using test::cp;

Comparison prefix(std::string literal) {
    Comparison c;
    c.field = 0;
    c.prefixLength = literal.size();
    c.literal = std::move(literal);
    return c;
}

Comparison exact(std::string literal) {
    Comparison c;
    c.field = 0;
    c.literal = std::move(literal);
    return c;
}

TEST(Comparison, PrefixNeedsTheWholePrefixAndDistinguishesCase) {
    const Comparison iv = prefix(cp("ИВ"));
    EXPECT_TRUE(matches(iv, cp("ИВАНОВ")));
    EXPECT_TRUE(matches(iv, cp("ИВ")));
    EXPECT_FALSE(matches(iv, cp("И"))); // shorter than the prefix
    EXPECT_FALSE(matches(iv, ""));
    EXPECT_FALSE(matches(iv, cp("иванов")));
}

TEST(Comparison, ExactComparesTheWholeValue) {
    EXPECT_TRUE(matches(exact("*"), "*"));
    EXPECT_FALSE(matches(exact("*"), "**"));
    EXPECT_FALSE(matches(exact("*"), ""));
    EXPECT_TRUE(matches(exact(""), ""));
    EXPECT_FALSE(matches(exact(""), "A"));
}

TEST(Comparison, CaseFlagFoldsLatinAndCyrillicLetters) {
    Comparison c = prefix(cp("ИВ"));
    c.caseInsensitive = true;
    EXPECT_TRUE(matches(c, cp("ива")));
    c = exact(cp("ЁAb"));
    c.caseInsensitive = true;
    EXPECT_TRUE(matches(c, cp("ёaB")));
    EXPECT_FALSE(matches(c, cp("ЕaB"))); // Ё is a letter of its own
}

TEST(Comparison, BytesAboveSevenBitsCompareUnsigned) {
    EXPECT_FALSE(matches(prefix("\xFF"), "\x7F"));
    EXPECT_TRUE(matches(prefix("\x98"), "\x98x"));
}

} // namespace
} // namespace lambreya
