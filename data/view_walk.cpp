#include "data/view_walk.h"

#include "data/record_set.h"

namespace lambreya {

ViewWalk::ViewWalk(const RecordSet& set)
    : m_set(set)
    , m_viewVersion(set.m_viewVersion) {
    m_set.m_walks.push_back(this);
}

ViewWalk::~ViewWalk() {
    std::erase(m_set.m_walks, this);
}

void ViewWalk::follow() const {
    if (m_viewVersion == m_set.m_viewVersion)
        return;
    // The view is a part of the stored order in the same order: the rows before the walk's
    // place are the view's records among the first records of the stored order.
    const auto& order = m_set.m_dir.order;
    const auto& view = m_set.m_view;
    std::size_t row = 0;
    for (std::size_t i = 0; i < m_storedBefore && i < order.size() && row < view.size(); ++i) {
        if (order[i] == view[row])
            ++row;
    }
    m_nextRow = static_cast<int>(row);
    m_viewVersion = m_set.m_viewVersion;
}

bool ViewWalk::next() {
    if (!m_set.active())
        return false;
    follow();
    const auto& order = m_set.m_dir.order;
    const auto& view = m_set.m_view;
    while (static_cast<std::size_t>(m_nextRow) < view.size()) {
        const int row = m_nextRow++;
        const RecordId id = view[static_cast<std::size_t>(row)];
        // Every record of the view from the next row on stands after the walk's place.
        std::size_t stored = m_storedBefore;
        while (stored < order.size() && order[stored] != id)
            ++stored;
        m_storedBefore = stored + 1;
        if (m_set.state() == RecordSet::State::Insert && row == m_set.currentRow())
            continue;
        m_record = id;
        m_met = true;
        return true;
    }
    return false;
}

int ViewWalk::nextRow() const {
    if (!m_set.active())
        return 0;
    follow();
    return m_nextRow;
}

int ViewWalk::row() const {
    if (!m_met || !m_set.active())
        return -1;
    const int last = nextRow() - 1;
    if (last < 0 || m_set.m_view[static_cast<std::size_t>(last)] != m_record)
        return -1;
    return last;
}

std::string_view ViewWalk::text(int field) const {
    if (!m_met || field < 0 || static_cast<std::size_t>(field) >= m_set.fields().size())
        return {};
    return m_set.m_dir.columns.value(m_record, static_cast<std::size_t>(field));
}

} // namespace lambreya
