#include "common/ByteBuffer.h"

#include "common/LargeBlockAllocator.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>
#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Rounds up to whole huge pages; 0 when that would overflow.
std::size_t HugePageLength(std::size_t bytes) noexcept {
    if (bytes > SIZE_MAX - kHugePage) return 0;
    return (bytes + kHugePage - 1) & ~(kHugePage - 1);
}

}  // namespace

void* MapLargeBlock(std::size_t bytes) noexcept {
    const std::size_t length = HugePageLength(bytes);
    if (length == 0 || length > SIZE_MAX - kHugePage) return nullptr;
    // Only a 2 MB range that starts on a 2 MB boundary can become one huge page, and
    // not every kernel aligns a mapping so: map one page more and trim both ends.
    void* raw = ::mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const auto aligned = (start + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1};
    if (aligned > start) ::munmap(raw, aligned - start);
    const std::uintptr_t end = start + length + kHugePage;
    if (end > aligned + length) ::munmap(reinterpret_cast<void*>(aligned + length), end - (aligned + length));
    // Refused (huge pages switched off), the block still works with small pages.
    ::madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void UnmapLargeBlock(void* block, std::size_t bytes) noexcept {
    if (block != nullptr) ::munmap(block, HugePageLength(bytes));
}

ByteBuffer::ByteBuffer(std::size_t size) {
    if (size >= kLargeBlockMinimum) {
        if (void* block = MapLargeBlock(size)) {
            mapped_ = static_cast<char*>(block);
            mappedBytes_ = size;
            capacity_ = size;
            size_ = size;
            return;
        }
    }
    heap_.resize(size);
}

ByteBuffer::ByteBuffer(std::string text) noexcept : heap_(std::move(text)) {}

ByteBuffer ByteBuffer::WithCapacity(std::size_t capacity) {
    ByteBuffer buffer;
    if (capacity >= kLargeBlockMinimum) {
        if (void* block = MapLargeBlock(capacity)) {
            buffer.mapped_ = static_cast<char*>(block);
            buffer.mappedBytes_ = capacity;
            buffer.capacity_ = capacity;
            return buffer;
        }
    }
    buffer.heap_.reserve(capacity);
    return buffer;
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : heap_(std::move(other.heap_)),
      mapped_(std::exchange(other.mapped_, nullptr)),
      mappedBytes_(std::exchange(other.mappedBytes_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      size_(std::exchange(other.size_, 0)) {
    other.heap_.clear();
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        heap_ = std::move(other.heap_);
        other.heap_.clear();
        mapped_ = std::exchange(other.mapped_, nullptr);
        mappedBytes_ = std::exchange(other.mappedBytes_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

ByteBuffer::~ByteBuffer() { Release(); }

void ByteBuffer::Release() noexcept {
    UnmapLargeBlock(mapped_, mappedBytes_);
    mapped_ = nullptr;
    mappedBytes_ = capacity_ = size_ = 0;
    std::string().swap(heap_);
}

void ByteBuffer::Truncate(std::size_t size) noexcept {
    if (mapped_ == nullptr) {
        heap_.resize(size);  // never grows, so never allocates
        return;
    }
    size_ = size;
    // A text cut short early (a NUL byte near the start of a big file) should not keep
    // the rest of the file in memory: hand back the whole huge pages past the end.
    const std::size_t kept = HugePageLength(size);
    const std::size_t mapped = HugePageLength(mappedBytes_);
    if (kept == 0) {
        Release();
    } else if (kept < mapped) {
        ::munmap(mapped_ + kept, mapped - kept);
        mappedBytes_ = kept;
        capacity_ = std::min(capacity_, kept);
    }
}

void ByteBuffer::AppendGrowing(std::string_view bytes) {
    const std::size_t needed = size() + bytes.size();
    ByteBuffer grown = WithCapacity(std::max(needed, capacity() + capacity() / 2));
    grown.Append(view());
    grown.Append(bytes);
    *this = std::move(grown);
}
