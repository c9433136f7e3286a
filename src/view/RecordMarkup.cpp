#include "view/RecordMarkup.h"

#include "common/Sjis.h"
#include "common/StringHelpers.h"
#include "dictionary/RecordLine.h"

namespace {

constexpr std::string_view kSentenceBreak = "./ ";
constexpr std::string_view kSentenceBreakHtml = ".<BR>\r\n&nbsp;&nbsp;";

// Wraps the character after each `mark` in `open` and `close`, as if the first mark
// of the text were replaced again and again until none is left, in one pass.
void RenderMarks(std::string& text, char mark, std::string_view open, std::string_view close) {
    if (text.find(mark) == std::string::npos) return;
    std::string out;
    out.reserve(text.size() + 2 * (open.size() + close.size()));
    std::size_t copied = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t next = Sjis::NextCharPos(text, i);
        if (text[i] != mark) {
            i = next;
            continue;
        }
        out.append(text, copied, i - copied);
        out += open;
        if (next < text.size() && text[next] == mark) {
            // A doubled mark: the second one is wrapped first, then found again and
            // takes the "<" of the closing tag just put after it, leaving the rest of
            // that tag as plain text.
            out += open;
            out += close.front();
            out += close;
            out += close.substr(1);
            i = next + 1;
        } else {
            const std::size_t after = Sjis::NextCharPos(text, next);
            out.append(text, next, after - next);
            out += close;
            i = after;
        }
        copied = i;
    }
    out.append(text, copied);
    text.swap(out);
}

// True when the key's bytes stand at `at` and end where a character ends, so a key
// ending in a lone lead byte does not take half of a character.
bool KeyAt(std::string_view text, std::size_t at, std::string_view key) {
    if (text.substr(at, key.size()) != key) return false;
    std::size_t end = at;
    while (end < at + key.size()) end = Sjis::NextCharPos(text, end);
    return end == at + key.size();
}

// True when the last byte of `s` is a lead byte that starts a character, so in a
// longer text it would take the following byte as its second.
bool EndsInOpenLead(std::string_view s) {
    if (s.empty()) return false;
    std::size_t i = 0;
    while (Sjis::NextCharPos(s, i) < s.size()) i = Sjis::NextCharPos(s, i);
    return i + 1 == s.size() && Sjis::IsLeadByte(static_cast<unsigned char>(s[i]));
}

// Wraps every occurrence of `key` that starts on a character in `open` and `close`,
// each search going on right after the closing fragment just put in.
void MarkKey(std::string& text, std::string_view key, std::string_view open, std::string_view close) {
    std::string out;
    bool marked = false;
    bool takesNextByte = false;
    std::size_t copied = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != key.front() || !KeyAt(text, i, key)) {
            i = Sjis::NextCharPos(text, i);
            continue;
        }
        if (!marked) {
            marked = true;
            out.reserve(text.size() + 4 * (open.size() + key.size() + close.size()));
            // Odd fragments ending in a lead byte swallow the byte after the mark.
            takesNextByte = EndsInOpenLead(std::string(open) + std::string(key) + std::string(close));
        }
        out.append(text, copied, i - copied);
        out += open;
        out += key;
        out += close;
        i += key.size();
        copied = i;
        if (takesNextByte && i < text.size()) ++i;
    }
    if (!marked) return;
    out.append(text, copied);
    text.swap(out);
}

std::string BreakSentences(std::string_view examples) {
    // "." is below 0x40, never the second byte of a character, so bytes will do.
    std::size_t at = examples.find(kSentenceBreak);
    if (at == std::string_view::npos) return std::string(examples);
    std::string out;
    out.reserve(examples.size() + 32);
    std::size_t copied = 0;
    for (; at != std::string_view::npos; at = examples.find(kSentenceBreak, copied)) {
        out.append(examples, copied, at - copied);
        out += kSentenceBreakHtml;
        copied = at + kSentenceBreak.size();
    }
    out.append(examples, copied);
    return out;
}

}  // namespace

std::string MarkupField(RecordField kind, std::string_view text, bool markKeys, const MarkupState& state) {
    std::string result(text);
    RenderMarks(result, '~', "<SUP>", "</SUP>");
    RenderMarks(result, '_', "<SUB>", "</SUB>");
    if (!markKeys || (state.searchScope != RecordField::WholeRecord && state.searchScope != kind)) return result;
    for (const std::string& key : state.keys) {
        if (key.empty()) break;
        MarkKey(result, key, state.fragments.keyMarkOpen, state.fragments.keyMarkClose);
    }
    return result;
}

std::string BuildRecordPage(std::string_view line, bool markKeys, const MarkupState& state) {
    std::string trimmed = TrimBlanks(line);
    if (trimmed.empty()) return trimmed;
    const PageFragments& strings = state.fragments;
    const auto fields = CutRecordFields(trimmed, state.separators);
    if (!fields) return trimmed;

    const std::string headword = MarkupField(RecordField::Headword, fields->headword, markKeys, state);
    const std::string translation = MarkupField(RecordField::Translation, fields->translation, markKeys, state);
    const std::string examples = MarkupField(RecordField::Examples, BreakSentences(fields->examples), markKeys, state);

    std::string page;
    page.reserve(256 + fields->number.size() + 2 * headword.size() + translation.size() + examples.size());
    page += "<HTML><HEAD><TITLE>";
    page += fields->number;
    page += ' ';
    page += headword;
    // "<HEAD>" and "<HTML>" below are opening tags, as the pages have always had
    // them; the browser shows the page all the same.
    page += "</TITLE><HEAD>\r\n<BODY topmargin=6>\r\n<P>";
    page += strings.headwordOpen;
    page += headword;
    page += "\r\n";
    page += strings.headwordClose;
    page += "<HR>";
    page += strings.translationOpen;
    page += translation;
    page += "\r\n";
    page += strings.translationClose;
    page += "<HR>&nbsp;&nbsp;";
    page += strings.examplesOpen;
    page += examples;
    page += strings.examplesClose;
    page += "</P>\r\n</BODY><HTML>\r\n";
    return page;
}
