#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <string>
#include <string_view>

// The XML text form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

bool looksLikeXmlForm(std::string_view bytes);
Directory parseXmlForm(std::string_view bytes);
// The general reader alone, which any well-formed XML of the form goes through.
Directory parseXmlFormGeneral(std::string_view bytes);
Bytes storeXmlForm(const Directory& directory);

} // namespace lambreya
