#include "data/record_set.h"

#include "directory_fixture.h"

#include <gtest/gtest.h>

namespace lambreya {
namespace {

using test::cp;
using test::makeDirectory;
using test::utf8;

constexpr int kFamili = 0;
constexpr int kInitsi = 1;

class RecordSetTest : public ::testing::Test {
protected:
    void open(Directory dir) {
        table.setCompiler(&compiler);
        table.openDirectory(std::move(dir));
    }

    void openFive() {
        open(makeDirectory({{"ИВАНОВ", "И.И."},
                            {"ПЕТРОВ", "П.П."},
                            {"ИВАНОВА", "А.А."},
                            {"СИДОРОВ", "С.С."},
                            {"ИВАНЦОВ", "В.В."}}));
    }

    std::string current(int field = kFamili) const { return utf8(table.fieldText(field)); }

    void expectError(const std::function<void()>& action, const std::string& message) {
        try {
            action();
            ADD_FAILURE() << "no error, expected: " << message;
        } catch (const Error& e) {
            EXPECT_EQ(e.what(), message);
        }
    }

    test::SimpleCompiler compiler;
    RecordSet table{"Table1"};
};

TEST_F(RecordSetTest, ClosedSetRefusesWorkButRecordsItsFilter) {
    const std::string closed = "Table1: Cannot perform this operation on a closed dataset";
    EXPECT_TRUE(table.bof());
    EXPECT_TRUE(table.eof());
    expectError([&] { (void)table.recordCount(); }, closed);
    expectError([&] { table.first(); }, closed);
    expectError([&] { table.next(); }, closed);
    expectError([&] { table.locate("Nsa_famili", "A", true); }, closed);
    expectError([&] { table.edit(); }, closed);
    expectError([&] { table.insert(); }, closed);

    table.setFiltered(true);
    table.setFilter("Nsa_famili = 'X*'");
    EXPECT_TRUE(table.filtered());
    EXPECT_EQ(table.filter(), "Nsa_famili = 'X*'");
}

TEST_F(RecordSetTest, OpeningMakesTheFirstRecordCurrentAtStart) {
    openFive();
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(table.bof());
    EXPECT_FALSE(table.eof());
    EXPECT_EQ(current(), "ИВАНОВ");
}

TEST_F(RecordSetTest, AnEmptyViewHasBothFlags) {
    open(makeDirectory({}));
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.currentRow(), -1);
    EXPECT_TRUE(table.bof());
    EXPECT_TRUE(table.eof());
    table.next();
    table.prior();
    EXPECT_TRUE(table.bof() && table.eof());
    EXPECT_EQ(table.fieldText(kFamili), "");
}

TEST_F(RecordSetTest, StepsKeepTheFlagsAsTheSearchBoxesNeedThem) {
    openFive();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ИВ*'"));
    ASSERT_EQ(table.recordCount(), 3);
    ASSERT_TRUE(table.bof()); // Up is refused right after a search

    table.next(); // Down steps to the second match
    EXPECT_EQ(current(), "ИВАНОВА");
    EXPECT_FALSE(table.bof());
    EXPECT_FALSE(table.eof());

    table.prior(); // Up steps back to the first
    EXPECT_EQ(current(), "ИВАНОВ");
    EXPECT_FALSE(table.bof());

    table.prior(); // a further step finds nothing: it only sets at-start
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(table.bof());

    table.next();
    table.next();
    table.next(); // past the last match
    EXPECT_EQ(current(), "ИВАНЦОВ");
    EXPECT_TRUE(table.eof());
    EXPECT_FALSE(table.bof());
}

TEST_F(RecordSetTest, AViewOfOneRecordSetsAtEndOnTheFirstStep) {
    openFive();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ПЕТ*'"));
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_TRUE(table.bof());
    EXPECT_FALSE(table.eof());
    table.next();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(current(), "ПЕТРОВ");
}

TEST_F(RecordSetTest, MovesByPagesAndToEnds) {
    openFive();
    table.moveBy(3);
    EXPECT_EQ(table.currentRow(), 3);
    EXPECT_FALSE(table.eof());
    table.moveBy(3);
    EXPECT_EQ(table.currentRow(), 4);
    EXPECT_TRUE(table.eof());
    table.moveBy(-10);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(table.bof());
    table.last();
    EXPECT_EQ(table.currentRow(), 4);
    EXPECT_TRUE(table.eof());
    table.moveToRow(2);
    EXPECT_EQ(table.currentRow(), 2);
    EXPECT_FALSE(table.bof() || table.eof());
}

TEST_F(RecordSetTest, FilteringKeepsStoredOrderAndDistinguishesCase) {
    open(makeDirectory({{"иванов"}, {"ИВАНОВ"}, {"ИВ"}, {"И"}, {"ИВ*"}}));
    table.setFiltered(true);
    EXPECT_EQ(table.recordCount(), 5); // the empty filter lets every record pass
    table.setFilter(cp("Nsa_famili = 'ИВ*'"));
    ASSERT_EQ(table.recordCount(), 3);
    EXPECT_EQ(utf8(table.rowText(0, kFamili)), "ИВАНОВ");
    EXPECT_EQ(utf8(table.rowText(1, kFamili)), "ИВ");
    EXPECT_EQ(utf8(table.rowText(2, kFamili)), "ИВ*");
    table.setFilter("");
    EXPECT_EQ(table.recordCount(), 5);
}

TEST_F(RecordSetTest, SettingFilteredAgainMakesTheFirstRecordCurrent) {
    openFive();
    table.setFiltered(true);
    table.moveBy(2);
    table.setFiltered(true);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_TRUE(table.bof());
}

TEST_F(RecordSetTest, AFilterThatDoesNotCompileChangesNothing) {
    openFive();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ИВ*'"));
    table.next();
    expectError([&] { table.setFilter("Nsa_nothing = 'A*'"); },
                "Table1: Field 'Nsa_nothing' not found");
    EXPECT_EQ(table.filter(), cp("Nsa_famili = 'ИВ*'"));
    EXPECT_EQ(table.recordCount(), 3);
    EXPECT_EQ(table.currentRow(), 1);
}

TEST_F(RecordSetTest, LocateSearchesTheViewFromItsFirstRecord) {
    openFive();
    table.last();
    EXPECT_TRUE(table.locate("nsa_famili", cp("ИВАН"), true));
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_FALSE(table.bof());
    EXPECT_FALSE(table.eof());

    EXPECT_TRUE(table.locate("Nsa_Initsi", cp("С"), true));
    EXPECT_EQ(current(), "СИДОРОВ");

    EXPECT_FALSE(table.locate("Nsa_Famili", cp("Я"), true));
    EXPECT_EQ(current(), "СИДОРОВ"); // nothing found: the current record stays
    EXPECT_FALSE(table.locate("Nsa_Famili", cp("ИВАН"), false)); // exact: no such surname

    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ИВАН*'"));
    EXPECT_FALSE(table.locate("Nsa_Famili", cp("П"), true)); // outside the view
    expectError([&] { table.locate("Nsa_Nothing", "A", true); },
                "Table1: Field 'Nsa_Nothing' not found");
}

TEST_F(RecordSetTest, APostedEditIsStoredAndCountsAsAChangeOnlyWhenAValueDiffers) {
    openFive();
    table.edit();
    table.setFieldText(kFamili, cp("ИВАНОВ"));
    EXPECT_TRUE(table.modified());
    table.post();
    EXPECT_FALSE(table.changed()); // every value as it was

    table.edit();
    table.setFieldText(kInitsi, cp("Я.Я."));
    EXPECT_EQ(utf8(table.rowText(0, kInitsi)), "Я.Я."); // the pending value shows
    table.next();                                       // a move posts
    EXPECT_EQ(table.state(), RecordSet::State::Browse);
    EXPECT_TRUE(table.changed());
    EXPECT_EQ(utf8(table.rowText(0, kInitsi)), "Я.Я.");
}

TEST_F(RecordSetTest, AnUntouchedEditReturnsToBrowsingAndCancelRestores) {
    openFive();
    table.edit();
    table.next();
    EXPECT_EQ(table.state(), RecordSet::State::Browse);
    EXPECT_FALSE(table.changed());

    table.edit();
    table.setFieldText(kFamili, cp("НОВЫЙ"));
    table.cancel();
    EXPECT_EQ(current(), "ПЕТРОВ");
    EXPECT_FALSE(table.changed());
}

TEST_F(RecordSetTest, InsertPlacesANewRecordBeforeTheCurrentOneInStoredOrder) {
    openFive();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'ИВ*'"));
    table.next(); // ИВАНОВА, the third record in stored order
    table.insert();
    EXPECT_EQ(table.state(), RecordSet::State::Insert);
    EXPECT_EQ(table.currentRow(), 1);
    EXPECT_EQ(table.recordCount(), 4);
    table.setFieldText(kFamili, cp("НОВЫЙ"));
    table.post();
    EXPECT_TRUE(table.changed());
    EXPECT_EQ(current(), "НОВЫЙ"); // a posted record stays in the view until the next search

    const Directory& dir = table.directory();
    ASSERT_EQ(dir.order.size(), 6u);
    EXPECT_EQ(utf8(dir.columns.value(dir.order[2], kFamili)), "НОВЫЙ");
    EXPECT_EQ(utf8(dir.columns.value(dir.order[3], kFamili)), "ИВАНОВА");
}

TEST_F(RecordSetTest, AnUntouchedNewRecordIsDroppedByTheNextMove) {
    openFive();
    table.moveToRow(2);
    table.insert();
    table.next(); // dropped; the move then goes on from the record after it
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(table.state(), RecordSet::State::Browse);
    EXPECT_EQ(current(), "СИДОРОВ");
    EXPECT_FALSE(table.changed());

    table.append();
    EXPECT_EQ(table.currentRow(), 5);
    table.moveToRow(1); // a click on another row drops it too
    EXPECT_EQ(table.recordCount(), 5);
    EXPECT_EQ(current(), "ПЕТРОВ");
}

TEST_F(RecordSetTest, AClickBelowADroppedNewRecordLandsOnTheClickedRecord) {
    openFive();
    table.moveToRow(1);
    table.insert(); // rows: ИВАНОВ, new, ПЕТРОВ, ИВАНОВА, СИДОРОВ, ИВАНЦОВ
    table.moveToRow(4);
    EXPECT_EQ(current(), "СИДОРОВ");
}

TEST_F(RecordSetTest, AppendAddsAfterTheLastAndInsertWorksOnAnEmptyView) {
    openFive();
    table.setFiltered(true);
    table.setFilter(cp("Nsa_famili = 'Я*'"));
    ASSERT_EQ(table.recordCount(), 0);
    table.insert();
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.currentRow(), 0);
    table.setFieldText(kFamili, cp("ЯКОВЛЕВ"));
    table.append(); // posts the first, starts another at the end
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_EQ(table.currentRow(), 1);
    table.cancel();
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(current(), "ЯКОВЛЕВ");
    EXPECT_EQ(utf8(table.directory().columns.value(table.directory().order.back(), kFamili)),
              "ЯКОВЛЕВ");
}

