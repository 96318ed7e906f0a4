// The search: the seven boxes' handlers, the caption click and the search filter.
#include "ui/lambreya_form.h"

#include "data/cp1251.h"
#include "search/box_keys.h"
#include "search/filter_text.h"
#include "search/match_count.h"
#include "search/search_filter.h"

#include <QAccessible>
#include <QLabel>

namespace lambreya {

namespace {

// A box holds only what code page 1251 can hold, so its text always converts.
std::string boxText(const SearchBox* box) {
    return cp1251::fromUnicode(box->text()).value_or(std::string());
}

} // namespace

void TLambreyaForm::ApplySearchFilter() {
    std::array<std::string, kSearchBoxCount> texts;
    std::array<std::string_view, kSearchBoxCount> views;
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        texts[i] = boxText(m_boxes[i]);
        views[i] = texts[i];
    }
    const int found = applySearchFilterText(Table1, searchFilterText(views));
    // Written only when the search got this far: a failure leaves the last message.
    Label2->setText(matchCountMessage(static_cast<std::uint64_t>(found)));
    // The status line is out of the focus; assistive technology is told that it changed.
    QAccessibleEvent changed(Label2, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    QAccessibleEvent alert(Label2, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void TLambreyaForm::announceCurrentRecord(SearchBox* box) {
    // The grid keeps its place without the focus; the box that has it describes the record
    // reached, so that a screen reader speaks it as the record changes.
    QStringList fields;
    for (int f = 0; f < kDirectoryFieldCount; ++f) {
        const int field = Table1.findField(kDirectoryFields[static_cast<std::size_t>(f)].name);
        if (field >= 0)
            fields << cp1251::toUnicode(Table1.fieldText(field));
    }
    box->setAccessibleDescription(fields.join(QLatin1Char(' ')).simplified());
}

void TLambreyaForm::Label1Click() {
    ApplySearchFilter();
}

void TLambreyaForm::Edit1_FamiliExit(SearchBox* sender) {
    if (sender->takeModifiedMark())
        ApplySearchFilter();
}

void TLambreyaForm::Edit1_FamiliKeyDown(SearchBox* sender, int& key) {
    const BoxKeyState state{sender->wholeTextSelected(), Table1.bof(), Table1.eof(), viewMode()};
    const BoxKeyDecision decision = searchBoxKeyDown(key, state);
    actOnBoxKey(sender, decision.action);
    if (decision.consumed)
        key = 0;
}

void TLambreyaForm::Edit1_FamiliKeyPress(SearchBox* sender, int& key) {
    const BoxKeyDecision decision = searchBoxKeyPress(key, sender->text().isEmpty());
    actOnBoxKey(sender, decision.action);
    if (decision.consumed)
        key = 0;
}

void TLambreyaForm::actOnBoxKey(SearchBox* sender, BoxKeyAction action) {
    switch (action) {
    case BoxKeyAction::FocusPreviousBox:
        FocusPreviousSearchBox(sender);
        break;
    case BoxKeyAction::FocusNextBox:
        FocusNextSearchBox(sender);
        break;
    case BoxKeyAction::StepToPrevious:
        Table1.prior();
        announceCurrentRecord(sender);
        break;
    case BoxKeyAction::StepToNext:
        Table1.next();
        announceCurrentRecord(sender);
        break;
    case BoxKeyAction::CaretToSelectionEnd:
        if (sender->hasSelectedText())
            sender->setCursorPosition(sender->selectionStart() +
                                      static_cast<int>(sender->selectedText().size()));
        break;
    case BoxKeyAction::SelectWholeText:
        sender->selectAll();
        break;
    case BoxKeyAction::CloseWindow:
        close();
        break;
    case BoxKeyAction::None:
        break;
    }
}

void TLambreyaForm::Edit1_FamiliKeyUp(SearchBox* sender, int key) {
    if (!mmOptions_InstantSearch->isChecked())
        return;
    const std::string text = boxText(sender);
    const std::string field = searchFieldName(sender->objectName().toStdString());
    // Browsing with Up and Down is not undone when the key comes up.
    if (key == kKeyDown || key == kKeyUp)
        return;
    Table1.locate(field, text, true);
    if (text.empty())
        ApplySearchFilter();
}

void TLambreyaForm::FocusNextSearchBox(SearchBox* box) {
    m_boxes[static_cast<std::size_t>(nextSearchBox(box->tabOrder()))]->setFocus(Qt::TabFocusReason);
}

void TLambreyaForm::FocusPreviousSearchBox(SearchBox* box) {
    m_boxes[static_cast<std::size_t>(previousSearchBox(box->tabOrder()))]->setFocus(
        Qt::BacktabFocusReason);
}

} // namespace lambreya
