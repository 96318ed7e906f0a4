#pragma once

namespace lambreya {

// The codes the search boxes act on: virtual keys seen at key-down, characters seen when
// typed.
enum VirtualKey : int {
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
    kKeyF2 = 113,
};

enum BoxCharacter : int {
    kCharBackspace = 8,
    kCharEnter = 13,
    kCharEscape = 27,
};

// What the window does for a key or character in a search box.
enum class BoxKeyAction {
    None,
    FocusPreviousBox,    // FocusPreviousSearchBox
    FocusNextBox,        // FocusNextSearchBox
    StepToPrevious,      // the previous record of the view
    StepToNext,          // the next record of the view
    CaretToSelectionEnd, // new start = start + length, length 0
    SelectWholeText,
    CloseWindow,
};

struct BoxKeyDecision {
    BoxKeyAction action = BoxKeyAction::None;
    bool consumed = false; // the box does not handle the key itself

    friend bool operator==(const BoxKeyDecision&, const BoxKeyDecision&) = default;
};

// What a key-down decision depends on.
struct BoxKeyState {
    bool wholeTextSelected = false; // selection length == text length; true for an empty box
    bool atStart = false;           // the record set's at-start flag
    bool atEnd = false;             // the record set's at-end flag
    bool viewMode = false;
};

// Edit1_FamiliKeyDown: Left and Right leave the box when its whole text is selected, Up and
// Down browse the view in view mode, F2 switches between the whole text selected and the
// caret at its end. Modifier keys play no part.
BoxKeyDecision searchBoxKeyDown(int virtualKey, const BoxKeyState& state);

// Edit1_FamiliKeyPress: Backspace in an empty box goes to the box before, Enter to the box
// after, Esc closes the window.
BoxKeyDecision searchBoxKeyPress(int character, bool textEmpty);

// The tab order of the box FocusNextSearchBox and FocusPreviousSearchBox move to from the box
// with `tabOrder` (0 to 6), wrapping at both ends of the row. Throws std::out_of_range for a
// tab order outside the row.
int nextSearchBox(int tabOrder);
int previousSearchBox(int tabOrder);

} // namespace lambreya
