#include "lookup/HeadwordCatalog.h"

#include "lookup/HeadwordKey.h"
#include "textmodel/TextLines.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace {

constexpr std::size_t kStopPollRows = 4096;
constexpr std::size_t kMostRememberedAsWritten = 1u << 16;

// A key's first eight bytes as one number that orders as the bytes do, so that most
// comparisons of a sort read no key at all.
std::uint64_t LeadingBytes(std::string_view key) {
    std::uint64_t number = 0;
    for (std::size_t i = 0; i < 8; ++i)
        number = (number << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return number;
}

}  // namespace

void HeadwordCatalog::SortEntries() {
    struct SortItem {
        std::uint64_t leading;
        std::uint32_t entry;
    };
    std::vector<SortItem> items(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        items[i] = {LeadingBytes(KeyOf(entries_[i])), static_cast<std::uint32_t>(i)};
    std::sort(items.begin(), items.end(), [this](const SortItem& a, const SortItem& b) {
        if (a.leading != b.leading) return a.leading < b.leading;
        return KeyOf(entries_[a.entry]) < KeyOf(entries_[b.entry]);
    });
    std::vector<Entry> sorted;
    sorted.reserve(entries_.size());
    for (const SortItem& item : items) sorted.push_back(entries_[item.entry]);
    entries_ = std::move(sorted);
}

HeadwordCatalog HeadwordCatalog::Build(const TextLines& headwords, std::stop_token stop) {
    HeadwordCatalog catalog;
    // The keys' bytes never outgrow the text's, so views into them stay valid while
    // the distinct ones are gathered.
    catalog.keys_.reserve(headwords.TextBytesBound());
    std::unordered_set<std::string_view> seen;
    // A headword is mostly spelt as it was on an earlier row: its bytes as they stand
    // are looked for first, which costs no key. The views are of the index's rows,
    // which stay as they are while the build runs.
    std::unordered_set<std::string_view> seenAsWritten;
    std::string key;
    const std::size_t rows = std::min<std::size_t>(headwords.LineCount(), UINT32_MAX);
    for (std::size_t row = 0; row < rows; ++row) {
        if (row % kStopPollRows == 0 && stop.stop_requested()) return {};
        const std::string_view written = headwords.LineView(row);
        if (seenAsWritten.contains(written)) continue;
        // A dictionary of many different headwords gains nothing by it: only so many.
        if (seenAsWritten.size() < kMostRememberedAsWritten) seenAsWritten.insert(written);
        key = LookupKey(written);
        if (key.empty() || seen.contains(key)) continue;
        const std::size_t offset = catalog.keys_.size();
        if (offset + key.size() > UINT32_MAX) break;
        catalog.keys_ += key;
        seen.insert(std::string_view(catalog.keys_).substr(offset, key.size()));
        catalog.entries_.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(key.size()),
                                    static_cast<std::uint32_t>(row)});
        catalog.longestKey_ = std::max(catalog.longestKey_, key.size());
    }
    seen = {};
    seenAsWritten = {};
    if (stop.stop_requested()) return {};
    catalog.SortEntries();
    if (stop.stop_requested()) return {};
    for (const Entry& entry : catalog.entries_) catalog.spelling_.Add(SpellingKey(catalog.KeyOf(entry)), entry.row);
    if (stop.stop_requested()) return {};
    catalog.spelling_.Finish();
    catalog.keys_.shrink_to_fit();
    return catalog;
}

std::optional<std::int64_t> HeadwordCatalog::Find(std::string_view lookupKey) const {
    const auto at = std::lower_bound(entries_.begin(), entries_.end(), lookupKey,
                                     [this](const Entry& entry, std::string_view key) { return KeyOf(entry) < key; });
    if (at == entries_.end() || KeyOf(*at) != lookupKey) return std::nullopt;
    return at->row;
}

std::vector<std::int64_t> HeadwordCatalog::StartingWith(std::string_view prefix, std::size_t maxCount) const {
    std::vector<std::int64_t> rows;
    if (prefix.empty()) return rows;
    auto at = std::lower_bound(entries_.begin(), entries_.end(), prefix,
                               [this](const Entry& entry, std::string_view key) { return KeyOf(entry) < key; });
    for (; at != entries_.end() && rows.size() < maxCount && KeyOf(*at).starts_with(prefix); ++at)
        rows.push_back(at->row);
    return rows;
}

std::vector<SpellingMatch> HeadwordCatalog::Suggest(std::string_view lookupKey, int maxDistance,
                                                    std::size_t maxCount) const {
    return spelling_.Suggest(SpellingKey(lookupKey), maxDistance, maxCount);
}

std::size_t HeadwordCatalog::HeldBytes() const noexcept {
    return keys_.capacity() + entries_.capacity() * sizeof(Entry) + spelling_.HeldBytes();
}
