#include "session/WordListFields.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <utility>

namespace {

constexpr std::string_view kExampleBreak = "/ ";
constexpr std::string_view kHtmlBreak = "<br>";

// Copies `text` left to right; at each position `rule` may append a replacement to
// `out` and return how many bytes it stands for, or return 0 to have the byte copied.
template <class Rule>
std::string Rewrite(std::string_view text, Rule rule) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t taken = rule(text.substr(pos), out);
        if (taken > 0) {
            pos += taken;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

// The length of the line break (CR LF, CR or LF) `text` starts with; 0 when none.
std::size_t LineBreakLength(std::string_view text) {
    if (text.starts_with("\r\n")) return 2;
    return text.starts_with('\r') || text.starts_with('\n') ? 1 : 0;
}

// The length of the <br> tag `html` starts with, in any case, with an optional " /"
// or "/" before the ">"; 0 when none.
std::size_t BreakTagLength(std::string_view html) {
    if (html.size() < 4 || html[0] != '<' || std::tolower(static_cast<unsigned char>(html[1])) != 'b' ||
        std::tolower(static_cast<unsigned char>(html[2])) != 'r')
        return 0;
    std::size_t pos = 3;
    while (pos < html.size() && html[pos] == ' ') ++pos;
    if (pos < html.size() && html[pos] == '/') ++pos;
    return pos < html.size() && html[pos] == '>' ? pos + 1 : 0;
}

// Appends `replacement` and takes `length` bytes, the form every rule returns in.
std::size_t Put(std::string& out, std::string_view replacement, std::size_t length) {
    out += replacement;
    return length;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the entity `html` starts with into `out`; its length, or 0 when it is none
// this reader knows or names no character a text may hold (NUL, a surrogate, beyond
// U+10FFFF).
std::size_t DecodeEntity(std::string_view html, std::string& out) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNamed{{
        {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&nbsp;", "\u00A0"}}};
    for (const auto& [entity, text] : kNamed)
        if (html.starts_with(entity)) return Put(out, text, entity.size());

    if (!html.starts_with("&#")) return 0;
    std::size_t pos = 2;
    int base = 10;
    if (pos < html.size() && (html[pos] == 'x' || html[pos] == 'X')) {
        base = 16;
        ++pos;
    }
    const std::size_t digits = html.find(';', pos);
    if (digits == std::string_view::npos || digits == pos || digits - pos > 8) return 0;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(html.data() + pos, html.data() + digits, value, base);
    if (error != std::errc{} || end != html.data() + digits) return 0;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) return 0;
    AppendUtf8(out, value);
    return digits + 1;
}

}  // namespace

std::string HtmlFromDictionaryField(std::string_view text, bool isExamples) {
    return Rewrite(text, [isExamples](std::string_view rest, std::string& out) -> std::size_t {
        if (isExamples && rest.starts_with(kExampleBreak)) return Put(out, kHtmlBreak, kExampleBreak.size());
        if (const std::size_t lineBreak = LineBreakLength(rest)) return Put(out, kHtmlBreak, lineBreak);
        if (rest[0] == '\t') return Put(out, "&#9;", 1);
        if (rest[0] == '"') return Put(out, "&quot;", 1);
        return 0;
    });
}

std::string HtmlFromNote(std::string_view text) {
    return Rewrite(text, [](std::string_view rest, std::string& out) -> std::size_t {
        if (const std::size_t lineBreak = LineBreakLength(rest)) return Put(out, kHtmlBreak, lineBreak);
        switch (rest[0]) {
        case '\t': return Put(out, "&#9;", 1);
        case '"': return Put(out, "&quot;", 1);
        case '&': return Put(out, "&amp;", 1);
        case '<': return Put(out, "&lt;", 1);
        case '>': return Put(out, "&gt;", 1);
        default: return 0;
        }
    });
}

std::string ExamplesWithLineBreaks(std::string_view examples) {
    return Rewrite(examples, [](std::string_view rest, std::string& out) -> std::size_t {
        if (rest.starts_with(kExampleBreak)) return Put(out, "\n", kExampleBreak.size());
        // A CR of their own would join the next break's LF into one CR LF.
        const std::size_t length = LineBreakLength(rest);
        return length > 0 ? Put(out, "\n", length) : 0;
    });
}

std::string DictionaryFieldFromHtml(std::string_view html, bool isExamples) {
    const std::string_view lineBreak = isExamples ? kExampleBreak : "\n";
    return Rewrite(html, [isExamples, lineBreak](std::string_view rest, std::string& out) -> std::size_t {
        if (const std::size_t tag = BreakTagLength(rest)) return Put(out, lineBreak, tag);
        if (rest.starts_with("&#9;")) return Put(out, "\t", 4);
        if (rest.starts_with("&quot;")) return Put(out, "\"", 6);
        if (isExamples)
            if (const std::size_t length = LineBreakLength(rest)) return Put(out, kExampleBreak, length);
        return 0;
    });
}

std::string NoteFromHtml(std::string_view html) {
    return Rewrite(html, [](std::string_view rest, std::string& out) -> std::size_t {
        if (const std::size_t tag = BreakTagLength(rest)) return Put(out, "\n", tag);
        return rest[0] == '&' ? DecodeEntity(rest, out) : 0;
    });
}

std::string ExamplesFromLineBreaks(std::string_view text) {
    return Rewrite(text, [](std::string_view rest, std::string& out) -> std::size_t {
        const std::size_t length = LineBreakLength(rest);
        return length > 0 ? Put(out, kExampleBreak, length) : 0;
    });
}
