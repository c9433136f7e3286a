#pragma once
// The search as it was first written, step by step: the hit list is a list of field
// lists edited in place with GetField and SetField, every occurrence is found by
// trying every position, and the lists are sorted as texts. Slow and plain, so the
// fast search can be compared with it.

#include "dictionary/RecordLine.h"
#include "search/SearchOptions.h"
#include "search/SearchRequest.h"

#include <cstdint>
#include <string>
#include <vector>

struct LiteralSearch {
    std::vector<std::string> lines;  // the full-text view
    std::string searchText;
    std::vector<std::int64_t> lineStarts;
    std::vector<std::string> hitList;

    explicit LiteralSearch(std::vector<std::string> textLines);

    // Raw hits "offset,key"; returns their number.
    int CollectHits(const KeySlots& keys);
    // Passes 1 to 4; returns the number of result entries "%.09d-%s".
    int BuildResultList(int k, const KeySlots& keys, const SearchOptions& options, const Separators& separators);
    // The search index lines.
    std::vector<std::string> FillSearchIndex() const;
};