TEST_F(RecordSetTest, DeleteMakesANeighbourCurrent) {
    openFive();
    table.moveToRow(1);
    table.deleteRecord();
    EXPECT_EQ(current(), "ИВАНОВА"); // the next one
    EXPECT_TRUE(table.changed());
    table.last();
    table.deleteRecord();
    EXPECT_EQ(current(), "СИДОРОВ"); // the last one gone: the one before
    EXPECT_EQ(table.recordCount(), 3);
    table.deleteRecord();
    table.deleteRecord();
    table.deleteRecord();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.bof() && table.eof());
    expectError([&] { table.deleteRecord(); },
                "Table1: Cannot perform this operation on an empty dataset");
}

TEST_F(RecordSetTest, DeletingANewRecordOnlyDropsIt) {
    Directory dir = makeDirectory({{"А"}, {"Б"}});
    dir.markers.disableDeletes = true;
    open(std::move(dir));
    table.insert();
    table.setFieldText(kFamili, cp("В"));
    table.deleteRecord();
    EXPECT_EQ(table.recordCount(), 2);
    EXPECT_FALSE(table.changed());
}

TEST_F(RecordSetTest, MarkersRefuseTheirOperationsWithTheirMessages) {
    Directory dir = makeDirectory({{"А"}});
    dir.markers.disableEdits = true;
    dir.markers.disableInserts = true;
    dir.markers.disableDeletes = true;
    open(std::move(dir));
    expectError([&] { table.edit(); }, "Table1: Modifications are not allowed");
    expectError([&] { table.insert(); }, "Table1: Inserts are not allowed");
    expectError([&] { table.append(); }, "Table1: Inserts are not allowed");
    expectError([&] { table.deleteRecord(); }, "Table1: Deletes are not allowed");
    EXPECT_EQ(table.state(), RecordSet::State::Browse);
    EXPECT_EQ(table.recordCount(), 1);
}

