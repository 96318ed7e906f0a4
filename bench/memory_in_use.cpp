#include "bench/memory_in_use.h"

#include "data/large_memory.h"

#include <malloc.h>

namespace lambreya::bench {

std::size_t memoryInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + largeMemoryInUse();
}

} // namespace lambreya::bench
