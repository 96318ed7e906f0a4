#pragma once

#include "data/record_set_listener.h"
#include "ui/data_source.h"
#include "ui/grid_column.h"

#include <QTableView>

#include <vector>

namespace lambreya {

class GridCellEditor;
class RecordSet;

// DBGrid1: the data grid over DataSource1. Its current row is always the record set's
// current record: every move of the record set moves the grid, and every move the user
// makes in the grid (keys, a click, the scroll bar) is a move of the record set. Rows have
// one fixed height, so that a view of millions of records costs nothing per record.
//
// With cell editing on (and whole-row selection off) the current cell can be changed in a
// one-line cell editor, records can be added and every change goes into the record set.
// The code is spread over db_grid.cpp (showing and placing), grid_keys.cpp (the keys) and
// grid_editing.cpp (the cell editor, changes, deleting and the mouse).
class DBGrid : public QTableView, private DataLink {
    Q_OBJECT

public:
    DBGrid(DataSource& source, QWidget* parent);
    ~DBGrid() override;

    DataSource& dataSource() const { return m_source; }
    RecordSet& dataSet() const;

    void setColumns(std::vector<GridColumn> columns);
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const GridColumn& column(int logical) const;
    // The column at a place on screen, counted from 0 at the left.
    int columnAtPosition(int position) const;
    void setColumnColors(int position, const QColor& background, const QColor& text);

    GridOptions options() const { return m_options; }
    void setOptions(GridOptions options);

    // A column's width when it asks for none: its field's width in characters times the
    // width of a "0" in the cell font, plus 4, but no narrower than its title plus 4; 64
    // when the record set is closed.
    int defaultColumnWidth(int logical) const;
    // Rows wholly in sight.
    int visibleRowCount() const;
    // The row height and the title row's height.
    static constexpr int kRowHeight = 18;
    static constexpr int kTitleHeight = 21;
    static constexpr int kIndicatorWidth = 11;

    QFont cellFont(int logical) const;
    QFont titleFont(int logical) const;
    bool rowSelect() const { return m_options.testFlag(GridOption::RowSelect); }
    // Cells can be edited: cell editing on and whole-row selection off.
    bool cellEditing() const { return m_options.testFlag(GridOption::Editing) && !rowSelect(); }

    // --- The cell editor ---------------------------------------------------------------

    // The editor over the current cell, or nullptr while it is closed.
    GridCellEditor* cellEditor() const;
    bool editorOpen() const;
    // The current cell's column (logical), kept also while no record is visible.
    int currentColumn() const;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void updateEditorGeometries() override;

    // The keys of both modes that move the current record or column; true when handled.
    bool navigate(QKeyEvent* event);

private:
    friend class GridCellEditor;

    enum class Caret {
        AtEnd,     // the caret after the text
        SelectAll, // the whole text selected
    };

    // --- db_grid.cpp
    void currentRecordMoved(int oldRow, int newRow, MoveKind kind) override;
    void recordStateChanged() override;
    void updateRecordRequested() override;
    void placeCurrent(int oldRow, int newRow, MoveKind kind);
    void applyColumnWidths();
    void showRow(int row, MoveKind kind);
    void setCurrentCell(int row, int logicalColumn);
    void moveColumn(int step);
    void moveToColumnPosition(int position);
    int currentPosition() const;

    // --- grid_keys.cpp
    // Called by the cell editor for the keys it leaves to the grid; true when handled.
    bool editorKey(QKeyEvent* event);
    bool editingKey(QKeyEvent* event);
    void stepDown();
    void stepUp();
    void tabCell(bool forward);
    bool untouchedNewRecord() const;
    bool onLastRow() const;
    void startTyping(QKeyEvent* event);
    void undo();

    // --- grid_editing.cpp
    // The first change of the editor's text asks this: starts the change of the record,
    // false (silently) when the record or the field cannot change.
    bool startChange();
    void openEditor(Caret caret);
    // Takes the editor's changed text into the record (nothing while the record is not
    // being changed).
    void takeEditorText();
    // Closes the editor, its text taken into the record first or dropped.
    void closeEditor(bool take);
    void placeEditor();
    bool canChangeField(int field) const;
    int fieldOfCurrentColumn() const;
    void beforePost();
    void goToField(int field);
    void confirmAndDelete();
    void focusLeft();
    void insertRecord();

    DataSource& m_source;
    std::vector<GridColumn> m_columns;
    QByteArray m_titleState;
    bool m_setWasActive = false;
    GridOptions m_options;
    bool m_placing = false; // the grid is following the record set, not the user
    int m_lastColumn = 0;   // the current column while no record is visible
    GridCellEditor* m_editor = nullptr;
    bool m_goingToField = false;
};

} // namespace lambreya
