// The search as the user works it in the main window: the boxes' keys, leaving a box, the
// caption click, instant search and the status line, driven by key and mouse events.
#include "form_fixture.h"

#include "data/error.h"
#include "search/filter_text.h"
#include "ui/search_box.h"
#include "ui/window_parts.h"

#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QWindow>

#include <functional>

namespace lambreya::test {
namespace {

// A small directory in stored order.
Directory streetDirectory() {
    return directoryOf({
        {"ПЕТРОВ", "А.Б.", "ЛЕНИНА", "1", "5", "111-11-11", ""},
        {"ИЛЬИН", "Е.Ж.", "МИРА", "9", "4", "", ""},
        {"ИВЛЕВ", "В.Г.", "САДОВАЯ", "3", "7", "", ""},
        {"ИВАНОВА", "В.Г.", "МИРА", "2", "12", "222-22-22", ""},
        {"ИВАНОВ", "А.А.", "ЛЕНИНА", "5", "12", "333-33-33", ""},
        {"СИДОРОВ", "Б.В.", "МИРА", "5", "1", "", ""},
        {"ИВАНЕНКО", "Г.Д.", "САДОВАЯ", "7", "3", "", "СЛУЖ."},
        {"ДАР'ЯЛОВ", "И.К.", "МИРА", "10", "8", "", ""},
        {"ИВАНОВ", "Б.Б.", "МИРА", "11", "12", "", ""},
    });
}

class SearchWindowTest : public FormTest {
protected:
    // A key as the keyboard gives it: the press and the release each go to the control
    // that has the focus at that moment, and the menu's shortcuts see the press first.
    // A box hands a release on after the events queued behind it: they are let through.
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form().windowHandle(), k, modifiers);
        QCoreApplication::sendPostedEvents();
    }
    void keyDown(Qt::Key k) { QTest::keyPress(form().windowHandle(), k); }
    void keyUp(Qt::Key k) {
        QTest::keyRelease(form().windowHandle(), k);
        QCoreApplication::sendPostedEvents();
    }

    // A key held down: the press repeats `presses` times, then the key comes up once. Each
    // repeat is a release and a press at one moment, marked as a repeat or, as a loaded
    // windowing system may leave them, not; the last release comes later.
    void hold(Qt::Key k, int presses, bool marked = true) {
        for (int i = 0; i < presses; ++i) {
            QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier, QString(), marked && i > 0);
            down.setTimestamp(1000 + 50 * i);
            QApplication::sendEvent(focus(), &down);
            if (i + 1 < presses) {
                QKeyEvent repeat(QEvent::KeyRelease, k, Qt::NoModifier, QString(), marked);
                repeat.setTimestamp(1000 + 50 * (i + 1));
                QApplication::sendEvent(focus(), &repeat);
            }
        }
        QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier);
        up.setTimestamp(1000 + 50 * presses + 20);
        QApplication::sendEvent(focus(), &up);
        QCoreApplication::sendPostedEvents();
    }

    // Presses and releases `k` in the focused box; true when the box's handlers took it
    // and the box itself never saw it.
    bool consumed(Qt::Key k) {
        QWidget* box = focus();
        QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(box, &down);
        const bool taken = down.isAccepted();
        QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier);
        QApplication::sendEvent(focus(), &up);
        QCoreApplication::sendPostedEvents();
        return taken;
    }

    SearchBox* box(int tabOrder) const {
        return m_form->searchBoxes()[static_cast<std::size_t>(tabOrder)];
    }
    SearchBox* focusedBox() const { return qobject_cast<SearchBox*>(focus()); }

    void instantSearch(bool on) { form().mmOptions_InstantSearch->setChecked(on); }
    std::string filter() const { return utf8(m_form->Table1.filter()); }
    int row() const { return m_form->Table1.currentRow(); }
    int count() { return table().recordCount(); }
    // Puts a mark into the status line, so that a search shows by writing over it.
    void markStatus() { form().Label2->setText(QStringLiteral("-")); }
    void clickCaption() { QTest::mouseClick(form().Label1, Qt::LeftButton); }
    void expectNoError() { EXPECT_EQ(takeEscapedErrors(), std::vector<std::string>{}); }
};

