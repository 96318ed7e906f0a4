#include "ui/grid_cell_delegate.h"

#include "data/guarded.h"
#include "ui/db_grid.h"

#include <QPainter>

namespace lambreya {

namespace {
constexpr int kTextMargin = 2;
} // namespace

GridCellDelegate::GridCellDelegate(DBGrid* grid)
    : QStyledItemDelegate(grid)
    , m_grid(grid) {}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    guarded([&] {
        const GridColumn& column = m_grid->column(index.column());
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& palette = m_grid->palette();
        const QColor background =
            selected ? palette.color(QPalette::Active, QPalette::Highlight) : column.background;
        const QColor text =
            selected ? palette.color(QPalette::Active, QPalette::HighlightedText) : column.text;

        painter->save();
        painter->fillRect(option.rect, background);
        painter->setFont(m_grid->cellFont(index.column()));
        painter->setPen(text);
        const QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
        painter->setClipRect(option.rect);
        painter->drawText(area, static_cast<int>(column.alignment | Qt::AlignVCenter),
                          index.data(Qt::DisplayRole).toString());
        painter->restore();
    });
}

} // namespace lambreya
