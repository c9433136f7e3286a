#include "search/LiteralSearch.h"

#include "common/Sjis.h"
#include "common/StringHelpers.h"
#include "search/FieldList.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsDelimiter(char c) { return std::string_view("\t\n\r ( ),-./:<>?").find(c) != std::string_view::npos; }

// One-based position of the first occurrence, 0 when none, as the old Pos gave it.
std::size_t Pos(std::string_view what, std::string_view in) {
    const std::size_t at = FindSeparator(in, what);
    return at == std::string_view::npos ? 0 : at + 1;
}

// Bytes from one-based `from`, at most `count`, as far as the text reaches.
std::string Copy(std::string_view text, std::size_t from, std::size_t count) {
    if (from < 1 || from > text.size()) return {};
    return std::string(text.substr(from - 1, count));
}

// Whether a key of the slots ends at `end` (exclusive) and may start there.
bool StartsOnACharacter(std::string_view text, std::size_t start) {
    std::size_t run = 0;
    while (run < start && Sjis::IsLeadByte(static_cast<unsigned char>(text[start - run - 1]))) ++run;
    return run % 2 == 0;
}

int Field(const std::string& entry, int n) { return StrToIntLoose(GetField(entry, n)); }

// The headword as the line holds it: after the first number separator (the whole line
// without one) up to the first headword separator after that; empty without one. Cut
// from the line itself, since a field list trims blanks and drops quotes.
std::string Headword(const std::string& text, const Separators& separators) {
    const std::size_t a = Pos(separators.num, text);
    const std::string rest = a == 0 ? text : text.substr(SkipChars(text, a - 1, 1));
    const std::size_t b = Pos(separators.title, rest);
    return b == 0 ? std::string() : rest.substr(0, b - 1);
}

}  // namespace

LiteralSearch::LiteralSearch(std::vector<std::string> textLines) : lines(std::move(textLines)) {
    for (const std::string& line : lines) {
        lineStarts.push_back(static_cast<std::int64_t>(searchText.size()));
        searchText += line + "\r\n";
    }
}

int LiteralSearch::CollectHits(const KeySlots& keys) {
    hitList.clear();
    std::size_t count = 0;
    while (count < keys.size() && !keys[count].empty()) ++count;
    // Every end position in order; at each, the shorter keys first, and of two equal
    // keys only the later one.
    for (std::size_t end = 1; end <= searchText.size(); ++end) {
        std::vector<std::pair<std::size_t, std::size_t>> ending;  // length, slot
        for (std::size_t k = 0; k < count; ++k) {
            const std::string& key = keys[k];
            if (key.size() > end || searchText.compare(end - key.size(), key.size(), key) != 0) continue;
            if (!StartsOnACharacter(searchText, end - key.size())) continue;
            std::erase_if(ending, [&](const auto& e) { return keys[e.second] == key; });
            ending.emplace_back(key.size(), k);
        }
        std::sort(ending.begin(), ending.end());
        for (const auto& [length, slot] : ending)
            hitList.push_back(std::to_string(end - length) + "," + std::to_string(slot));
    }
    return static_cast<int>(hitList.size());
}

int LiteralSearch::BuildResultList(int k, const KeySlots& keys, const SearchOptions& options,
                                   const Separators& separators) {
    // Pass 1, from the last entry to the first.
    for (int i = static_cast<int>(hitList.size()) - 1; i >= 0; --i) {
        std::string entry = hitList[static_cast<std::size_t>(i)];
        const int offset = Field(entry, 1);
        const int key = Field(entry, 2);
        std::size_t L = 0;
        while (L + 1 < lineStarts.size() && lineStarts[L + 1] <= offset) ++L;
        const std::string& text = lines[L];
        const std::size_t p = static_cast<std::size_t>(offset - lineStarts[L]) + 1;

        if (options.wordMatch) {
            const std::size_t n = keys[static_cast<std::size_t>(key)].size();
            const std::string excerpt = Copy(text, p == 1 ? 1 : p - 1, n + 2);
            // A byte before the key that is the second byte of a Japanese character
            // puts a double-byte character beside the key.
            const bool trailBefore = p > 1 && p - 2 < text.size() && !StartsOnACharacter(text, p - 2);
            if (Sjis::IsSingleByteText(excerpt) && !trailBefore) {
                // Past the line's text (a key beginning with its line break) stands the break.
                const char before = p == 1 ? ' ' : p - 2 < text.size() ? text[p - 2] : '\r';
                const char after = p + n <= text.size() ? text[p + n - 1] : ' ';
                if (!IsDelimiter(before) || !IsDelimiter(after)) {
                    hitList.erase(hitList.begin() + i);
                    continue;
                }
            }
        }

        const std::size_t h = Pos(separators.title, text);
        const std::size_t t = Pos(separators.yaku, text);
        const int kind = p >= t + 3 ? 3 : p >= h + 3 ? 2 : 1;
        const int scope = static_cast<int>(options.scope);
        if (scope != 0 && kind != scope) {
            hitList.erase(hitList.begin() + i);
            continue;
        }
        hitList[static_cast<std::size_t>(i)] = SetField(entry, 1, std::to_string(L));
    }

    // Pass 2.
    std::sort(hitList.begin(), hitList.end(), [](const std::string& x, const std::string& y) {
        return std::pair(Field(x, 1), Field(x, 2)) < std::pair(Field(y, 1), Field(y, 2));
    });
    hitList.erase(std::unique(hitList.begin(), hitList.end()), hitList.end());

    // Pass 3.
    if (options.andMatch && k > 1) {
        std::vector<std::string> kept;
        for (std::size_t i = 0; i < hitList.size();) {
            std::size_t j = i;
            while (j < hitList.size() && Field(hitList[j], 1) == Field(hitList[i], 1)) ++j;
            if (static_cast<int>(j - i) == k) kept.push_back(hitList[i]);
            i = j;
        }
        hitList = kept;
    }

    // Pass 4.
    for (std::string& entry : hitList) {
        char number[16];
        std::snprintf(number, sizeof number, "%.09d", Field(entry, 1));
        entry = number + ("-" + Headword(lines[static_cast<std::size_t>(Field(entry, 1))], separators));
    }
    std::sort(hitList.begin(), hitList.end());
    hitList.erase(std::unique(hitList.begin(), hitList.end()), hitList.end());
    return static_cast<int>(hitList.size());
}

std::vector<std::string> LiteralSearch::FillSearchIndex() const {
    std::vector<std::string> index;
    for (const std::string& entry : hitList) {
        const std::size_t d = entry.find('-');
        index.push_back(entry.substr(d + 1) + " (" + std::to_string(StrToIntLoose(entry.substr(0, d))) + ")");
    }
    return index;
}
