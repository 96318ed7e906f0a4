#pragma once

#include "data/directory.h"

#include <cstdint>

namespace lambreya {

// A realistic Russian city directory: surnames (in the female form for about half the
// subscribers), initials, streets, house and flat numbers, seven-digit telephone numbers
// written 123-45-67 and a few remarks, all in capitals as the search boxes type them.
// The same seed gives the same directory on every machine.
Directory generateDirectory(std::size_t records, std::uint64_t seed);

} // namespace lambreya
