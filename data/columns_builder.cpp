#include "data/columns_builder.h"

namespace lambreya {

void ColumnsBuilder::finish(Directory& dir) {
    dir.columns = ColumnStore(m_bytes.size());
    dir.columns.resetForLoad(m_records);
    for (std::size_t f = 0; f < m_bytes.size(); ++f) {
        dir.columns.loadColumn(f, m_lengths[f], {m_bytes[f].data(), m_bytes[f].size()});
        Bytes().swap(m_bytes[f]);
        LargeVector<std::uint16_t>().swap(m_lengths[f]);
    }
    dir.order.resize(m_records);
    for (std::size_t r = 0; r < m_records; ++r)
        dir.order[r] = static_cast<RecordId>(r);
}

} // namespace lambreya
