// Editing the directory in the grid, driven by keys and clicks on the real window.
#include "form_fixture.h"

#include "data/byte_writer.h"
#include "data/stored_form.h"
#include "ui/grid_cell_editor.h"
#include "ui/window_parts.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

namespace lambreya::test {
namespace {

using State = RecordSet::State;

constexpr int kFamili = 0;
constexpr int kInitsi = 1;
constexpr int kStreet = 2;
constexpr int kPrim = 6;

Directory fiveRecords() {
    return directoryOf({{"ИВАНОВ", "И.И.", "ЛЕНИНА"},
                        {"ПЕТРОВ", "П.П.", "МИРА"},
                        {"СИДОРОВ", "С.С.", "САДОВАЯ"},
                        {"КУЗНЕЦОВ", "К.К.", "ЛЕСНАЯ"},
                        {"ОРЛОВ", "О.О.", "ПОЛЕВАЯ"}});
}

// What a confirmation box showed, and which button was pressed.
struct SeenBox {
    bool shown = false;
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString defaultButton;
    QStringList buttons;
};

class GridEditingTest : public FormTest {
protected:
    void openEditing(Directory directory) {
        openWindow(std::move(directory));
        form().mmView_Mode_EditClick();
        ASSERT_EQ(focus(), &grid());
    }

    // The value the record set has stored (not a pending change) at a place in stored
    // order.
    std::string stored(std::size_t place, int field) const {
        const Directory& dir = m_form->Table1.directory();
        return utf8(dir.columns.value(dir.order[place], static_cast<std::size_t>(field)));
    }
    std::string shown(int row, int field) const { return utf8(m_form->Table1.rowText(row, field)); }
    std::size_t storedCount() const { return m_form->Table1.directory().order.size(); }

    GridCellEditor* editor() { return grid().cellEditor(); }
    int column() { return grid().currentIndex().column(); }

    // A window in the edit mode over a data file that holds `bytes`.
    void openEditingFile(const QString& path, const Bytes& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        file.close();
        m_form = std::make_unique<TLambreyaForm>(&m_help);
        table().setFileName(path);
        table().open();
        openWindowClosed();
        form().mmView_Mode_EditClick();
    }
    static std::string fileBytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    // Presses `key` and answers the confirmation box it opens with the button `answer`
    // ("OK", "Cancel"; "Esc" presses Esc, "close" closes the box).
    SeenBox pressAnswering(int key, Qt::KeyboardModifiers modifiers, const QString& answer) {
        SeenBox seen;
        // The answer is given while the key's handler waits for it, or never.
        QObject during;
        QTimer::singleShot(0, &during, [&seen, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.shown = true;
            seen.caption = box->windowTitle();
            seen.text = box->text();
            seen.icon = box->icon();
            if (box->defaultButton())
                seen.defaultButton = box->defaultButton()->text();
            for (QAbstractButton* b : box->buttons())
                seen.buttons << b->text();
            if (answer == QStringLiteral("Esc")) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (answer == QStringLiteral("close")) {
                box->close();
            } else {
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == answer)
                        b->click();
                }
            }
        });
        press(key, modifiers);
        // Closing a box leaves no window active on this platform; a window manager would
        // give the activation back.
        QApplication::setActiveWindow(m_form.get());
        return seen;
    }

    void expectError(const std::string& message) {
        const std::vector<std::string> errors = takeEscapedErrors();
        ASSERT_EQ(errors.size(), 1u) << "expected: " << message;
        EXPECT_EQ(errors.front(), message);
    }
    void expectNoError() {
        const std::vector<std::string> errors = takeEscapedErrors();
        EXPECT_TRUE(errors.empty()) << errors.front();
    }

    QTemporaryDir m_folder;
};

