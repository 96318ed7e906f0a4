#pragma once

#include "tools/command_line.h"

#include "search/filter_text.h"

#include <array>
#include <string>

// The search boxes filled from the command line: "--search BOX=TEXT", as the window's
// boxes would hold the texts.
namespace lambreya::tools {

// A box named on the command line and its text, as the box would hold it.
struct BoxText {
    std::size_t box;
    std::string text; // code page 1251
};

// BOX=TEXT: BOX is famili, initsi, ... in any letter case; TEXT is taken as the box takes
// typed text, its letters turned into capitals. `option` names the option in errors.
BoxText parseBoxText(const QString& argument, const std::string& option);

// The texts of the seven boxes from every --search; a box given twice is an error.
std::array<std::string, kSearchBoxCount> searchBoxTexts(const Arguments& a);

// The filter text the window's search builds from those boxes.
std::string searchFilterTextOf(const std::array<std::string, kSearchBoxCount>& boxes);

} // namespace lambreya::tools
