#pragma once

#include "report/page_drawing.h"

#include <QString>

namespace lambreya {

// The report's print settings, held while the program runs and never stored. An empty
// printer name stands for the system's default printer; first and last page 0 mean no
// limit at that end.
struct PrintSettings {
    enum class Orientation { Portrait, Landscape };

    QString printer;
    int copies = 1;
    int firstPage = 0;
    int lastPage = 0;
    Orientation orientation = Orientation::Portrait;

    PaperSize paper() const {
        return orientation == Orientation::Portrait ? kA4Portrait : kA4Landscape;
    }
    // Whether page `page` (from 1) lies within the first and last page.
    bool inRange(int page) const {
        return (firstPage <= 0 || page >= firstPage) && (lastPage <= 0 || page <= lastPage);
    }

    friend bool operator==(const PrintSettings&, const PrintSettings&) = default;
};

} // namespace lambreya
