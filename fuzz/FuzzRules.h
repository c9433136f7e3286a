// The few rules every fuzz target's reference shares, written from the file format
// and not taken from the code under test: how code page 932 pairs its bytes, and how
// a separator is found in a line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzrules {

constexpr std::size_t kNone = std::string::npos;

// Stops the fuzzer at the input that broke a rule.
inline void Expect(bool ok) {
    if (!ok) __builtin_trap();
}

inline bool Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// A lead byte takes the byte after it, whatever it is; a lead byte at the very end
// stands alone.
inline std::size_t CharLength(std::string_view s, std::size_t at) {
    return Lead(static_cast<unsigned char>(s[at])) && at + 1 < s.size() ? 2 : 1;
}

// Which offsets start a character, walking from the start; the end counts as one.
inline std::vector<bool> CharStarts(std::string_view s) {
    std::vector<bool> starts(s.size() + 1, false);
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) starts[i] = true;
    starts[s.size()] = true;
    return starts;
}

// The first separator at or after `from` that starts a character; a separator whose
// first byte is below 0x40 cannot be a trail byte, so it matches anywhere.
inline std::size_t FindOnCharStart(std::string_view line, std::string_view separator, std::size_t from = 0) {
    if (separator.empty()) return kNone;
    const std::vector<bool> starts = CharStarts(line);
    for (std::size_t p = from; p + separator.size() <= line.size(); ++p)
        if ((starts[p] || static_cast<unsigned char>(separator.front()) < 0x40) &&
            line.substr(p, separator.size()) == separator)
            return p;
    return kNone;
}

}  // namespace fuzzrules
