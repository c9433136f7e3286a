// Any bytes as a damaged data file, repaired with the usual separators or hand-set ones
// (from the input, so they can straddle the "/ " join or start on a second byte): the
// repaired text, the log and the counts are those of the repair done step by step on a
// plain list of lines; every byte of a kept line is in its output line, in order, and
// every dropped line is whole in the log; every output line starts with its number and
// SepNum or is counted as holding none; and the counts agree with the log and with the
// lines that went.
//
// The rule: lines are examined from the last to the first. A line without SepNum goes,
// whole and with whatever was appended to it, into the log as "d1", except the file's
// last line, which is logged and examined further. A line without SepYaku ("d3"), or
// with it but without SepTitle ("d2"), is logged and appended after "/ " to the line
// before it; line 0 stays. The entries of those lines are cut after 4096 bytes, never
// inside a character, and marked "...". Then each line's number, the digits before its
// first SepNum, becomes its number from 1; text there that is no number stays, after the
// new number and a SepNum. A separator counts where it starts on a character, or
// anywhere when its first byte is below 0x40, which no second byte is.
#include "dictionary/Repair.h"
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

__attribute__((no_sanitize("coverage"))) bool OnChar(std::string_view s, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos) i += Lead(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
    return i == pos;
}

// The reference walks every line again from its start for every separator: left out of
// the coverage that guides the fuzzer, it does not slow it down as much.
__attribute__((no_sanitize("coverage"))) std::size_t Find(std::string_view line, std::string_view separator) {
    if (separator.empty()) return kNone;
    const bool anywhere = static_cast<unsigned char>(separator.front()) < 0x40;
    std::size_t boundary = 0;
    for (std::size_t p = 0; p + separator.size() <= line.size(); ++p) {
        while (boundary < p) boundary += Lead(static_cast<unsigned char>(line[boundary])) && boundary + 1 < line.size() ? 2 : 1;
        if (line[p] != separator.front() || !(anywhere || boundary == p)) continue;
        std::size_t same = 1;
        while (same < separator.size() && line[p + same] == separator[same]) ++same;
        if (same == separator.size()) return p;
    }
    return kNone;
}

