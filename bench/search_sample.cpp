#include "bench/search_sample.h"

#include "data/cp1251.h"

#include <stdexcept>

namespace lambreya::bench {
namespace {

// The first half of each field of the first record from `from` on whose fields are all
// filled.
BoxTexts halvesOfAFullRecord(const Directory& directory, std::size_t from) {
    for (std::size_t place = from; place < directory.order.size(); ++place) {
        const RecordId id = directory.order[place];
        BoxTexts texts;
        bool full = true;
        for (std::size_t f = 0; f < texts.size() && full; ++f) {
            const std::string_view value = directory.columns.value(id, f);
            // An apostrophe would end a literal early in a text of several clauses.
            full = !value.empty() && value.find('\'') == std::string_view::npos;
            texts[f] = std::string(value.substr(0, (value.size() + 1) / 2));
        }
        if (full)
            return texts;
    }
    throw std::runtime_error("no record with every field filled");
}

} // namespace

SearchSample searchSample(const Directory& directory) {
    SearchSample sample;
    sample.oneBox[0][0] = *cp1251::fromUtf8("ИВ");
    sample.oneBox[1][0] = *cp1251::fromUtf8("ПЕ");
    const std::size_t records = directory.order.size();
    sample.sevenBoxes[0] = halvesOfAFullRecord(directory, records / 2);
    sample.sevenBoxes[1] = halvesOfAFullRecord(directory, records * 3 / 4);
    std::size_t found = 0;
    for (std::size_t place = records; place-- > 0 && found < 2;) {
        const std::string_view tele = directory.columns.value(directory.order[place], 5);
        if (!tele.empty())
            sample.lateTelephones[found++] = std::string(tele);
    }
    if (found < 2)
        throw std::runtime_error("too few telephone numbers");
    return sample;
}

std::string filterTextOf(const BoxTexts& texts) {
    std::array<std::string_view, kSearchBoxCount> views;
    for (std::size_t i = 0; i < texts.size(); ++i)
        views[i] = texts[i];
    return searchFilterText(views);
}

} // namespace lambreya::bench
