#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <string>
#include <string_view>

// The compact binary form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

bool looksLikeBinaryForm(std::string_view bytes);
Directory parseBinaryForm(std::string_view bytes);
Bytes storeBinaryForm(const Directory& directory);

} // namespace lambreya
