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

// The headword a step keeps of a line: the index entry of a sound line, the search
// result's headword of a damaged one.
std::string StepHeadword(std::string_view line, const Separators& separators);

// FNV-1a over the line's bytes: the same line gives the same number on every start.
std::uint64_t LineHash(std::string_view line) noexcept;

// The line that holds the record a step showed: `line` itself while it still holds it;
// else the nearest line that is the same record (same hash); else, for a record that
// was edited since, `line` or the nearest line with its headword. nullopt when no line
// has that headword, or for a damaged line that is gone.
std::optional<std::int64_t> FindStepRecord(const TextLines& fullText, const Separators& separators,
                                           std::int64_t line, std::string_view headword, std::uint64_t hash);

// The line of a word-list entry: the record with its headword and translation (the
// translation compared as shown), nearest to `line`; else none.
std::optional<std::int64_t> FindWordRecord(const TextLines& fullText, const Separators& separators,
                                           std::int64_t line, std::string_view headword,
                                           std::string_view translation);
