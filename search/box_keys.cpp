#include "search/box_keys.h"

#include "search/filter_text.h"

#include <stdexcept>
#include <string>

namespace lambreya {
namespace {

constexpr BoxKeyDecision kLeftToBox{BoxKeyAction::None, false};

void checkTabOrder(int tabOrder) {
    if (tabOrder < 0 || tabOrder >= kSearchBoxCount)
        throw std::out_of_range("search box tab order " + std::to_string(tabOrder) +
                                " outside the row");
}

} // namespace

BoxKeyDecision searchBoxKeyDown(int virtualKey, const BoxKeyState& state) {
    switch (virtualKey) {
    case kKeyLeft:
        // The box still gets the key: the box that has just lost the focus moves its caret.
        return state.wholeTextSelected ? BoxKeyDecision{BoxKeyAction::FocusPreviousBox, false}
                                       : kLeftToBox;
    case kKeyRight:
        return state.wholeTextSelected ? BoxKeyDecision{BoxKeyAction::FocusNextBox, false}
                                       : kLeftToBox;
    case kKeyUp:
        return !state.atStart && state.viewMode ? BoxKeyDecision{BoxKeyAction::StepToPrevious, true}
                                                : kLeftToBox;
    case kKeyDown:
        return !state.atEnd && state.viewMode ? BoxKeyDecision{BoxKeyAction::StepToNext, true}
                                              : kLeftToBox;
    case kKeyF2:
        return state.wholeTextSelected ? BoxKeyDecision{BoxKeyAction::CaretToSelectionEnd, false}
                                       : BoxKeyDecision{BoxKeyAction::SelectWholeText, false};
    default:
        return kLeftToBox;
    }
}

BoxKeyDecision searchBoxKeyPress(int character, bool textEmpty) {
    switch (character) {
    case kCharBackspace:
        return textEmpty ? BoxKeyDecision{BoxKeyAction::FocusPreviousBox, true} : kLeftToBox;
    case kCharEnter:
        return {BoxKeyAction::FocusNextBox, true};
    case kCharEscape:
        return {BoxKeyAction::CloseWindow, true};
    default:
        return kLeftToBox;
    }
}

int nextSearchBox(int tabOrder) {
    checkTabOrder(tabOrder);
    return tabOrder <= kSearchBoxCount - 2 ? tabOrder + 1 : 0;
}

int previousSearchBox(int tabOrder) {
    checkTabOrder(tabOrder);
    return tabOrder > 0 ? tabOrder - 1 : kSearchBoxCount - 1;
}

} // namespace lambreya