TEST_F(RecordSetTest, AReadOnlySetAndReadOnlyFieldsRefuseChanges) {
    Directory dir = makeDirectory({{"А"}});
    dir.markers.readOnly = true;
    open(std::move(dir));
    EXPECT_FALSE(table.canModify());
    expectError([&] { table.edit(); }, "Table1: Cannot modify a read-only dataset");
    expectError([&] { table.insert(); }, "Table1: Cannot modify a read-only dataset");
    table.close();

    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kFamili].readOnly = true;
    open(makeDirectory({{"А"}}, fields));
    table.edit();
    expectError([&] { table.setFieldText(kFamili, "B"); }, "Field 'Nsa_famili' cannot be modified");
    table.setFieldText(kInitsi, "B");
    table.post();
    EXPECT_EQ(table.fieldText(kInitsi), "B");
}

TEST_F(RecordSetTest, ValuesLongerThanTheFieldWidthAreRefused) {
    openFive();
    table.edit();
    table.setFieldText(kInitsi, "123456"); // width 6
    expectError([&] { table.setFieldText(kInitsi, "1234567"); },
                "Value too long for field 'Nsa_initsi'");
}

TEST_F(RecordSetTest, ARequiredFieldKeepsTheRecordPendingAndStopsTheMove) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kFamili].required = true;
    open(makeDirectory({{"А"}, {"Б"}}, fields));
    table.insert();
    table.setFieldText(kInitsi, "X");
    try {
        table.next();
        ADD_FAILURE() << "the post should fail";
    } catch (const RequiredFieldError& e) {
        EXPECT_STREQ(e.what(), "Field 'Nsa_famili' must have a value");
        EXPECT_EQ(e.field(), kFamili);
    }
    EXPECT_EQ(table.state(), RecordSet::State::Insert);
    EXPECT_EQ(table.currentRow(), 0);
    table.setFieldText(kFamili, "C");
    table.next();
    EXPECT_EQ(table.state(), RecordSet::State::Browse);
    EXPECT_EQ(table.recordCount(), 3);
}

