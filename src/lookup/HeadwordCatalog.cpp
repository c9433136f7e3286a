#include "lookup/HeadwordCatalog.h"

#include "lookup/HeadwordKey.h"
#include "textmodel/TextLines.h"

#include <algorithm>
#include <unordered_map>

namespace {

constexpr std::size_t kStopPollRows = 4096;

}  // namespace

HeadwordCatalog HeadwordCatalog::Build(const TextLines& headwords, std::stop_token stop) {
    HeadwordCatalog catalog;
    // The keys' bytes never outgrow the text's, so views into them stay valid while
    // the distinct ones are gathered.
    catalog.keys_.reserve(headwords.TextBytesBound());
    std::unordered_map<std::string_view, std::size_t> seen;
    std::string key;
    const std::size_t rows = headwords.LineCount();
    for (std::size_t row = 0; row < rows; ++row) {
        if (row % kStopPollRows == 0 && stop.stop_requested()) return {};
        key = LookupKey(headwords.LineView(row));
        if (key.empty() || seen.contains(key)) continue;
        const std::size_t offset = catalog.keys_.size();
        catalog.keys_ += key;
        seen.emplace(std::string_view(catalog.keys_).substr(offset, key.size()), catalog.entries_.size());
        catalog.entries_.push_back({offset, static_cast<std::uint32_t>(key.size()), static_cast<std::int64_t>(row)});
        catalog.longestKey_ = std::max(catalog.longestKey_, key.size());
    }
    seen = {};
    if (stop.stop_requested()) return {};
    std::sort(catalog.entries_.begin(), catalog.entries_.end(),
              [&catalog](const Entry& a, const Entry& b) { return catalog.KeyOf(a) < catalog.KeyOf(b); });
    for (const Entry& entry : catalog.entries_) catalog.spelling_.Add(SpellingKey(catalog.KeyOf(entry)), entry.line);
    catalog.spelling_.Finish();
    catalog.keys_.shrink_to_fit();
    return catalog;
}

std::optional<std::int64_t> HeadwordCatalog::Find(std::string_view lookupKey) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), lookupKey,
                                     [this](const Entry& entry, std::string_view key) { return KeyOf(entry) < key; });
    if (at == entries_.end() || KeyOf(*at) != lookupKey) return std::nullopt;
    return at->line;
}

std::vector<std::int64_t> HeadwordCatalog::StartingWith(std::string_view prefix, std::size_t maxCount) const {
    std::vector<std::int64_t> lines;
    if (prefix.empty()) return lines;
    auto at = std::lower_bound(entries_.begin(), entries_.end(), prefix,
                               [this](const Entry& entry, std::string_view key) { return KeyOf(entry) < key; });
    for (; at != entries_.end() && lines.size() < maxCount && KeyOf(*at).starts_with(prefix); ++at)
        lines.push_back(at->line);
    return lines;
}

std::vector<SpellingMatch> HeadwordCatalog::Suggest(std::string_view lookupKey, int maxDistance,
                                                    std::size_t maxCount) const {
    return spelling_.Suggest(SpellingKey(lookupKey), maxDistance, maxCount);
}

std::size_t HeadwordCatalog::HeldBytes() const noexcept {
    return keys_.capacity() + entries_.capacity() * sizeof(Entry) + spelling_.HeldBytes();
}
