#pragma once
// A vector with a gap: inserting or removing near the last place touched costs only
// the distance moved, so line-by-line edits that walk through a million lines (the
// repair goes backwards deleting, its renumbering forwards replacing) stay linear.
// A million lines make a body of many megabytes, so it comes from LargeBlockAllocator.

#include "common/LargeBlockAllocator.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

template <typename T>
class SplitVector {
public:
    using Items = std::vector<T, LargeBlockAllocator<T>>;

    SplitVector() = default;
    explicit SplitVector(Items items) : body_(std::move(items)), gapStart_(body_.size()) {}

    std::size_t size() const noexcept { return body_.size() - gapLength_; }
    bool empty() const noexcept { return size() == 0; }

    const T& operator[](std::size_t i) const noexcept {
        return i < gapStart_ ? body_[i] : body_[i + gapLength_];
    }
    T& operator[](std::size_t i) noexcept { return i < gapStart_ ? body_[i] : body_[i + gapLength_]; }

    void insert(std::size_t position, const T& item) {
        if (position > size()) throw std::out_of_range("SplitVector::insert");
        if (gapLength_ == 0) growGap(std::max<std::size_t>(16, body_.size() / 2));
        moveGapTo(position);
        body_[gapStart_++] = item;
        --gapLength_;
    }

    void push_back(const T& item) { insert(size(), item); }

    void erase(std::size_t position) {
        if (position >= size()) throw std::out_of_range("SplitVector::erase");
        moveGapTo(position);
        ++gapLength_;
    }

    // Gives the memory back too: a cleared view should not hold a million lines' worth.
    void clear() noexcept {
        Items().swap(body_);
        gapStart_ = 0;
        gapLength_ = 0;
    }

    // The invariants the rest relies on; the tests call it after every operation.
    void Check() const {
        if (gapStart_ > body_.size() - gapLength_) throw std::logic_error("gap starts past the items");
        if (gapStart_ + gapLength_ > body_.size()) throw std::logic_error("gap ends past the body");
    }

private:
    void moveGapTo(std::size_t position) {
        if (position < gapStart_) {
            // Items [position, gapStart_) move to the far side of the gap.
            std::move_backward(body_.begin() + static_cast<std::ptrdiff_t>(position),
                               body_.begin() + static_cast<std::ptrdiff_t>(gapStart_),
                               body_.begin() + static_cast<std::ptrdiff_t>(gapStart_ + gapLength_));
        } else if (position > gapStart_) {
            std::move(body_.begin() + static_cast<std::ptrdiff_t>(gapStart_ + gapLength_),
                      body_.begin() + static_cast<std::ptrdiff_t>(position + gapLength_),
                      body_.begin() + static_cast<std::ptrdiff_t>(gapStart_));
        }
        gapStart_ = position;
    }

    void growGap(std::size_t extra) {
        moveGapTo(size());  // the gap at the end, where resizing opens it for free
        body_.resize(body_.size() + extra);
        gapLength_ += extra;
    }

    Items body_;                    // items before the gap, the gap, items after it
    std::size_t gapStart_ = 0;      // index in body_ of the gap's first slot
    std::size_t gapLength_ = 0;     // slots in the gap; never read
};
