// Large blocks straight from the system. The one place of the data module that calls the
// platform: on Linux an anonymous mapping aligned to 2 MiB and advised to use huge pages;
// elsewhere the ordinary heap.
#include "data/large_memory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lambreya {

namespace {
std::atomic<std::size_t> g_largeInUse{0};
} // namespace

std::size_t largeMemoryInUse() {
    return g_largeInUse.load(std::memory_order_relaxed);
}

#if defined(__linux__)

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kPage = 4096;

// Whole small pages: the block starts on a huge page boundary, and its last part, shorter
// than a huge page, takes small ones.
std::size_t roundUp(std::size_t bytes) {
    return (bytes + kPage - 1) / kPage * kPage;
}
} // namespace

void* allocateLarge(std::size_t bytes) {
    const std::size_t size = roundUp(bytes);
    // Map one huge page more than needed, then cut the ends so the block starts aligned.
    void* raw = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + size + kHugePage;
    if (end > aligned + size)
        ::munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    g_largeInUse += size;
    return reinterpret_cast<void*>(aligned);
}

void releaseLarge(void* block, std::size_t bytes) {
    ::munmap(block, roundUp(bytes));
    g_largeInUse -= roundUp(bytes);
}

#else

void* allocateLarge(std::size_t bytes) {
    return ::operator new(bytes);
}

void releaseLarge(void* block, std::size_t) {
    ::operator delete(block);
}

#endif

} // namespace lambreya
