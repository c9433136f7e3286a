#pragma once
// The search request: the search box's text cut into at most three keys, the keys
// that are too short or ignored dropped, and the history of the search box.
//
// Keys are code page 932 bytes. A character of the search box that the code page
// cannot hold is encoded as a NUL byte, which no dictionary text contains (a load
// ends the text at its first NUL), so such a key matches nothing instead of
// becoming "?" and matching every question mark.

#include "common/ViewStrings.h"  // KeySlots

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Fills the slots from the request and returns how many it filled: the whole request
// as typed when `multiKey` is off; otherwise, after trimming, up to three words
// separated by blanks (byte 32 only, so a full-width blank separates nothing). Words
// after the third are ignored. An empty request fills none.
int SplitKeys(std::string_view request, bool multiKey, KeySlots& slots);

// Drops the keys of fewer than two characters (a double-byte character counts as one)
// and the keys equal to a non-empty ignored word with ASCII letters compared without
// regard to case, packs what is left to the front, empties the rest, and returns
// how many are left.
int FilterKeys(int count, KeySlots& slots, const std::vector<std::string>& ignoredWords);

// True when the two texts differ at most in the case of ASCII letters (code page 932
// texts compare with Sjis::EqualIgnoringAsciiCase).
bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept;

// Index of the first history item equal to `text` without regard to the case of
// ASCII letters; a request found there moves to the top. The history is kept as the
// user typed it, so characters the code page cannot hold still tell items apart.
std::optional<std::size_t> FindInHistory(const std::vector<std::u16string>& items, std::u16string_view text);
