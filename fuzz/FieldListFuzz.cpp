// Any bytes as a field list and as values: reading and writing fields never fails or
// loops; a list written from values that quote cleanly reads back as those values,
// and writing field n changes field n to the new value and no other field; and the
// forgiving number conversion gives what strtoll gives on the text without "," and
// " ", or 0 when that is no number or leaves the 32-bit range.
#include "common/StringHelpers.h"
#include "search/FieldList.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace fuzzrules;

bool Blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// A value GetField can give back: no blanks at its ends (fields are read trimmed),
// at most one kind of quote, and not enclosed in a pair of one quote (a pair comes off).
std::string CleanValue(std::string v) {
    if (v.find('\'') != std::string::npos)
        for (char& c : v)
            if (c == '"') c = 'q';
    while (!v.empty() && Blank(v.front())) v.erase(0, 1);
    while (!v.empty() && Blank(v.back())) v.pop_back();
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '\'' || v.front() == '"')) v.back() = 'q';
    return v;
}

std::int64_t ExpectedInt(const std::string& s) {
    std::string t;
    for (char c : s)
        if (c != ',' && c != ' ') t += c;
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    int base = 10;
    if (t.compare(i, 2, "0x") == 0 || t.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    } else if (i < t.size() && (t[i] == '$' || t[i] == 'x' || t[i] == 'X')) {
        base = 16;
        i += 1;
    }
    const std::string digits = t.substr(i);
    if (digits.empty()) return 0;
    for (char c : digits)
        if (!(base == 16 ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return 0;
    errno = 0;
    long long value = std::strtoll(digits.c_str(), nullptr, base);
    if (errno == ERANGE) return 0;
    if (negative) value = -value;
    return value < INT32_MIN || value > INT32_MAX ? 0 : value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int n = 1 + data[0] % 6;
    const std::uint8_t style = data[1];
    const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);

    // The whole input as a list: nothing fails.
    (void)GetField(rest, n);
    (void)GetField(SetField(rest, n, rest), n);

    // Numbers, from the bytes as they are and mapped onto the characters numbers use.
    Expect(StrToIntLoose(rest) == ExpectedInt(rest));
    std::string number;
    for (char c : rest) number += "0123456789abcdefABCDEF-+$xX, 0"[static_cast<unsigned char>(c) % 30];
    Expect(StrToIntLoose(number) == ExpectedInt(number));

    // Values, one per input line: the first is the new value, the others the fields.
    std::vector<std::string> values;
    for (std::size_t from = 0;;) {
        const std::size_t end = rest.find('\n', from);
        values.push_back(CleanValue(rest.substr(from, end == std::string::npos ? std::string::npos : end - from)));
        if (end == std::string::npos) break;
        from = end + 1;
    }
    const std::string value = values.front();
    std::vector<std::string> fields(values.begin() + 1, values.end());
    while (fields.size() < 2) fields.emplace_back();

    // The list as a writer might have left it: each field quoted as QuoteField does, or
    // one without quotes put in quotes anyway, and blanks after fields and before all
    // but the first.
    std::string list;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool bit = (style >> (i % 8)) & 1;
        if (i > 0) list += bit ? ", " : ",";
        const std::string& v = fields[i];
        if (bit && v.find_first_of("'\"") == std::string::npos)
            list += (i % 2 ? '\'' : '"') + v + (i % 2 ? '\'' : '"');
        else
            list += QuoteField(v);
        if (bit && i % 3 == 0) list += '\t';
    }
    const std::string written = SetField(list, n, value);
    const auto count = static_cast<int>(fields.size());
    for (int k = 1; k <= std::max(n, count) + 1; ++k) {
        const std::string before = k <= count ? fields[static_cast<std::size_t>(k - 1)] : std::string();
        Expect(GetField(list, k) == before);
        Expect(GetField(written, k) == (k == n ? value : before));
    }
    return 0;
}
