#pragma once
// The record line: number, SepNum, headword, SepTitle, translation, SepYaku, examples.
// These are the only cutting rules of the program; the load, the repair, the search
// and the record page all cut lines here.
//
// A separator is found by its first occurrence that starts on a character. Past it,
// whatever text the settings give it, the number separator counts as one character
// and the other two as three characters; only the field of a search hit counts three
// bytes instead. The cutters differ in such details, on which what the user sees
// depends, so each is named for its own:
//   CutIndexEntry      the headword index's entry, and the damage of the line
//   CutRecordFields    the four pieces of the record page, cut one after another
//   CutSearchHeadword  the headword of a search result
//   HitFieldByBytes    the field a search hit falls in, counted in bytes

#include "common/ViewStrings.h"  // Separators

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Skips the separator lengths the cutting rules use.
inline constexpr std::size_t kNumSeparatorChars = 1;
inline constexpr std::size_t kFieldSeparatorChars = 3;
// The same skip in bytes, for the field of a search hit.
inline constexpr std::size_t kFieldSeparatorBytes = 3;

// Zero-based index of the first occurrence of `separator` at or after `from` that
// starts on a character boundary, or npos (also for an empty separator).
std::size_t FindSeparator(std::string_view line, std::string_view separator, std::size_t from = 0) noexcept;

// Zero-based index `count` characters after `pos`, at most the end of `text`.
std::size_t SkipChars(std::string_view text, std::size_t pos, std::size_t count) noexcept;

// How a line fails the record format, by the first separator missing in the order
// SepNum, SepTitle, SepYaku.
enum class LineDamage { None, NoNum, NoTitle, NoYaku };

// Which field of a record: what a search looks in (WholeRecord for all of them), the
// field a hit falls in, the field the record page marks up. The numbers are those the
// settings file stores for the search's scope.
enum class RecordField : int { WholeRecord = 0, Headword = 1, Translation = 2, Examples = 3 };

// The damage of a line and, for a sound line, its headword index entry: the text
// from one character after the first SepNum up to the first SepTitle of the whole
// line (empty when that SepTitle comes first).
struct IndexEntry {
    LineDamage damage = LineDamage::None;
    std::string_view headword;
};
IndexEntry CutIndexEntry(std::string_view line, const Separators& separators) noexcept;

// The four pieces of a line cut one after another: the headword is looked for after
// the number, the translation after the headword. nullopt when a separator is missing.
struct RecordFields {
    std::string_view number;
    std::string_view headword;
    std::string_view translation;
    std::string_view examples;
};
std::optional<RecordFields> CutRecordFields(std::string_view line, const Separators& separators) noexcept;

// The headword of a search result: after the first SepNum and one character (the
// whole line when there is no SepNum) up to the first SepTitle after it; empty when
// there is none. Unlike the index entry, SepTitle is looked for after the number.
std::string_view CutSearchHeadword(std::string_view line, const Separators& separators) noexcept;

// Where a line's first SepTitle and SepYaku start (zero-based, or npos), for the field
// of a search hit: found once per line however many hits it holds, so a huge damaged
// line costs one pass.
struct HitSeparators {
    std::size_t titleAt = std::string_view::npos;
    std::size_t yakuAt = std::string_view::npos;
};
HitSeparators FindHitSeparators(std::string_view line, const Separators& separators) noexcept;

// The field an occurrence at zero-based byte `position` lies in: examples from three
// bytes after the first SepYaku's start, else the translation from three bytes after
// the first SepTitle's start, else the headword (with the record number). Three bytes
// whatever the separators' lengths, where the other rules skip characters.
RecordField HitFieldByBytes(const HitSeparators& at, std::size_t position) noexcept;
