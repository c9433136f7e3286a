#pragma once
// The dictionary's headwords as a lookup reads them: each distinct lookup key once,
// with the first row of the headword index it heads, sorted for the exact and the prefix lookups, and the
// spelling index the suggestions come from. Built from the headword index (a row per
// line of the full text) and read-only afterwards, so one build may serve any thread.

#include "lookup/SpellingIndex.h"

#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

class TextLines;

class HeadwordCatalog {
public:
    // Every row of `headwords`; empty when `stop` is asked for before the build ends.
    // Rows past 2^32 - 1 and key bytes past 4 GiB are left out.
    static HeadwordCatalog Build(const TextLines& headwords, std::stop_token stop = {});

    // The first row whose headword has this lookup key.
    std::optional<std::int64_t> Find(std::string_view lookupKey) const;
    // The first rows of the headwords whose keys start with `prefix`, in the keys'
    // order, at most `maxCount`; nothing for an empty prefix.
    std::vector<std::int64_t> StartingWith(std::string_view prefix, std::size_t maxCount) const;
    // The headwords spelt within `maxDistance` edits of the lookup key, best first.
    std::vector<SpellingMatch> Suggest(std::string_view lookupKey, int maxDistance, std::size_t maxCount) const;

    std::size_t Size() const noexcept { return entries_.size(); }  // distinct keys
    std::size_t LongestKey() const noexcept { return longestKey_; }
    std::size_t HeldBytes() const noexcept;

private:
    // Twelve bytes, for a dictionary may have a million different headwords: its
    // headwords' bytes and its rows both count well below 2^32.
    struct Entry {
        std::uint32_t offset;  // of the key in keys_
        std::uint32_t length;
        std::uint32_t row;  // the first row with this key
    };
    void SortEntries();
    std::string_view KeyOf(const Entry& entry) const { return std::string_view(keys_).substr(entry.offset, entry.length); }

    std::string keys_;            // every distinct key, one after the other
    std::vector<Entry> entries_;  // sorted by key
    std::size_t longestKey_ = 0;
    SpellingIndex spelling_;
};