TEST_F(GridEditingTest, DownOnTheLastRecordAddsABlankRowThatUpRemoves) {
    openEditing(fiveRecords());
    const QString status = form().Label2->text();
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    EXPECT_EQ(table().recordCount(), 6);
    EXPECT_EQ(table().currentRow(), 5);
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(grid().model()->rowCount(), 6);
    EXPECT_EQ(shown(5, kFamili), "");
    // Nothing typed: Down does nothing more.
    press(Qt::Key_Down);
    EXPECT_EQ(table().recordCount(), 6);
    EXPECT_EQ(table().currentRow(), 5);

    press(Qt::Key_Up);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ОРЛОВ"); // the record above, not one further
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_FALSE(table().changed());
    EXPECT_EQ(form().Label2->text(), status);

    // PgDn never adds one.
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_PageDown);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(table().state(), State::Browse);
}

TEST_F(GridEditingTest, ASurnameTypedIntoTheBlankRowIsStoredAsTypedByDown) {
    openEditing(fiveRecords());
    const QString status = form().Label2->text();
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    type(QStringLiteral("Смирнова-Ёлкина"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(focus(), editor());
    EXPECT_EQ(editor()->text(), QStringLiteral("Смирнова-Ёлкина"));
    EXPECT_EQ(storedCount(), 6u); // placed, not yet stored
    EXPECT_EQ(stored(5, kFamili), "");

    press(Qt::Key_Down); // stores it and opens another blank row
    EXPECT_EQ(table().recordCount(), 7);
    EXPECT_EQ(table().currentRow(), 6);
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(stored(5, kFamili), "Смирнова-Ёлкина"); // letter case as typed
    EXPECT_TRUE(table().changed());
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(focus(), &grid());
    EXPECT_EQ(form().Label2->text(), status); // the match count waits for the next search
}

TEST_F(GridEditingTest, DownOnAnUntouchedNewRecordInTheMiddleDropsItAndGoesNoFurther) {
    openEditing(fiveRecords());
    press(Qt::Key_Down);
    press(Qt::Key_Down); // СИДОРОВ
    press(Qt::Key_Insert);
    EXPECT_EQ(table().recordCount(), 6);
    EXPECT_EQ(table().currentRow(), 2);
    EXPECT_EQ(table().state(), State::Insert);
    press(Qt::Key_Down);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "СИДОРОВ");
    EXPECT_EQ(table().currentRow(), 2);
    press(Qt::Key_Insert);
    press(Qt::Key_Up); // dropped too, and the record above it becomes current
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ПЕТРОВ");
    press(Qt::Key_Down);

    // Typed into, the new record takes its place before the current one.
    press(Qt::Key_Insert);
    type(QStringLiteral("Новиков"));
    press(Qt::Key_Up);
    EXPECT_EQ(current(), "ПЕТРОВ");
    EXPECT_EQ(stored(2, kFamili), "Новиков");
    EXPECT_EQ(stored(3, kFamili), "СИДОРОВ");
}

TEST_F(GridEditingTest, TabGoesThroughTheCellsAndAddsARecordPastTheLast) {
    openEditing(fiveRecords());
    press(Qt::Key_Tab);
    EXPECT_EQ(column(), 1);
    EXPECT_EQ(focus(), &grid());
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(column(), 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier); // before the first record's first column
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(table().currentRow(), 0);

    press(Qt::Key_End);
    EXPECT_EQ(column(), 6);
    press(Qt::Key_Tab);
    EXPECT_EQ(table().currentRow(), 1);
    EXPECT_EQ(column(), 0);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(table().currentRow(), 0);
    EXPECT_EQ(column(), 6);

    // With the editor open too.
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    type(QStringLiteral("x"));
    press(Qt::Key_Tab);
    EXPECT_EQ(table().recordCount(), 6);
    EXPECT_EQ(table().currentRow(), 5);
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(stored(4, kPrim), "x");
    // Back from the untouched new record: it goes, the last column of the record above.
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ОРЛОВ");
    EXPECT_EQ(column(), 6);
}

TEST_F(GridEditingTest, EnterF2AndTypingOpenTheEditorAsEachShould) {
    openEditing(fiveRecords());
    press(Qt::Key_Return);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->selectedText(), QStringLiteral("ИВАНОВ"));
    EXPECT_EQ(table().state(), State::Browse); // opening changes nothing
    press(Qt::Key_Return);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Browse);

    press(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    EXPECT_FALSE(editor()->hasSelectedText());
    EXPECT_EQ(editor()->cursorPosition(), 6);
    type(QStringLiteral("а"));
    EXPECT_EQ(editor()->text(), QStringLiteral("ИВАНОВа"));
    EXPECT_EQ(table().state(), State::Edit);
    press(Qt::Key_Home);
    press(Qt::Key_Right, Qt::ControlModifier);
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Left);
    press(Qt::Key_F3);                  // of no use to the editor, nor to the grid
    EXPECT_EQ(table().currentRow(), 0); // caret keys stay in the text
    EXPECT_EQ(column(), 0);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->cursorPosition(), 6);
    press(Qt::Key_Return); // taken into the record, not stored
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(shown(0, kFamili), "ИВАНОВа");
    EXPECT_EQ(stored(0, kFamili), "ИВАНОВ");
    EXPECT_EQ(table().state(), State::Edit);

    press(Qt::Key_Right);
    type(QStringLiteral("Б"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("Б")); // the character replaced the text
    press(Qt::Key_Return);
    press(Qt::Key_Right);
    press(Qt::Key_Backspace);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QString());
    press(Qt::Key_Down);
    EXPECT_EQ(stored(0, kFamili), "ИВАНОВа");
    EXPECT_EQ(stored(0, kInitsi), "Б");
    EXPECT_EQ(stored(0, kStreet), "");
    EXPECT_EQ(current(), "ПЕТРОВ");
}

