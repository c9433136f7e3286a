#include "textmodel/TextLines.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"

#include <algorithm>
#include <exception>
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

TextPosition EndAfter(TextPosition at, std::string_view text) noexcept {
    std::int64_t pieces = 0;
    std::size_t lastPiece = 0;
    const bool trailingBreak = SplitLines<false>(text, [&](const char* b, const char* e) {
        ++pieces;
        lastPiece = static_cast<std::size_t>(e - b);
    });
    if (trailingBreak) return {at.line + pieces, 0};
    if (pieces <= 1) return {at.line, at.column + text.size()};
    return {at.line + pieces - 1, lastPiece};
}

void TextLines::SetWholeText(std::string text) {
    SetWholeText(ByteBuffer(std::move(text)));
}

void TextLines::SetWholeText(ByteBuffer text) {
    // The old lines go before the new ones are made: a reload should not hold both.
    ReleaseText();

    // Nothing is kept until the lines are made: running out of memory on the way
    // leaves no lines and no bytes, never bytes without their lines.
    // A guess at the line count; room never written costs no memory.
    SplitVector<Span>::Items spans;
    spans.reserve(text.size() / 32 + 16);
    const char* const origin = text.data();
    const char* const end = origin + text.size();
    std::size_t longest = 0;
    std::uint64_t lineBytes = 0;
    bool crLf = true;
    std::string_view whole = text.view();
    const bool endsWithLineBreak = SplitLines<true>(whole, [&](const char* b, const char* e) {
        spans.push_back({static_cast<std::uint64_t>(b - origin), static_cast<std::uint64_t>(e - b)});
        longest = std::max(longest, static_cast<std::size_t>(e - b));
        lineBytes += static_cast<std::uint64_t>(e - b);
        // A NUL right after a CR is no LF either, so `end` may lie past the cut.
        if (e == end || *e != '\r' || e + 1 == end || e[1] != '\n') crLf = false;
    });
    lines_ = SplitVector<Span>(std::move(spans));
    bytesCutAtNul_ = text.size() - whole.size();
    text.Truncate(whole.size());
    base_ = std::move(text);
    endsWithLineBreak_ = endsWithLineBreak;
    longestLine_ = longest;
    liveBytes_ = lineBytes;
    modified_ = false;
    unchanged_ = true;
    crLfThroughout_ = crLf;
    Notify({LinesChange::Kind::WholeText, 0, 0, static_cast<std::int64_t>(lines_.size())});
}

void TextLines::ReleaseText() {
    const auto before = static_cast<std::int64_t>(lines_.size());
    lines_.clear();
    // Told before the bytes are freed: whatever still points into them (the search
    // text) lets go first, even when making the next text then runs out of memory.
    // The lines are released whatever a listener does.
    std::exception_ptr failure;
    try {
        Notify({LinesChange::Kind::WholeText, 0, before, 0});
    } catch (...) {
        failure = std::current_exception();
    }
    bytesCutAtNul_ = 0;
    base_ = ByteBuffer();
    std::string().swap(added_);
    std::string().swap(hot_);
    hotLine_ = kNoHotLine;
    liveBytes_ = 0;
    longestLine_ = 0;
    endsWithLineBreak_ = false;
    unchanged_ = true;
    crLfThroughout_ = true;  // no line, and base_ is empty: the same bytes
    if (failure) std::rethrow_exception(failure);
}

