#pragma once

#include <cstddef>

namespace lambreya::bench {

// Memory in use: the heap, as the allocator counts it, and the large blocks.
std::size_t memoryInUse();

// The process's memory in the machine's memory (its resident set): what work on other
// threads holds is counted too, which memoryInUse() leaves out.
std::size_t residentMemory();

} // namespace lambreya::bench
