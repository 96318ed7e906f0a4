// The grid's keys: moving through records and columns in both modes, and in the edit mode
// adding records, opening the cell editor and undoing.
#include "ui/db_grid.h"

#include "data/guarded.h"
#include "data/record_set.h"
#include "ui/data_source.h"
#include "ui/grid_cell_editor.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace lambreya {
namespace {

// The modifiers held with a key; the keypad's own mark does not count.
Qt::KeyboardModifiers keyModifiers(const QKeyEvent* event) {
    return event->modifiers() & ~Qt::KeypadModifier;
}

bool isTab(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    return (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
           !modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
}

bool forwardTab(const QKeyEvent* event) {
    return event->key() == Qt::Key_Tab && !event->modifiers().testFlag(Qt::ShiftModifier);
}

} // namespace

bool DBGrid::event(QEvent* event) {
    return guarded(
        [&] {
            // In the edit mode Tab and Shift+Tab move between cells; in the view mode they move
            // the focus on, as between the fields of a dialog.
            if (event->type() == QEvent::KeyPress) {
                auto* key = static_cast<QKeyEvent*>(event);
                if (isTab(key) && m_options.testFlag(GridOption::Tabs) && !rowSelect()) {
                    closeEditor(true);
                    tabCell(forwardTab(key));
                    key->accept();
                    return true;
                }
            }
            return QTableView::event(event);
        },
        true);
}

void DBGrid::keyPressEvent(QKeyEvent* event) {
    guarded([&] {
        // A key the editor had no use for passes on to the window, not to the grid.
        if (editorOpen() && m_editor->hasFocus()) {
            event->ignore();
            return;
        }
        // An editor left open without the focus gives up its text before the grid acts.
        closeEditor(true);
        if (editingKey(event) || navigate(event)) {
            event->accept();
            return;
        }
        event->ignore();
    });
}

void DBGrid::inputMethodEvent(QInputMethodEvent* event) {
    guarded([&] {
        // Text from an input method types as a key would.
        if (!event->commitString().isEmpty()) {
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, event->commitString());
            startTyping(&key);
        }
        event->accept();
    });
}

bool DBGrid::editorKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = keyModifiers(event);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        // The typed text goes into the record first; the editor closes when the record
        // moves.
        takeEditorText();
        return editingKey(event) || navigate(event);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!isTab(event))
            return false;
        takeEditorText();
        tabCell(forwardTab(event));
        return true;
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier)
            return false; // Shift+Ins pastes, Ctrl+Ins copies
        closeEditor(true);
        insertRecord();
        return true;
    case Qt::Key_Delete:
        if (!ctrl)
            return false;
        // The editor stays open while the deletion is asked about.
        confirmAndDelete();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeEditor(true);
        return true;
    case Qt::Key_Escape:
        // Text not yet taken into the record is undone by closing the editor without
        // it; otherwise the record's pending changes are.
        {
            const bool textOnly = m_editor->isModified();
            closeEditor(false);
            if (!textOnly)
                undo();
        }
        return true;
    case Qt::Key_F2:
        m_editor->deselect();
        m_editor->end(false);
        return true;
    default:
        return false;
    }
}

bool DBGrid::editingKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = keyModifiers(event);
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Delete:
        // Del alone does nothing in either mode.
        if (ctrl)
            confirmAndDelete();
        return true;
    case Qt::Key_Escape:
        undo();
        return true;
    case Qt::Key_Insert:
        if (modifiers == Qt::NoModifier)
            insertRecord();
        return true;
    case Qt::Key_F2:
        if (cellEditing())
            openEditor(Caret::AtEnd);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (cellEditing())
            openEditor(Caret::SelectAll);
        return true;
    case Qt::Key_Down:
        if (!cellEditing() || ctrl)
            return false;
        stepDown();
        return true;
    case Qt::Key_Up:
        if (!cellEditing() || ctrl)
            return false;
        stepUp();
        return true;
    case Qt::Key_Backspace:
        if (ctrl || modifiers.testFlag(Qt::AltModifier))
            return false;
        if (cellEditing())
            startTyping(event);
        return true;
    default:
        if (typedText(event).isEmpty())
            return false;
        if (cellEditing())
            startTyping(event);
        return true;
    }
}

