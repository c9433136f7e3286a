#include "textmodel/LinePrefix.h"

#include "common/Sjis.h"
#include "textmodel/TextLines.h"

#include <algorithm>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <string>
#include <vector>

namespace {

constexpr char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The prefix made ready once for a pass over a million lines. A capital folds only as
// a single-byte character; since a folded letter is never a lead byte, the line's
// bytes before any position split into characters as the prefix's do, so the
// prefix's own split says which of the line's bytes may fold.
class Prefix {
public:
    explicit Prefix(std::string_view prefix) : bytes_(prefix), folds_(prefix.size(), 0) {
        std::size_t last = 0;
        for (std::size_t at = 0; at < bytes_.size(); at = Sjis::NextCharPos(bytes_, at)) {
            last = at;
            if (Sjis::NextCharPos(bytes_, at) == at + 1) {
                bytes_[at] = Lower(bytes_[at]);
                folds_[at] = bytes_[at] >= 'a' && bytes_[at] <= 'z';
            }
        }
        // A lone lead byte at the end is a character of its own only where the line
        // ends too; anywhere else it would be the first half of another character.
        endsInLoneLead_ = !bytes_.empty() && last + 1 == bytes_.size() &&
                          Sjis::IsLeadByte(static_cast<unsigned char>(bytes_[last]));
    }

    bool Begins(std::string_view line) const noexcept {
        const std::size_t size = bytes_.size();
        if (line.size() < size || (endsInLoneLead_ && line.size() != size)) return false;
        for (std::size_t i = 0; i < size; ++i) {
            const char c = folds_[i] ? Lower(line[i]) : line[i];
            if (c != bytes_[i]) return false;
        }
        return true;
    }

    // The same on a line as it stands in a text, followed by CR: the bytes are compared
    // up to the first that differs, which a shorter line reaches at its CR, since a
    // prefix that could match holds no line break.
    bool BeginsAt(const char* line) const noexcept {
        const std::size_t size = bytes_.size();
        for (std::size_t i = 0; i < size; ++i) {
            const char c = folds_[i] ? Lower(line[i]) : line[i];
            if (c != bytes_[i]) return false;
        }
        return !endsInLoneLead_ || line[size] == '\r';
    }

    std::size_t Size() const noexcept { return bytes_.size(); }
    // Byte `i` of the prefix, and its other case where it is a letter that folds.
    char Byte(std::size_t i) const noexcept { return bytes_[i]; }
    char OtherCase(std::size_t i) const noexcept {
        return folds_[i] ? static_cast<char>(bytes_[i] - 'a' + 'A') : bytes_[i];
    }

private:
    std::string bytes_;
    std::vector<char> folds_;  // the byte at that place is a letter that folds
    bool endsInLoneLead_ = false;
};

// Text whose lines are the bytes between its CR LFs, as a load leaves an index: the
// place of the first line that begins after an LF in text[begin, end) and begins with
// the prefix. Sixteen bytes at a time, only lines whose first `Filter` bytes could
// begin the prefix are looked at, on the bytes themselves, so a miss costs one pass
// over the text and no line is looked up by its number. Looking at the first three
// bytes rather than one keeps a common first letter from making a miss several times
// slower.
template <std::size_t Filter>
std::optional<std::size_t> FindAfterLineFeeds(std::string_view text, std::size_t begin, std::size_t end,
                                              const Prefix& wanted) {
    std::size_t at = begin;
#ifdef __SSE2__
    // A letter that folds matches either case as its small letter once 0x20 is set
    // in the line's byte; no other byte becomes a small letter so.
    const __m128i lf = _mm_set1_epi8('\n');
    __m128i byte[Filter], caseBit[Filter];
    for (std::size_t k = 0; k < Filter; ++k) {
        byte[k] = _mm_set1_epi8(wanted.Byte(k));
        caseBit[k] = _mm_set1_epi8(wanted.OtherCase(k) != wanted.Byte(k) ? 0x20 : 0);
    }
    const auto load = [&](std::size_t place) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + place));
    };
    // The LFs of a block, and the bytes after each: the loads reach `Filter` bytes past it.
    for (; at + 16 <= end && at + 16 + Filter <= text.size(); at += 16) {
        __m128i found = _mm_cmpeq_epi8(load(at), lf);
        for (std::size_t k = 0; k < Filter; ++k)
            found = _mm_and_si128(found, _mm_cmpeq_epi8(_mm_or_si128(load(at + 1 + k), caseBit[k]), byte[k]));
        for (auto candidates = static_cast<unsigned>(_mm_movemask_epi8(found)); candidates != 0;
             candidates &= candidates - 1) {
            const std::size_t lineStart = at + static_cast<std::size_t>(__builtin_ctz(candidates)) + 1;
            if (wanted.BeginsAt(text.data() + lineStart)) return lineStart;
        }
    }
#endif
    for (; at < end; ++at)
        if (text[at] == '\n' && wanted.BeginsAt(text.data() + at + 1)) return at + 1;
    return std::nullopt;
}

std::optional<std::size_t> FindAfterLineFeeds(std::string_view text, std::size_t begin, std::size_t end,
                                              const Prefix& wanted) {
    switch (wanted.Size()) {
    case 1: return FindAfterLineFeeds<1>(text, begin, end, wanted);
    case 2: return FindAfterLineFeeds<2>(text, begin, end, wanted);
    default: return FindAfterLineFeeds<3>(text, begin, end, wanted);
    }
}

// The number of the line among [low, high) that starts at byte `place` of the text
// the lines were set from: lines lie in the text in order.
std::size_t LineAt(const TextLines& lines, std::string_view text, std::size_t low, std::size_t high,
                   std::size_t place) {
    while (high - low > 1) {
        const std::size_t middle = low + (high - low) / 2;
        if (static_cast<std::size_t>(lines.LineView(middle).data() - text.data()) <= place) low = middle;
        else high = middle;
    }
    return low;
}

}  // namespace

std::optional<std::size_t> FindLineWithPrefix(const TextLines& lines, std::size_t fromLine, std::string_view prefix) {
    const std::size_t count = lines.LineCount();
    const std::size_t from = std::min(fromLine, count);
    if (prefix.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;  // no line holds one
    const Prefix wanted(prefix);
    const auto matches = [&](std::size_t line) { return wanted.Begins(lines.LineView(line)); };
    const std::optional<std::string_view> text = lines.UnchangedCrLfText();
    if (!text || prefix.empty() || count == 0) {
        // Line by line: an index is set whole and never edited, so this is for other texts.
        for (std::size_t line = from; line < count; ++line)
            if (matches(line)) return line;
        for (std::size_t line = 0; line < from; ++line)
            if (matches(line)) return line;
        return std::nullopt;
    }
    // Every line ends with CR LF: the lines after the caret's begin after the LFs from
    // its start to the last LF (which begins no line), those before it after the LFs
    // before the one that ends the line above the caret.
    const std::size_t start =
        from < count ? static_cast<std::size_t>(lines.LineView(from).data() - text->data()) : text->size();
    if (from < count) {
        if (matches(from)) return from;
        if (const auto place = FindAfterLineFeeds(*text, start, text->size() - 1, wanted))
            return LineAt(lines, *text, from + 1, count, *place);
    }
    if (from > 0) {
        if (matches(0)) return 0;
        if (const auto place = FindAfterLineFeeds(*text, 0, start - 1, wanted))
            return LineAt(lines, *text, 1, from, *place);
    }
    return std::nullopt;
}
