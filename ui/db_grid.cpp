#include "ui/db_grid.h"

#include "data/guarded.h"
#include "data/record_set.h"
#include "ui/data_source.h"
#include "ui/grid_cell_delegate.h"
#include "ui/grid_cell_editor.h"
#include "ui/grid_headers.h"

#include <QEvent>
#include <QFontMetrics>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>

namespace lambreya {

DBGrid::DBGrid(DataSource& source, QWidget* parent)
    : QTableView(parent)
    , m_source(source) {
    setHorizontalHeader(new TitleHeader(this));
    setVerticalHeader(new IndicatorHeader(this));
    setModel(&source);
    setItemDelegate(new GridCellDelegate(this));

    QHeaderView* rows = verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setFixedWidth(kIndicatorWidth);
    rows->setSectionsClickable(false);

    QHeaderView* titles = horizontalHeader();
    titles->setFixedHeight(kTitleHeight);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setSectionsClickable(false);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::ClickFocus); // never a tab stop
    setTabKeyNavigation(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setAutoScroll(false);

    // The grid's own background and its fixed cells are button face; the selection
    // shows as strongly without the focus as with it.
    QPalette p = palette();
    p.setColor(QPalette::Base, look::buttonFace());
    p.setColor(QPalette::Window, look::buttonFace());
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    m_editor = new GridCellEditor(this);
    source.setLink(this);
    connectGuarded(titles, &QHeaderView::sectionResized, this, &DBGrid::placeEditor);
    connectGuarded(titles, &QHeaderView::sectionMoved, this, &DBGrid::placeEditor);
    // A new view resets the model, and with it the title row; the user's column widths
    // and order are kept, and the defaults follow the fields when the set opens or closes.
    connectGuarded(&source, &QAbstractItemModel::modelAboutToBeReset, this,
                   [this] { m_titleState = horizontalHeader()->saveState(); });
    connectGuarded(&source, &QAbstractItemModel::modelReset, this, [this] {
        horizontalHeader()->restoreState(m_titleState);
        if (dataSet().active() != m_setWasActive) {
            m_setWasActive = dataSet().active();
            applyColumnWidths();
        }
        placeCurrent(-1, dataSet().currentRow(), MoveKind::First);
    });
    m_setWasActive = dataSet().active();
}

DBGrid::~DBGrid() {
    m_source.setLink(nullptr);
}

RecordSet& DBGrid::dataSet() const {
    return m_source.dataSet();
}

void DBGrid::setColumns(std::vector<GridColumn> columns) {
    m_columns = std::move(columns);
    QStringList titles;
    for (const GridColumn& c : m_columns)
        titles << c.title;
    m_source.setColumnTitles(titles);
    applyColumnWidths();
    viewport()->update();
    horizontalHeader()->viewport()->update();
}

const GridColumn& DBGrid::column(int logical) const {
    return m_columns.at(static_cast<std::size_t>(logical));
}

int DBGrid::columnAtPosition(int position) const {
    return horizontalHeader()->logicalIndex(position);
}

void DBGrid::setColumnColors(int position, const QColor& background, const QColor& text) {
    const int logical = columnAtPosition(position);
    if (logical < 0 || logical >= columnCount())
        return;
    GridColumn& c = m_columns[static_cast<std::size_t>(logical)];
    c.background = background;
    c.text = text;
    viewport()->update();
}

void DBGrid::setOptions(GridOptions options) {
    // The editor's text stays in the record, still pending.
    closeEditor(true);
    m_options = options;
    horizontalHeader()->setVisible(options.testFlag(GridOption::Titles));
    verticalHeader()->setVisible(options.testFlag(GridOption::Indicator));
    const bool resizable = options.testFlag(GridOption::ColumnResize);
    horizontalHeader()->setSectionsMovable(resizable);
    horizontalHeader()->setSectionResizeMode(resizable ? QHeaderView::Interactive
                                                       : QHeaderView::Fixed);
    setShowGrid(options.testFlag(GridOption::ColLines) || options.testFlag(GridOption::RowLines));
    setSelectionBehavior(rowSelect() ? QAbstractItemView::SelectRows
                                     : QAbstractItemView::SelectItems);
    placeCurrent(-1, dataSet().currentRow(), MoveKind::Step);
    viewport()->update();
}

QFont DBGrid::cellFont(int logical) const {
    return look::timesFont(13, column(logical).styles);
}

QFont DBGrid::titleFont(int logical) const {
    return look::timesFont(15, column(logical).titleStyles);
}

int DBGrid::defaultColumnWidth(int logical) const {
    const int field = m_source.fieldOfColumn(logical);
    if (!dataSet().active() || field < 0)
        return 64;
    const auto characters =
        static_cast<int>(dataSet().fields()[static_cast<std::size_t>(field)].width);
    const int cells =
        characters * QFontMetrics(cellFont(logical)).horizontalAdvance(QLatin1Char('0')) + 4;
    const int title = QFontMetrics(titleFont(logical)).horizontalAdvance(column(logical).title) + 4;
    return std::max(cells, title);
}

void DBGrid::applyColumnWidths() {
    for (int i = 0; i < columnCount(); ++i) {
        const int width = column(i).width > 0 ? column(i).width : defaultColumnWidth(i);
        setColumnWidth(i, width);
    }
}

int DBGrid::visibleRowCount() const {
    return std::max(1, viewport()->height() / kRowHeight);
}

int DBGrid::currentPosition() const {
    return horizontalHeader()->visualIndex(currentColumn());
}

void DBGrid::setCurrentCell(int row, int logicalColumn) {
    const bool wasPlacing = std::exchange(m_placing, true);
    if (row < 0)
        setCurrentIndex({});
    else
        setCurrentIndex(model()->index(row, std::max(0, logicalColumn)));
    m_placing = wasPlacing;
}

void DBGrid::currentRecordMoved(int oldRow, int newRow, MoveKind kind) {
    placeCurrent(oldRow, newRow, kind);
}

void DBGrid::recordStateChanged() {
    verticalHeader()->viewport()->update();
}

void DBGrid::updateRecordRequested() {
    beforePost();
}

void DBGrid::placeCurrent(int, int newRow, MoveKind kind) {
    // Whatever the editor held went into the record before the record set moved; on a
    // dropped or deleted record it is dropped with it.
    closeEditor(false);
    setCurrentCell(newRow, currentColumn());
    if (newRow >= 0)
        showRow(newRow, kind);
    else
        verticalScrollBar()->setValue(0);
    verticalHeader()->viewport()->update();
}

void DBGrid::showRow(int row, MoveKind kind) {
    const bool wasPlacing = std::exchange(m_placing, true);
    const int rows = visibleRowCount();
    const int count = model()->rowCount();
    switch (kind) {
    case MoveKind::First:
        // A new view shows from its top.
        verticalScrollBar()->setValue(std::max(0, row - rows + 1));
        break;
    case MoveKind::Locate: {
        // The found record stands in the middle of the visible rows, with more above it
        // when too few follow it to fill the rows.
        const int top = std::clamp(row - (rows - 1) / 2, 0, std::max(0, count - rows));
        verticalScrollBar()->setValue(top);
        break;
    }
    case MoveKind::Step: {
        const int top = verticalScrollBar()->value();
        if (row < top)
            verticalScrollBar()->setValue(row);
        else if (row >= top + rows)
            verticalScrollBar()->setValue(row - rows + 1);
        break;
    }
    }
    m_placing = wasPlacing;
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    guarded([&] {
        // The table view tells assistive technology that the new current cell has the focus.
        // While the focus is elsewhere, in a search box that moves the current record, that
        // would take the user's attention away from the box: only the view's own part is run.
        if (hasFocus())
            QTableView::currentChanged(current, previous);
        else
            QAbstractItemView::currentChanged(current, previous);
        if (current.isValid())
            m_lastColumn = current.column();
        // The record set is the one that says which record is current; whatever moved the
        // view's own current row (a reset, the focus coming in) is put right again.
        if (!m_placing && current.isValid() && current.row() != dataSet().currentRow())
            setCurrentCell(dataSet().currentRow(), current.column());
    });
}

void DBGrid::moveToColumnPosition(int position) {
    position = std::clamp(position, 0, columnCount() - 1);
    const int logical = columnAtPosition(position);
    if (logical != currentColumn())
        closeEditor(true);
    setCurrentCell(dataSet().currentRow(), logical);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void DBGrid::moveColumn(int step) {
    moveToColumnPosition(currentPosition() + step);
}

void DBGrid::scrollContentsBy(int dx, int dy) {
    guarded([&] {
        QTableView::scrollContentsBy(dx, dy);
        placeEditor();
        if (m_placing || dy == 0 || !dataSet().active())
            return;
        // The scroll bar and the wheel move through the records: the current record stays
        // among the rows in sight.
        const int top = verticalScrollBar()->value();
        const int bottom = std::min(top + visibleRowCount(), dataSet().recordCount()) - 1;
        const int row = dataSet().currentRow();
        if (row < 0)
            return;
        // A move that fails (a record that cannot be posted) leaves the grid following again.
        const QScopedValueRollback placing(m_placing, true);
        if (row < top)
            dataSet().moveToRow(top);
        else if (row > bottom)
            dataSet().moveToRow(bottom);
    });
}

bool DBGrid::viewportEvent(QEvent* event) {
    return guarded(
        [&] {
            if (event->type() == QEvent::ToolTip)
                return true;
            return QTableView::viewportEvent(event);
        },
        true);
}

} // namespace lambreya
