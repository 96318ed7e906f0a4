#include "search/filter_text.h"

#include "support/test_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace lambreya {
namespace {

using test::cp;
using test::utf8;

struct FilterTextRow {
    const char* name;
    std::array<const char*, kSearchBoxCount> boxes; // UTF-8, in box order
    const char* filterText;
};

void PrintTo(const FilterTextRow& row, std::ostream* os) {
    *os << row.name;
}

class FilterTextFromBoxes : public testing::TestWithParam<FilterTextRow> {};

TEST_P(FilterTextFromBoxes, BuildsOneClausePerFilledBox) {
    std::array<std::string, kSearchBoxCount> texts;
    std::array<std::string_view, kSearchBoxCount> views;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = cp(GetParam().boxes[i]);
        views[i] = texts[i];
    }
    EXPECT_EQ(utf8(searchFilterText(views)), GetParam().filterText);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FilterTextFromBoxes,
    testing::Values(
        FilterTextRow{"AllEmpty", {"", "", "", "", "", "", ""}, ""},
        FilterTextRow{"Surname", {"ИВАН", "", "", "", "", "", ""}, "Nsa_famili = 'ИВАН*'"},
        FilterTextRow{"FlatBeforeHouse",
                      {"", "", "", "5", "12", "", ""},
                      "Nsa_room = '12*' And Nsa_home = '5*'"},
        FilterTextRow{"SurnameHouseAndFlat",
                      {"ИВАН", "", "", "5", "12", "", ""},
                      "Nsa_famili = 'ИВАН*' And Nsa_room = '12*' And Nsa_home = '5*'"},
        FilterTextRow{"OnlyTheLastBox", {"", "", "", "", "", "", "Б"}, "Nsa_prim = 'Б*'"},
        FilterTextRow{"AllSeven",
                      {"А", "Б", "В", "Г", "Д", "Е", "Ж"},
                      "Nsa_famili = 'А*' And Nsa_initsi = 'Б*' And Nsa_street = 'В*' And "
                      "Nsa_room = 'Д*' And Nsa_home = 'Г*' And Nsa_tele = 'Е*' And "
                      "Nsa_prim = 'Ж*'"},
        FilterTextRow{"TextsGoInUnchanged",
                      {" дар'я ", "", "", "", "", "1*", ""},
                      "Nsa_famili = ' дар'я *' And Nsa_tele = '1**'"}),
    [](const testing::TestParamInfo<FilterTextRow>& row) { return std::string(row.param.name); });

TEST(SearchFieldName, IsNsaAndTheBoxNameFromItsUnderscore) {
    const std::array<const char*, kSearchBoxCount> expected = {
        "Nsa_Famili", "Nsa_Initsi", "Nsa_Street", "Nsa_Home", "Nsa_Room", "Nsa_Tele", "Nsa_Prim",
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(searchFieldName(kSearchBoxNames[i]), expected[i]);
    EXPECT_EQ(searchFieldName("Edit8_Two_Parts"), "Nsa_Two_Parts");
    EXPECT_EQ(searchFieldName("Edit8"), "Nsa");
}

} // namespace
} // namespace lambreya