std::string TextLines::WholeText() const {
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) total += LineView(i).size() + 2;
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
    if (change.kind != LinesChange::Kind::WholeText) unchanged_ = false;
    // Every listener hears of the change, even when one of them fails: another may
    // hold a view of bytes about to go.
    std::exception_ptr failure;
    for (const auto& [id, listener] : listeners_) {
        try {
            listener(change);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

void TextLines::NotifyLines(std::int64_t firstLine, std::int64_t before, std::int64_t after) {
    Notify({LinesChange::Kind::Lines, firstLine, before, after});
}

std::optional<std::string_view> TextLines::UnchangedCrLfText() const noexcept {
    if (!unchanged_ || !crLfThroughout_) return std::nullopt;
    return base_.view();
}

std::string_view TextLines::LineView(std::size_t index) const noexcept {
    const Span& span = lines_[index];
    if (span.start & kHotFlag) return hot_;
    const std::string_view buffer = (span.start & kAddedFlag) ? std::string_view(added_) : base_.view();
    return buffer.substr(span.start & ~kAddedFlag, span.length);
}

void TextLines::CheckIndex(std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= lines_.size()) throw ListIndexError(index);
}

std::string TextLines::Line(std::int64_t index) const {
    CheckIndex(index);
    return std::string(LineView(static_cast<std::size_t>(index)));
}

TextLines::Span TextLines::AddLine(std::string_view text) {
    // append copes with `text` being a view of added_ itself (a line copied to another).
    const Span span{added_.size() | kAddedFlag, text.size()};
    longestLine_ = std::max(longestLine_, text.size());
    liveBytes_ += text.size();
    added_.append(text);
    return span;
}

void TextLines::Drop(const Span& span) {
    if (span.start & kHotFlag) {
        if (hot_.capacity() > kHotLineKeep) std::string().swap(hot_);
        hot_.clear();
        hotLine_ = kNoHotLine;
    } else {
        liveBytes_ -= span.length;
    }
}

void TextLines::SetSpan(std::size_t index, const Span& span) {
    Drop(lines_[index]);
    lines_[index] = span;
}

void TextLines::EraseLine(std::size_t index) {
    Drop(lines_[index]);
    lines_.erase(index);
    if (hotLine_ != kNoHotLine && index < hotLine_) --hotLine_;
}

std::size_t TextLines::InsertLines(std::size_t position, std::string_view text) {
    // The pieces are copied first: `text` may be a view of added_, which grows here.
    const std::string copy(text);
    std::string_view bytes = copy;
    std::vector<std::string_view> pieces;
    const bool trailingBreak = SplitLines<false>(bytes, [&](const char* b, const char* e) {
        pieces.emplace_back(b, static_cast<std::size_t>(e - b));
    });
    if (trailingBreak || pieces.empty()) pieces.emplace_back();  // what follows the last break
    for (std::size_t i = 0; i < pieces.size(); ++i) lines_.insert(position + i, AddLine(pieces[i]));
    if (hotLine_ != kNoHotLine && position <= hotLine_) hotLine_ += pieces.size();
    return pieces.size();
}

std::string& TextLines::MakeHot(std::size_t index) {
    if (hotLine_ == index) return hot_;
    CoolHotLine();
    const std::string_view bytes = LineView(index);
    // Room for a good deal of typing before the line has to move again.
    hot_.reserve(bytes.size() + bytes.size() / 16 + 64);
    hot_.assign(bytes);
    Drop(lines_[index]);
    lines_[index] = Span{kHotFlag, 0};
    hotLine_ = index;
    return hot_;
}

void TextLines::CoolHotLine() {
    if (hotLine_ == kNoHotLine) return;
    const std::size_t index = hotLine_;
    const Span span = AddLine(hot_);
    Drop(lines_[index]);
    lines_[index] = span;
}

void TextLines::CompactIfWasteful() {
    // Bytes no line uses are kept until they outweigh the bytes in use, so every
    // copy here pays for as many bytes of editing before it.
    if (base_.size() + added_.size() <= 2 * liveBytes_ + kWasteAllowance) return;
    std::string fresh;
    fresh.reserve(liveBytes_);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].start & kHotFlag) continue;
        const std::string_view bytes = LineView(i);
        lines_[i] = Span{fresh.size() | kAddedFlag, bytes.size()};
        fresh.append(bytes);
    }
    added_ = std::move(fresh);
    base_ = ByteBuffer();
    unchanged_ = false;
}

void TextLines::FinishEdit(std::int64_t firstLine, std::int64_t before, std::int64_t after) {
    modified_ = true;
    unchanged_ = false;
    // Told before any byte is freed: the search text may still view the text as read.
    NotifyLines(firstLine, before, after);
    // The copy only saves memory, and is tried again at the next edit when there is
    // none to spare now.
    try {
        CompactIfWasteful();
    } catch (const std::bad_alloc&) {
    }
}