// --- Walking the row ------------------------------------------------------------------------

struct WalkRow {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int step; // +1: forward along the row, -1: backward
};

void PrintTo(const WalkRow& row, std::ostream* os) {
    *os << row.name;
}

class WalkTheRow : public SearchWindowTest, public testing::WithParamInterface<WalkRow> {};

TEST_P(WalkTheRow, SevenPressesComeBackToTheFirstBoxEachEnteredWithItsTextSelected) {
    openWindow(streetDirectory());
    const char* texts[] = {"ИВ", "А", "МИРА", "5", "12", "2", "СЛ"};
    for (int i = 0; i < kSearchBoxCount; ++i)
        box(i)->setText(QString::fromUtf8(texts[i]));
    box(0)->selectAll();
    int at = 0;
    for (int i = 1; i <= kSearchBoxCount; ++i) {
        key(GetParam().key, GetParam().modifiers);
        at = (at + GetParam().step + kSearchBoxCount) % kSearchBoxCount;
        ASSERT_EQ(focusedBox(), box(at)) << "press " << i;
        EXPECT_EQ(box(at)->selectedText(), box(at)->text()) << "press " << i;
    }
    EXPECT_EQ(focusedBox(), box(0));
    for (int i = 0; i < kSearchBoxCount; ++i)
        EXPECT_EQ(box(i)->text().toStdString(), texts[i]) << "the walk changed no text";
    expectNoError();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, WalkTheRow,
    testing::Values(WalkRow{"Enter", Qt::Key_Return, Qt::NoModifier, 1},
                    WalkRow{"KeypadEnter", Qt::Key_Enter, Qt::KeypadModifier, 1},
                    WalkRow{"Right", Qt::Key_Right, Qt::NoModifier, 1},
                    WalkRow{"Left", Qt::Key_Left, Qt::NoModifier, -1},
                    WalkRow{"ShiftEnter", Qt::Key_Return, Qt::ShiftModifier, 1},
                    WalkRow{"CtrlEnter", Qt::Key_Return, Qt::ControlModifier, 1},
                    WalkRow{"AltRight", Qt::Key_Right, Qt::AltModifier, 1},
                    WalkRow{"ShiftLeft", Qt::Key_Left, Qt::ShiftModifier, -1}),
    [](const testing::TestParamInfo<WalkRow>& row) { return std::string(row.param.name); });

TEST_F(SearchWindowTest, LeftAndRightLeaveABoxOnlyWithItsWholeTextSelectedOrWhenEmpty) {
    openWindow(streetDirectory());
    type(QStringLiteral("ИВАН")); // the caret at the end, nothing selected
    key(Qt::Key_Right);
    EXPECT_EQ(focusedBox(), box(0));
    key(Qt::Key_Left);
    EXPECT_EQ(focusedBox(), box(0));
    EXPECT_EQ(box(0)->cursorPosition(), 3); // the box moved its caret
    box(0)->setSelection(0, 3);             // part of the text
    key(Qt::Key_Right);
    EXPECT_EQ(focusedBox(), box(0));

    // Left from the first box goes to the last; the box left behind moves its caret.
    box(0)->selectAll();
    key(Qt::Key_Left);
    EXPECT_EQ(focusedBox(), box(6));
    EXPECT_FALSE(box(0)->hasSelectedText());
    EXPECT_EQ(box(0)->cursorPosition(), 3);
    // An empty box is left either way.
    key(Qt::Key_Right);
    EXPECT_EQ(focusedBox(), box(0));
}

TEST_F(SearchWindowTest, AClickedBoxKeepsTheCaretWhereTheClickPutIt) {
    openWindow(streetDirectory());
    box(2)->setText(QStringLiteral("ЛЕНИНА"));
    QTest::mouseClick(box(2), Qt::LeftButton, {}, QPoint(2, box(2)->height() / 2));
    ASSERT_EQ(focusedBox(), box(2));
    EXPECT_FALSE(box(2)->hasSelectedText());
    EXPECT_EQ(box(2)->cursorPosition(), 0);
    key(Qt::Key_Right); // not the whole text selected: the caret moves
    EXPECT_EQ(focusedBox(), box(2));
    EXPECT_EQ(box(2)->cursorPosition(), 1);
}

