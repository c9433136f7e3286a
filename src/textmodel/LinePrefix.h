#pragma once
// Finding a line by how it begins: how a list such as the headword index is searched
// while the user types.
//
// A line begins with a prefix when its first bytes are the prefix's, the ASCII letters
// of single-byte characters compared without case. The second byte of a double-byte
// character is compared as it is, even where it looks like a letter ("ガ" is 83 4B
// and "ヌ" 83 6B), and a match must end where a character of the line ends, so a
// prefix ending in a lone lead byte never matches half of another character.

#include <cstddef>
#include <optional>
#include <string_view>

class TextLines;

// The first line that begins with `prefix` (every line begins with an empty one),
// looking from line `fromLine` to the last line and then once more from the first line
// up to just before `fromLine`; nullopt when none does. A `fromLine` past the last line
// looks through every line from the first. A million-line index set whole takes one
// pass over its bytes; other texts are looked through line by line.
std::optional<std::size_t> FindLineWithPrefix(const TextLines& lines, std::size_t fromLine, std::string_view prefix);
