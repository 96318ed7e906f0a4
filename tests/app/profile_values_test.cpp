#include "app/profile_values.h"

#include "printable.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace lambreya::profile {
namespace {

struct IntegerCase {
    const char16_t* text;
    std::optional<qint32> value;
};

void PrintTo(const IntegerCase& c, std::ostream* os) {
    *os << test::printable(c.text);
}

class IntegerReading : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerReading, ReadsTheNumberOrNothing) {
    const IntegerCase& c = GetParam();
    EXPECT_EQ(parseInteger(QStringView(c.text)), c.value)
        << QString::fromUtf16(c.text).toStdString();
}

constexpr std::optional<qint32> kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Forms, IntegerReading,
    ::testing::Values(
        // decimal, with sign and leading blanks, up to the ends of the 32-bit range
        IntegerCase{u"68748313", 68748313}, IntegerCase{u"0", 0}, IntegerCase{u"-1", -1},
        IntegerCase{u"+17", 17}, IntegerCase{u"007", 7}, IntegerCase{u"   42", 42},
        IntegerCase{u"\t42", 42}, IntegerCase{u"2147483647", 2147483647},
        IntegerCase{u"-2147483648", std::numeric_limits<qint32>::min()},
        IntegerCase{u"000000000000000000012", 12}, IntegerCase{u"2147483648", kNone},
        IntegerCase{u"-2147483649", kNone}, IntegerCase{u"4294967295", kNone},
        IntegerCase{u"99999999999999999999", kNone},
        // hexadecimal as a 32-bit pattern, every prefix, either letter case
        IntegerCase{u"$04190419", 68748313}, IntegerCase{u"x04190419", 68748313},
        IntegerCase{u"X04190419", 68748313}, IntegerCase{u"0x04190419", 68748313},
        IntegerCase{u"0X04190419", 68748313}, IntegerCase{u"$ff", 255}, IntegerCase{u"$Ff", 255},
        IntegerCase{u"  $10", 16}, IntegerCase{u"0x1", 1}, IntegerCase{u"$FFFFFFFF", -1},
        IntegerCase{u"$80000000", std::numeric_limits<qint32>::min()},
        IntegerCase{u"$7FFFFFFF", 2147483647},
        // not numbers
        IntegerCase{u"", kNone}, IntegerCase{u"   ", kNone}, IntegerCase{u"-$10", kNone},
        IntegerCase{u"+$10", kNone}, IntegerCase{u"-0x10", kNone}, IntegerCase{u"$", kNone},
        IntegerCase{u"0x", kNone}, IntegerCase{u"x", kNone}, IntegerCase{u"$123456789", kNone},
        IntegerCase{u"$12G", kNone}, IntegerCase{u"1x", kNone}, IntegerCase{u"12 ", kNone},
        IntegerCase{u"1 2", kNone}, IntegerCase{u"+", kNone}, IntegerCase{u"-", kNone},
        IntegerCase{u"1.5", kNone}, IntegerCase{u"1e3", kNone}, IntegerCase{u"true", kNone},
        IntegerCase{u"0x$10", kNone}, IntegerCase{u"\u0661", kNone}));

struct BoolCase {
    const char16_t* text;
    bool whenDefaultOff;
    bool whenDefaultOn;
};

void PrintTo(const BoolCase& c, std::ostream* os) {
    *os << test::printable(c.text);
}

class BoolReading : public ::testing::TestWithParam<BoolCase> {};

TEST_P(BoolReading, IsAnIntegerThatIsNotZero) {
    const BoolCase& c = GetParam();
    EXPECT_EQ(readBool(QStringView(c.text), false), c.whenDefaultOff);
    EXPECT_EQ(readBool(QStringView(c.text), true), c.whenDefaultOn);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, BoolReading,
    ::testing::Values(BoolCase{u"1", true, true}, BoolCase{u"2", true, true},
                      BoolCase{u"-1", true, true}, BoolCase{u"$10", true, true},
                      BoolCase{u"0", false, false}, BoolCase{u"$0", false, false},
                      BoolCase{u"true", false, true}, BoolCase{u"yes", false, true},
                      BoolCase{u"false", false, true}, BoolCase{u"no", false, true},
                      BoolCase{u"1x", false, true}, BoolCase{u"", false, true}));

TEST(ProfileWriting, IntegersAreSignedDecimalAndSwitchesOneOrZero) {
    EXPECT_EQ(formatInteger(68748313), u"68748313");
    EXPECT_EQ(formatInteger(0), u"0");
    // an identifier with the top bit set goes out as a negative number and reads back
    const qint32 topBit = static_cast<qint32>(0xF0A80422u);
    EXPECT_EQ(formatInteger(topBit), u"-257424350");
    EXPECT_EQ(parseInteger(formatInteger(topBit)), topBit);
    EXPECT_EQ(formatInteger(std::numeric_limits<qint32>::min()), u"-2147483648");
    EXPECT_EQ(formatBool(true), u"1");
    EXPECT_EQ(formatBool(false), u"0");
}

} // namespace
} // namespace lambreya::profile
