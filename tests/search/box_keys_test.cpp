#include "search/box_keys.h"
#include "search/filter_text.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace lambreya {
namespace {

using A = BoxKeyAction;

struct KeyDownRow {
    const char* name;
    int key;
    BoxKeyState state;
    BoxKeyDecision decision;
};

void PrintTo(const KeyDownRow& row, std::ostream* os) {
    *os << row.name;
}

class KeyDown : public testing::TestWithParam<KeyDownRow> {};

TEST_P(KeyDown, DecidesActionAndWhetherTheBoxGetsTheKey) {
    EXPECT_EQ(searchBoxKeyDown(GetParam().key, GetParam().state), GetParam().decision);
}

// State: whole text selected, at-start, at-end, view mode.
INSTANTIATE_TEST_SUITE_P(
    Rows, KeyDown,
    testing::Values(
        KeyDownRow{"LeftWholeSelected",
                   kKeyLeft,
                   {true, false, false, true},
                   {A::FocusPreviousBox, false}},
        KeyDownRow{"LeftCaretOnly", kKeyLeft, {false, false, false, true}, {A::None, false}},
        KeyDownRow{
            "RightWholeSelected", kKeyRight, {true, true, true, false}, {A::FocusNextBox, false}},
        KeyDownRow{"RightCaretOnly", kKeyRight, {false, false, false, true}, {A::None, false}},
        KeyDownRow{"UpInViewMode", kKeyUp, {false, false, true, true}, {A::StepToPrevious, true}},
        KeyDownRow{"UpAtStart", kKeyUp, {false, true, false, true}, {A::None, false}},
        KeyDownRow{"UpInEditMode", kKeyUp, {false, false, false, false}, {A::None, false}},
        KeyDownRow{"DownInViewMode", kKeyDown, {true, true, false, true}, {A::StepToNext, true}},
        KeyDownRow{"DownAtEnd", kKeyDown, {false, false, true, true}, {A::None, false}},
        KeyDownRow{"DownInEditMode", kKeyDown, {false, false, false, false}, {A::None, false}},
        KeyDownRow{"DownOnAnEmptyView", kKeyDown, {true, true, true, true}, {A::None, false}},
        KeyDownRow{
            "F2WholeSelected", kKeyF2, {true, false, false, true}, {A::CaretToSelectionEnd, false}},
        KeyDownRow{
            "F2CaretOnly", kKeyF2, {false, false, false, false}, {A::SelectWholeText, false}},
        KeyDownRow{"Home", 36, {true, false, false, true}, {A::None, false}},
        KeyDownRow{"Enter", 13, {true, false, false, true}, {A::None, false}}),
    [](const testing::TestParamInfo<KeyDownRow>& row) { return std::string(row.param.name); });

struct KeyPressRow {
    const char* name;
    int character;
    bool textEmpty;
    BoxKeyDecision decision;
};

void PrintTo(const KeyPressRow& row, std::ostream* os) {
    *os << row.name;
}

class KeyPress : public testing::TestWithParam<KeyPressRow> {};

TEST_P(KeyPress, DecidesActionAndWhetherTheBoxGetsTheCharacter) {
    EXPECT_EQ(searchBoxKeyPress(GetParam().character, GetParam().textEmpty), GetParam().decision);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, KeyPress,
    testing::Values(
        KeyPressRow{"BackspaceInEmptyBox", kCharBackspace, true, {A::FocusPreviousBox, true}},
        KeyPressRow{"BackspaceWithText", kCharBackspace, false, {A::None, false}},
        KeyPressRow{"Enter", kCharEnter, false, {A::FocusNextBox, true}},
        KeyPressRow{"EnterInEmptyBox", kCharEnter, true, {A::FocusNextBox, true}},
        KeyPressRow{"Escape", kCharEscape, false, {A::CloseWindow, true}},
        KeyPressRow{"Letter", 'A', true, {A::None, false}},
        KeyPressRow{"Tab", 9, true, {A::None, false}}),
    [](const testing::TestParamInfo<KeyPressRow>& row) { return std::string(row.param.name); });

TEST(SearchBoxRow, NextWrapsFromTheLastBoxToTheFirst) {
    const int expected[] = {1, 2, 3, 4, 5, 6, 0};
    for (int box = 0; box < kSearchBoxCount; ++box)
        EXPECT_EQ(nextSearchBox(box), expected[box]) << box;
}

TEST(SearchBoxRow, PreviousWrapsFromTheFirstBoxToTheLast) {
    const int expected[] = {6, 0, 1, 2, 3, 4, 5};
    for (int box = 0; box < kSearchBoxCount; ++box)
        EXPECT_EQ(previousSearchBox(box), expected[box]) << box;
}

TEST(SearchBoxRow, TabOrderOutsideTheRowIsRefused) {
    EXPECT_THROW(nextSearchBox(kSearchBoxCount), std::out_of_range);
    EXPECT_THROW(previousSearchBox(-1), std::out_of_range);
}

} // namespace
} // namespace lambreya