TEST_F(GridEditingTest, EscFirstRestoresTheCellThenUndoesTheRecord) {
    openEditing(fiveRecords());
    type(QStringLiteral("Z"));
    press(Qt::Key_Return);
    press(Qt::Key_Right);
    type(QStringLiteral("Y"));
    press(Qt::Key_Escape);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(shown(0, kInitsi), "И.И.");
    EXPECT_EQ(shown(0, kFamili), "Z");
    EXPECT_EQ(table().state(), State::Edit);
    press(Qt::Key_Escape);
    EXPECT_EQ(shown(0, kFamili), "ИВАНОВ");
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_FALSE(table().changed());

    // Esc with an unchanged editor undoes the record at once; a new record disappears.
    press(Qt::Key_Insert);
    type(QStringLiteral("Q"));
    press(Qt::Key_Return);
    press(Qt::Key_F2);
    press(Qt::Key_Escape);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ИВАНОВ");
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(GridEditingTest, AChangeStaysPendingInASearchBoxAndTheNextSearchStoresIt) {
    openEditing(fiveRecords());
    press(Qt::Key_Down);
    type(QStringLiteral("Петров-Водкин"));
    QTest::mouseClick(form().Edit3_Street, Qt::LeftButton);
    EXPECT_EQ(focus(), form().Edit3_Street);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Edit);
    EXPECT_EQ(shown(1, kFamili), "Петров-Водкин"); // taken into the record
    EXPECT_EQ(stored(1, kFamili), "ПЕТРОВ");       // not stored

    type(QStringLiteral("м"));
    press(Qt::Key_Return); // leaves the box: the search runs
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(stored(1, kFamili), "Петров-Водкин");
    EXPECT_EQ(table().recordCount(), 1);
}

TEST_F(GridEditingTest, AChangePendingIsStoredByALocateWhileTyping) {
    openEditing(fiveRecords());
    form().mmOptions_InstantSearch->trigger();
    type(QStringLiteral("Иванов"));
    QTest::mouseClick(form().Edit1_Famili, Qt::LeftButton);
    EXPECT_EQ(table().state(), State::Edit);
    type(QStringLiteral("С"));
    EXPECT_EQ(stored(0, kFamili), "Иванов");
    EXPECT_EQ(current(), "СИДОРОВ");
}

