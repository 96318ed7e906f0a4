#include "bench/memory_in_use.h"

#include "data/large_memory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace lambreya::bench {

std::size_t memoryInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + largeMemoryInUse();
}

std::size_t residentMemory() {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    std::size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace lambreya::bench
