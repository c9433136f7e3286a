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
    std::int64_t line;
};

// The address a link to line `line` goes to, and the line an address names (nothing
// for any other address).
std::string RecordLinkAddress(std::int64_t line);
std::optional<std::int64_t> LineOfRecordLink(std::string_view address);

// "「typed」は見出し語にありません" and a link per headword, the typed text and the
// headwords escaped for HTML.
std::string BuildSuggestionsPage(std::string_view typed, const std::vector<LinkedHeadword>& headwords,
                                 const PageFragments& fragments);