TEST_F(RecordSetTest, ListenersAreAskedForEditorTextBeforeAPost) {
    struct Editor : RecordSetListener {
        RecordSet* table = nullptr;
        std::string pending;
        int resets = 0;
        void updateRecord() override {
            if (!pending.empty())
                table->setFieldText(kFamili, std::exchange(pending, {}));
        }
        void viewReset() override { ++resets; }
    } editor;
    editor.table = &table;
    openFive();
    table.addListener(&editor);
    table.edit();
    editor.pending = "TYPED"; // typed into a cell, not yet taken into the record
    table.setFiltered(true);  // a search posts first
    EXPECT_EQ(table.rowText(0, kFamili), "TYPED");
    EXPECT_TRUE(table.changed());
    EXPECT_EQ(editor.resets, 1);
    table.removeListener(&editor);
}

TEST_F(RecordSetTest, AListenerMayRemoveItselfOrAnotherWhileBeingTold) {
    struct Counting : RecordSetListener {
        RecordSet* table = nullptr;
        Counting* removes = nullptr; // removed when this one is told
        int moves = 0;
        void currentMoved(int, int, MoveKind) override {
            ++moves;
            if (removes) {
                table->removeListener(removes);
                removes = nullptr;
            }
        }
    } first, second, third;
    openFive();
    for (Counting* l : {&first, &second, &third}) {
        l->table = &table;
        table.addListener(l);
    }
    first.removes = &first;  // itself
    second.removes = &third; // one not told yet
    table.next();
    table.next();
    EXPECT_EQ(first.moves, 1);
    EXPECT_EQ(second.moves, 2);
    EXPECT_EQ(third.moves, 0);
    table.addListener(&first); // back again, told once more
    table.next();
    EXPECT_EQ(first.moves, 2);
    table.removeListener(&first);
    table.removeListener(&second);
}

} // namespace
} // namespace lambreya
