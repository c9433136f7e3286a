#include "search/HitList.h"

#include "common/Sjis.h"
#include "search/EBMSearch.h"
#include "search/SearchBuffer.h"

#include <algorithm>
#include <bit>
#include <optional>

namespace {

bool IsWordDelimiter(char c) noexcept {
    switch (c) {
    case '\t': case '\n': case '\r': case ' ': case '(': case ')': case ',':
    case '-': case '.': case '/': case ':': case '<': case '>': case '?':
        return true;
    default:
        return false;
    }
}

struct LocatedHit {
    std::int64_t line;
    int key;
};

}  // namespace

bool IsWholeWordHit(std::string_view line, std::size_t position, std::size_t keyLength) noexcept {
    const std::size_t from = position == 0 ? 0 : position - 1;
    const std::string_view excerpt = line.substr(std::min(from, line.size()), keyLength + 2);
    // The byte before the key may be the second byte of a Japanese character even when
    // it looks like a letter: then a double-byte character stands beside the key too.
    if (!Sjis::IsSingleByteText(excerpt) ||
        (position > 0 && position - 1 < line.size() && Sjis::IsTrailByte(line, position - 1)))
        return true;
    // A key that begins with a line break starts past the line's text: the byte before
    // it is then the line's own break.
    const char before = position == 0 ? ' ' : position - 1 < line.size() ? line[position - 1] : '\r';
    const char after = position + keyLength < line.size() ? line[position + keyLength] : ' ';
    return IsWordDelimiter(before) && IsWordDelimiter(after);
}

void HitList::Clear() {
    rawHits_.clear();
    rawHits_.shrink_to_fit();
    results_.clear();
    holdsResults_ = false;
}

std::int64_t HitList::CollectHits(std::string_view searchText, const KeySlots& keys) {
    Clear();
    std::vector<std::string> patterns;
    for (const std::string& key : keys) {
        if (key.empty()) break;
        patterns.push_back(key);
    }
    TEBMSearch search;
    search.SetOptions(TEBMSearch::CheckedMatch);
    search.SetPatterns(std::move(patterns));
    search.Start(searchText.data(), searchText.data() + searchText.size());
    while (search.FindNext()) rawHits_.emplace_back(search.MatchStart() - searchText.data(), search.MatchIndex());
    return static_cast<std::int64_t>(rawHits_.size());
}

std::int64_t HitList::BuildResultList(int keyCount, const KeySlots& keys, const SearchBuffer& buffer,
                                      const SearchOptions& options, const Separators& separators) {
    // Locate every raw hit and keep those that pass the whole-word and field checks.
    std::vector<LocatedHit> located;
    located.reserve(rawHits_.size());
    const std::span<const std::int64_t> lineStarts = buffer.LineStarts();
    std::int64_t line = -1;
    std::int64_t lineStart = 0, nextLineStart = 0;
    std::string_view text;
    std::optional<HitSeparators> separatorsAt;  // of `text`, looked for once its first hit needs them
    for (const RawHit& hit : rawHits_) {
        const std::int64_t offset = hit.Offset();
        // Hits come in text order, so the line is usually the last one or just after.
        if (line < 0 || offset < lineStart || offset >= nextLineStart) {
            line = buffer.LineOf(offset);
            lineStart = lineStarts[static_cast<std::size_t>(line)];
            nextLineStart = static_cast<std::size_t>(line) + 1 < lineStarts.size()
                                ? lineStarts[static_cast<std::size_t>(line) + 1]
                                : INT64_MAX;
            text = buffer.Line(line);
            separatorsAt.reset();
        }
        const auto position = static_cast<std::size_t>(offset - lineStart);
        const std::size_t keyLength = keys[static_cast<std::size_t>(hit.Key())].size();
        if (options.wordMatch && !IsWholeWordHit(text, position, keyLength)) continue;
        if (options.scope != RecordField::WholeRecord) {
            if (!separatorsAt) separatorsAt = FindHitSeparators(text, separators);
            if (HitFieldByBytes(*separatorsAt, position) != options.scope) continue;
        }
        located.push_back({line, hit.Key()});
    }

    // One entry per line: with AND, only lines that hold every key.
    const auto byLine = [](const LocatedHit& a, const LocatedHit& b) { return a.line < b.line; };
    if (!std::is_sorted(located.begin(), located.end(), byLine))
        std::stable_sort(located.begin(), located.end(), byLine);
    const bool everyKey = options.andMatch && keyCount > 1;
    results_.clear();
    for (std::size_t i = 0; i < located.size();) {
        const std::int64_t current = located[i].line;
        unsigned keysSeen = 0;
        for (; i < located.size() && located[i].line == current; ++i) keysSeen |= 1u << located[i].key;
        if (everyKey && std::popcount(keysSeen) != keyCount) continue;
        results_.push_back({current, std::string(CutSearchHeadword(buffer.Line(current), separators))});
    }
    rawHits_.clear();
    rawHits_.shrink_to_fit();
    holdsResults_ = true;
    return static_cast<std::int64_t>(results_.size());
}

std::string HitList::SearchIndexText() const {
    std::string text;
    for (const ResultEntry& entry : results_) {
        text += entry.headword;
        text += " (";
        text += std::to_string(entry.line);
        text += ")\r\n";
    }
    return text;
}
