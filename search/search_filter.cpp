#include "search/search_filter.h"

#include "data/record_set.h"

namespace lambreya {

int applySearchFilterText(RecordSet& table, const std::string& filterText) {
    table.setFiltered(true);
    // An unchanged text is neither assigned nor compiled again.
    if (filterText != table.filter())
        table.setFilter(filterText);
    return table.recordCount();
}

} // namespace lambreya