TEST_F(GridEditingTest, AChangePendingAcrossF9IsStoredByDownInASearchBox) {
    openEditing(fiveRecords());
    type(QStringLiteral("Иванов"));
    press(Qt::Key_F9);
    EXPECT_TRUE(form().viewMode());
    EXPECT_EQ(focus(), form().Edit1_Famili);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Edit);
    EXPECT_EQ(shown(0, kFamili), "Иванов");
    EXPECT_EQ(stored(0, kFamili), "ИВАНОВ");

    press(Qt::Key_Down);
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(stored(0, kFamili), "Иванов");
    EXPECT_EQ(current(), "ПЕТРОВ");
}

TEST_F(GridEditingTest, EscInTheViewModeUndoesAChangeLeftPending) {
    openEditing(fiveRecords());
    type(QStringLiteral("Иванов"));
    press(Qt::Key_F9);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      grid().visualRect(grid().model()->index(0, 2)).center());
    ASSERT_EQ(focus(), &grid());
    type(QStringLiteral("x")); // the view mode types nothing
    press(Qt::Key_F2);
    EXPECT_EQ(editor(), nullptr);
    press(Qt::Key_Escape);
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(shown(0, kFamili), "ИВАНОВ");
}

TEST_F(GridEditingTest, TypingIntoAnEmptyViewStartsANewRecord) {
    openEditing(fiveRecords());
    QTest::mouseClick(form().Edit1_Famili, Qt::LeftButton);
    type(QStringLiteral("ЯЯ"));
    press(Qt::Key_Return);
    ASSERT_EQ(table().recordCount(), 0);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    ASSERT_EQ(focus(), &grid());
    press(Qt::Key_Down); // nothing to go down from
    EXPECT_EQ(table().recordCount(), 0);
    type(QStringLiteral("Яковлев"));
    EXPECT_EQ(table().recordCount(), 1);
    EXPECT_EQ(table().state(), State::Insert);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("Яковлев"));
    press(Qt::Key_Return);
    QTest::mouseClick(form().Label1, Qt::LeftButton); // the search again: stores it
    EXPECT_EQ(table().recordCount(), 1);
    EXPECT_EQ(stored(5, kFamili), "Яковлев");
}

TEST_F(GridEditingTest, TheEditorTakesNoMoreThanTheFieldWidthAndOnlyCodePage1251) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kFamili].width = 20;
    Directory dir = fiveRecords();
    dir.fields = fields;
    openEditing(std::move(dir));
    type(QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), QStringLiteral("abcdefghijklmnopqrst"));
    editor()->clear();
    type(QStringLiteral("é中ж€"));
    EXPECT_EQ(editor()->text(), QStringLiteral("ж€")); // the euro sign is in the code page
    press(Qt::Key_Escape);
    press(Qt::Key_Escape);
    type(QStringLiteral("中")); // a foreign character starts nothing
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Browse);
}

TEST_F(GridEditingTest, CtrlDelAsksFirstInTheViewMode) {
    openWindow(fiveRecords());
    const QString status = form().Label2->text();
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      grid().visualRect(grid().model()->index(1, 2)).center());
    ASSERT_EQ(current(), "ПЕТРОВ");
    for (const char* keep : {"Cancel", "Esc", "close"}) {
        const SeenBox box =
            pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QString::fromLatin1(keep));
        EXPECT_TRUE(box.shown) << keep;
        EXPECT_EQ(table().recordCount(), 5) << keep;
    }
    const SeenBox box = pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK"));
    EXPECT_EQ(box.caption, QStringLiteral("Confirm"));
    EXPECT_EQ(box.text, QStringLiteral("Delete record?"));
    EXPECT_EQ(box.icon, QMessageBox::Question);
    EXPECT_EQ(box.defaultButton, QStringLiteral("OK"));
    EXPECT_EQ(box.buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")}));
    EXPECT_EQ(table().recordCount(), 4);
    EXPECT_EQ(current(), "СИДОРОВ");
    EXPECT_EQ(storedCount(), 4u);
    EXPECT_TRUE(table().changed());
    EXPECT_EQ(form().Label2->text(), status);

    // Del alone, typing, Ins, F2 and Enter change nothing here.
    press(Qt::Key_Delete);
    type(QStringLiteral("a"));
    press(Qt::Key_Insert);
    press(Qt::Key_F2);
    press(Qt::Key_Return);
    EXPECT_EQ(table().recordCount(), 4);
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(editor(), nullptr);
}

