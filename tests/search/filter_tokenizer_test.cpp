#include "search/filter_tokenizer.h"

#include "support/test_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lambreya {
namespace {

using test::cp;
using test::utf8;

// Every item of the text up to and including the End or Error item that closes it.
std::vector<FilterItem> tokenizeFilter(std::string_view text) {
    FilterTokenizer tokenizer(text);
    std::vector<FilterItem> items;
    for (;;) {
        items.push_back(tokenizer.next());
        const FilterItemKind kind = items.back().kind;
        if (kind == FilterItemKind::End || kind == FilterItemKind::Error)
            return items;
    }
}

// The literal read from the first literal of a condition text, in UTF-8.
std::string firstLiteral(std::string_view utf8Text) {
    const std::string text = cp(utf8Text);
    for (const FilterItem& item : tokenizeFilter(text)) {
        if (item.kind == FilterItemKind::Literal)
            return utf8(item.literal);
        if (item.kind == FilterItemKind::Error)
            return "error: " + item.message;
    }
    return "no literal";
}

struct LiteralRow {
    const char* name;
    const char* text;
    const char* literal;
};

void PrintTo(const LiteralRow& row, std::ostream* os) {
    *os << row.name;
}

class LiteralReading : public testing::TestWithParam<LiteralRow> {};

TEST_P(LiteralReading, ReadsTheLiteralUpToItsClosingApostrophe) {
    EXPECT_EQ(firstLiteral(GetParam().text), GetParam().literal);
}

// An apostrophe inside a literal, with a further apostrophe later in the text, closes the
// literal or stays in it depending on what follows it.
INSTANTIATE_TEST_SUITE_P(
    Rows, LiteralReading,
    testing::Values(
        LiteralRow{"Plain", "F = 'ИВАН*'", "ИВАН*"}, LiteralRow{"Empty", "F = ''", ""},
        LiteralRow{"DoubledApostrophe", "F = 'Д''АР*'", "Д'АР*"},
        LiteralRow{"OnlyADoubledApostrophe", "F = ''''", "'"},
        LiteralRow{"NoLaterApostropheEndsIt", "F = 'ДАР' AND x", "ДАР"},
        LiteralRow{"WordRunningIntoTheLastApostropheKeepsIt", "F = 'ДАР'Я*'", "ДАР'Я*"},
        LiteralRow{"ApostropheClosedLaterEndsIt", "F = 'ДАР'Я*' And G = 'И*'", "ДАР"},
        LiteralRow{"DigitEndsIt", "[F]='ДАР'5*'", "ДАР"},
        LiteralRow{"EqualsEndsIt", "F = 'A'=x'", "A"}, LiteralRow{"LessEndsIt", "F = 'A'<x'", "A"},
        LiteralRow{"GreaterEndsIt", "F = 'A'>x'", "A"},
        LiteralRow{"DigitInsideAWordKeepsIt", "F = 'A'x5'", "A'x5"},
        LiteralRow{"BlockCommentEndsIt", "F = 'A'x/*y'", "A"},
        LiteralRow{"LineCommentEndsIt", "F = 'A'x//y'", "A"},
        LiteralRow{"LoneSlashKeepsIt", "F = 'A'x/y'", "A'x/y"},
        LiteralRow{"PlainWordKeepsIt", "F = 'A' ANDY x'", "A' ANDY x"},
        LiteralRow{"KeywordAnyCaseEndsIt", "F = 'A' aNd x'", "A"},
        LiteralRow{"GroupByEndsIt", "F = 'A' group  by x'", "A"},
        LiteralRow{"GroupAloneKeepsIt", "F = 'A' GROUP x'", "A' GROUP x"},
        LiteralRow{"OrderByAcrossALineBreakEndsIt", "F = 'A' ORDER\nBY x'", "A"},
        LiteralRow{"OrderAloneKeepsIt", "F = 'A' ORDER x'", "A' ORDER x"},
        LiteralRow{"ForUpdateEndsIt", "F = 'A' FOR UPDATE x'", "A"},
        LiteralRow{"ForUpdateRunningIntoTheApostropheKeepsIt", "F = 'A' FOR UPDATE'",
                   "A' FOR UPDATE"},
        LiteralRow{"ForAloneKeepsIt", "F = 'A' FOR x'", "A' FOR x"},
        LiteralRow{"DottedWordKeepsIt", "F = 'A'.AND x'", "A'.AND x"},
        LiteralRow{"DottedDigitKeepsIt", "F = 'A'.5 x'", "A'.5 x"},
        LiteralRow{"FullStopAfterTheItemBeganEndsIt", "F = 'A'B.C x'", "A"},
        LiteralRow{"SecondFullStopOfADottedItemEndsIt", "F = 'A'.B.C x'", "A"},
        LiteralRow{"QuotedValueEndsIt", "F = 'A'\"q\" x'", "A"},
        LiteralRow{"BackquotedValueEndsIt", "F = 'A'`q` x'", "A"},
        LiteralRow{"UnclosedDoubleQuoteIsOrdinary", "F = 'A'\"q x'", "A'\"q x"},
        LiteralRow{"DottedQuotedValueKeepsIt", "F = 'A'.\"q\" x\"'", "A'.\"q\" x\""},
        LiteralRow{"ClosingParenthesesAndCommasBeforeTheItem", "F = 'A' ) ,(AND x'", "A"},
        LiteralRow{"ClosingParenthesisAfterACommaIsPartOfTheWord", "F = 'A',)AND x'", "A',)AND x"},
        LiteralRow{"LineBreakBeforeTheItem", "F = 'A'\r\nAND x'", "A"},
        LiteralRow{"LineBreakBeforeAClosingParenthesisStopsTheSkipping", "F = 'A'\n)AND x'",
                   "A'\n)AND x"},
        LiteralRow{"Unterminated", "F = 'ИВ", "error: Unterminated string constant"},
        LiteralRow{"UnterminatedAfterADoubledApostrophe", "F = 'ИВ''",
                   "error: Unterminated string constant"}),
    [](const testing::TestParamInfo<LiteralRow>& row) { return std::string(row.param.name); });

class ClosingKeyword : public testing::TestWithParam<const char*> {};

TEST_P(ClosingKeyword, EndsTheLiteral) {
    const std::string text = std::string("F = 'A' ") + GetParam() + " x'";
    EXPECT_EQ(firstLiteral(text), "A");
}

INSTANTIATE_TEST_SUITE_P(Words, ClosingKeyword,
                         testing::Values("AND", "OR", "LIKE", "IS", "NULL", "ASC", "ASCENDING",
                                         "DESC", "DESCENDING", "SELECT", "FROM", "WHERE", "HAVING",
                                         "UNION", "PLAN", "and", "Plan"));

std::string repeated(char c, std::size_t count) {
    return std::string(count, c);
}

TEST(LiteralLength, KeepsTheFirst256CharactersAndReadsOnToTheClosingApostrophe) {
    const std::string value = repeated('A', 250) + repeated('B', 10) + "C";
    const std::string text = "F = '" + value + "' AND G"; // the items' views point into it
    const std::vector<FilterItem> items = tokenizeFilter(text);
    ASSERT_EQ(items[2].kind, FilterItemKind::Literal);
    EXPECT_EQ(items[2].literal, repeated('A', 250) + repeated('B', 6));
    EXPECT_EQ(items[3].kind, FilterItemKind::Name);
    EXPECT_EQ(items[3].name, "AND");
}

TEST(LiteralLength, DoubledApostropheCountsAsOneCharacter) {
    const std::string value = repeated('A', 254) + "''" + "B" + "C";
    const std::string text = "'" + value + "'";
    const std::vector<FilterItem> items = tokenizeFilter(text);
    ASSERT_EQ(items[0].kind, FilterItemKind::Literal);
    EXPECT_EQ(items[0].literal, repeated('A', 254) + "'B");
}

struct ItemRow {
    const char* name;
    const char* text;
    // The items as kind letters and spellings: N name, B bracketed name (its name),
    // L literal, D number, others by their sign; E end; ! error (its message).
    std::vector<std::string> items;
};

void PrintTo(const ItemRow& row, std::ostream* os) {
    *os << row.name;
}

std::string describe(const FilterItem& item) {
    switch (item.kind) {
    case FilterItemKind::End:
        return "E";
    case FilterItemKind::Error:
        return "! " + item.message;
    case FilterItemKind::Name:
        return "N " + utf8(item.name);
    case FilterItemKind::BracketedName:
        return "B " + utf8(item.name);
    case FilterItemKind::Literal:
        return "L " + utf8(item.literal);
    case FilterItemKind::Number:
        return "D " + utf8(item.spelling);
    default:
        return utf8(item.spelling);
    }
}

class Items : public testing::TestWithParam<ItemRow> {};

TEST_P(Items, SplitTheTextAsWritten) {
    const std::string text = cp(GetParam().text);
    std::vector<std::string> got;
    for (const FilterItem& item : tokenizeFilter(text))
        got.push_back(describe(item));
    EXPECT_EQ(got, GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Items,
    testing::Values(
        ItemRow{"FilterClause",
                "Nsa_famili = 'ИВ*' And Nsa_room = '1*'",
                {"N Nsa_famili", "=", "L ИВ*", "N And", "N Nsa_room", "=", "L 1*", "E"}},
        ItemRow{"LocateCondition", "[Nsa_Famili]='ИВ*'", {"B Nsa_Famili", "=", "L ИВ*", "E"}},
        ItemRow{"BracketsMayHoldAnything", "[Nsa Famili 'x']", {"B Nsa Famili 'x'", "E"}},
        ItemRow{"NameGoesOnWithDigitsStopsAndBrackets", "a_1.b[2]c", {"N a_1.b[2]c", "E"}},
        ItemRow{"NameStartsWithACyrillicLetterButDoesNotGoOnWithOne", "Фа", {"N Ф", "N а", "E"}},
        ItemRow{"BlanksControlsAndCommentsAreSkipped",
                "\t\x01 A /* x\n */ = // y\n 'v' \x7f",
                {"N A", "=", "L v", "E"}},
        ItemRow{"SignsAndParentheses",
                "(1+2.5-3*4/5)",
                {"(", "D 1", "+", "D 2.5", "-", "D 3", "*", "D 4", "/", "D 5", ")", "E"}},
        ItemRow{
            "NumberWithoutFraction", "12.", {"D 12", "! Invalid filter expression character: '.'"}},
        ItemRow{"UnclosedComment", "A /* x", {"N A", "! Filter expression incorrectly terminated"}},
        ItemRow{"UnclosedBracket", "[A", {"! Filter expression incorrectly terminated"}},
        ItemRow{
            "ErrorStopsTheItems", "A # 'x", {"N A", "! Invalid filter expression character: '#'"}},
        ItemRow{"LessSign", "<", {"! Invalid filter expression character: '<'"}},
        ItemRow{"DoubleQuote", "\"A\"", {"! Invalid filter expression character: '\"'"}},
        ItemRow{"ByteAboveTheNameStarts", "я", {"! Invalid filter expression character: 'я'"}},
        ItemRow{"ByteBelowTheNameStarts", "Ђ", {"! Invalid filter expression character: 'Ђ'"}},
        ItemRow{"Empty", "", {"E"}}),
    [](const testing::TestParamInfo<ItemRow>& row) { return std::string(row.param.name); });

TEST(FilterTokenizer, GivesEndAfterAnError) {
    FilterTokenizer tokenizer("# A");
    EXPECT_EQ(tokenizer.next().kind, FilterItemKind::Error);
    EXPECT_EQ(tokenizer.next().kind, FilterItemKind::End);
    EXPECT_EQ(tokenizer.next().kind, FilterItemKind::End);
}

} // namespace
} // namespace lambreya
