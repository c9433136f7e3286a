// Any bytes as a record line and up to three keys: the page is the one the layout rule
// gives, every field in it unchanged but for its "~" and "_" marks and its sentence
// breaks; taking the key marks out of a page built with keys gives the page built
// without them; every mark stands in a searched field before an occurrence of a key
// that starts on a character; and with one key every occurrence is marked, each search
// going on after the occurrence just marked.
//
// The rules. The line is trimmed of bytes up to 0x20; a blank line gives an empty page,
// a line missing a separator the trimmed line itself. Otherwise: the number up to the
// first SepNum, the headword from one character after it up to the first SepTitle, the
// translation from three characters after that up to the first SepYaku, the examples
// from three characters after that. A separator counts where it starts on a character,
// or anywhere when its first byte is below 0x40, which no second byte is. In each field
// the character after the first "~" on a character is put between <SUP> and </SUP>,
// again and again until no "~" is left, then the same for "_" and <SUB>; the examples
// first have every "./ " made ".<BR>\r\n&nbsp;&nbsp;".
//
// Keys and lines hold no "<", ">" or "&" here (the input's are replaced), and keys no
// "~" or "_", so the marks used, "<&>" and "<&&>", can be told from everything else.
#include "view/RecordMarkup.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace fuzzrules;

constexpr std::string_view kOpen = "<&>";
constexpr std::string_view kClose = "<&&>";

std::size_t SkipChars(std::string_view s, std::size_t at, int count) {
    for (; count > 0 && at < s.size(); --count) at += CharLength(s, at);
    return at;
}

std::string Render(std::string s, char mark, std::string_view open, std::string_view close) {
    for (;;) {
        std::size_t p = 0;
        while (p < s.size() && s[p] != mark) p += CharLength(s, p);
        if (p == s.size()) return s;
        const std::size_t after = p + 1 < s.size() ? p + 1 + CharLength(s, p + 1) : p + 1;
        s = s.substr(0, p) + std::string(open) + s.substr(p + 1, after - p - 1) + std::string(close) + s.substr(after);
    }
}

std::string Field(std::string s) { return Render(Render(std::move(s), '~', "<SUP>", "</SUP>"), '_', "<SUB>", "</SUB>"); }

std::string Sentences(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        if (s.substr(i, 3) == "./ ") {
            out += ".<BR>\r\n&nbsp;&nbsp;";
            i += 3;
        } else {
            out += s[i++];
        }
    }
    return out;
}

// A field as it stands in the page: where, and of which kind.
struct Placed {
    std::size_t at;
    std::string text;
    RecordField kind;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const bool markKeys = data[0] & 1;
    const auto scope = static_cast<RecordField>((data[0] >> 1) & 3);
    ViewSettings view = DefaultViewSettings();
    Separators& separators = view.separators;
    PageFragments& strings = view.fragments;
    KeySlots keySlots;
    if (data[0] & 0x20) {
        static const char* const kPieces[] = {" ", "\t", "#", "///", ":::", "/", "::", "\x81\x40", "\x82", "a"};
        separators.num = kPieces[data[1] % 10];
        separators.title = kPieces[data[2] % 10];
        separators.yaku = kPieces[data[3] % 10];
    }
    std::size_t at = 4;
    std::vector<std::string> keys;
    for (int k = 0; k < (data[0] >> 3) % 4; ++k) {
        const std::size_t length = std::min<std::size_t>(1 + (data[1 + k] >> 4) % 6, size - at);
        std::string key(reinterpret_cast<const char*>(data + at), length);
        at += length;
        for (char& c : key)
            if (c == '~' || c == '_' || c == '<' || c == '>' || c == '&') c = 'k';
        if (key.empty()) break;
        keySlots[keys.size()] = key;
        keys.push_back(key);
    }
    strings.keyMarkOpen = kOpen;
    strings.keyMarkClose = kClose;
    std::string line(reinterpret_cast<const char*>(data + at), size - at);
    for (char& c : line)
        if (c == '<' || c == '>' || c == '&') c = '+';