TEST_F(GridEditingTest, CtrlDelOnANewRecordOrWithTheEditorOpenDropsThePendingChange) {
    openEditing(fiveRecords());
    press(Qt::Key_Insert);
    type(QStringLiteral("Новый"));
    pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("Cancel"));
    ASSERT_NE(editor(), nullptr); // kept, with its text
    EXPECT_EQ(editor()->text(), QStringLiteral("Новый"));
    pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK"));
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ИВАНОВ");
    EXPECT_FALSE(table().changed());
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(focus(), &grid()); // not passed on by the hidden editor

    // With no record visible nothing is asked.
    QTest::mouseClick(form().Edit1_Famili, Qt::LeftButton);
    type(QStringLiteral("Я"));
    press(Qt::Key_Return);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton);
    const SeenBox box = pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK"));
    EXPECT_FALSE(box.shown);
}

TEST_F(GridEditingTest, AClickMakesTheCellCurrentAndASecondOpensItsEditor) {
    openEditing(fiveRecords());
    const auto cell = [this](int row, int col) {
        return grid().visualRect(grid().model()->index(row, col)).center();
    };
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell(2, 3));
    EXPECT_EQ(table().currentRow(), 2);
    EXPECT_EQ(column(), 3);
    EXPECT_EQ(editor(), nullptr);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, cell(2, 3));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->column(), 3);
    EXPECT_EQ(editor()->geometry(), grid().visualRect(grid().model()->index(2, 3)));

    // A changed cell, then a click on another row: posted, and the editor is gone.
    editor()->selectAll();
    type(QStringLiteral("12"));
    QTest::mouseDClick(grid().viewport(), Qt::LeftButton, {}, cell(4, 0));
    EXPECT_EQ(stored(2, 3), "12");
    EXPECT_EQ(table().currentRow(), 4);
    EXPECT_EQ(column(), 0);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(table().state(), State::Browse);

    // A click beside the rows takes the editor's text: the new record is typed into.
    press(Qt::Key_Down);
    type(QStringLiteral("Новый"));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(40, 300));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(focus(), &grid());
    press(Qt::Key_Up);
    EXPECT_EQ(table().recordCount(), 6);
    EXPECT_EQ(stored(5, kFamili), "Новый");
}

TEST_F(GridEditingTest, TheMarkersRefuseTheirChangesWithTheirMessages) {
    Directory dir = fiveRecords();
    dir.markers.disableEdits = true;
    dir.markers.disableInserts = true;
    dir.markers.disableDeletes = true;
    openEditing(std::move(dir));

    type(QStringLiteral("a"));
    expectError("Table1: Modifications are not allowed");
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(editor(), nullptr);

    press(Qt::Key_Insert);
    expectError("Table1: Inserts are not allowed");
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    expectError("Table1: Inserts are not allowed");
    press(Qt::Key_End);
    press(Qt::Key_Tab);
    expectError("Table1: Inserts are not allowed");
    EXPECT_EQ(table().recordCount(), 5);

    const SeenBox box = pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK"));
    EXPECT_TRUE(box.shown);
    expectError("Table1: Deletes are not allowed");
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(current(), "ОРЛОВ");
}