bool IsNumber(const std::string& text) {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string Entry(const char* kind, std::size_t line, const std::string& text, bool whole) {
    std::string shown = text;
    if (!whole && text.size() > 4096) shown = text.substr(0, OnChar(text, 4096) ? 4096 : 4095) + "...";
    return std::string(kind) + ": " + std::to_string(line) + " " + shown + "\r\n";
}

struct Repaired {
    std::string text;
    std::string log;
    std::int64_t d2 = 0, d3 = 0, noNum = 0;
    std::vector<std::vector<std::size_t>> kept;     // the input lines of each output line
    std::vector<std::vector<std::size_t>> dropped;  // of each dropped line, with what was appended
};

Repaired StepByStep(const std::vector<std::string>& input, bool endsWithBreak, const Separators& separators) {
    Repaired r;
    std::vector<std::string> kept;  // last first
    std::string appended;
    std::vector<std::size_t> group;  // the lines of the line examined, from the one read on
    for (std::size_t n = input.size(); n-- > 0;) {
        const std::string line = group.empty() ? input[n] : input[n] + "/ " + appended;
        group.insert(group.begin(), n);
        if (Find(line, separators.num) == kNone) {
            if (n + 1 != input.size()) {
                r.log += Entry("d1", n, line, true);
                r.dropped.push_back(group);
                group.clear();
                continue;
            }
            r.log += Entry("d1", n, line, false);
        }
        const bool noYaku = Find(line, separators.yaku) == kNone;
        if (noYaku || Find(line, separators.title) == kNone) {
            r.log += Entry(noYaku ? "d3" : "d2", n, line, false);
            ++(noYaku ? r.d3 : r.d2);
            if (n > 0) {
                appended = line;
                continue;
            }
        }
        kept.insert(kept.begin(), line);
        r.kept.insert(r.kept.begin(), group);
        group.clear();
    }
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const std::size_t at = Find(kept[k], separators.num);
        if (at == kNone) ++r.noNum;
        if (at == kNone) r.text += kept[k];
        else if (IsNumber(kept[k].substr(0, at))) r.text += std::to_string(k + 1) + kept[k].substr(at);
        else r.text += std::to_string(k + 1) + separators.num + kept[k];
        if (k + 1 < kept.size() || endsWithBreak) r.text += "\r\n";
    }
    return r;
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> pieces;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t end = text.find("\r\n", from);
        pieces.push_back(text.substr(from, end == kNone ? kNone : end - from));
        if (end == kNone) break;
        from = end + 2;
    }
    return pieces;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    Separators separators;
    std::size_t at = 1;
    if ((data[0] & 3) == 2) {
        // Hand-set separators of up to three bytes each, from the input.
        int shift = 0;
        at = 2;
        for (std::string* separator : {&separators.num, &separators.title, &separators.yaku}) {
            const std::size_t length = std::min<std::size_t>((data[1] >> shift) & 3, size - at);
            separator->assign(reinterpret_cast<const char*>(data + at), length);
            at += length;
            shift += 2;
        }
    } else if ((data[0] & 3) == 3) {
        static const char* const kPieces[] = {" ", "/ ", "// ", "///", ":::", "/", "::", "#", "\x81", "\x81/",
                                              " \x82\xA0", "\x82\xA0", "\xA0", "s/", "/ :", "a"};
        separators = {kPieces[data[1] % 16], kPieces[data[2] % 16], kPieces[data[3] % 16]};
        at = 4;
    }
    std::string text(reinterpret_cast<const char*>(data + at), size - at);
    // Now and then the first line repeated past 4 KB, so long entries are cut in the log.
    if ((data[0] & 4) && !text.empty()) {
        const std::string first = text.substr(0, std::max<std::size_t>(1, text.find_first_of("\r\n")));
        while (text.size() <= 4200) text.insert(0, first);
    }

    // A hundred lines are plenty, and keep the step-by-step repair and the log (a cut
    // entry per joined line) small.
    for (std::size_t i = 0, breaks = 0; i < text.size(); ++i)
        if ((text[i] == '\r' || text[i] == '\n') && ++breaks == 100) text.resize(i + 1);

    TextLines lines;
    lines.SetWholeText(text);
    std::vector<std::string> input;
    for (std::size_t i = 0; i < lines.LineCount(); ++i) input.emplace_back(lines.LineView(i));
    const RepairResult result = RepairLines(lines, separators);
    const Repaired expected = StepByStep(input, lines.EndsWithLineBreak(), separators);
    Expect(result.text.view() == expected.text);
    Expect(result.log == expected.log);
    Expect(result.d2 == expected.d2 && result.d3 == expected.d3 && result.noNum == expected.noNum);

    // Every byte stays: a kept line's bytes, but for the digits of its old number before
    // its first SepNum, in order, in its output line; a dropped line, with what was
    // appended to it, in the log.
    std::vector<std::string> output = Split(std::string(result.text.view()));
    if (result.text.empty() || lines.EndsWithLineBreak()) output.pop_back();
    const std::size_t outputCount = output.size();
    Expect(outputCount == expected.kept.size());
    for (std::size_t k = 0; k < outputCount; ++k) {
        const std::vector<std::size_t>& group = expected.kept[k];
        std::string joined = input[group.front()];
        for (std::size_t i = 1; i < group.size(); ++i) joined += "/ " + input[group[i]];
        const std::size_t numAt = Find(joined, separators.num);
        const std::size_t replaced = numAt != kNone && IsNumber(joined.substr(0, numAt)) ? numAt : 0;
        std::size_t from = 0, offset = 0;
        for (const std::size_t n : group) {
            const std::size_t begin = std::max(offset, replaced);
            const std::size_t end = offset + input[n].size();
            const std::string piece = begin < end ? joined.substr(begin, end - begin) : "";
            from = output[k].find(piece, from);
            Expect(from != kNone);
            from += piece.size();
            offset = end + 2;
        }
        // Numbered, or without SepNum at all; no line break inside.
        const std::string number = std::to_string(k + 1) + separators.num;
        Expect(output[k].find_first_of("\r\n") == kNone);
        Expect(output[k].starts_with(number) || Find(output[k], separators.num) == kNone);
    }
    std::int64_t unnumbered = 0;
    for (std::size_t k = 0; k < outputCount; ++k)
        if (Find(output[k], separators.num) == kNone) ++unnumbered;
    Expect(result.noNum == unnumbered);
    for (const std::vector<std::size_t>& group : expected.dropped) {
        std::string whole = input[group.front()];
        for (std::size_t i = 1; i < group.size(); ++i) whole += "/ " + input[group[i]];
        Expect(result.log.find(Entry("d1", group.front(), whole, true)) != kNone);
    }

    // The counts: one d2 or d3 entry per join, and one more when line 0 is damaged
    // but stays; the lines that went are the dropped ones and the joined ones.
    std::int64_t joinEntries = 0, dropEntries = 0;
    std::string lastEntry;
    for (const std::string& entry : Split(result.log)) {
        if (entry.starts_with("d2: ") || entry.starts_with("d3: ")) ++joinEntries;
        if (entry.starts_with("d1: ")) ++dropEntries;
        if (!entry.empty()) lastEntry = entry;
    }
    if (!input.empty() && result.log.starts_with("d1: " + std::to_string(input.size() - 1) + " "))
        --dropEntries;  // the last line stays
    const bool firstStays = lastEntry.starts_with("d2: 0 ") || lastEntry.starts_with("d3: 0 ");
    Expect(result.d2 + result.d3 == joinEntries);
    Expect(joinEntries == static_cast<std::int64_t>(input.size()) - dropEntries -
                              static_cast<std::int64_t>(outputCount) + (firstStays ? 1 : 0));
    return 0;
}
