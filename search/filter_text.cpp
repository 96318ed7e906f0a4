#include "search/filter_text.h"

namespace lambreya {
namespace {

struct Clause {
    int box;
    std::string_view opening;
};

// The clauses in the order they stand in the filter text: the flat before the house.
constexpr std::array<Clause, kSearchBoxCount> kClauses = {{
    {0, "Nsa_famili = '"},
    {1, "Nsa_initsi = '"},
    {2, "Nsa_street = '"},
    {4, "Nsa_room = '"},
    {3, "Nsa_home = '"},
    {5, "Nsa_tele = '"},
    {6, "Nsa_prim = '"},
}};

constexpr std::string_view kJoint = " And ";

} // namespace

std::string searchFilterText(const std::array<std::string_view, kSearchBoxCount>& boxTexts) {
    std::string text;
    for (const Clause& clause : kClauses) {
        const std::string_view boxText = boxTexts[static_cast<std::size_t>(clause.box)];
        if (boxText.empty())
            continue;
        if (!text.empty())
            text += kJoint;
        text += clause.opening;
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