TEST_F(GridEditingTest, AReadOnlySetRefusesEverythingWithoutAWord) {
    Directory dir = fiveRecords();
    dir.markers.readOnly = true;
    openEditing(std::move(dir));
    type(QStringLiteral("a"));
    press(Qt::Key_Backspace);
    press(Qt::Key_Insert);
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    press(Qt::Key_End);
    press(Qt::Key_Tab);
    const SeenBox box = pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK"));
    EXPECT_FALSE(box.shown);
    EXPECT_EQ(table().recordCount(), 5);
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_EQ(current(), "ОРЛОВ");

    // The editor opens to look at the text, but takes nothing.
    press(Qt::Key_Home);
    press(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    type(QStringLiteral("a"));
    press(Qt::Key_V, Qt::ControlModifier);
    press(Qt::Key_Delete);
    EXPECT_EQ(editor()->text(), QStringLiteral("ОРЛОВ"));
    EXPECT_EQ(table().state(), State::Browse);
    EXPECT_FALSE(table().changed());
}

TEST_F(GridEditingTest, AReadOnlyFieldRefusesTypingTheOthersTakeIt) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kFamili].readOnly = true;
    Directory dir = fiveRecords();
    dir.fields = fields;
    openEditing(std::move(dir));
    type(QStringLiteral("a"));
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Browse);
    press(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    press(Qt::Key_Backspace);
    EXPECT_EQ(editor()->text(), QStringLiteral("ИВАНОВ"));
    EXPECT_EQ(table().state(), State::Browse);
    press(Qt::Key_Tab);
    type(QStringLiteral("Б."));
    press(Qt::Key_Down);
    EXPECT_EQ(stored(0, kInitsi), "Б.");
    EXPECT_EQ(stored(0, kFamili), "ИВАНОВ");
}

TEST_F(GridEditingTest, AnEmptyRequiredFieldKeepsTheRecordAndOpensItsCell) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kFamili].required = true;
    Directory dir = fiveRecords();
    dir.fields = fields;
    openEditing(std::move(dir));
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    press(Qt::Key_Tab);
    type(QStringLiteral("А.Б."));
    press(Qt::Key_Down);
    expectError("Field 'Nsa_famili' must have a value");
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(table().recordCount(), 6); // no further new record
    EXPECT_EQ(table().currentRow(), 5);
    EXPECT_EQ(shown(5, kInitsi), "А.Б.");
    EXPECT_EQ(column(), kFamili);
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->column(), kFamili);
    EXPECT_EQ(focus(), editor());

    // A search posts too: the grid takes the focus back from the box.
    QTest::mouseClick(form().Edit2_Initsi, Qt::LeftButton);
    EXPECT_EQ(table().state(), State::Insert);
    type(QStringLiteral("А"));
    press(Qt::Key_Return);
    expectError("Field 'Nsa_famili' must have a value");
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(focus(), editor());
    EXPECT_EQ(table().recordCount(), 6);

    type(QStringLiteral("Белов"));
    press(Qt::Key_Up);
    expectNoError();
    EXPECT_EQ(stored(5, kFamili), "Белов");
    EXPECT_EQ(stored(5, kInitsi), "А.Б.");
}

TEST_F(GridEditingTest, ARequiredFieldInTheViewModeTakesTheFocusAndColumnOnly) {
    std::vector<FieldDef> fields = standardDirectoryFields();
    fields[kStreet].required = true;
    Directory dir = fiveRecords();
    dir.fields = fields;
    openEditing(std::move(dir));
    press(Qt::Key_Insert);
    type(QStringLiteral("Белов"));
    press(Qt::Key_F9);
    press(Qt::Key_Down); // in the search box: moves the record, which posts
    expectError("Field 'Nsa_street' must have a value");
    EXPECT_EQ(focus(), &grid());
    EXPECT_EQ(column(), kStreet);
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(table().state(), State::Insert);
    EXPECT_EQ(table().currentRow(), 0);
}