void TextLines::ReplaceLine(std::int64_t index, std::string_view text) {
    CheckIndex(index);
    const auto position = static_cast<std::size_t>(index);
    std::size_t count = 1;
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        SetSpan(position, AddLine(text));
    } else {
        // `text` may be a view of this very line: the pieces are copied before it goes.
        const std::string copy(text);
        EraseLine(position);
        count = InsertLines(position, copy);
    }
    FinishEdit(index, 1, static_cast<std::int64_t>(count));
}

void TextLines::DeleteRow(std::int64_t index) {
    if (index < 0 || static_cast<std::uint64_t>(index) >= lines_.size()) return;
    EraseLine(static_cast<std::size_t>(index));
    FinishEdit(index, 1, 0);
}

void TextLines::AppendLine(std::string_view text) {
    const auto before = static_cast<std::int64_t>(lines_.size());
    if (text.find_first_of("\r\n") == std::string_view::npos) {
        lines_.push_back(AddLine(text));
    } else {
        InsertLines(lines_.size(), text);
    }
    endsWithLineBreak_ = true;
    NotifyLines(before, 0, static_cast<std::int64_t>(lines_.size()) - before);
}

void TextLines::ClearLines() { ReleaseText(); }

TextPosition TextLines::EndPosition() const noexcept {
    const auto count = static_cast<std::int64_t>(lines_.size());
    if (endsWithLineBreak_ || count == 0) return {count, 0};
    return {count - 1, LineView(lines_.size() - 1).size()};
}

void TextLines::MaterialiseEndLine(std::int64_t line) {
    if (line != static_cast<std::int64_t>(lines_.size())) return;
    lines_.push_back(AddLine({}));
    endsWithLineBreak_ = false;
}

namespace {

void CheckPosition(const TextLines& lines, const TextPosition& at) {
    const TextPosition end = lines.EndPosition();
    if (at.line < 0 || at > end) throw ListIndexError(at.line);
    if (at.line < static_cast<std::int64_t>(lines.LineCount()) &&
        at.column > lines.LineView(static_cast<std::size_t>(at.line)).size())
        throw ListIndexError(at.line);
}

}  // namespace

TextPosition TextLines::InsertText(TextPosition at, std::string_view bytes) {
    CheckPosition(*this, at);
    if (bytes.empty()) return at;
    const auto linesBefore = static_cast<std::int64_t>(lines_.size());
    const std::int64_t touchedBefore = at.line < linesBefore ? 1 : 0;
    MaterialiseEndLine(at.line);
    const auto index = static_cast<std::size_t>(at.line);
    TextPosition end;
    if (bytes.find_first_of("\r\n") == std::string_view::npos) {
        // Copied first: `bytes` may be a view of the lines, which making a line hot moves.
        const std::string copy(bytes);
        std::string& line = MakeHot(index);
        line.insert(at.column, copy);
        longestLine_ = std::max(longestLine_, line.size());
        end = {at.line, at.column + bytes.size()};
    } else {
        const std::string_view line = LineView(index);
        const std::size_t tailLength = line.size() - at.column;
        std::string joined;
        joined.reserve(line.size() + bytes.size());
        joined.append(line.substr(0, at.column)).append(bytes).append(line.substr(at.column));
        EraseLine(index);
        const std::size_t count = InsertLines(index, joined);
        const std::size_t lastLine = index + count - 1;
        end = {static_cast<std::int64_t>(lastLine), LineView(lastLine).size() - tailLength};
    }
    FinishEdit(at.line, touchedBefore, touchedBefore + static_cast<std::int64_t>(lines_.size()) - linesBefore);
    return end;
}

