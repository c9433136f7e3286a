#include "session/StepRecord.h"

#include "dictionary/RecordLine.h"

#include <cstdlib>
#include <functional>
#include <limits>

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

// The line nearest to `near` (the earlier one on a tie) for which `matches` holds.
std::optional<std::int64_t> Nearest(const TextLines& text, std::int64_t near,
                                    const std::function<bool(std::string_view)>& matches) {
    std::optional<std::int64_t> best;
    std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
    const auto count = static_cast<std::int64_t>(text.LineCount());
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int64_t distance = std::abs(i - near);
        if (distance >= bestDistance) {
            if (i > near) break;  // every later line is farther still
            continue;
        }
        if (matches(text.LineView(static_cast<std::size_t>(i)))) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool Holds(const TextLines& text, std::int64_t line) {
    return line >= 0 && line < static_cast<std::int64_t>(text.LineCount());
}

}  // namespace

std::optional<std::int64_t> FindStepRecord(const TextLines& fullText, const Separators& separators,
                                           std::int64_t line, std::string_view headword, std::uint64_t hash) {
    const auto sameHeadword = [&](std::string_view text) { return StepHeadword(text, separators) == headword; };
    if (Holds(fullText, line)) {
        const std::string_view text = fullText.LineView(static_cast<std::size_t>(line));
        if (LineHash(text) == hash && sameHeadword(text)) return line;
    }
    if (const auto same = Nearest(fullText, line, [&](std::string_view text) {
            return sameHeadword(text) && LineHash(text) == hash;
        }))
        return same;
    // Without a headword the line's bytes are all there is to know it by.
    if (headword.empty()) return std::nullopt;
    if (Holds(fullText, line) && sameHeadword(fullText.LineView(static_cast<std::size_t>(line)))) return line;
    return Nearest(fullText, line, sameHeadword);
}

std::optional<std::int64_t> FindWordRecord(const TextLines& fullText, const Separators& separators,
                                           std::int64_t line, std::string_view headword,
                                           std::string_view translation) {
    return Nearest(fullText, line, [&](std::string_view text) {
        const std::optional<RecordFields> fields = CutRecordFields(text, separators);
        return fields && StepHeadword(text, separators) == headword && fields->translation == translation;
    });
}
