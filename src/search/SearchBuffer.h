#pragma once
// The text a search runs over (SearchText) and its line table (LineStarts): every
// line of the full-text view followed by CR LF, and where each line starts in it.
//
// Built once and kept until the full-text view's lines change; the window discards
// it from the lines' change notification, so a search never runs over a text the
// user no longer sees. When the lines are still the file as read and the file ends
// every line with CR LF, the search text is those very bytes and nothing is copied.
// Offsets are 64-bit: a dictionary may pass 2 GB.

#include "common/ByteBuffer.h"
#include "common/LargeBlockAllocator.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class TextLines;

class SearchBuffer {
public:
    bool IsBuilt() const noexcept { return built_; }

    // Builds the text and the line table from the lines; `lines` must outlive the
    // buffer's use, or be discarded first (its bytes may be used in place).
    void Build(const TextLines& lines);
    void Discard() noexcept;

    // SearchText: empty until built.
    std::string_view Text() const noexcept { return text_; }

    // LineStarts: zero-based offset in Text() of each line's first byte.
    std::span<const std::int64_t> LineStarts() const noexcept { return lineStarts_; }
    std::int64_t LineCount() const noexcept { return static_cast<std::int64_t>(lineStarts_.size()); }

    // The line that holds byte `offset`: the last line starting at or before it (a
    // byte past the last line start belongs to the last line). The table must not
    // be empty.
    std::int64_t LineOf(std::int64_t offset) const noexcept;

    // Line `line` without its CR LF.
    std::string_view Line(std::int64_t line) const noexcept;

private:
    ByteBuffer copy_;        // the joined lines, when they could not be used in place
    std::string_view text_;  // copy_, or the lines' own bytes
    std::vector<std::int64_t, LargeBlockAllocator<std::int64_t>> lineStarts_;
    bool built_ = false;
};