std::string TextLines::TextBetween(TextPosition from, TextPosition to) const {
    CheckPosition(*this, from);
    CheckPosition(*this, to);
    if (to <= from) return {};
    const auto lineAt = [this](std::int64_t line) {
        return line < static_cast<std::int64_t>(lines_.size()) ? LineView(static_cast<std::size_t>(line))
                                                               : std::string_view();
    };
    if (from.line == to.line) return std::string(lineAt(from.line).substr(from.column, to.column - from.column));
    std::string text(lineAt(from.line).substr(from.column));
    for (std::int64_t line = from.line + 1; line < to.line; ++line) text.append("\r\n").append(lineAt(line));
    text.append("\r\n").append(lineAt(to.line).substr(0, to.column));
    return text;
}

std::string TextLines::RemoveText(TextPosition from, TextPosition to) {
    CheckPosition(*this, from);
    CheckPosition(*this, to);
    if (to <= from) return {};
    std::string removed = TextBetween(from, to);
    const auto linesBefore = static_cast<std::int64_t>(lines_.size());
    const std::int64_t touchedBefore = std::min(to.line, linesBefore - 1) - from.line + 1;
    MaterialiseEndLine(to.line);
    const auto first = static_cast<std::size_t>(from.line);
    if (from.line == to.line) {
        MakeHot(first).erase(from.column, to.column - from.column);
    } else {
        std::string joined(LineView(first).substr(0, from.column));
        joined.append(LineView(static_cast<std::size_t>(to.line)).substr(to.column));
        // From the back, so the gap of the line vector moves one line per erase.
        for (auto line = static_cast<std::size_t>(to.line); line > first; --line) EraseLine(line);
        SetSpan(first, AddLine(joined));
    }
    FinishEdit(from.line, touchedBefore, touchedBefore + static_cast<std::int64_t>(lines_.size()) - linesBefore);
    return removed;
}

void TextLines::SaveLinesToFile(const std::string& path) const {
    WriteFileAtomically(path, [this](const ByteSink& sink) { WriteTo(sink); });
}

void TextLines::WriteTo(const ByteSink& sink) const {
    // The lines go out through a buffer of a few megabytes rather than as one copy of
    // the whole text, and the text as read goes out as it is.
    if (const auto unchanged = UnchangedCrLfText()) {
        sink(*unchanged);
        return;
    }
    constexpr std::size_t kChunk = 4u << 20;
    std::string chunk;
    chunk.reserve(kChunk);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        chunk.append(LineView(i));
        if (i + 1 < lines_.size() || endsWithLineBreak_) chunk.append("\r\n");
        if (chunk.size() >= kChunk) {
            if (!sink(chunk)) return;
            chunk.clear();
        }
    }
    sink(chunk);
}

void TextLines::Check() const {
    lines_.Check();
    if (base_.view().find('\0') != std::string_view::npos) throw std::logic_error("a NUL byte in the text");
    std::uint64_t lineBytes = 0;
    std::uint64_t liveBytes = 0;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Span& span = lines_[i];
        const std::string_view line = LineView(i);
        lineBytes += line.size();
        if (line.size() > longestLine_) throw std::logic_error("line " + std::to_string(i) + " is longer than the bound");
        if (line.find_first_of("\r\n") != std::string_view::npos)
            throw std::logic_error("line " + std::to_string(i) + " holds a line break");
        if (span.start & kHotFlag) {
            if (i != hotLine_) throw std::logic_error("line " + std::to_string(i) + " is hot but not the hot line");
            continue;
        }
        liveBytes += span.length;
        const std::string_view buffer = (span.start & kAddedFlag) ? std::string_view(added_) : base_.view();
        const std::uint64_t start = span.start & ~kAddedFlag;
        if (start > buffer.size() || span.length > buffer.size() - start)
            throw std::logic_error("line " + std::to_string(i) + " reaches past its buffer");
    }
    if (hotLine_ != kNoHotLine && (hotLine_ >= lines_.size() || !(lines_[hotLine_].start & kHotFlag)))
        throw std::logic_error("the hot line is not marked hot");
    if (liveBytes != liveBytes_) throw std::logic_error("the count of bytes in use is wrong");
    if (lineBytes > TextBytesBound()) throw std::logic_error("the lines hold more bytes than the bound");
}
