#include "data/error.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

TEST(ShownMessage, AFullStopFollowsALetterOrDigitOnly) {
    EXPECT_EQ(shownMessage("Filter expression incorrectly terminated"),
              "Filter expression incorrectly terminated.");
    EXPECT_EQ(shownMessage("Найдено 5"), "Найдено 5.");
    EXPECT_EQ(shownMessage("Не могу!"), "Не могу!");
    EXPECT_EQ(shownMessage("Done."), "Done.");
    EXPECT_EQ(shownMessage("quoted '"), "quoted '"); // "'" sorts before "."
    EXPECT_EQ(shownMessage("set: /"), "set: /.");    // "/" sorts after "."
    EXPECT_EQ(shownMessage("Поле ИМЯ"), "Поле ИМЯ.");
    EXPECT_EQ(shownMessage(""), "");
}

} // namespace
} // namespace lambreya
