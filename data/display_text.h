#pragma once

#include "data/record_set.h"

#include <string_view>

namespace lambreya {

// The text a field of a row of the view shows, in the grid's column as on paper: its value
// with the pending change of the current record, in code page 1251; empty for a row or
// field the set does not have.
inline std::string_view fieldDisplayText(const RecordSet& set, int row, int field) {
    return set.rowText(row, field);
}

} // namespace lambreya
