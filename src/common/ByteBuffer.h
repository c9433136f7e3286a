#pragma once
// The bytes of a large text: a whole dictionary file, or the headwords cut from it.
//
// A megabyte or more lives in a block of its own from MapLargeBlock (huge pages, so
// filling 75 MB fresh costs a few dozen page faults instead of tens of thousands);
// less lives in a std::string, and a std::string handed in is adopted as it is, so
// callers that build a text as a string still pass it on without a copy. If the
// mapping fails the bytes go to the heap; if that fails too, std::bad_alloc.

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

class ByteBuffer {
public:
    ByteBuffer() noexcept = default;

    // `size` bytes for the caller to write; their contents are unspecified.
    explicit ByteBuffer(std::size_t size);

    // Takes over the string's bytes; nothing is copied.
    explicit ByteBuffer(std::string text) noexcept;

    // Empty, with room for `capacity` bytes of Append. Room that is never written
    // costs address space only, so a generous upper bound is cheap.
    static ByteBuffer WithCapacity(std::size_t capacity);

    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;
    ~ByteBuffer();

    char* data() noexcept { return mapped_ != nullptr ? mapped_ : heap_.data(); }
    const char* data() const noexcept { return mapped_ != nullptr ? mapped_ : heap_.data(); }
    std::size_t size() const noexcept { return mapped_ != nullptr ? size_ : heap_.size(); }
    bool empty() const noexcept { return size() == 0; }
    std::size_t capacity() const noexcept { return mapped_ != nullptr ? capacity_ : heap_.capacity(); }
    std::string_view view() const noexcept { return {data(), size()}; }
    operator std::string_view() const noexcept { return view(); }  // as std::string converts

    // Whether the bytes are in a block of their own rather than on the heap.
    bool IsMapped() const noexcept { return mapped_ != nullptr; }

    // Keeps the first `size` bytes; `size` must not exceed size().
    void Truncate(std::size_t size) noexcept;

    // Adds bytes at the end, growing past the capacity if it must.
    void Append(std::string_view bytes) {
        if (mapped_ != nullptr && bytes.size() <= capacity_ - size_) {
            std::memcpy(mapped_ + size_, bytes.data(), bytes.size());
            size_ += bytes.size();
        } else if (mapped_ == nullptr && bytes.size() <= heap_.capacity() - heap_.size()) {
            heap_.append(bytes);
        } else {
            AppendGrowing(bytes);  // may move the bytes to a block of their own
        }
    }

private:
    void Release() noexcept;
    void AppendGrowing(std::string_view bytes);

    std::string heap_;            // the bytes when mapped_ is null
    char* mapped_ = nullptr;      // a block from MapLargeBlock, or null
    std::size_t mappedBytes_ = 0; // the size MapLargeBlock was given; the block is that rounded up to 2 MB
    std::size_t capacity_ = 0;    // bytes of the block usable; size_ <= capacity_ <= mappedBytes_
    std::size_t size_ = 0;        // bytes written, when mapped
};
