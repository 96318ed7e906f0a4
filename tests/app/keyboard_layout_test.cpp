#include "app/keyboard_layout.h"

#include "printable.h"

#include <gtest/gtest.h>

namespace lambreya::keyboard_layout {
namespace {

struct LanguageCase {
    quint16 language;
    const char16_t* layout;
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
    *os << test::printable(c.layout);
}

class LayoutNames : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LayoutNames, MapBothWays) {
    const LanguageCase& c = GetParam();
    EXPECT_EQ(layoutNameForLanguage(c.language), QString::fromUtf16(c.layout));
    EXPECT_EQ(languageForLayoutName(QStringView(c.layout)), c.language);
}

INSTANTIATE_TEST_SUITE_P(Common, LayoutNames,
                         ::testing::Values(LanguageCase{0x0419, u"ru"}, LanguageCase{0x0409, u"us"},
                                           LanguageCase{0x0422, u"ua"}, LanguageCase{0x0423, u"by"},
                                           LanguageCase{0x0407, u"de"}, LanguageCase{0x0809, u"gb"},
                                           LanguageCase{0x040C, u"fr"},
                                           LanguageCase{0x043F, u"kz"}));

TEST(LayoutNames, VariantsAndCaseDoNotMatterAndUnknownsAreNone) {
    EXPECT_EQ(languageForLayoutName(u"ru(phonetic)"), 0x0419);
    EXPECT_EQ(languageForLayoutName(u"RU"), 0x0419);
    EXPECT_EQ(languageForLayoutName(u"xx"), std::nullopt);
    EXPECT_EQ(languageForLayoutName(u""), std::nullopt);
    EXPECT_EQ(layoutNameForLanguage(0x0001), QString());
}

TEST(RulesNames, SplitsTheRootWindowProperty) {
    const char value[] = "evdev\0pc105\0us,ru\0\0grp:alt_shift_toggle\0";
    const XkbRulesNames names = parseRulesNames(QByteArrayView(value, sizeof value - 1));
    EXPECT_EQ(names.rules, u"evdev");
    EXPECT_EQ(names.model, u"pc105");
    EXPECT_EQ(names.layouts, (QStringList{QStringLiteral("us"), QStringLiteral("ru")}));
    EXPECT_TRUE(names.variants.isEmpty());
    EXPECT_EQ(names.options, u"grp:alt_shift_toggle");

    const char withVariants[] = "evdev\0pc105\0us,ru,ua\0,phonetic,\0";
    EXPECT_EQ(parseRulesNames(QByteArrayView(withVariants, sizeof withVariants - 1)).variants,
              (QStringList{QString(), QStringLiteral("phonetic"), QString()}));

    // a property cut short or absent names no layouts
    const char cut[] = "evdev\0pc105";
    EXPECT_TRUE(parseRulesNames(QByteArrayView(cut, sizeof cut - 1)).layouts.isEmpty());
    EXPECT_TRUE(parseRulesNames(QByteArrayView()).layouts.isEmpty());
}

TEST(Groups, IdentifierSelectsTheGroupOfItsLanguage) {
    const QStringList usRu{QStringLiteral("us"), QStringLiteral("ru")};
    EXPECT_EQ(groupForIdentifier(usRu, kRussianKeyboardLayout), 1);
    EXPECT_EQ(groupForIdentifier(usRu, 0x04090409), 0);
    // the high half (the layout) does not choose
    EXPECT_EQ(groupForIdentifier(usRu, static_cast<KeyboardLayoutId>(0x00010419)), 1);
    // no group for German: nothing to select
    EXPECT_EQ(groupForIdentifier(usRu, 0x04070407), std::nullopt);
    EXPECT_EQ(groupForIdentifier({}, kRussianKeyboardLayout), std::nullopt);

    // an exact layout before one of the same primary language; a variant is no obstacle
    const QStringList gbUsRu{QStringLiteral("gb"), QStringLiteral("us"),
                             QStringLiteral("ru(phonetic)")};
    EXPECT_EQ(groupForIdentifier(gbUsRu, 0x04090409), 1);
    EXPECT_EQ(groupForIdentifier(gbUsRu, kRussianKeyboardLayout), 2);
    EXPECT_EQ(groupForIdentifier({QStringLiteral("gb"), QStringLiteral("ru")}, 0x04090409), 0);
}

TEST(Groups, GroupReadsAsItsLanguageInBothHalves) {
    const QStringList layouts{QStringLiteral("us"), QStringLiteral("ru"), QStringLiteral("epo")};
    EXPECT_EQ(identifierForGroup(layouts, 0), 0x04090409);
    EXPECT_EQ(identifierForGroup(layouts, 1), 68748313);
    EXPECT_EQ(identifierForGroup(layouts, 2), std::nullopt);
    EXPECT_EQ(identifierForGroup(layouts, 3), std::nullopt);
    EXPECT_EQ(identifierForGroup(layouts, -1), std::nullopt);
}

} // namespace
} // namespace lambreya::keyboard_layout