    // The page from the rules.
    std::string_view trimmed = line;
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.front()) <= 0x20) trimmed.remove_prefix(1);
    while (!trimmed.empty() && static_cast<unsigned char>(trimmed.back()) <= 0x20) trimmed.remove_suffix(1);
    std::string expected(trimmed);
    std::vector<Placed> fields;
    const std::size_t numAt = FindOnCharStart(trimmed, separators.num, 0);
    const std::size_t headwordAt = numAt == kNone ? kNone : SkipChars(trimmed, numAt, 1);
    const std::size_t titleAt = numAt == kNone ? kNone : FindOnCharStart(trimmed, separators.title, headwordAt);
    const std::size_t translationAt = titleAt == kNone ? kNone : SkipChars(trimmed, titleAt, 3);
    const std::size_t yakuAt = titleAt == kNone ? kNone : FindOnCharStart(trimmed, separators.yaku, translationAt);
    if (yakuAt != kNone) {
        const std::string headword = Field(std::string(trimmed.substr(headwordAt, titleAt - headwordAt)));
        const std::string translation = Field(std::string(trimmed.substr(translationAt, yakuAt - translationAt)));
        const std::string examples = Field(Sentences(trimmed.substr(SkipChars(trimmed, yakuAt, 3))));
        expected = "<HTML><HEAD><TITLE>" + std::string(trimmed.substr(0, numAt)) + " ";
        const auto place = [&](const std::string& text, RecordField kind) {
            fields.push_back({expected.size(), text, kind});
            expected += text;
        };
        place(headword, RecordField::Headword);
        expected += "</TITLE><HEAD>\r\n<BODY topmargin=6>\r\n<P>" + strings.headwordOpen;
        place(headword, RecordField::Headword);
        expected += "\r\n" + strings.headwordClose + "<HR>" + strings.translationOpen;
        place(translation, RecordField::Translation);
        expected += "\r\n" + strings.translationClose + "<HR>&nbsp;&nbsp;" + strings.examplesOpen;
        place(examples, RecordField::Examples);
        expected += strings.examplesClose + "</P>\r\n</BODY><HTML>\r\n";
    }

    Expect(BuildRecordPage(line, false, MarkupState{separators, strings, keySlots, scope}) == expected);
    const std::string page = BuildRecordPage(line, markKeys, MarkupState{separators, strings, keySlots, scope});

    // The marks taken out, and where each stood.
    std::string unmarked;
    std::vector<std::size_t> marks;
    for (std::size_t i = 0; i < page.size();) {
        if (page.compare(i, kClose.size(), kClose) == 0) {
            i += kClose.size();
        } else if (page.compare(i, kOpen.size(), kOpen) == 0) {
            marks.push_back(unmarked.size());
            i += kOpen.size();
        } else {
            unmarked += page[i++];
        }
    }
    Expect(unmarked == expected);
    if (!markKeys || keys.empty()) Expect(marks.empty());

    std::size_t placed = 0;
    for (const Placed& field : fields) {
        const std::vector<bool> starts = CharStarts(field.text);
        std::vector<std::size_t> inField;
        for (const std::size_t mark : marks)
            if (mark >= field.at && mark < field.at + field.text.size()) inField.push_back(mark - field.at);
        placed += inField.size();
        const bool searched = markKeys && (scope == RecordField::WholeRecord || scope == field.kind);
        if (!searched) Expect(inField.empty());
        for (const std::size_t offset : inField) {
            Expect(starts[offset]);
            bool key = false;
            for (const std::string& each : keys) key = key || field.text.compare(offset, each.size(), each) == 0;
            Expect(key);
        }
        if (!searched || keys.size() != 1) continue;
        // One key: every occurrence on characters, taken left to right.
        std::vector<std::size_t> occurrences;
        const std::string& key = keys.front();
        for (std::size_t i = 0; i < field.text.size();) {
            if (i + key.size() <= field.text.size() && field.text.compare(i, key.size(), key) == 0 &&
                starts[i + key.size()]) {
                occurrences.push_back(i);
                i += key.size();
            } else {
                i += CharLength(field.text, i);
            }
        }
        Expect(inField == occurrences);
    }
    Expect(placed == marks.size());
    return 0;
}
