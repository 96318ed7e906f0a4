#include "search/search_filter.h"

#include "data/record_set.h"
#include "search/filter_compiler.h"

#include "support/directory_fixture.h"
#include "support/test_text.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

using test::cp;

// The real compiler, counting the texts it is given.
class CountingCompiler : public ConditionCompiler {
public:
    Condition compile(std::string_view text, const FieldResolver& resolve, ConditionPurpose purpose,
                      FilterOptions options) const override {
        ++compiled;
        return FilterCompiler().compile(text, resolve, purpose, options);
    }
    mutable int compiled = 0;
};

class ApplySearchFilterText : public ::testing::Test {
protected:
    void SetUp() override {
        table.setCompiler(&compiler);
        table.openDirectory(test::makeDirectory({
            {"ПЕТРОВ", "А.Б."},
            {"ИВАНОВ", "А.А."},
            {"ИВЛЕВ", "В.Г."},
            {"ДАР'ЯЛОВ", "И.К."},
        }));
    }

    CountingCompiler compiler;
    RecordSet table{"Table1"};
};

TEST_F(ApplySearchFilterText, CompilesOnlyATextThatDiffersAndAlwaysGoesToTheFirstRecord) {
    EXPECT_EQ(applySearchFilterText(table, ""), 4);
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(compiler.compiled, 0); // the empty text needs no compiling

    const std::string iv = cp("Nsa_famili = 'ИВ*'");
    EXPECT_EQ(applySearchFilterText(table, iv), 2);
    EXPECT_EQ(compiler.compiled, 1);
    table.next();
    table.next();
    ASSERT_TRUE(table.eof());
    EXPECT_EQ(applySearchFilterText(table, iv), 2);
    EXPECT_EQ(compiler.compiled, 1);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(table.bof());
    EXPECT_FALSE(table.eof());
    // Letter case counts: a text differing only in case is compiled and finds nothing.
    EXPECT_EQ(applySearchFilterText(table, cp("Nsa_famili = 'Ив*'")), 0);
    EXPECT_EQ(compiler.compiled, 2);
    EXPECT_TRUE(table.bof() && table.eof());
}

TEST_F(ApplySearchFilterText, ATextThatFailsLeavesTheFilterAndTheViewInForce) {
    const std::string iv = cp("Nsa_famili = 'ИВ*'");
    applySearchFilterText(table, iv);
    table.next();
    try {
        applySearchFilterText(table, cp("Nsa_famili = 'ДАР'Я*' And Nsa_initsi = 'И*'"));
        FAIL() << "compiled";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Filter expression incorrectly terminated");
    }
    EXPECT_EQ(table.filter(), iv);
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.currentRow(), 0); // the filter was switched on before the text failed
}

TEST(ApplySearchFilterTextOnAClosedSet, StoresTheFilterAndFailsOnCounting) {
    RecordSet table("Table1");
    const std::string iv = cp("Nsa_famili = 'ИВ*'");
    try {
        applySearchFilterText(table, iv);
        FAIL() << "counted";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Table1: Cannot perform this operation on a closed dataset");
    }
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(table.filter(), iv);
}

} // namespace
} // namespace lambreya
