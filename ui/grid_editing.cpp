// The grid's changes to records: the cell editor over the current cell, starting a change,
// a field that must have a value, deleting, adding, leaving the grid, and the mouse.
#include "ui/db_grid.h"

#include "data/cp1251.h"
#include "data/guarded.h"
#include "data/record_set.h"
#include "ui/data_source.h"
#include "ui/grid_cell_editor.h"

#include <QApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>

namespace lambreya {

GridCellEditor* DBGrid::cellEditor() const {
    return editorOpen() ? m_editor : nullptr;
}

bool DBGrid::editorOpen() const {
    return m_editor && !m_editor->isHidden();
}

int DBGrid::currentColumn() const {
    return currentIndex().isValid() ? currentIndex().column() : m_lastColumn;
}

int DBGrid::fieldOfCurrentColumn() const {
    return m_source.fieldOfColumn(currentColumn());
}

bool DBGrid::canChangeField(int field) const {
    const RecordSet& table = dataSet();
    return cellEditing() && m_source.autoEdit() && table.canModify() && field >= 0 &&
           !table.fields()[static_cast<std::size_t>(field)].readOnly;
}

bool DBGrid::startChange() {
    if (!canChangeField(fieldOfCurrentColumn()))
        return false;
    return m_source.edit();
}

void DBGrid::openEditor(Caret caret) {
    const RecordSet& table = dataSet();
    const int row = table.active() ? table.currentRow() : -1;
    const int column = currentColumn();
    const int field = m_source.fieldOfColumn(column);
    if (!cellEditing() || row < 0 || field < 0)
        return;
    if (!editorOpen() || m_editor->column() != column) {
        closeEditor(true);
        const FieldDef& def = table.fields()[static_cast<std::size_t>(field)];
        m_editor->begin(column, cp1251::toUnicode(table.fieldText(field)),
                        static_cast<int>(def.width), !canChangeField(field));
        m_editor->setGeometry(visualRect(model()->index(row, column)));
        m_editor->show();
    }
    m_editor->setFocus(Qt::OtherFocusReason);
    if (caret == Caret::SelectAll) {
        m_editor->selectAll();
    } else {
        m_editor->deselect();
        m_editor->end(false);
    }
}

void DBGrid::takeEditorText() {
    if (!editorOpen() || !m_editor->isModified())
        return;
    RecordSet& table = dataSet();
    if (table.state() != RecordSet::State::Edit && table.state() != RecordSet::State::Insert)
        return;
    const int field = m_source.fieldOfColumn(m_editor->column());
    const std::optional<std::string> text = cp1251::fromUnicode(m_editor->text());
    if (field < 0 || !text)
        return;
    // Typing a value back to what it was leaves the record untouched.
    if (*text != table.fieldText(field))
        table.setFieldText(field, *text);
    m_editor->setModified(false);
}

void DBGrid::closeEditor(bool take) {
    if (!editorOpen())
        return;
    if (take)
        takeEditorText();
    m_editor->setModified(false);
    // The grid keeps the focus the editor had, also while a box is in front; a hidden
    // editor with the focus would pass it on to the next control.
    if (m_editor->hasFocus() || window()->focusWidget() == m_editor)
        setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void DBGrid::placeEditor() {
    if (!editorOpen())
        return;
    const int row = dataSet().active() ? dataSet().currentRow() : -1;
    if (row < 0)
        return;
    m_editor->setGeometry(visualRect(model()->index(row, m_editor->column())));
}

void DBGrid::updateEditorGeometries() {
    guarded([&] {
        QTableView::updateEditorGeometries();
        placeEditor();
    });
}

void DBGrid::insertRecord() {
    RecordSet& table = dataSet();
    // A read-only set takes no new record, and says nothing.
    if (cellEditing() && table.canModify())
        table.insert();
}

// The record set is about to post the current record: the editor's text goes in first.
// When a field that must have a value is empty the post will fail; the grid then takes
// the focus and goes to that field, so that the user can fill it in after the message.
void DBGrid::beforePost() {
    takeEditorText();
    const RecordSet& table = dataSet();
    if (m_goingToField || !table.modified())
        return;
    const std::vector<FieldDef>& fields = table.fields();
    for (std::size_t f = 0; f < fields.size(); ++f) {
        if (fields[f].required && table.fieldText(static_cast<int>(f)).empty()) {
            goToField(static_cast<int>(f));
            return;
        }
    }
}

void DBGrid::goToField(int field) {
    // Taking the focus may end a search box's edit, whose search posts again.
    const QScopedValueRollback going(m_goingToField, true);
    int column = -1;
    for (int c = 0; c < columnCount(); ++c) {
        if (m_source.fieldOfColumn(c) == field)
            column = c;
    }
    // The record stays where it was: in sight again, should the scroll bar have moved.
    if (dataSet().currentRow() >= 0)
        showRow(dataSet().currentRow(), MoveKind::Step);
    if (column >= 0) {
        moveToColumnPosition(horizontalHeader()->visualIndex(column));
        if (cellEditing()) {
            openEditor(Caret::SelectAll);
            return;
        }
    }
    setFocus(Qt::OtherFocusReason);
}

void DBGrid::confirmAndDelete() {
    RecordSet& table = dataSet();
    // Nothing is asked with no record visible or in a read-only set.
    if (!table.canModify() || table.recordCount() == 0)
        return;
    if (m_options.testFlag(GridOption::ConfirmDelete)) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"),
                        QStringLiteral("Delete record?"), QMessageBox::NoButton, this);
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() != ok || !table.canModify() || table.recordCount() == 0)
            return;
    }
    // Pending changes of the record go with it.
    table.deleteRecord();
}

void DBGrid::focusOutEvent(QFocusEvent* event) {
    guarded([&] {
        QTableView::focusOutEvent(event);
        focusLeft();
    });
}

// The focus went from the grid or its editor to another control of the window: the
// editor's text goes into the record, which stays pending. A box or another window in
// front changes nothing.
void DBGrid::focusLeft() {
    const QWidget* now = QApplication::focusWidget();
    if (!now || now->window() != window() || now == this || isAncestorOf(now))
        return;
    closeEditor(true);
}

void DBGrid::mousePressEvent(QMouseEvent* event) {
    guarded([&] {
        // A click beside the editor (the editor takes its own clicks) closes it, its text
        // taken into the record.
        closeEditor(true);
        setFocus(Qt::MouseFocusReason);
        if (event->button() != Qt::LeftButton)
            return;
        const QPoint point = event->position().toPoint();
        const QModelIndex index = indexAt(point);
        if (!index.isValid())
            return;
        RecordSet& table = dataSet();
        const bool onCurrentCell = currentIndex().isValid() && index.row() == table.currentRow() &&
                                   index.column() == currentColumn();
        if (index.row() != table.currentRow())
            table.moveToRow(index.row());
        if (index.column() != currentColumn())
            closeEditor(true);
        setCurrentCell(table.currentRow(), index.column());
        // A click on the current cell opens its editor, the caret where the click fell.
        if (onCurrentCell && cellEditing() && !editorOpen()) {
            openEditor(Caret::AtEnd);
            if (editorOpen())
                m_editor->setCursorPosition(
                    m_editor->cursorPositionAt(m_editor->mapFrom(viewport(), point)));
        }
    });
}

void DBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    guarded([&] {
        // The second click of a double click is a click like the first.
        mousePressEvent(event);
    });
}

void DBGrid::mouseMoveEvent(QMouseEvent* event) {
    guarded([&] {
        // Dragging over the rows selects nothing more.
        event->accept();
    });
}

} // namespace lambreya
