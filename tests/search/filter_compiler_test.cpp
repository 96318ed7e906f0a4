#include "search/filter_compiler.h"

#include "data/cp1251.h"
#include "data/error.h"
#include "search/filter_text.h"

#include "support/test_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace lambreya {
namespace {

using test::cp;
using test::utf8;

// The record set's fields by name, letter case aside, as Table1 finds them.
int resolveDirectoryField(std::string_view name) {
    for (std::size_t i = 0; i < kDirectoryFields.size(); ++i) {
        if (cp1251::equalsCaseBlind(kDirectoryFields[i].name, name))
            return static_cast<int>(i);
    }
    throw Error("Table1: Field '" + cp1251::toUtf8(name) + "' not found");
}

Condition compileText(const std::string& cp1251Text, ConditionPurpose purpose,
                      FilterOptions options = {}) {
    return FilterCompiler().compile(cp1251Text, resolveDirectoryField, purpose, options);
}

// The error message of compiling, or "compiled" when the text compiles.
std::string failureOf(const std::string& cp1251Text, ConditionPurpose purpose) {
    try {
        compileText(cp1251Text, purpose);
    } catch (const Error& error) {
        return error.what();
    }
    return "compiled";
}

// A comparison as the tests write it: field, literal (UTF-8), prefix length.
struct Expected {
    int field;
    std::string literal;
    std::size_t prefixLength;
};

std::vector<Comparison> comparisonsOf(const std::vector<Expected>& expected) {
    std::vector<Comparison> result;
    for (const Expected& e : expected) {
        Comparison c;
        c.field = e.field;
        c.literal = cp(e.literal);
        c.prefixLength = e.prefixLength;
        result.push_back(c);
    }
    return result;
}

constexpr auto kFilter = ConditionPurpose::Filter;
constexpr auto kLocate = ConditionPurpose::Locate;

struct AcceptedRow {
    const char* name;
    ConditionPurpose purpose;
    std::string text; // UTF-8
    std::vector<Expected> comparisons;
};

void PrintTo(const AcceptedRow& row, std::ostream* os) {
    *os << row.name;
}

class AcceptedText : public testing::TestWithParam<AcceptedRow> {};

TEST_P(AcceptedText, CompilesToItsComparisons) {
    const AcceptedRow& row = GetParam();
    const Condition condition = compileText(cp(row.text), row.purpose);
    EXPECT_EQ(condition.comparisons, comparisonsOf(row.comparisons));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AcceptedText,
    testing::Values(
        AcceptedRow{"OneClause", kFilter, "Nsa_famili = 'ИВАН*'", {{0, "ИВАН", 4}}},
        AcceptedRow{"ThreeClauses",
                    kFilter,
                    "Nsa_famili = 'ИВАН*' And Nsa_room = '12*' And Nsa_home = '5*'",
                    {{0, "ИВАН", 4}, {4, "12", 2}, {3, "5", 1}}},
        AcceptedRow{"AndInAnyCase",
                    kFilter,
                    "Nsa_tele='1*'AND Nsa_prim = 'x*' and Nsa_street = 'y*'",
                    {{5, "1", 1}, {6, "x", 1}, {2, "y", 1}}},
        AcceptedRow{"LocateCondition", kLocate, "[Nsa_Famili]='ИВ*'", {{0, "ИВ", 2}}},
        AcceptedRow{"LoneAsteriskIsExact", kLocate, "[Nsa_Famili]='*'", {{0, "*", 0}}},
        AcceptedRow{"AsteriskInsideIsOrdinary", kFilter, "Nsa_famili = 'И*В'", {{0, "И*В", 0}}},
        AcceptedRow{"OnlyTheLastOfTwoAsterisksMarksThePrefix",
                    kFilter,
                    "Nsa_famili = 'ИВ**'",
                    {{0, "ИВ*", 3}}},
        AcceptedRow{"OneCharacterIsExact", kFilter, "Nsa_famili = 'И'", {{0, "И", 0}}},
        AcceptedRow{"EmptyLiteralIsExact", kFilter, "Nsa_famili = ''", {{0, "", 0}}},
        AcceptedRow{
            "ApostropheAloneInTheSurname", kFilter, "Nsa_famili = 'ДАР'Я*'", {{0, "ДАР'Я", 5}}},
        AcceptedRow{"ApostropheInALocate", kLocate, "[Nsa_Famili]='ДАР'Я*'", {{0, "ДАР'Я", 5}}},
        AcceptedRow{
            "DoubledApostrophesStandForOne", kFilter, "Nsa_famili = 'Д''АР*'", {{0, "Д'АР", 4}}},
        AcceptedRow{"ApostropheWithBlankAndWordAfterIt",
                    kFilter,
                    "Nsa_street = 'НАБ' ШЕВЧЕНКО*'",
                    {{2, "НАБ' ШЕВЧЕНКО", 13}}},
        AcceptedRow{"SignBetweenLiteralsStaysInTheValue",
                    kFilter,
                    "Nsa_famili = 'a' + 'b'",
                    {{0, "a' + 'b", 0}}},
        AcceptedRow{"ValueBeforeTheField", kFilter, "'ИВ*' = Nsa_famili", {{0, "ИВ", 2}}},
        AcceptedRow{"Parentheses",
                    kFilter,
                    "(Nsa_famili = 'А*') AND ((Nsa_tele = ('1*')))",
                    {{0, "А", 1}, {5, "1", 1}}},
        AcceptedRow{"CommentsAndControlsAfterTheCondition",
                    kFilter,
                    "Nsa_famili = 'А*' /* note */ // more\r\n\t",
                    {{0, "А", 1}}},
        AcceptedRow{
            "CommentEndingTheLiteralInALocate", kLocate, "[Nsa_Famili]='А'//*'", {{0, "А", 0}}},
        AcceptedRow{"FieldNamesAnyCase",
                    kFilter,
                    "NSA_FAMILI = 'А*' And [nsa_room] = 'Б*'",
                    {{0, "А", 1}, {4, "Б", 1}}},
        AcceptedRow{"EmptyText", kFilter, "", {}},
        AcceptedRow{"OnlyBlanksAndComments", kFilter, "  /* nothing */ ", {}}),
    [](const testing::TestParamInfo<AcceptedRow>& row) { return std::string(row.param.name); });

struct RejectedRow {
    const char* name;
    ConditionPurpose purpose;
    std::string text; // UTF-8
    std::string message;
};

void PrintTo(const RejectedRow& row, std::ostream* os) {
    *os << row.name;
}

class RejectedText : public testing::TestWithParam<RejectedRow> {};

TEST_P(RejectedText, FailsWithItsMessage) {
    const RejectedRow& row = GetParam();
    EXPECT_EQ(failureOf(cp(row.text), row.purpose), row.message);
}

const std::string kTerminated = "Filter expression incorrectly terminated";
const std::string kUnterminated = "Unterminated string constant";
const std::string kMismatch = "Type mismatch in expression";
const std::string kArithmetic = "Arithmetic in filter expressions not supported";

INSTANTIATE_TEST_SUITE_P(
    Rows, RejectedText,
    testing::Values(
        RejectedRow{"ApostropheWithAClauseAfterIt", kFilter,
                    "Nsa_famili = 'ДАР'Я*' And Nsa_initsi = 'И*'", kTerminated},
        RejectedRow{"DigitAfterTheApostropheInALocate", kLocate, "[Nsa_Famili]='ДАР'5*'",
                    kArithmetic},
        RejectedRow{"DigitAfterTheApostropheInAFilter", kFilter, "Nsa_famili = 'ДАР'5*'",
                    kTerminated},
        RejectedRow{"WordThenSignAfterALocate", kLocate, "[Nsa_Famili]='ДАР'А.1*'", kArithmetic},
        RejectedRow{"ComparisonAfterTheApostropheInALocate", kLocate, "[Nsa_Famili]='ДАР'=*'",
                    kTerminated},
        RejectedRow{"KeywordAfterTheApostropheInALocate", kLocate, "[Nsa_Famili]='ДАР' OR Я*'",
                    kTerminated},
        RejectedRow{"UnterminatedLiteral", kFilter, "Nsa_famili = 'ИВ", kUnterminated},
        RejectedRow{"NothingAfterEquals", kFilter,
                    "Nsa_famili =", "Expression expected but nothing found"},
        RejectedRow{"EqualsAfterEquals", kFilter, "Nsa_famili = = 'x'",
                    "Expression expected but '=' found"},
        RejectedRow{"EqualsFirst", kFilter, "= 'x'", "Expression expected but '=' found"},
        RejectedRow{"NothingAfterAnd", kFilter, "Nsa_famili = 'x' And",
                    "Expression expected but nothing found"},
        RejectedRow{"AndFirst", kFilter, "And Nsa_famili = 'x'",
                    "Expression expected but 'And' found"},
        RejectedRow{"NotFirst", kFilter, "NOT Nsa_famili = 'x'",
                    "Expression expected but 'NOT' found"},
        RejectedRow{"EmptyParentheses", kFilter, "()", "Expression expected but ')' found"},
        RejectedRow{"UnaryMinus", kFilter, "Nsa_home = -'5'", "Expression expected but '-' found"},
        RejectedRow{"OrBetweenComparisons", kFilter, "Nsa_famili = 'x' OR Nsa_initsi = 'y'",
                    kTerminated},
        RejectedRow{"TwoLiteralsInARow", kFilter, "Nsa_famili = 'x' 'y'", kTerminated},
        RejectedRow{"FieldWithoutComparison", kFilter, "Nsa_famili", kMismatch},
        RejectedRow{"FieldThenAnd", kFilter, "Nsa_famili AND Nsa_initsi = 'x'", kMismatch},
        RejectedRow{"FieldThenLiteral", kFilter, "Nsa_famili 'x'", kTerminated},
        RejectedRow{"FieldAgainstNumber", kFilter, "Nsa_home = 5", kMismatch},
        RejectedRow{"FieldAgainstField", kFilter, "Nsa_home = Nsa_room", kMismatch},
        RejectedRow{"ValueAgainstValue", kFilter, "'a' = 'a'", kMismatch},
        RejectedRow{"ArithmeticInAFilter", kFilter, "Nsa_famili = 'a' + 1", kMismatch},
        RejectedRow{"ArithmeticInALocate", kLocate, "[Nsa_Famili] = 'a' - 1", kArithmetic},
        RejectedRow{"ArithmeticOnTheFieldInALocate", kLocate, "[Nsa_Famili] * 2 = 'a'",
                    kArithmetic},
        RejectedRow{"SignAtTheEndInALocate", kLocate, "[Nsa_Famili] = 'a' /", kArithmetic},
        RejectedRow{"InvalidCharacter", kFilter, "Nsa_famili = 'a' #",
                    "Invalid filter expression character: '#'"},
        RejectedRow{"LessThan", kFilter, "Nsa_famili < 'a'",
                    "Invalid filter expression character: '<'"},
        RejectedRow{"CyrillicByteThatStartsNoName", kFilter, "Nsa_famili = 'a' AND я = 'b'",
                    "Invalid filter expression character: 'я'"},
        RejectedRow{"UnclosedParenthesis", kFilter, "(Nsa_famili = 'a'", kTerminated},
        RejectedRow{"ExtraClosingParenthesis", kFilter, "Nsa_famili = 'a')", kTerminated},
        RejectedRow{"UnclosedOperandParenthesis", kFilter, "Nsa_famili = ('a' AND", kTerminated},
        RejectedRow{"UnclosedComment", kFilter, "Nsa_famili = 'a' /* note", kTerminated},
        RejectedRow{"UnclosedBracket", kFilter, "[Nsa_famili = 'a'", kTerminated},
        RejectedRow{"UnknownField", kFilter, "Nsa_famili = 'a' And Nsa_Fam = 'b'",
                    "Table1: Field 'Nsa_Fam' not found"},
        RejectedRow{"UnknownBracketedField", kLocate, "[Nsa Famili]='a*'",
                    "Table1: Field 'Nsa Famili' not found"},
        RejectedRow{"CyrillicFieldNameStopsAtItsFirstLetter", kFilter, "ФИО = 'a'",
                    "Table1: Field 'Ф' not found"}),
    [](const testing::TestParamInfo<RejectedRow>& row) { return std::string(row.param.name); });

std::string repeated(char c, std::size_t count) {
    return std::string(count, c);
}

// A box text of `length` characters as the locate of instant search spells it.
std::string locateText(const std::string& boxText) {
    return "[Nsa_Famili]='" + boxText + "*'";
}

TEST(LongBoxText, OneShorterThanTheCapKeepsItsMarkerAsterisk) {
    const std::string box = repeated('A', 255);
    const Condition c = compileText(locateText(box), kLocate);
    ASSERT_EQ(c.comparisons.size(), 1u);
    EXPECT_EQ(c.comparisons[0].literal, box);
    EXPECT_EQ(c.comparisons[0].prefixLength, 255u);
}

TEST(LongBoxText, AtTheCapComparesExactly) {
    const std::string box = repeated('A', 256);
    const Condition c = compileText(locateText(box), kLocate);
    ASSERT_EQ(c.comparisons.size(), 1u);
    EXPECT_EQ(c.comparisons[0].literal, box);
    EXPECT_EQ(c.comparisons[0].prefixLength, 0u);
}

TEST(LongBoxText, BeyondTheCapComparesItsFirst256CharactersExactly) {
    const std::string box = repeated('A', 256) + "B";
    const Condition c = compileText(locateText(box), kLocate);
    ASSERT_EQ(c.comparisons.size(), 1u);
    EXPECT_EQ(c.comparisons[0].literal, repeated('A', 256));
    EXPECT_EQ(c.comparisons[0].prefixLength, 0u);
}

TEST(LongBoxText, AsteriskAs256thCharacterMakesAPrefixOver255) {
    const std::string box = repeated('A', 255) + "*B";
    const Condition c = compileText(locateText(box), kLocate);
    ASSERT_EQ(c.comparisons.size(), 1u);
    EXPECT_EQ(c.comparisons[0].literal, repeated('A', 255));
    EXPECT_EQ(c.comparisons[0].prefixLength, 255u);
}

TEST(Nesting, IsBoundedSoThatNoTextExhaustsTheStack) {
    const std::string deep = std::string(200, '(') + "Nsa_famili = 'A*'" + std::string(200, ')');
    EXPECT_EQ(compileText(deep, kFilter).comparisons, comparisonsOf({{0, "A", 1}}));
    EXPECT_EQ(failureOf(std::string(100000, '(') + "Nsa_famili = 'A*'", kFilter),
              "Expression expected but '(' found");
}

TEST(FilterOptionsTest, NoPartialCompareKeepsTheAsteriskAndCaseFlagIsCarried) {
    const Condition exact =
        compileText(cp("Nsa_famili = 'ИВ*'"), kFilter, FilterOptions{false, true});
    EXPECT_EQ(exact.comparisons, comparisonsOf({{0, "ИВ*", 0}}));

    const Condition blind = compileText(cp("Nsa_famili = 'ИВ*' And Nsa_tele = '1*'"), kFilter,
                                        FilterOptions{true, false});
    ASSERT_EQ(blind.comparisons.size(), 2u);
    EXPECT_TRUE(blind.comparisons[0].caseInsensitive);
    EXPECT_TRUE(blind.comparisons[1].caseInsensitive);
    EXPECT_EQ(blind.comparisons[0].prefixLength, 2u);
}

// The texts the search builds from its boxes compile to one comparison per filled box.
TEST(SearchFilterText, CompilesClauseByClause) {
    const std::string famili = cp("ИВАН");
    const std::string street = cp("ЛЕНИНА");
    const std::array<std::string_view, kSearchBoxCount> boxes = {famili, "", street, "5",
                                                                 "12",   "", "x y"};
    const Condition c = compileText(searchFilterText(boxes), kFilter);
    EXPECT_EQ(c.comparisons,
              comparisonsOf(
                  {{0, "ИВАН", 4}, {2, "ЛЕНИНА", 6}, {4, "12", 2}, {3, "5", 1}, {6, "x y", 3}}));
}

} // namespace
} // namespace lambreya