TEST_F(GridEditingTest, TheWheelStopsAtARecordThatCannotBePosted) {
    Directory dir = numberedDirectory(100);
    dir.fields[kFamili].required = true;
    openEditing(std::move(dir));
    press(Qt::Key_Insert);
    press(Qt::Key_Tab);
    type(QStringLiteral("X"));
    const auto wheel = [this] {
        QWheelEvent event(QPointF(50, 50), grid().viewport()->mapToGlobal(QPointF(50, 50)),
                          QPoint(), QPoint(0, -120 * 10), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid().viewport(), &event);
    };
    wheel();
    expectError("Field 'Nsa_famili' must have a value");
    EXPECT_EQ(table().currentRow(), 0);
    EXPECT_EQ(grid().verticalScrollBar()->value(), 0); // the record back in sight
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->column(), kFamili);

    type(QStringLiteral("Белов"));
    wheel(); // now it moves, and the grid follows the record set again
    EXPECT_GT(table().currentRow(), 0);
    EXPECT_EQ(stored(0, kFamili), "Белов");
    press(Qt::Key_Down);
    EXPECT_EQ(grid().currentIndex().row(), table().currentRow());
}

// The directory goes to a data file and back: every posted change reaches it at the end,
// a change still pending does not.
TEST_F(GridEditingTest, OnlyPostedChangesReachTheDataFile) {
    const QString path = m_folder.filePath(QStringLiteral("kalvest.cds"));
    openEditingFile(path, storeDirectory(fiveRecords(), StoredForm::Binary));
    type(QStringLiteral("Иванова")); // ИВАНОВ changed
    press(Qt::Key_Down);
    press(Qt::Key_Insert); // before ПЕТРОВ
    type(QStringLiteral("Алексеев"));
    press(Qt::Key_Down);
    EXPECT_EQ(current(), "ПЕТРОВ");
    pressAnswering(Qt::Key_Delete, Qt::ControlModifier, QStringLiteral("OK")); // ПЕТРОВ
    EXPECT_EQ(current(), "СИДОРОВ");
    press(Qt::Key_End, Qt::ControlModifier);
    press(Qt::Key_Down);
    type(QStringLiteral("Последний"));
    press(Qt::Key_Down); // stored; the next blank row stays untouched
    press(Qt::Key_Up);
    press(Qt::Key_Up); // КУЗНЕЦОВ
    type(QStringLiteral("не сохранится"));
    press(Qt::Key_Return);
    ASSERT_EQ(table().state(), State::Edit);

    table().close();
    const std::string bytes = fileBytes(path);
    const Directory back = parseDirectory(bytes);
    std::vector<std::string> surnames;
    for (const RecordId id : back.order)
        surnames.push_back(utf8(back.columns.value(id, kFamili)));
    EXPECT_EQ(surnames, (std::vector<std::string>{"Иванова", "Алексеев", "СИДОРОВ", "КУЗНЕЦОВ",
                                                  "ОРЛОВ", "Последний"}));
}

TEST_F(GridEditingTest, AChangeLeftPendingAloneDoesNotTouchTheDataFile) {
    const QString path = m_folder.filePath(QStringLiteral("kalvest.xml"));
    const Bytes original = storeDirectory(fiveRecords(), StoredForm::Xml);
    openEditingFile(path, original);
    type(QStringLiteral("Иванова"));
    press(Qt::Key_F9); // pending across the switch, then the program ends
    table().close();
    EXPECT_EQ(fileBytes(path), asView(original));
}

// The grid hears its data source by plain calls: what the grid throws while a record is
// about to be posted fails that post, and the record keeps its change.
TEST(DataSourceLink, AnErrorOfTheGridBeforeThePostFailsThePost) {
    struct FailingGrid : DataLink {
        void currentRecordMoved(int, int, MoveKind) override {}
        void recordStateChanged() override {}
        void updateRecordRequested() override { throw Error("the editor's text cannot go in"); }
    } grid;
    RecordSet table("Table1");
    table.openDirectory(directoryOf({{"ИВАНОВ"}, {"ПЕТРОВ"}}));
    DataSource source(table, {QStringLiteral("Nsa_famili")});
    source.setLink(&grid);
    table.edit();
    table.setFieldText(0, cp("СИДОРОВ"));
    EXPECT_THROW(table.next(), Error);
    EXPECT_EQ(table.state(), State::Edit);
    EXPECT_EQ(table.currentRow(), 0);
    EXPECT_EQ(utf8(table.fieldText(0)), "СИДОРОВ");
}

} // namespace
} // namespace lambreya::test
