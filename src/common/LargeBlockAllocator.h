#pragma once
// Memory for the big per-line arrays of a large dictionary.
//
// A fresh 75 MB dictionary is mostly page faults: with 4 KB pages a load touches
// some 25,000 new pages, and on a virtual machine each fault costs several times
// the copy it serves. Blocks of a megabyte or more therefore come from their own
// anonymous mapping, aligned and rounded to 2 MB and advised to use huge pages
// (512 times fewer faults); smaller ones come from operator new as usual.

#include <cstddef>
#include <limits>
#include <new>

inline constexpr std::size_t kLargeBlockMinimum = std::size_t{1} << 20;

// A block of at least `bytes` (rounded up to 2 MB), aligned to 2 MB and advised to
// use huge pages, or null when the system has no room for the mapping. Its pages
// are zero until written; only written pages take memory.
void* MapLargeBlock(std::size_t bytes) noexcept;

// Returns a block from MapLargeBlock; `bytes` as asked for.
void UnmapLargeBlock(void* block, std::size_t bytes) noexcept;

// For std::vector and the like. Which pool a block came from follows from its size
// alone, so the allocator carries no state. A large block the system cannot map
// raises std::bad_alloc: the heap would have to map it too.
template <typename T>
class LargeBlockAllocator {
public:
    using value_type = T;
    static_assert(alignof(T) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "over-aligned types need their own allocator");

    LargeBlockAllocator() noexcept = default;
    template <typename U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_array_new_length();
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kLargeBlockMinimum) return static_cast<T*>(::operator new(bytes));
        void* block = MapLargeBlock(bytes);
        if (block == nullptr) throw std::bad_alloc();
        return static_cast<T*>(block);
    }

    void deallocate(T* block, std::size_t count) noexcept {
        const std::size_t bytes = count * sizeof(T);
        if (bytes < kLargeBlockMinimum) {
            ::operator delete(block);
        } else {
            UnmapLargeBlock(block, bytes);
        }
    }

    template <typename U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};
