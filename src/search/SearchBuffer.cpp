#include "search/SearchBuffer.h"

#include "textmodel/TextLines.h"

#include <algorithm>

void SearchBuffer::Build(const TextLines& lines) {
    Discard();
    const std::size_t count = lines.LineCount();
    lineStarts_.reserve(count);
    if (const std::optional<std::string_view> unchanged = lines.UnchangedCrLfText()) {
        text_ = *unchanged;
        for (std::size_t i = 0; i < count; ++i)
            lineStarts_.push_back(static_cast<std::int64_t>(lines.LineView(i).data() - text_.data()));
    } else {
        std::size_t total = 0;
        for (std::size_t i = 0; i < count; ++i) total += lines.LineView(i).size() + 2;
        copy_ = ByteBuffer::WithCapacity(total);
        for (std::size_t i = 0; i < count; ++i) {
            lineStarts_.push_back(static_cast<std::int64_t>(copy_.size()));
            copy_.Append(lines.LineView(i));
            copy_.Append("\r\n");
        }
        text_ = copy_.view();
    }
    built_ = true;
}

void SearchBuffer::Discard() noexcept {
    copy_ = ByteBuffer();
    text_ = {};
    std::vector<std::int64_t, LargeBlockAllocator<std::int64_t>>().swap(lineStarts_);
    built_ = false;
}

std::int64_t SearchBuffer::LineOf(std::int64_t offset) const noexcept {
    const auto after = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    return std::max<std::int64_t>(0, (after - lineStarts_.begin()) - 1);
}

std::string_view SearchBuffer::Line(std::int64_t line) const noexcept {
    const auto index = static_cast<std::size_t>(line);
    const auto begin = static_cast<std::size_t>(lineStarts_[index]);
    const std::size_t end =
        index + 1 < lineStarts_.size() ? static_cast<std::size_t>(lineStarts_[index + 1]) : text_.size();
    return text_.substr(begin, end - begin - 2);
}
