#pragma once

#include "data/column_store.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lambreya {

class RecordSet;

// A walk through the view of a record set in stored order that keeps its place whatever
// is done to the set meanwhile, without moving the set's current record: a search gives a
// new view, which the walk goes on through from where it was; a record inserted or deleted
// before its place shifts nothing. So each record the walk can still reach is met once,
// and never one twice. The set's new record that has not been posted yet is passed over.
class ViewWalk {
public:
    explicit ViewWalk(const RecordSet& set);
    ~ViewWalk();
    ViewWalk(const ViewWalk&) = delete;
    ViewWalk& operator=(const ViewWalk&) = delete;

    // Meets the next record of the view after the walk's place; false when none is left
    // (or the set is closed).
    bool next();
    bool met() const { return m_met; }
    // The row in the view as it is now of the record last met; -1 when it has left the
    // view, or none was met.
    int row() const;
    // The row in the view as it is now of the next record the walk would meet; the view's
    // size when none is left.
    int nextRow() const;
    // The record last met, as it was last posted.
    std::string_view text(int field) const;

private:
    friend class RecordSet;

    // Brings the next row up to date with the view.
    void follow() const;

    const RecordSet& m_set;
    // How many records of the stored order lie before the walk's place; the set keeps it
    // in step with insertions and deletions.
    std::size_t m_storedBefore = 0;
    RecordId m_record = 0;
    bool m_met = false;
    // The row of the next record to meet, valid while the view has not changed since.
    mutable int m_nextRow = 0;
    mutable std::uint64_t m_viewVersion = 0;
};

} // namespace lambreya
