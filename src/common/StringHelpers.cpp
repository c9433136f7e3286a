#include "common/StringHelpers.h"

#include <cstddef>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

int DigitValue(char c, int base) {
    const int d = HexDigitValue(c);
    return d < base ? d : -1;
}

}  // namespace

int32_t StrToIntLoose(std::string_view s) {
    std::string t;
    t.reserve(s.size());
    for (char c : s) {
        if (c != ',' && c != ' ') t += c;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        base = 16;
        i += 1;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == t.size()) return 0;  // a sign or prefix alone

    // One more on the negative side so that -2147483648 fits.
    const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
    int64_t value = 0;
    for (; i < t.size(); ++i) {
        const int d = DigitValue(t[i], base);
        if (d < 0) return 0;
        value = value * base + d;
        if (value > limit) return 0;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::string BoolToText(bool b) {
    return b ? "True" : "False";
}

bool TextToBool(std::string_view s) {
    constexpr std::string_view kTrue = "TRUE";
    if (s.size() != kTrue.size()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != kTrue[i]) return false;
    }
    return true;
}

std::string_view TrimView(std::string_view s) noexcept {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::string TrimBlanks(std::string_view s) {
    return std::string(TrimView(s));
}
