// Any bytes as dictionary lines and a key, with the usual separators or hand-set ones:
// the whole-word check, the field of a hit and the headword are those the rules give,
// and a search over the lines lists exactly the lines holding a hit that passes the
// checks, each with its headword byte for byte (blanks, commas and quotes kept), in
// the results and in the search index.
//
// The rules. Whole word: a delimiter (TAB LF CR space ( ) , - . / : < > ?) or the
// line's end on each side, unless a byte from the one before the hit to the one after
// it (at the line's start, to the second one after it) is a lead byte, or the byte
// before is a second byte: then always. Field: with h
// and t the one-based places of the first SepTitle and SepYaku (0 when missing) and p
// the hit's, examples when p >= t + 3, else the translation when p >= h + 3, else the
// headword. Headword: after the first SepNum and one character (the whole line without
// SepNum) up to the first SepTitle there; empty without one. A separator counts where
// it starts on a character, or anywhere when its first byte is below 0x40, which no
// second byte is.
#include "search/HitList.h"
#include "search/SearchBuffer.h"
#include "textmodel/TextLines.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace fuzzrules;

bool Delimiter(char c) { return std::string_view("\t\n\r ( ),-./:<>?").find(c) != kNone; }

bool WholeWord(std::string_view line, const std::vector<bool>& starts, std::size_t p, std::size_t length) {
    // At the line's start the program has always looked at as many bytes, from the hit
    // on, so they reach two past it.
    const std::size_t first = p > 0 ? p - 1 : 0;
    const std::size_t last = std::min(first + length + 1, line.size() - 1);
    for (std::size_t i = first; i <= last; ++i)
        if (Lead(static_cast<unsigned char>(line[i]))) return true;
    if (p > 0 && !starts[p - 1]) return true;
    return (p == 0 || Delimiter(line[p - 1])) && (p + length == line.size() || Delimiter(line[p + length]));
}

// The field of a hit at zero-based p, from the first SepTitle and SepYaku (or kNone).
RecordField FieldKind(std::size_t p, std::size_t title, std::size_t yaku) {
    const std::size_t h = title == kNone ? 0 : title + 1, t = yaku == kNone ? 0 : yaku + 1;
    if (p + 1 >= t + 3) return RecordField::Examples;
    if (p + 1 >= h + 3) return RecordField::Translation;
    return RecordField::Headword;
}

std::string Headword(std::string_view line, const Separators& separators) {
    const std::size_t num = FindOnCharStart(line, separators.num);
    const std::string_view rest = num == kNone ? line : line.substr(num + CharLength(line, num));
    const std::size_t title = FindOnCharStart(rest, separators.title);
    return title == kNone ? std::string() : std::string(rest.substr(0, title));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static const char* const kPieces[] = {" ", "\t", "#", "///", ":::", "/", ":", "==", "\x81\x40", "\x82", "\xA0", "a"};
    const Separators separators = (data[0] & 3) == 3 ? Separators{kPieces[data[1] % 12], kPieces[data[1] / 12 % 12],
                                                                  kPieces[data[2] % 12]}
                                                     : Separators{};
    SearchOptions options;
    options.wordMatch = data[0] & 4;
    options.scope = static_cast<RecordField>((data[0] >> 3) & 3);
    options.andMatch = data[0] & 0x20;

    // The lines: the input cut at LF, without CR or NUL, which a line cannot hold.
    std::vector<std::string> records(1);
    for (std::size_t i = 3; i < size && records.size() <= 64; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') records.emplace_back();
        else if (c != '\r' && c != '\0') records.back() += c;
    }

    for (const std::string& line : records) {
        Expect(CutSearchHeadword(line, separators) == Headword(line, separators));
        const std::vector<bool> starts = CharStarts(line);
        const std::size_t title = FindOnCharStart(line, separators.title), yaku = FindOnCharStart(line, separators.yaku);
        const HitSeparators separatorsAt = FindHitSeparators(line, separators);
        for (std::size_t p = 0; p < line.size(); ++p) {
            Expect(HitFieldByBytes(separatorsAt, p) == FieldKind(p, title, yaku));
            for (std::size_t length = 1; length <= 4 && p + length <= line.size(); ++length)
                Expect(IsWholeWordHit(line, p, length) == WholeWord(line, starts, p, length));
        }
    }

    // A search for a piece of one of the lines.
    const std::string& from = records[data[1] % records.size()];
    const std::string key = from.empty() ? "a" : from.substr(data[2] % from.size(), 1 + data[2] / 64);
    std::string text;
    for (const std::string& line : records) text += line + "\r\n";
    TextLines lines;
    lines.SetWholeText(text);
    SearchBuffer buffer;
    buffer.Build(lines);
    const KeySlots keys{key, "", ""};
    HitList hits;
    hits.CollectHits(buffer.Text(), keys);
    hits.BuildResultList(1, keys, buffer, options, separators);

    std::vector<std::int64_t> expectedLines;
    std::string expectedIndex;
    for (std::size_t n = 0; n < records.size(); ++n) {
        const std::string& line = records[n];
        const std::vector<bool> starts = CharStarts(line);
        const std::size_t title = FindOnCharStart(line, separators.title), yaku = FindOnCharStart(line, separators.yaku);
        bool hit = false;
        for (std::size_t p = 0; p + key.size() <= line.size() && !hit; ++p)
            hit = starts[p] && line.compare(p, key.size(), key) == 0 &&
                  (!options.wordMatch || WholeWord(line, starts, p, key.size())) &&
                  (options.scope == RecordField::WholeRecord || FieldKind(p, title, yaku) == options.scope);
        if (!hit) continue;
        expectedLines.push_back(static_cast<std::int64_t>(n));
        expectedIndex += Headword(line, separators) + " (" + std::to_string(n) + ")\r\n";
    }
    Expect(hits.Results().size() == expectedLines.size());
    for (std::size_t i = 0; i < expectedLines.size(); ++i) {
        Expect(hits.Results()[i].line == expectedLines[i]);
        Expect(hits.Results()[i].headword == Headword(records[static_cast<std::size_t>(expectedLines[i])], separators));
    }
    Expect(hits.SearchIndexText() == expectedIndex);
    return 0;
}
