#include "search/match_count.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace lambreya {
namespace {

struct CountRow {
    std::uint64_t count;
    const char* message;
};

void PrintTo(const CountRow& row, std::ostream* os) {
    *os << row.count;
}

class MatchCount : public testing::TestWithParam<CountRow> {};

TEST_P(MatchCount, AgreesWithTheNumber) {
    EXPECT_EQ(matchCountMessage(GetParam().count).toStdString(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MatchCount,
    testing::Values(CountRow{0, "Найдено 0 записей"}, CountRow{1, "Найдена 1 запись"},
                    CountRow{2, "Найдено 2 записи"}, CountRow{3, "Найдено 3 записи"},
                    CountRow{4, "Найдено 4 записи"}, CountRow{5, "Найдено 5 записей"},
                    CountRow{9, "Найдено 9 записей"}, CountRow{10, "Найдено 10 записей"},
                    CountRow{11, "Найдено 11 записей"}, CountRow{12, "Найдено 12 записей"},
                    CountRow{14, "Найдено 14 записей"}, CountRow{19, "Найдено 19 записей"},
                    CountRow{20, "Найдено 20 записей"}, CountRow{21, "Найдена 21 запись"},
                    CountRow{22, "Найдено 22 записи"}, CountRow{25, "Найдено 25 записей"},
                    CountRow{101, "Найдена 101 запись"}, CountRow{111, "Найдено 111 записей"},
                    CountRow{112, "Найдено 112 записей"}, CountRow{214, "Найдено 214 записей"},
                    CountRow{1021, "Найдена 1021 запись"},
                    CountRow{1000000, "Найдено 1000000 записей"},
                    CountRow{1234567, "Найдено 1234567 записей"},
                    CountRow{3000000002ULL, "Найдено 3000000002 записи"},
                    CountRow{10000000011ULL, "Найдено 10000000011 записей"},
                    CountRow{std::numeric_limits<std::uint64_t>::max() - 4,
                             "Найдено 18446744073709551611 записей"},
                    CountRow{std::numeric_limits<std::uint64_t>::max() - 14,
                             "Найдена 18446744073709551601 запись"},
                    CountRow{std::numeric_limits<std::uint64_t>::max(),
                             "Найдено 18446744073709551615 записей"}),
    [](const testing::TestParamInfo<CountRow>& row) {
        return "N" + std::to_string(row.param.count);
    });

} // namespace
} // namespace lambreya