TEST_F(SearchWindowTest, BackspaceHeldClearsTheBoxesFromRightToLeftSearchingOnEachExit) {
    openWindow(streetDirectory());
    type(QStringLiteral("ИВ"));
    key(Qt::Key_Return);
    type(QStringLiteral("А"));
    key(Qt::Key_Return);
    ASSERT_EQ(filter(), "Nsa_famili = 'ИВ*' And Nsa_initsi = 'А*'");
    ASSERT_EQ(focusedBox(), box(2));

    // In the empty street box: to the initials, whose text is selected, then deleted.
    hold(Qt::Key_Backspace, 2);
    EXPECT_EQ(focusedBox(), box(1));
    EXPECT_EQ(box(1)->text(), QString());
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВ*' And Nsa_initsi = 'А*'"); // not left yet
    hold(Qt::Key_Backspace, 2);
    EXPECT_EQ(focusedBox(), box(0));
    EXPECT_EQ(box(0)->text(), QString());
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВ*'"); // the initials box ran the search on its exit
    hold(Qt::Key_Backspace, 1);
    EXPECT_EQ(focusedBox(), box(6)); // from the first box round to the last
    EXPECT_EQ(filter(), "");
    EXPECT_EQ(count(), 9);
    EXPECT_EQ(status(), "Найдено 9 записей");
    expectNoError();
}

// --- Up and Down --------------------------------------------------------------------------

TEST_F(SearchWindowTest, UpAndDownBrowseTheViewWhileTheFlagsAllow) {
    openWindow(streetDirectory());
    type(QStringLiteral("ИВ"));
    key(Qt::Key_Return);
    key(Qt::Key_Left); // back to the surname box, its text selected
    ASSERT_EQ(count(), 5);
    ASSERT_EQ(row(), 0);

    EXPECT_FALSE(consumed(Qt::Key_Up)); // at-start after the search
    EXPECT_TRUE(consumed(Qt::Key_Down));
    EXPECT_EQ(row(), 1);
    EXPECT_TRUE(consumed(Qt::Key_Up));
    EXPECT_EQ(row(), 0);
    EXPECT_TRUE(consumed(Qt::Key_Up)); // no record before: only sets at-start
    EXPECT_EQ(row(), 0);
    EXPECT_TRUE(table().bof());
    EXPECT_FALSE(consumed(Qt::Key_Up));

    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(consumed(Qt::Key_Down));
    EXPECT_EQ(row(), 4);
    EXPECT_TRUE(consumed(Qt::Key_Down)); // sets at-end without moving
    EXPECT_EQ(row(), 4);
    EXPECT_FALSE(consumed(Qt::Key_Down));
    EXPECT_EQ(box(0)->text(), QStringLiteral("ИВ"));
    EXPECT_EQ(focusedBox(), box(0));
}

TEST_F(SearchWindowTest, AViewOfOneRecordTakesOneDownAndAnEmptyViewNone) {
    openWindow(streetDirectory());
    type(QStringLiteral("ПЕ"));
    key(Qt::Key_Return);
    ASSERT_EQ(count(), 1);
    EXPECT_TRUE(consumed(Qt::Key_Down));
    EXPECT_TRUE(table().eof());
    EXPECT_EQ(row(), 0);
    EXPECT_FALSE(consumed(Qt::Key_Down));
    EXPECT_TRUE(consumed(Qt::Key_Up)); // at-start was cleared by the step
    EXPECT_FALSE(consumed(Qt::Key_Up));

    key(Qt::Key_Left);
    type(QStringLiteral("ЩЩ"));
    key(Qt::Key_Return);
    ASSERT_EQ(count(), 0);
    EXPECT_EQ(status(), "Найдено 0 записей");
    EXPECT_FALSE(consumed(Qt::Key_Up));
    EXPECT_FALSE(consumed(Qt::Key_Down));
    expectNoError();
}

