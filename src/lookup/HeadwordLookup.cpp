#include "lookup/HeadwordLookup.h"

#include "lookup/HeadwordKey.h"
#include "lookup/Inflection.h"

#include <algorithm>

namespace {

// Within two edits, but no closer to nothing than the word itself: a two-letter word
// is one edit from every other two-letter word.
int MaxEditsFor(std::string_view key) { return key.size() <= 2 ? static_cast<int>(key.size()) - 1 : 2; }

// Suggestions in the completion list wait for a few letters, for before that nearly
// every short headword is within two edits of them.
constexpr std::size_t kShortestSuggestedPrefix = 4;

// Latin phrases inflect each word ("venae cavae" → "vena cava"): a phrase of this many
// words at most has each of its words tried as it is and as its likeliest base forms.
constexpr std::size_t kMostInflectedWords = 4;
constexpr std::size_t kBaseFormsPerWord = 3;

std::vector<std::string_view> WordsOf(std::string_view key) {
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start <= key.size();) {
        const std::size_t end = std::min(key.find(' ', start), key.size());
        words.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

// The rows of the headwords the key is an inflection of: its last word's base forms
// in the order the rules trust them, then, for a phrase, its words' base forms together.
std::vector<std::int64_t> BaseFormRows(const HeadwordCatalog& catalog, std::string_view key) {
    std::vector<std::int64_t> rows;
    if (key.size() > catalog.LongestKey() + 4) return rows;  // no rule takes off more
    const auto add = [&catalog, &rows](const std::string& baseKey) {
        if (const auto row = catalog.Find(baseKey); row && std::find(rows.begin(), rows.end(), *row) == rows.end())
            rows.push_back(*row);
    };
    const std::size_t lastWord = key.find_last_of(' ') + 1;  // 0 for a single word
    for (const BaseFormCandidate& candidate : CandidateBaseForms(key.substr(lastWord)))
        add(std::string(key.substr(0, lastWord)) + candidate.base);

    const std::vector<std::string_view> words = WordsOf(key);
    if (words.size() < 2 || words.size() > kMostInflectedWords) return rows;
    std::vector<std::vector<std::string>> choices;  // each word as it is, then its bases
    for (const std::string_view word : words) {
        choices.push_back({std::string(word)});
        for (const BaseFormCandidate& candidate : CandidateBaseForms(word)) {
            if (choices.back().size() > kBaseFormsPerWord) break;
            choices.back().push_back(candidate.base);
        }
    }
    // Every combination, counting in a mixed radix over the words' choices.
    std::vector<std::size_t> digits(words.size(), 0);
    for (;;) {
        std::size_t w = 0;
        while (w < digits.size() && ++digits[w] == choices[w].size()) digits[w++] = 0;
        if (w == digits.size()) break;
        std::string baseKey;
        for (std::size_t i = 0; i < words.size(); ++i) baseKey += (i ? " " : "") + choices[i][digits[i]];
        add(baseKey);
    }
    return rows;
}

bool IsAscii(std::string_view key) {
    return std::all_of(key.begin(), key.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::vector<std::int64_t> SuggestionRows(const HeadwordCatalog& catalog, std::string_view key, std::size_t maxCount,
                                          int mostEdits = 2) {
    std::vector<std::int64_t> rows;
    const int edits = std::min(mostEdits, MaxEditsFor(key));
    // Misspellings are of English words; a text of other characters is compared whole.
    if (!IsAscii(key) || edits < 1) return rows;
    for (const SpellingMatch& match : catalog.Suggest(key, edits, maxCount)) rows.push_back(match.order);
    return rows;
}

}  // namespace

HeadwordLookupResult LookUpHeadword(const HeadwordCatalog& catalog, std::string_view typed) {
    const std::string key = LookupKey(typed);
    if (key.empty()) return {};
    if (const auto row = catalog.Find(key)) return {HeadwordLookupResult::Kind::Exact, *row, {}};
    if (const auto bases = BaseFormRows(catalog, key); !bases.empty())
        return {HeadwordLookupResult::Kind::Inflected, bases.front(), {}};
    if (auto suggestions = SuggestionRows(catalog, key, kMostSuggestions); !suggestions.empty())
        return {HeadwordLookupResult::Kind::Suggestions, -1, std::move(suggestions)};
    return {};
}

std::vector<CompletionEntry> CompleteHeadword(const HeadwordCatalog& catalog, std::string_view typed,
                                              std::size_t maxCount) {
    std::vector<CompletionEntry> entries;
    const std::string key = LookupKey(typed);
    if (key.empty()) return entries;
    const auto add = [&entries, maxCount](CompletionEntry::Kind kind, const std::vector<std::int64_t>& rows) {
        for (const std::int64_t row : rows) {
            if (entries.size() >= maxCount) return;
            const auto same = [row](const CompletionEntry& entry) { return entry.row == row; };
            if (std::none_of(entries.begin(), entries.end(), same)) entries.push_back({kind, row});
        }
    };
    add(CompletionEntry::Kind::StartsWith, catalog.StartingWith(key, maxCount));
    add(CompletionEntry::Kind::BaseForm, BaseFormRows(catalog, key));
    // A word still being typed is one edit from what it will be (a swap, a slip); two
    // would offer words it is only on its way to, and cost a key's time.
    if (entries.size() < maxCount && key.size() >= kShortestSuggestedPrefix)
        add(CompletionEntry::Kind::Suggestion, SuggestionRows(catalog, key, maxCount, 1));
    return entries;
}
