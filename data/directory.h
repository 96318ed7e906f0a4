#pragma once

#include "data/column_store.h"
#include "data/field_def.h"

#include <string_view>
#include <vector>

namespace lambreya {

// A whole directory as a data file holds it: field descriptions, set markers and the
// records in stored order.
struct Directory {
    std::vector<FieldDef> fields;
    SetMarkers markers;
    ColumnStore columns;
    LargeVector<RecordId> order;

    // The field's index by name, without regard to letter case; -1 when there is none.
    int findField(std::string_view name) const;
};

} // namespace lambreya
