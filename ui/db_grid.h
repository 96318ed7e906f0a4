#pragma once

#include "data/record_set_listener.h"
#include "ui/grid_column.h"

#include <QTableView>

#include <vector>

namespace lambreya {

class DataSource;
class RecordSet;

// DBGrid1: the data grid over DataSource1. Its current row is always the record set's
// current record: every move of the record set moves the grid, and every move the user
// makes in the grid (keys, a click, the scroll bar) is a move of the record set. Rows have
// one fixed height, so that a view of millions of records costs nothing per record.
class DBGrid : public QTableView {
    Q_OBJECT

public:
    DBGrid(DataSource& source, QWidget* parent);

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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

    // The keys of both modes that move the current record or column; true when handled.
    bool navigate(QKeyEvent* event);

private:
    void placeCurrent(int oldRow, int newRow, MoveKind kind);
    void applyColumnWidths();
    void showRow(int row, MoveKind kind);
    void setCurrentCell(int row, int logicalColumn);
    void moveColumn(int step);
    void moveToColumnPosition(int position);
    int currentPosition() const;

    DataSource& m_source;
    std::vector<GridColumn> m_columns;
    QByteArray m_titleState;
    bool m_setWasActive = false;
    GridOptions m_options;
    bool m_placing = false; // the grid is following the record set, not the user
};

} // namespace lambreya
