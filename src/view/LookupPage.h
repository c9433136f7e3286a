#pragma once
// The page a lookup shows when the text is no headword but nearly the spelling of
// some: it says so and links each of them. Code page 932 bytes, like a record page.

#include "common/ViewStrings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct LinkedHeadword {
    std::string headword;  // code page 932
    std::int64_t row;      // of the headword index
};

// A link to a headword: its row of the index made by load number `load`, which a
// later load may have put another headword in.
struct RecordLink {
    std::uint64_t load;
    std::int64_t row;
    bool operator==(const RecordLink&) const = default;
};
std::string RecordLinkAddress(const RecordLink& link);
// The link an address names; nothing for any other address.
std::optional<RecordLink> ParseRecordLink(std::string_view address);

// "「typed」は見出し語にありません" and a link per headword, the typed text and the
// headwords escaped for HTML.
std::string BuildSuggestionsPage(std::string_view typed, const std::vector<LinkedHeadword>& headwords,
                                 std::uint64_t load, const PageFragments& fragments);
