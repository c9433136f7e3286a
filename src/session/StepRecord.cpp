#include "session/StepRecord.h"

#include "dictionary/RecordLine.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

std::string StepHeadword(std::string_view line, const Separators& separators) {
    const IndexEntry entry = CutIndexEntry(line, separators);
    if (entry.damage == LineDamage::None) return std::string(entry.headword);
    return std::string(CutSearchHeadword(line, separators));
}

std::uint64_t LineHash(std::string_view line) noexcept {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : line) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

namespace {

// Of `lines` (in order), the one nearest to `near` (the earlier on a tie) for which
// `matches` holds.
std::optional<std::int64_t> Nearest(const std::vector<std::int64_t>& lines, std::int64_t near,
                                    const std::function<bool(std::int64_t)>& matches) {
    std::optional<std::int64_t> best;
    for (const std::int64_t line : lines) {
        if (best && std::abs(line - near) >= std::abs(*best - near)) {
            if (line > near) break;  // every later line is farther still
            continue;
        }
        if (matches(line)) best = line;
    }
    return best;
}

}  // namespace

RecordFinder::RecordFinder(const TextLines& fullText, const Separators& separators)
    : text_(fullText), separators_(separators) {}

bool RecordFinder::Holds(std::int64_t line) const {
    return line >= 0 && line < static_cast<std::int64_t>(text_.LineCount());
}

std::string_view RecordFinder::Text(std::int64_t line) const {
    return text_.LineView(static_cast<std::size_t>(line));
}

const std::vector<std::int64_t>& RecordFinder::LinesOf(std::string_view headword) {
    if (!indexed_) {
        indexed_ = true;
        const auto count = static_cast<std::int64_t>(text_.LineCount());
        for (std::int64_t line = 0; line < count; ++line)
            linesOfHeadword_[StepHeadword(Text(line), separators_)].push_back(line);
    }
    static const std::vector<std::int64_t> none;
    const auto found = linesOfHeadword_.find(std::string(headword));
    return found == linesOfHeadword_.end() ? none : found->second;
}

std::optional<std::int64_t> RecordFinder::FindExact(std::int64_t line, std::string_view headword,
                                                    std::uint64_t hash) {
    const auto same = [&](std::int64_t at) { return LineHash(Text(at)) == hash; };
    if (Holds(line) && same(line) && StepHeadword(Text(line), separators_) == headword) return line;
    return Nearest(LinesOf(headword), line, same);
}

std::optional<std::int64_t> RecordFinder::FindStep(std::int64_t line, std::string_view headword,
                                                   std::uint64_t hash) {
    if (const std::optional<std::int64_t> exact = FindExact(line, headword, hash)) return exact;
    // Without a headword the line's bytes are all there is to know it by.
    if (headword.empty()) return std::nullopt;
    const std::vector<std::int64_t>& lines = LinesOf(headword);
    if (std::binary_search(lines.begin(), lines.end(), line)) return line;
    return Nearest(lines, line, [](std::int64_t) { return true; });
}

std::optional<std::int64_t> RecordFinder::FindWord(std::int64_t line, std::string_view headword,
                                                   std::string_view translation) {
    const auto same = [&](std::int64_t at) {
        const std::optional<RecordFields> fields = CutRecordFields(Text(at), separators_);
        return fields && fields->translation == translation;
    };
    if (Holds(line) && StepHeadword(Text(line), separators_) == headword && same(line)) return line;
    return Nearest(LinesOf(headword), line, same);
}
