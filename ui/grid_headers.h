#pragma once

#include <QHeaderView>

#include <functional>

namespace lambreya {

class DBGrid;

// The title row: black cells with each column's title in its own font and alignment.
class TitleHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit TitleHeader(DBGrid* grid);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    DBGrid* m_grid;
};

// The indicator column at the left: a marker on the current record's row, telling
// whether it is browsed, changed or new.
class IndicatorHeader : public QHeaderView {
    Q_OBJECT

public:
    explicit IndicatorHeader(DBGrid* grid);
    QSize sizeHint() const override;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    DBGrid* m_grid;
};

} // namespace lambreya
