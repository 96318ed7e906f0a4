#pragma once

#include "data/directory.h"

#include <string>
#include <string_view>

// The XML text form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

bool looksLikeXmlForm(std::string_view bytes);
Directory parseXmlForm(std::string_view bytes);
std::string storeXmlForm(const Directory& directory);

} // namespace lambreya
