#include "search/FieldList.h"

#include "common/Sjis.h"
#include "common/StringHelpers.h"
#include "search/HitList.h"

#include <cstddef>
#include <cstdio>

namespace {

constexpr std::string_view kFullWidthComma = "\x81\x43";
constexpr std::string_view kIdeographicSpace = "\x81\x40";

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

bool HasComma(std::string_view s) {
    return s.find(',') != std::string_view::npos;
}

struct Extracted {
    std::string_view field;  // trimmed, still quoted as written
    std::string_view rest;
};

// Takes the first field off a remainder that holds at least one comma. A quoted
// field runs to the next matching quote, commas included; with no closing quote
// the field is empty and nothing is consumed, so every later field reads as empty.
Extracted ExtractField(std::string_view t) {
    if (t.size() >= 2 && IsQuote(t.front())) {
        const std::size_t close = t.find(t.front(), 1);
        if (close == std::string_view::npos) return {{}, t};
        std::string_view rest = TrimView(t.substr(close + 1));
        // Text between the closing quote and the comma is left for the next field.
        if (!rest.empty() && rest.front() == ',') rest = TrimView(rest.substr(1));
        return {TrimView(t.substr(1, close - 1)), rest};
    }
    const std::size_t comma = t.find(',');
    return {TrimView(t.substr(0, comma)), TrimView(t.substr(comma + 1))};
}

// "" and '' (and "''") hold nothing, so a list like that has no fields.
bool IsEmptyList(std::string_view list) {
    return list.empty() || UnquoteField(list).empty();
}

}  // namespace

std::string QuoteField(std::string_view value) {
    if (value.find('\'') != std::string_view::npos) {
        return '"' + std::string(value) + '"';
    }
    // The full-width forms are searched on character boundaries: 0x81 0x43 may be
    // the tail of another double-byte character followed by "C".
    if (value.find_first_of(" ,\"") != std::string_view::npos ||
        Sjis::FindChars(value, kFullWidthComma) != std::string_view::npos ||
        Sjis::FindChars(value, kIdeographicSpace) != std::string_view::npos) {
        return '\'' + std::string(value) + '\'';
    }
    return std::string(value);
}

std::string UnquoteField(std::string_view s) {
    // Quotes are single-byte characters, so byte length 2 is the same test as two
    // characters whenever both ends are quotes.
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    if (s.size() >= 2 && s.front() == '\'' && s.back() == '\'') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

std::string GetField(std::string_view list, int n) {
    if (n < 1 || IsEmptyList(list)) return {};
    if (!HasComma(list)) return n == 1 ? std::string(list) : std::string();

    std::string_view t = list;
    for (int i = 1;; ) {
        const Extracted e = ExtractField(t);
        t = e.rest;
        if (i == n) return UnquoteField(e.field);
        ++i;
        if (!HasComma(t)) return i == n ? UnquoteField(t) : std::string();
    }
}

std::string SetField(std::string_view list, int n, std::string_view value) {
    if (n < 1) return std::string(list);
    const std::string q = QuoteField(value);

    if (IsEmptyList(list)) return std::string(n - 1, ',') + q + ',';
    if (!HasComma(list)) {
        if (n == 1) return q + ',';
        return std::string(list) + std::string(n - 1, ',') + q + ',';
    }

    std::string_view t = list;
    std::string prefix;
    for (int i = 1;; ) {
        const Extracted e = ExtractField(t);
        t = e.rest;
        if (i == n) return prefix + q + ',' + std::string(t);
        prefix += QuoteField(UnquoteField(e.field));
        prefix += ',';
        ++i;
        if (!HasComma(t)) {
            if (n == i) return prefix + q;
            // n > i here: earlier field numbers have already returned.
            return prefix + std::string(t) + std::string(n - i, ',') + q;
        }
    }
}

std::vector<std::string> FieldListEntries(const HitList& hits) {
    std::vector<std::string> entries;
    if (hits.HoldsResults()) {
        for (const ResultEntry& entry : hits.Results()) {
            char number[32];
            std::snprintf(number, sizeof number, "%.09lld", static_cast<long long>(entry.line));
            entries.push_back(number + ("-" + entry.headword));
        }
    } else {
        for (const RawHit& hit : hits.RawHits())
            entries.push_back(std::to_string(hit.Offset()) + "," + std::to_string(hit.Key()));
    }
    return entries;
}
