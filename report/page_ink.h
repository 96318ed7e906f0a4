#pragma once

#include <algorithm>
#include <vector>

namespace lambreya {

// Where a page has ink so far, as far as white fills need to know. A white fill over blank
// paper changes nothing, so a page drawing leaves it out unless it may cover something
// painted before it: the page looks the same and holds and replays far fewer operations.
// Bands are placed from the top down; within the band being placed every mark is kept,
// of earlier bands only how far down they reached.
class PageInk {
public:
    void beginPage() {
        m_bottom = 0;
        beginBand();
    }
    void beginBand() {
        m_bottomBeforeBand = m_bottom;
        m_band.clear();
    }

    void add(double left, double top, double right, double bottom) {
        m_band.push_back({left, top, right, bottom});
        m_bottom = std::max(m_bottom, bottom);
    }

    // Whether a fill of that rectangle may cover some ink.
    bool covers(double left, double top, double right, double bottom) const {
        if (top < m_bottomBeforeBand)
            return true;
        return std::ranges::any_of(m_band, [&](const Mark& m) {
            return left < m.right && m.left < right && top < m.bottom && m.top < bottom;
        });
    }

private:
    struct Mark {
        double left, top, right, bottom;
    };

    std::vector<Mark> m_band;
    double m_bottom = 0;
    double m_bottomBeforeBand = 0;
};

} // namespace lambreya