bool DBGrid::navigate(QKeyEvent* event) {
    RecordSet& table = dataSet();
    if (!table.active())
        return false;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    const bool cells = !rowSelect();
    const int top = verticalScrollBar()->value();
    const int bottom = std::min(top + visibleRowCount(), table.recordCount()) - 1;
    switch (event->key()) {
    case Qt::Key_Up:
        if (ctrl)
            table.moveToRow(top);
        else
            table.prior();
        return true;
    case Qt::Key_Down:
        if (ctrl)
            table.moveToRow(bottom);
        else
            table.next();
        return true;
    case Qt::Key_PageUp:
        if (ctrl)
            table.moveToRow(top);
        else
            table.moveBy(-visibleRowCount());
        return true;
    case Qt::Key_PageDown:
        if (ctrl)
            table.moveToRow(bottom);
        else
            table.moveBy(visibleRowCount());
        return true;
    case Qt::Key_Left:
        if (cells)
            moveColumn(-1);
        else
            table.prior();
        return true;
    case Qt::Key_Right:
        if (cells)
            moveColumn(1);
        else
            table.next();
        return true;
    case Qt::Key_Home:
        if (cells && !ctrl)
            moveToColumnPosition(0);
        else
            table.first();
        return true;
    case Qt::Key_End:
        if (cells && !ctrl)
            moveToColumnPosition(columnCount() - 1);
        else
            table.last();
        return true;
    default:
        return false;
    }
}

// A new record nothing has been typed into (the editor's text counts once taken).
bool DBGrid::untouchedNewRecord() const {
    const RecordSet& table = dataSet();
    return table.state() == RecordSet::State::Insert && !table.modified();
}

bool DBGrid::onLastRow() const {
    const RecordSet& table = dataSet();
    return table.active() && table.currentRow() >= 0 &&
           table.currentRow() == table.recordCount() - 1;
}

void DBGrid::stepDown() {
    RecordSet& table = dataSet();
    if (!table.active())
        return;
    if (untouchedNewRecord()) {
        // At the end nothing more happens; in the middle the new record goes and the
        // record after it becomes current.
        if (!onLastRow())
            table.cancel();
        return;
    }
    if (onLastRow() && table.canModify())
        table.append();
    else
        table.next();
}

void DBGrid::stepUp() {
    RecordSet& table = dataSet();
    if (!table.active())
        return;
    if (untouchedNewRecord() && onLastRow()) {
        // The new record at the end goes; the record above it becomes current.
        table.cancel();
        return;
    }
    table.prior();
}

void DBGrid::tabCell(bool forward) {
    RecordSet& table = dataSet();
    if (!table.active())
        return;
    const int position = currentPosition();
    const int lastPosition = columnCount() - 1;
    if (forward) {
        if (position < lastPosition) {
            moveToColumnPosition(position + 1);
            return;
        }
        // Past the last column: the first column of the next record, or of a new one
        // after the last.
        if (untouchedNewRecord()) {
            if (!onLastRow())
                table.cancel();
        } else if (onLastRow()) {
            if (!table.canModify())
                return;
            table.append();
        } else {
            if (table.currentRow() < 0)
                return;
            table.next();
        }
        moveToColumnPosition(0);
        return;
    }
    if (position > 0) {
        moveToColumnPosition(position - 1);
        return;
    }
    // Before the first column: the last column of the previous record.
    if (untouchedNewRecord() && onLastRow())
        table.cancel();
    else if (table.currentRow() > 0)
        table.prior();
    else
        return;
    moveToColumnPosition(lastPosition);
}

void DBGrid::startTyping(QKeyEvent* event) {
    RecordSet& table = dataSet();
    if (!cellEditing() || !table.active())
        return;
    // A refused character, field or record: nothing happens, and nothing is said.
    if (!canChangeField(fieldOfCurrentColumn()))
        return;
    const QString typed = typedText(event);
    if (!typed.isEmpty() && !GridCellEditor::canHold(typed))
        return;
    // With no record visible this starts a new one.
    if (!m_source.edit())
        return;
    openEditor(Caret::SelectAll);
    if (editorOpen())
        m_editor->typeKey(event);
}

void DBGrid::undo() {
    RecordSet& table = dataSet();
    if (table.active() && table.state() != RecordSet::State::Browse)
        table.cancel();
}

} // namespace lambreya
