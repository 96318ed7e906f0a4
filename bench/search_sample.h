#pragma once

#include "data/directory.h"
#include "search/filter_text.h"

#include <array>
#include <string>

namespace lambreya::bench {

// Box texts (code page 1251, in box order) for a search.
using BoxTexts = std::array<std::string, kSearchBoxCount>;

// What the search benchmarks type into the boxes of a generated directory. Each comes in
// two that differ, taken in turn, so that every search compiles and filters anew and every
// locate moves the current record.
struct SearchSample {
    // The surname box alone: ИВ, then ПЕ.
    std::array<BoxTexts, 2> oneBox;
    // All seven boxes, each with the first half of a field of one record (so that at least
    // that record matches).
    std::array<BoxTexts, 2> sevenBoxes;
    // The telephone numbers of the last two records that have one: a locate in the
    // telephone box runs through nearly the whole directory.
    std::array<std::string, 2> lateTelephones;
};

SearchSample searchSample(const Directory& directory);

// The filter text the window builds from the texts.
std::string filterTextOf(const BoxTexts& texts);

} // namespace lambreya::bench
