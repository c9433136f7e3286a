#include "view/LookupPage.h"

#include "common/Sjis.h"

#include <QString>

#include <charconv>

namespace {

constexpr std::string_view kLinkPrefix = "quillor:record/";

std::string Cp932(const QString& text) { return Sjis::FromQString(text).bytes; }

// The text as HTML reads it back: a typed "<" or "&" is shown, never taken for markup.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t next = Sjis::NextCharPos(text, pos);
        if (next == pos + 1) {
            switch (text[pos]) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += text[pos];
            }
        } else {
            out.append(text.substr(pos, next - pos));
        }
        pos = next;
    }
    return out;
}

}  // namespace

std::string RecordLinkAddress(std::int64_t line) { return std::string(kLinkPrefix) + std::to_string(line); }

std::optional<std::int64_t> LineOfRecordLink(std::string_view address) {
    if (!address.starts_with(kLinkPrefix)) return std::nullopt;
    const std::string_view digits = address.substr(kLinkPrefix.size());
    std::int64_t line = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), line);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty() || line < 0) return std::nullopt;
    return line;
}

std::string BuildSuggestionsPage(std::string_view typed, const std::vector<LinkedHeadword>& headwords,
                                 const PageFragments& fragments) {
    const std::string notThere = Cp932(QStringLiteral("」は見出し語にありません"));
    std::string page = "<HTML><HEAD><TITLE>";
    page += Cp932(QStringLiteral("「")) + Escaped(typed) + notThere;
    page += "</TITLE></HEAD>\r\n<BODY topmargin=6>\r\n<P>";
    page += fragments.headwordOpen;
    page += Cp932(QStringLiteral("「")) + Escaped(typed) + notThere;
    page += "\r\n";
    page += fragments.headwordClose;
    page += "<HR>";
    page += fragments.translationOpen;
    page += Cp932(QStringLiteral("もしかして:"));
    page += "\r\n<UL>\r\n";
    for (const LinkedHeadword& linked : headwords)
        page += "<LI><A href=\"" + RecordLinkAddress(linked.line) + "\">" + Escaped(linked.headword) + "</A>\r\n";
    page += "</UL>";
    page += fragments.translationClose;
    page += "</P>\r\n</BODY></HTML>\r\n";
    return page;
}
