#include "view/LookupPage.h"

#include "common/Sjis.h"

#include <QString>

#include <charconv>

namespace {

constexpr std::string_view kLinkPrefix = "quillor:record/";

std::string Cp932(const QString& text) { return Sjis::FromQString(text).bytes; }

bool IsSecondByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The text as HTML reads it back: a typed "<" or "&" is shown, never taken for markup.
std::string Escaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        // A lead byte takes only a byte that can follow it; before "<" or anything
        // else it stands alone, and the "<" is escaped, as the engine would read it.
        std::size_t next = Sjis::NextCharPos(text, pos);
        if (next == pos + 2 && !IsSecondByte(static_cast<unsigned char>(text[pos + 1]))) next = pos + 1;
        if (next == pos + 1 && !Sjis::IsLeadByte(static_cast<unsigned char>(text[pos]))) {
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

std::string RecordLinkAddress(const RecordLink& link) {
    return std::string(kLinkPrefix) + std::to_string(link.load) + "/" + std::to_string(link.row);
}

std::optional<RecordLink> ParseRecordLink(std::string_view address) {
    if (!address.starts_with(kLinkPrefix)) return std::nullopt;
    address.remove_prefix(kLinkPrefix.size());
    RecordLink link{};
    const char* end = address.data() + address.size();
    const auto [slash, loadError] = std::from_chars(address.data(), end, link.load);
    if (loadError != std::errc() || slash == end || *slash != '/') return std::nullopt;
    const auto [rowEnd, rowError] = std::from_chars(slash + 1, end, link.row);
    if (rowError != std::errc() || rowEnd != end || rowEnd == slash + 1 || link.row < 0) return std::nullopt;
    return link;
}

std::string BuildSuggestionsPage(std::string_view typed, const std::vector<LinkedHeadword>& headwords,
                                 std::uint64_t load, const PageFragments& fragments) {
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
        page += "<LI><A href=\"" + RecordLinkAddress({load, linked.row}) + "\">" + Escaped(linked.headword) + "</A>\r\n";
    page += "</UL>";
    page += fragments.translationClose;
    page += "</P>\r\n</BODY></HTML>\r\n";
    return page;
}
