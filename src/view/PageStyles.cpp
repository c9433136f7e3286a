#include "view/PageStyles.h"

#include "common/StringHelpers.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix) {
    if (text.size() - at < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[at + i])) != prefix[i]) return false;
    return true;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    return lower;
}

// Declarations split at ";" outside double quotes (a quoted font list may hold ";").
std::vector<std::string_view> Declarations(std::string_view style) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < style.size(); ++i) {
        if (style[i] == '"') quoted = !quoted;
        else if (style[i] == ';' && !quoted) {
            parts.push_back(style.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(style.substr(start));
    return parts;
}

std::string FontList(std::string_view families) {
    std::string list;
    std::size_t start = 0;
    while (start <= families.size()) {
        std::size_t comma = families.find(',', start);
        if (comma == std::string_view::npos) comma = families.size();
        std::string family = TrimBlanks(families.substr(start, comma - start));
        while (!family.empty() && family.back() == ';') family.pop_back();
        if (!family.empty()) list += "\"" + family + "\", ";
        start = comma + 1;
    }
    return list + "sans-serif";
}

std::string NormaliseStyle(std::string_view style) {
    std::string result;
    for (const std::string_view declaration : Declarations(style)) {
        const std::size_t colon = declaration.find(':');
        if (TrimBlanks(declaration).empty()) continue;
        if (!result.empty()) result += "; ";
        if (colon == std::string_view::npos) {
            result += TrimBlanks(declaration);
            continue;
        }
        const std::string name = TrimBlanks(declaration.substr(0, colon));
        std::string value = TrimBlanks(declaration.substr(colon + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
            const std::string_view inner = std::string_view(value).substr(1, value.size() - 2);
            value = Lower(name) == "font-family" ? FontList(inner) : TrimBlanks(inner);
        }
        result += name + ": " + value;
    }
    return result;
}

}  // namespace

PageFragments WithPlainStyles(const PageFragments& fragments) {
    PageFragments plain;
    for (auto member : {&PageFragments::keyMarkOpen, &PageFragments::keyMarkClose, &PageFragments::headwordOpen,
                        &PageFragments::headwordClose, &PageFragments::translationOpen,
                        &PageFragments::translationClose, &PageFragments::examplesOpen, &PageFragments::examplesClose})
        plain.*member = NormaliseStyleAttributes(fragments.*member);
    return plain;
}

std::string NormaliseStyleAttributes(std::string_view page) {
    constexpr std::string_view kOpening = "style='";
    std::string out;
    out.reserve(page.size() + 64);
    std::size_t copied = 0;
    for (std::size_t at = 0; at < page.size(); ++at) {
        if (!StartsWithNoCase(page, at, kOpening)) continue;
        const std::size_t valueStart = at + kOpening.size();
        const std::size_t valueEnd = page.find('\'', valueStart);
        if (valueEnd == std::string_view::npos) break;
        out.append(page.substr(copied, valueStart - copied));
        out.append(NormaliseStyle(page.substr(valueStart, valueEnd - valueStart)));
        copied = valueEnd;
        at = valueEnd;
    }
    out.append(page.substr(copied));
    return out;
}

std::string WithCrLfLineEnds(std::string_view page) {
    std::string out;
    out.reserve(page.size() + page.size() / 32);
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\r' || page[i] == '\n') {
            if (page[i] == '\r' && i + 1 < page.size() && page[i + 1] == '\n') ++i;
            out.append("\r\n");
        } else {
            out.push_back(page[i]);
        }
    }
    if (!out.empty() && !out.ends_with("\r\n")) out.append("\r\n");  // the last line too
    return out;
}
