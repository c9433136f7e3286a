#pragma once
// Finding a record the user saw before in the dictionary as it stands now. A history
// step or a word-list entry names a line, but lines move when the file is edited or
// repaired: the record is known by its headword and the whole line's hash, and a step
// whose record is gone shows nothing rather than whatever the line holds now.

#include "common/ViewStrings.h"  // Separators
#include "textmodel/TextLines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The headword a step keeps of a line: the index entry of a sound line, the search
// result's headword of a damaged one.
std::string StepHeadword(std::string_view line, const Separators& separators);

// FNV-1a over the line's bytes: the same line gives the same number on every start.
std::uint64_t LineHash(std::string_view line) noexcept;

// Finds records in one state of the text: the first record not at its line makes it
// cut every line once, and the records after it are found in that.
class RecordFinder {
public:
    RecordFinder(const TextLines& fullText, const Separators& separators);

    // The line that holds the record a step showed: `line` itself while it still holds
    // it; else the nearest line that is the same record (same headword and hash); else,
    // for a record edited since, `line` or the nearest line with its headword. nullopt
    // when no line has that headword (a record without one is known by its hash alone).
    std::optional<std::int64_t> FindStep(std::int64_t line, std::string_view headword, std::uint64_t hash);

    // The exact record only: `line`, or the nearest line with its headword and hash.
    std::optional<std::int64_t> FindExact(std::int64_t line, std::string_view headword, std::uint64_t hash);

    // The line of a word-list entry: the record with its headword and translation,
    // nearest to `line`; else none.
    std::optional<std::int64_t> FindWord(std::int64_t line, std::string_view headword, std::string_view translation);

private:
    bool Holds(std::int64_t line) const;
    std::string_view Text(std::int64_t line) const;
    // The lines of each headword, in order, cut on first need.
    const std::vector<std::int64_t>& LinesOf(std::string_view headword);

    const TextLines& text_;
    const Separators& separators_;
    bool indexed_ = false;
    std::unordered_map<std::string, std::vector<std::int64_t>> linesOfHeadword_;
};
