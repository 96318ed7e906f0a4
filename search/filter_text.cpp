#include "search/filter_text.h"

namespace lambreya {
namespace {

// The boxes in the order their clauses stand in the filter text: the flat before the house.
constexpr std::array<std::size_t, kSearchBoxCount> kClauseOrder = {0, 1, 2, 4, 3, 5, 6};

constexpr std::string_view kJoint = " And ";

} // namespace

std::string searchFilterText(const std::array<std::string_view, kSearchBoxCount>& boxTexts) {
    std::string text;
    for (const std::size_t box : kClauseOrder) {
        const std::string_view boxText = boxTexts[box];
        if (boxText.empty())
            continue;
        if (!text.empty())
            text += kJoint;
        text += kDirectoryFields[box].name;
        text += " = '";
        text += boxText;
        text += "*'";
    }
    return text;
}

std::string searchFieldName(std::string_view boxName) {
    const std::size_t underscore = boxName.find('_');
    std::string name = "Nsa";
    if (underscore != std::string_view::npos)
        name += boxName.substr(underscore);
    return name;
}

} // namespace lambreya
