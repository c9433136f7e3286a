#pragma once
// The hits of a search and the result list made of them.
//
// The hit list has always been a list of field lists in three forms: raw hits
// ("offset,key"), located hits ("line,key,headword") and result entries
// ("%.09d-%s": the line in nine digits and the headword). Here the hits are kept as
// integers, eight bytes each, so a key with millions of occurrences stays cheap, and
// the result entries as line and headword. Every count and order is the one the field
// lists give; a headword comes back as the line holds it, blanks, commas and quotes
// included.

#include "dictionary/RecordLine.h"
#include "search/SearchOptions.h"
#include "search/SearchRequest.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class SearchBuffer;

// One occurrence of a key: where it starts in the search text and which key it is.
class RawHit {
public:
    RawHit(std::int64_t offset, int key) noexcept
        : packed_((static_cast<std::uint64_t>(offset) << 2) | static_cast<std::uint64_t>(key)) {}
    std::int64_t Offset() const noexcept { return static_cast<std::int64_t>(packed_ >> 2); }
    int Key() const noexcept { return static_cast<int>(packed_ & 3); }

private:
    std::uint64_t packed_;  // offset in the upper 62 bits, key slot 0-2 in the lower two
};

// One line of the result list.
struct ResultEntry {
    std::int64_t line = 0;  // zero-based line of the full-text view: the record number
    std::string headword;   // as the line holds it
};

class HitList {
public:
    // Empties the list (a search that got past its key check starts so).
    void Clear();

    // One pass over the search text for the keys of `keys` up to the first empty slot,
    // matching bytes exactly and never starting on the second byte of a double-byte
    // character; every occurrence becomes a raw hit, overlapping ones too. When two
    // keys are equal only the later slot's occurrences count. Returns the number of
    // raw hits (HitAll).
    std::int64_t CollectHits(std::string_view searchText, const KeySlots& keys);

    // Turns the raw hits into the result list: each hit's line, the whole-word and
    // field checks, AND or OR over the `keyCount` keys, one entry per line in line
    // order. Returns the number of entries (ResultCount).
    std::int64_t BuildResultList(int keyCount, const KeySlots& keys, const SearchBuffer& buffer,
                                 const SearchOptions& options, const Separators& separators);

    // Entries in the list's present form: raw hits, result entries, or none.
    std::size_t Count() const noexcept { return holdsResults_ ? results_.size() : rawHits_.size(); }
    bool HoldsResults() const noexcept { return holdsResults_; }
    const std::vector<RawHit>& RawHits() const noexcept { return rawHits_; }
    const std::vector<ResultEntry>& Results() const noexcept { return results_; }

    // The search index: "headword (line)" for every result entry, each followed by CR LF.
    std::string SearchIndexText() const;

private:
    std::vector<RawHit> rawHits_;
    std::vector<ResultEntry> results_;
    bool holdsResults_ = false;
};

// Whether an occurrence of `keyLength` bytes at zero-based byte `position` of `line`
// is a whole word: a blank, TAB, CR, LF or one of ( ) , - . / : < > ? (or the line's
// end) on both sides. An occurrence with a double-byte character beside it, or
// double-byte itself, is always taken as one.
bool IsWholeWordHit(std::string_view line, std::size_t position, std::size_t keyLength) noexcept;
