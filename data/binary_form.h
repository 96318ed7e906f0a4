#pragma once

#include "data/directory.h"
#include "data/large_memory.h"

#include <cstdint>
#include <string>
#include <string_view>

// The compact binary form of a directory; the layout is described in docs/data-format.md.
namespace lambreya {

bool looksLikeBinaryForm(std::string_view bytes);
Directory parseBinaryForm(std::string_view bytes);
// Refuses a file whose head (its first bytes, with the file's size) declares a header that
// is not sound or more or fewer records than a file of that size can hold, before the rest
// is read. A head that is the whole file, or too short to hold the header, is let pass: the
// whole file decides.
void checkBinaryFormHead(std::string_view head, std::uint64_t fileSize);
Bytes storeBinaryForm(const Directory& directory);

} // namespace lambreya
