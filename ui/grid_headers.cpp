#include "ui/grid_headers.h"

#include "data/guarded.h"
#include "data/record_set.h"
#include "ui/db_grid.h"
#include "ui/look.h"

#include <QPainter>
#include <QPainterPath>

namespace lambreya {

namespace {

void drawRaisedEdges(QPainter* painter, const QRect& rect) {
    painter->setPen(look::kWhite);
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.topLeft(), rect.bottomLeft());
    painter->setPen(look::buttonFace().darker(160));
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->drawLine(rect.topRight(), rect.bottomRight());
}

} // namespace

TitleHeader::TitleHeader(DBGrid* grid)
    : QHeaderView(Qt::Horizontal, grid)
    , m_grid(grid) {}

void TitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    guarded([&] {
        if (logicalIndex < 0 || logicalIndex >= m_grid->columnCount())
            return;
        const GridColumn& column = m_grid->column(logicalIndex);
        painter->save();
        painter->fillRect(rect, look::kBlack);
        painter->setPen(look::buttonFace().darker(130));
        painter->drawLine(rect.topRight(), rect.bottomRight());
        painter->drawLine(rect.bottomLeft(), rect.bottomRight());
        painter->setFont(m_grid->titleFont(logicalIndex));
        painter->setPen(look::kWhite);
        painter->setClipRect(rect);
        painter->drawText(rect.adjusted(2, 0, -2, 0),
                          static_cast<int>(column.titleAlignment | Qt::AlignVCenter), column.title);
        painter->restore();
    });
}

IndicatorHeader::IndicatorHeader(DBGrid* grid)
    : QHeaderView(Qt::Vertical, grid)
    , m_grid(grid) {}

QSize IndicatorHeader::sizeHint() const {
    return {DBGrid::kIndicatorWidth, QHeaderView::sizeHint().height()};
}

void IndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    guarded([&] {
        painter->save();
        painter->fillRect(rect, look::buttonFace());
        drawRaisedEdges(painter, rect.adjusted(0, 0, -1, -1));
        const RecordSet& table = m_grid->dataSet();
        if (logicalIndex == table.currentRow()) {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(look::kBlack);
            const QPointF c = QRectF(rect).center();
            switch (table.state()) {
            case RecordSet::State::Browse: {
                // A triangle pointing at the row.
                QPainterPath arrow;
                arrow.moveTo(c.x() - 2, c.y() - 4);
                arrow.lineTo(c.x() + 2.5, c.y());
                arrow.lineTo(c.x() - 2, c.y() + 4);
                arrow.closeSubpath();
                painter->drawPath(arrow);
                break;
            }
            case RecordSet::State::Edit:
                // A text caret: the record is being changed.
                painter->fillRect(QRectF(c.x() - 0.5, c.y() - 4.5, 1.5, 9), look::kBlack);
                painter->fillRect(QRectF(c.x() - 2.5, c.y() - 4.5, 5.5, 1.5), look::kBlack);
                painter->fillRect(QRectF(c.x() - 2.5, c.y() + 3, 5.5, 1.5), look::kBlack);
                break;
            case RecordSet::State::Insert:
                // A star: a new record.
                painter->setPen(QPen(look::kBlack, 1.3));
                for (int k = 0; k < 3; ++k) {
                    const double a = k * 3.14159265 / 3;
                    painter->drawLine(
                        QPointF(c.x() - 3.5 * std::cos(a), c.y() - 3.5 * std::sin(a)),
                        QPointF(c.x() + 3.5 * std::cos(a), c.y() + 3.5 * std::sin(a)));
                }
                break;
            case RecordSet::State::Inactive:
                break;
            }
        }
        painter->restore();
    });
}

} // namespace lambreya
