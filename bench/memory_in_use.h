#pragma once

#include <cstddef>

namespace lambreya::bench {

// Memory in use: the heap, as the allocator counts it, and the large blocks.
std::size_t memoryInUse();

} // namespace lambreya::bench
