#pragma once

#include "report/page_drawing.h"

#include <QString>

namespace lambreya {

// Whether page `page` (from 1) lies within `first` and `last`, where 0 means no limit.
inline bool pageInRange(int page, int first, int last) {
    return (first <= 0 || page >= first) && (last <= 0 || page <= last);
}

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
    bool inRange(int page) const { return pageInRange(page, firstPage, lastPage); }

    friend bool operator==(const PrintSettings&, const PrintSettings&) = default;
};

} // namespace lambreya