TEST_F(SearchWindowTest, TheEditModeLeavesUpAndDownToTheBox) {
    openWindow(streetDirectory());
    form().mmView_Mode_EditClick();
    box(3)->setFocus();
    EXPECT_FALSE(consumed(Qt::Key_Down));
    EXPECT_FALSE(consumed(Qt::Key_Up));
    EXPECT_EQ(row(), 0);
    form().mmView_Mode_ViewClick();
    EXPECT_TRUE(consumed(Qt::Key_Down));
    EXPECT_EQ(row(), 1);
}

TEST_F(SearchWindowTest, ShiftCtrlAndAltChangeNoKeyOfTheBoxes) {
    openWindow(streetDirectory());
    key(Qt::Key_Return);
    key(Qt::Key_Backspace, Qt::ControlModifier); // empty: to the box before
    EXPECT_EQ(focusedBox(), box(0));
    key(Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(focusedBox(), box(6));
    key(Qt::Key_Down, Qt::ControlModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(row(), 2);
    key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(row(), 1);
    box(6)->setText(QStringLiteral("СЛУЖ."));
    box(6)->selectAll();
    key(Qt::Key_F2, Qt::ControlModifier);
    EXPECT_EQ(box(6)->cursorPosition(), 5);
    EXPECT_FALSE(box(6)->hasSelectedText());
    EXPECT_EQ(focusedBox(), box(6));
    expectNoError();
}

// --- F2 and Esc -----------------------------------------------------------------------------

TEST_F(SearchWindowTest, F2SwitchesBetweenTheWholeTextSelectedAndTheCaretAtItsEnd) {
    openWindow(streetDirectory());
    key(Qt::Key_F2); // an empty box: nothing changes
    EXPECT_EQ(box(0)->cursorPosition(), 0);
    EXPECT_FALSE(box(0)->hasSelectedText());

    box(0)->setText(QStringLiteral("ИВАНОВ"));
    box(0)->selectAll();
    key(Qt::Key_F2);
    EXPECT_FALSE(box(0)->hasSelectedText());
    EXPECT_EQ(box(0)->cursorPosition(), 6);
    key(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(box(0)->selectedText(), QStringLiteral("ИВАНОВ"));
    box(0)->setCursorPosition(2);
    key(Qt::Key_F2);
    EXPECT_EQ(box(0)->selectedText(), QStringLiteral("ИВАНОВ"));
    EXPECT_EQ(focusedBox(), box(0));
}

TEST_F(SearchWindowTest, EscInAnyBoxAsksTheWindowToClose) {
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ShiftModifier}) {
        openWindow(streetDirectory());
        box(4)->setFocus();
        int closeRequests = 0;
        struct CloseSpy : QObject {
            int* count;
            explicit CloseSpy(int* c)
                : count(c) {}
            bool eventFilter(QObject*, QEvent* e) override {
                *count += e->type() == QEvent::Close ? 1 : 0;
                return false;
            }
        } spy(&closeRequests);
        form().installEventFilter(&spy);
        key(Qt::Key_Escape, modifiers);
        EXPECT_EQ(closeRequests, 1);
        EXPECT_FALSE(form().isVisible());
        form().removeEventFilter(&spy);
        m_form.reset();
    }
}

// --- Leaving a box and the caption -----------------------------------------------------------

TEST_F(SearchWindowTest, LeavingAnUnchangedBoxRunsNothing) {
    openWindow(streetDirectory());
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    key(Qt::Key_Tab);
    key(Qt::Key_Left);
    EXPECT_EQ(row(), 1); // a search would have made the first record current
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(focus(), &grid());
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
    EXPECT_FALSE(table().filtered());
}

TEST_F(SearchWindowTest, LeavingAChangedBoxSearchesEvenWhenItsTextEndsAsItWas) {
    openWindow(streetDirectory());
    type(QStringLiteral("ИВ"));
    key(Qt::Key_Return);
    ASSERT_EQ(status(), "Найдено 5 записей");
    key(Qt::Key_Left);
    key(Qt::Key_Down);
    ASSERT_EQ(row(), 1);
    markStatus();

    // A letter typed and deleted again: the filter text is the same.
    key(Qt::Key_End);
    type(QStringLiteral("А"));
    key(Qt::Key_Backspace);
    EXPECT_TRUE(box(0)->modifiedMark());
    key(Qt::Key_Return);
    EXPECT_FALSE(box(0)->modifiedMark());
    EXPECT_EQ(row(), 0);
    EXPECT_EQ(status(), "Найдено 5 записей");
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВ*'");
}

TEST_F(SearchWindowTest, EveryChangeByTheUserSetsTheModifiedMark) {
    openWindow(streetDirectory());
    SearchBox* b = box(0);
    const auto leave = [&] {
        key(Qt::Key_Return);
        b->setFocus();
        b->selectAll();
    };
    struct Change {
        const char* name;
        std::function<void()> make;
    };
    const Change changes[] = {
        {"typing", [&] { type(QStringLiteral("и")); }},
        {"the same letter over itself", [&] { type(QStringLiteral("И")); }},
        {"Backspace", [&] { key(Qt::Key_Backspace); }},
        {"Delete", [&] { key(Qt::Key_Delete); }},
        {"cutting", [&] { key(Qt::Key_X, Qt::ControlModifier); }},
        {"pasting the same text",
         [&] {
             QApplication::clipboard()->setText(b->text());
             key(Qt::Key_V, Qt::ControlModifier);
         }},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        b->setText(QStringLiteral("И"));
        b->selectAll();
        change.make();
        EXPECT_TRUE(b->modifiedMark());
        clickCaption(); // the caption leaves the mark alone
        EXPECT_TRUE(b->modifiedMark());
        leave();
        EXPECT_FALSE(b->modifiedMark());
    }
    // Moving the caret and selecting change nothing.
    key(Qt::Key_Home);
    key(Qt::Key_End, Qt::ShiftModifier);
    key(Qt::Key_F2);
    EXPECT_FALSE(b->modifiedMark());
    expectNoError();
}

TEST_F(SearchWindowTest, TheCaptionSearchesInBothModesAndTheChangedBoxSearchesAgainOnExit) {
    openWindow(streetDirectory());
    type(QStringLiteral("ИВАН"));
    clickCaption();
    EXPECT_EQ(status(), "Найдено 4 записи");
    EXPECT_EQ(focusedBox(), box(0));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    ASSERT_EQ(row(), 2);
    markStatus();
    key(Qt::Key_Return); // its mark is still set
    EXPECT_EQ(row(), 0);
    EXPECT_EQ(status(), "Найдено 4 записи");

    form().mmView_Mode_EditClick();
    box(0)->setText(QStringLiteral("ИВАНОВ"));
    clickCaption();
    EXPECT_EQ(status(), "Найдено 3 записи");
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВАНОВ*'");
}

TEST_F(SearchWindowTest, AClickOnTheGridIsAnExitToo) {
    openWindow(streetDirectory());
    type(QStringLiteral("С"));
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(focus(), &grid());
    EXPECT_EQ(status(), "Найдена 1 запись");
    EXPECT_EQ(current(), "СИДОРОВ");
}

TEST_F(SearchWindowTest, TheMenuTakingTheKeyboardIsNoExit) {
    openWindow(streetDirectory());
    type(QStringLiteral("С"));
    key(Qt::Key_Alt);
    key(Qt::Key_Escape);
    form().mmView->popup(QPoint(0, 0));
    form().mmView->close();
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
    EXPECT_TRUE(box(0)->modifiedMark());
}

struct CountRow {
    int matches;
    const char* status;
};

class MatchCount : public SearchWindowTest, public testing::WithParamInterface<CountRow> {};

TEST_P(MatchCount, TheStatusLineAgreesWithTheNumberFound) {
    Directory dir = directoryOf({});
    for (int i = 0; i < 130; ++i) {
        const RecordId id = dir.columns.add();
        dir.columns.set(id, 0, cp(i < GetParam().matches ? "ОРЛОВ" : "ЮДИН"));
        dir.order.push_back(id);
    }
    openWindow(std::move(dir));
    type(QStringLiteral("ОР"));
    key(Qt::Key_Tab);
    EXPECT_EQ(status(), GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(Numbers, MatchCount,
                         testing::Values(CountRow{0, "Найдено 0 записей"},
                                         CountRow{1, "Найдена 1 запись"},
                                         CountRow{3, "Найдено 3 записи"},
                                         CountRow{112, "Найдено 112 записей"},
                                         CountRow{124, "Найдено 124 записи"}),
                         [](const testing::TestParamInfo<CountRow>& row) {
                             return "Of" + std::to_string(row.param.matches);
                         });

TEST_F(SearchWindowTest, AnApostropheKeepsItsLiteralOnlyWhileNoClauseFollows) {
    openWindow(streetDirectory());
    type(QStringLiteral("ДАР'Я"));
    key(Qt::Key_Return);
    EXPECT_EQ(status(), "Найдена 1 запись");
    EXPECT_EQ(current(), "ДАР'ЯЛОВ");

    type(QStringLiteral("И"));
    key(Qt::Key_Down); // the first record stays current whatever the failure
    key(Qt::Key_Return);
    const std::vector<std::string> errors = takeEscapedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Filter expression incorrectly terminated");
    EXPECT_EQ(shownMessage(errors[0]), "Filter expression incorrectly terminated.");
    EXPECT_EQ(status(), "Найдена 1 запись");
    EXPECT_EQ(filter(), "Nsa_famili = 'ДАР'Я*'");
    EXPECT_TRUE(table().filtered());
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(row(), 0);
    // The box lost its mark before the search failed: leaving it again retries nothing.
    EXPECT_EQ(focusedBox(), box(2));
    key(Qt::Key_Left);
    key(Qt::Key_Right);
    expectNoError();
    // The window goes on working: without the surname the text compiles.
    key(Qt::Key_Left);
    key(Qt::Key_Left);
    key(Qt::Key_Delete);
    key(Qt::Key_Return);
    EXPECT_EQ(filter(), "Nsa_initsi = 'И*'");
    EXPECT_EQ(status(), "Найдена 1 запись");
    EXPECT_EQ(current(), "ДАР'ЯЛОВ");
}

// --- Instant search ------------------------------------------------------------------------

TEST_F(SearchWindowTest, TypingMovesToTheFirstRecordThatBeginsWithTheText) {
    openWindow(streetDirectory());
    instantSearch(true);
    const char* expected[] = {"ИЛЬИН", "ИВЛЕВ", "ИВАНОВА"};
    const QString letters = QStringLiteral("ИВА");
    for (int i = 0; i < 3; ++i) {
        type(letters.mid(i, 1));
        EXPECT_EQ(current(), expected[i]) << i;
        EXPECT_EQ(row(), i + 1) << i;
    }
    type(QStringLiteral("НОВ "));
    EXPECT_EQ(row(), 3); // nobody begins with "ИВАНОВ ": the record stays, quietly
    key(Qt::Key_Backspace);
    EXPECT_EQ(row(), 3);
    type(QStringLiteral("Е"));
    EXPECT_EQ(row(), 3); // "ИВАНОВЕ": nobody either
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Backspace);
    type(QStringLiteral("Е"));
    EXPECT_EQ(current(), "ИВАНЕНКО");
    // Typing narrows nothing: the view and the status line stay as they were.
    EXPECT_FALSE(table().filtered());
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
    expectNoError();
}

TEST_F(SearchWindowTest, ALocatedRecordStandsInTheMiddleOfTheGrid) {
    openWindow(numberedDirectory(1000));
    instantSearch(true);
    type(QStringLiteral("ИВАНОВ700"));
    EXPECT_EQ(row(), 700);
    const int rows = grid().visibleRowCount();
    EXPECT_EQ(grid().verticalScrollBar()->value(), 700 - (rows - 1) / 2);
    EXPECT_EQ(grid().currentIndex().row(), 700);
}

TEST_F(SearchWindowTest, TheLocateSearchesTheViewOnly) {
    openWindow(streetDirectory());
    instantSearch(true);
    type(QStringLiteral("ИВАНОВ"));
    key(Qt::Key_Return); // the surname search; then the initials box locates with ""
    ASSERT_EQ(count(), 3);
    key(Qt::Key_Return);
    type(QStringLiteral("М")); // the first street of those surnames beginning with М
    EXPECT_EQ(current(), "ИВАНОВА");
    EXPECT_EQ(current(2), "МИРА");
    type(QStringLiteral("ИРА"));
    EXPECT_EQ(row(), 0);
    box(2)->clear();
    type(QStringLiteral("Л"));
    EXPECT_EQ(row(), 1);
    EXPECT_EQ(current(2), "ЛЕНИНА");
    box(2)->clear();
    type(QStringLiteral("С")); // САДОВАЯ lies outside the view
    EXPECT_EQ(row(), 1);
    expectNoError();
}

TEST_F(SearchWindowTest, AReleaseAfterBrowsingLocatesAgainButUpAndDownDoNot) {
    openWindow(streetDirectory());
    instantSearch(true);
    type(QStringLiteral("И"));
    ASSERT_EQ(row(), 1);
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(row(), 3); // not undone on release
    key(Qt::Key_Up);
    EXPECT_EQ(row(), 2);
    for (Qt::Key k : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Shift, Qt::Key_F2}) {
        key(Qt::Key_Down);
        ASSERT_GT(row(), 1);
        key(k);
        EXPECT_EQ(row(), 1) << k;
    }
    expectNoError();
}

TEST_F(SearchWindowTest, BackspaceEmptyingABoxSearchesAtOnceWithoutItsClause) {
    openWindow(streetDirectory());
    instantSearch(true);
    type(QStringLiteral("ИВАНОВ"));
    key(Qt::Key_Return);
    type(QStringLiteral("Б"));
    key(Qt::Key_Return);
    ASSERT_EQ(count(), 1);
    key(Qt::Key_Left);
    key(Qt::Key_End); // the caret at the end, the text not selected
    ASSERT_FALSE(box(1)->hasSelectedText());
    key(Qt::Key_Backspace);
    EXPECT_EQ(focusedBox(), box(1));
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВАНОВ*'");
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(status(), "Найдено 3 записи");
    EXPECT_EQ(row(), 0);
}

TEST_F(SearchWindowTest, EnterInAChangedBoxSearchesOnExitAndAgainOnTheReleaseInAnEmptyBox) {
    openWindow(streetDirectory());
    instantSearch(true);
    type(QStringLiteral("ИВАНОВ"));
    keyDown(Qt::Key_Return);
    EXPECT_EQ(focusedBox(), box(1));
    EXPECT_EQ(status(), "Найдено 3 записи");
    markStatus();
    keyUp(Qt::Key_Return);
    EXPECT_EQ(status(), "Найдено 3 записи");
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВАНОВ*'");
    EXPECT_EQ(row(), 0);
    EXPECT_EQ(current(), "ИВАНОВА");

    // The release in a box that holds text locates with that text instead.
    box(2)->setText(QStringLiteral("МИРА"));
    key(Qt::Key_Down);
    ASSERT_EQ(row(), 1);
    markStatus();
    key(Qt::Key_Return);
    EXPECT_EQ(focusedBox(), box(2));
    EXPECT_EQ(status(), "-");
    EXPECT_EQ(row(), 0);
}

TEST_F(SearchWindowTest, WithTheOptionOffReleasesDoNothing) {
    openWindow(streetDirectory());
    type(QStringLiteral("С"));
    EXPECT_EQ(row(), 0);
    key(Qt::Key_Backspace);
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
    form().mmOptions_InstantSearch->trigger();
    type(QStringLiteral("С"));
    EXPECT_EQ(current(), "СИДОРОВ");
}

TEST_F(SearchWindowTest, AHeldKeyLocatesOnceWhenItComesUp) {
    openWindowClosed();
    instantSearch(true);
    for (bool marked : {true, false}) {
        SCOPED_TRACE(marked ? "repeats marked" : "repeats not marked");
        hold(Qt::Key_Right, 5, marked);
        EXPECT_EQ(takeEscapedErrors().size(), 1u);
    }
}

TEST_F(SearchWindowTest, AnApostropheThatEndsTheLiteralEarlyFailsEachLocate) {
    openWindow(streetDirectory());
    instantSearch(true);
    type(QStringLiteral("ДАР'Я")); // the apostrophe stays in the literal
    EXPECT_EQ(current(), "ДАР'ЯЛОВ");
    expectNoError();
    key(Qt::Key_Down);
    ASSERT_EQ(row(), 8);
    // ДАР'Я': the apostrophe after ДАР is now closed again later, so it ends the literal.
    type(QStringLiteral("'"));
    EXPECT_EQ(takeEscapedErrors(),
              std::vector<std::string>{"Filter expression incorrectly terminated"});
    EXPECT_EQ(row(), 8);
    key(Qt::Key_Backspace);
    key(Qt::Key_Backspace);
    ASSERT_EQ(box(0)->text(), QStringLiteral("ДАР'"));
    EXPECT_EQ(row(), 7);
    key(Qt::Key_Down);
    type(QStringLiteral("1")); // a digit after the apostrophe
    EXPECT_EQ(takeEscapedErrors(),
              std::vector<std::string>{"Arithmetic in filter expressions not supported"});
    EXPECT_EQ(row(), 8);
}

// --- A directory that could not be opened ------------------------------------------------------

TEST_F(SearchWindowTest, AClosedSetFailsEachReleaseAndEachSearchButLeavesUpAndDownToTheBox) {
    openWindowClosed();
    const std::string closed = "Table1: Cannot perform this operation on a closed dataset";
    type(QStringLiteral("ИВ"));
    expectNoError(); // the option is off
    EXPECT_FALSE(consumed(Qt::Key_Down));
    EXPECT_FALSE(consumed(Qt::Key_Up));
    expectNoError();

    key(Qt::Key_Return);
    EXPECT_EQ(takeEscapedErrors(), std::vector<std::string>{closed});
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
    EXPECT_EQ(focusedBox(), box(1));
    clickCaption();
    EXPECT_EQ(takeEscapedErrors(), std::vector<std::string>{closed});
    // The filter is kept for when the set opens.
    EXPECT_EQ(filter(), "Nsa_famili = 'ИВ*'");
    EXPECT_TRUE(table().filtered());

    instantSearch(true);
    type(QStringLiteral("А"));
    EXPECT_EQ(takeEscapedErrors(), std::vector<std::string>{closed});
    key(Qt::Key_Home);
    EXPECT_EQ(takeEscapedErrors(), std::vector<std::string>{closed});
    EXPECT_FALSE(consumed(Qt::Key_Down)); // Up and Down are not located on release
    expectNoError();
    EXPECT_EQ(status(), "Нажмите F1 для вызова справки");
}

TEST_F(SearchWindowTest, AReleaseWhosePressWentToAnotherWindowIsNotAKeyOfTheBox) {
    openWindowClosed();
    instantSearch(true);
    // Without a window manager no focus event tells the window that an error box had the
    // keyboard: the box's press of Enter closed it, and only the release reaches the box.
    key(Qt::Key_Home);
    ASSERT_EQ(takeEscapedErrors().size(), 1u);
    {
        QWidget errorBox;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&errorBox, &press);
    }
    keyUp(Qt::Key_Return);
    expectNoError();

    // With focus events: the error box took the press of Enter and closed.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    other.close();
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    ASSERT_EQ(focusedBox(), box(0));
    keyUp(Qt::Key_Return);
    expectNoError();
    // The next key of the user's own locates again.
    key(Qt::Key_Return);
    EXPECT_EQ(takeEscapedErrors().size(), 1u);
}

} // namespace
} // namespace lambreya::test
