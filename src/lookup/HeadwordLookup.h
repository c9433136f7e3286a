#pragma once
// What a lookup of a typed word or phrase finds among the headwords, in order of
// trust: the headword itself (whatever the letter case and the blanks around it),
// else the base form an inflection came from, else the headwords spelt nearly so.
// And what the completion list offers while the word is still being typed.

#include "lookup/HeadwordCatalog.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HeadwordLookupResult {
    enum class Kind { Exact, Inflected, Suggestions, NotFound };
    Kind kind = Kind::NotFound;
    std::int64_t row = -1;                 // Exact and Inflected: the headword index's row to show
    std::vector<std::int64_t> suggestions;  // Suggestions: the headwords' rows, best first
};

// Most suggestions a lookup offers.
inline constexpr std::size_t kMostSuggestions = 8;

// `typed` is code page 932 bytes. A phrase is inflected on its last word ("lymph
// nodes" → "lymph node"); a text longer than every headword by more than the edits a
// suggestion may make finds nothing without being compared.
HeadwordLookupResult LookUpHeadword(const HeadwordCatalog& catalog, std::string_view typed);

struct CompletionEntry {
    enum class Kind { StartsWith, BaseForm, Suggestion };
    Kind kind;
    std::int64_t row;  // the headword's first row
};

// The completion list for a text being typed: the headwords starting with it, then
// the base forms it is an inflection of, then the headwords one edit from it, each
// headword once, at most `maxCount`.
std::vector<CompletionEntry> CompleteHeadword(const HeadwordCatalog& catalog, std::string_view typed,
                                              std::size_t maxCount);
