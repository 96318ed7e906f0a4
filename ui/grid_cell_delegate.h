#pragma once

#include <QStyledItemDelegate>

namespace lambreya {

class DBGrid;

// Paints a grid cell in its column's colours, font and alignment; the current row (whole-
// row selection) or the current cell shows in the desktop's highlight colours.
class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit GridCellDelegate(DBGrid* grid);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    DBGrid* m_grid;
};

} // namespace lambreya
