#include "textview/TextLines.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <stdexcept>
#include <vector>

namespace {

// The first CR or LF in [p, end), or end; with StopAtNul also the first NUL byte.
// Sixteen bytes at a time: a million-line text is split while the user waits for
// the window.
template <bool StopAtNul>
const char* FindLineBreak(const char* p, const char* end) noexcept {
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i found = _mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf));
        if constexpr (StopAtNul) found = _mm_or_si128(found, _mm_cmpeq_epi8(chunk, _mm_setzero_si128()));
        const int mask = _mm_movemask_epi8(found);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p < end; ++p)
        if (*p == '\r' || *p == '\n' || (StopAtNul && *p == '\0')) return p;
    return end;
}

// Calls emit(begin, end) for every line of `text` and answers whether the text ended
// with a line break. With StopAtNul the text ends at its first NUL byte, and `text`
// is cut there: the same pass finds it, instead of a second one over the file.
template <bool StopAtNul, typename Emit>
bool SplitLines(std::string_view& text, Emit&& emit) {
    const char* end = text.data() + text.size();
    const char* lineStart = text.data();
    while (lineStart < end) {
        const char* lineBreak = FindLineBreak<StopAtNul>(lineStart, end);
        if (lineBreak == end) break;
        if (StopAtNul && *lineBreak == '\0') {
            end = lineBreak;
            text = text.substr(0, static_cast<std::size_t>(end - text.data()));
            break;
        }
        emit(lineStart, lineBreak);
        if (*lineBreak == '\r' && lineBreak + 1 < end && lineBreak[1] == '\n') ++lineBreak;
        lineStart = lineBreak + 1;
    }
    if (lineStart < end) {
        emit(lineStart, end);
        return false;
    }
    return !text.empty();
}

}  // namespace

void TextLines::SetWholeText(std::string text) {
    SetWholeText(ByteBuffer(std::move(text)));
}

void TextLines::SetWholeText(ByteBuffer text) {
    // The old spans go before the new ones are made: a reload should not hold both.
    lines_.clear();
    base_ = std::move(text);
    added_.clear();
    added_.shrink_to_fit();

    // A guess at the line count; room never written costs no memory.
    SplitVector<Span>::Items spans;
    spans.reserve(base_.size() / 32 + 16);
    const char* const origin = base_.data();
    const char* const end = origin + base_.size();
    std::size_t longest = 0;
    bool crLf = true;
    std::string_view whole = base_.view();
    endsWithLineBreak_ = SplitLines<true>(whole, [&](const char* b, const char* e) {
        spans.push_back({static_cast<std::uint64_t>(b - origin), static_cast<std::uint64_t>(e - b)});
        longest = std::max(longest, static_cast<std::size_t>(e - b));
        // A NUL right after a CR is no LF either, so `end` may lie past the cut.
        if (e == end || *e != '\r' || e + 1 == end || e[1] != '\n') crLf = false;
    });
    bytesCutAtNul_ = base_.size() - whole.size();
    base_.Truncate(whole.size());
    longestLine_ = longest;
    lines_ = SplitVector<Span>(std::move(spans));
    modified_ = false;
    unchanged_ = true;
    crLfThroughout_ = crLf;
    Notify(LinesChange::WholeText);
}

std::string TextLines::WholeText() const {
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) total += lines_[i].length + 2;
    std::string text;
    text.reserve(total);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        text.append(LineView(i));
        if (i + 1 < lines_.size() || endsWithLineBreak_) text.append("\r\n");
    }
    return text;
}

int TextLines::AddChangeListener(ChangeListener listener) {
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void TextLines::RemoveChangeListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void TextLines::Notify(LinesChange change) {
    if (change != LinesChange::WholeText) unchanged_ = false;
    for (const auto& [id, listener] : listeners_) listener(change);
}

std::optional<std::string_view> TextLines::UnchangedCrLfText() const noexcept {
    if (!unchanged_ || !crLfThroughout_) return std::nullopt;
    return base_.view();
}

std::string_view TextLines::LineView(std::size_t index) const noexcept {
    const Span& span = lines_[index];
    const std::string_view buffer = (span.start & kAddedFlag) ? std::string_view(added_) : base_.view();
    return buffer.substr(span.start & ~kAddedFlag, span.length);
}

std::string TextLines::Line(std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= lines_.size()) throw ListIndexError(index);
    return std::string(LineView(static_cast<std::size_t>(index)));
}

TextLines::Span TextLines::AddLine(std::string_view text) {
    // append copes with `text` being a view of added_ itself (a line copied to another).
    const Span span{added_.size() | kAddedFlag, text.size()};
    longestLine_ = std::max(longestLine_, text.size());
    added_.append(text);
    return span;
}

void TextLines::InsertLines(std::size_t position, std::string_view text) {
    // The pieces are copied first: `text` may be a view of added_, which grows here.
    const std::string copy(text);
    std::string_view bytes = copy;
    std::vector<std::string_view> pieces;
    const bool trailingBreak = SplitLines<false>(bytes, [&](const char* b, const char* e) {
        pieces.emplace_back(b, static_cast<std::size_t>(e - b));
    });
    if (trailingBreak || pieces.empty()) pieces.emplace_back();  // what follows the last break
    for (std::size_t i = 0; i < pieces.size(); ++i) lines_.insert(position + i, AddLine(pieces[i]));
}

void TextLines::ReplaceLine(std::int64_t index, std::string_view text) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= lines_.size()) throw ListIndexError(index);
    const auto position = static_cast<std::size_t>(index);
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        lines_[position] = AddLine(text);
    } else {
        lines_.erase(position);
        InsertLines(position, text);
    }
    modified_ = true;
    Notify(LinesChange::Lines);
}

void TextLines::DeleteRow(std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= lines_.size()) return;
    lines_.erase(static_cast<std::size_t>(index));
    modified_ = true;
    Notify(LinesChange::Lines);
}

void TextLines::AppendLine(std::string_view text) {
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        lines_.push_back(AddLine(text));
    } else {
        InsertLines(lines_.size(), text);
    }
    endsWithLineBreak_ = true;
    Notify(LinesChange::Lines);
}

void TextLines::ClearLines() {
    lines_.clear();
    bytesCutAtNul_ = 0;
    base_ = ByteBuffer();
    added_.clear();
    longestLine_ = 0;
    endsWithLineBreak_ = false;
    unchanged_ = true;
    crLfThroughout_ = true;  // no line, and base_ is empty: the same bytes
    Notify(LinesChange::WholeText);
}

void TextLines::SaveLinesToFile(const std::string& path) const {
    WriteFileAtomically(path, WholeText());
}

void TextLines::Check() const {
    lines_.Check();
    if (base_.view().find('\0') != std::string_view::npos) throw std::logic_error("a NUL byte in the text");
    std::uint64_t lineBytes = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lineBytes += lines_[i].length;
        if (LineView(i).size() > longestLine_) throw std::logic_error("line " + std::to_string(i) + " is longer than the bound");
        const Span& span = lines_[i];
        const std::string_view buffer = (span.start & kAddedFlag) ? std::string_view(added_) : base_.view();
        const std::uint64_t start = span.start & ~kAddedFlag;
        if (start > buffer.size() || span.length > buffer.size() - start)
            throw std::logic_error("line " + std::to_string(i) + " reaches past its buffer");
        if (LineView(i).find_first_of("\r\n") != std::string_view::npos)
            throw std::logic_error("line " + std::to_string(i) + " holds a line break");
    }
    if (lineBytes > TextBytesBound()) throw std::logic_error("the lines hold more bytes than the bound");
}
