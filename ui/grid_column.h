#pragma once

#include "ui/look.h"

#include <QColor>
#include <QFlags>
#include <QString>

namespace lambreya {

// One column of the grid: the field it shows and how its title and cells look.
struct GridColumn {
    QString fieldName;
    QString title;
    Qt::Alignment titleAlignment = Qt::AlignHCenter;
    int titleStyles = look::Bold | look::Underline;
    QColor background;
    QColor text;
    int styles = look::Bold;
    Qt::Alignment alignment = Qt::AlignLeft;
    int width = 0; // 0: as wide as the field's values need
};

// The grid's options, as the two modes set them.
enum class GridOption {
    Editing = 1 << 0,             // cells can be edited
    Titles = 1 << 1,              // a title row
    Indicator = 1 << 2,           // the indicator column
    ColumnResize = 1 << 3,        // columns can be resized and moved
    ColLines = 1 << 4,            // lines between columns
    RowLines = 1 << 5,            // lines between rows
    Tabs = 1 << 6,                // Tab moves between cells
    RowSelect = 1 << 7,           // whole rows are selected
    AlwaysShowSelection = 1 << 8, // the selection shows also without the focus
    ConfirmDelete = 1 << 9,       // deleting a record asks first
};
Q_DECLARE_FLAGS(GridOptions, GridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridOptions)

} // namespace lambreya
