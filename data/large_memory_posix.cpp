// Large blocks straight from the system. The one place of the data module that calls the
// platform: on Linux an anonymous mapping aligned to 2 MiB and advised to use huge pages;
// elsewhere the ordinary heap.
#include "data/large_memory.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>

// Under AddressSanitizer the blocks come from the heap, so that it sees them: reads past
// their end, use after release and leaks are then reported as for any other memory.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LAMBREYA_LARGE_FROM_HEAP 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define LAMBREYA_LARGE_FROM_HEAP 1
#endif

#if defined(__linux__) && !defined(LAMBREYA_LARGE_FROM_HEAP)
#include <sys/mman.h>
#endif

namespace lambreya {

namespace {
std::atomic<std::size_t> g_largeInUse{0};
} // namespace

std::size_t largeMemoryInUse() {
    return g_largeInUse.load(std::memory_order_relaxed);
}

#if defined(__linux__) && !defined(LAMBREYA_LARGE_FROM_HEAP)

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

// malloc, not operator new: a size the heap cannot give is then std::bad_alloc here also
// under AddressSanitizer (with allocator_may_return_null), which would end the program
// instead of failing operator new.
void* allocateLarge(std::size_t bytes) {
    void* block = std::malloc(bytes);
    if (block == nullptr)
        throw std::bad_alloc();
    g_largeInUse += bytes;
    return block;
}

void releaseLarge(void* block, std::size_t bytes) {
    std::free(block);
    g_largeInUse -= bytes;
}

#endif

} // namespace lambreya
