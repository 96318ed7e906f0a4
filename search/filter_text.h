#pragma once

#include "data/field_def.h"

#include <array>
#include <string>
#include <string_view>

namespace lambreya {

inline constexpr int kSearchBoxCount = kDirectoryFieldCount;

// The seven search boxes in tab order, one per field of the directory record.
inline constexpr std::array<std::string_view, kSearchBoxCount> kSearchBoxNames = [] {
    std::array<std::string_view, kSearchBoxCount> names{};
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = kDirectoryFields[i].searchBox;
    return names;
}();

// The filter text of the search from the seven box texts (code page 1251, in box order):
// one clause F = 'T*' for each box that is not empty, joined by " And ". The flat clause
// stands before the house clause; the others follow the boxes. Texts go in exactly as
// the boxes hold them. All boxes empty give the empty text.
std::string searchFilterText(const std::array<std::string_view, kSearchBoxCount>& boxTexts);

// The field a search box stands for: "Nsa" and the box's name from its first underscore on
// (Edit1_Famili gives Nsa_Famili). A name without an underscore gives "Nsa" alone.
std::string searchFieldName(std::string_view boxName);

} // namespace lambreya
