#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace lambreya {

// Storage for the large arrays of a directory: value arenas, offsets, record id lists,
// file contents. Blocks of a few megabytes and more are asked of the system directly, with
// a hint to back them with large pages; a city directory then loads with a few hundred
// page faults instead of tens of thousands, which on many machines is most of its cost.
void* allocateLarge(std::size_t bytes);
void releaseLarge(void* block, std::size_t bytes);

// Bytes of large blocks held now, for measuring.
std::size_t largeMemoryInUse();

inline constexpr std::size_t kLargeBlock = std::size_t{4} << 20;

template <typename T>
struct LargeAllocator {
    using value_type = T;

    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBlock)
            return static_cast<T*>(allocateLarge(bytes));
        return static_cast<T*>(::operator new(bytes));
    }

    void deallocate(T* p, std::size_t n) noexcept {
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kLargeBlock)
            releaseLarge(p, bytes);
        else
            ::operator delete(p);
    }

    // Elements are not set to zero when a vector grows: they are written right after.
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        if constexpr (sizeof...(Args) == 0)
            ::new (static_cast<void*>(p)) U;
        else
            ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

// The bytes of a whole file.
using Bytes = LargeVector<char>;

} // namespace lambreya
