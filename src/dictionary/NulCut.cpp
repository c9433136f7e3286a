#include "dictionary/NulCut.h"

#include "dictionary/DictionaryLoad.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr std::string_view kNoticeStart = "NUL 文字以降の ";
constexpr std::string_view kNoticeEnd = " バイトは読み込まれていません";
constexpr std::string_view kJoin = "　";  // an ideographic space between the two notices

}  // namespace

std::string NulCutNotice(std::uint64_t bytes) {
    return std::string(kNoticeStart) + std::to_string(bytes) + std::string(kNoticeEnd);
}

std::optional<std::string> LoadNotice(std::uint64_t bytesCutAtNul, const std::optional<std::string>& damageText) {
    if (bytesCutAtNul == 0) return damageText;
    std::string notice = NulCutNotice(bytesCutAtNul);
    if (damageText) notice += std::string(kJoin) + *damageText;
    return notice;
}

bool IsLoadNotice(std::string_view utf8) {
    if (IsDamageReport(utf8)) return true;
    if (!utf8.starts_with(kNoticeStart)) return false;
    utf8.remove_prefix(kNoticeStart.size());
    std::size_t digits = 0;
    while (digits < utf8.size() && utf8[digits] >= '0' && utf8[digits] <= '9') ++digits;
    if (digits == 0) return false;
    utf8.remove_prefix(digits);
    if (!utf8.starts_with(kNoticeEnd)) return false;
    utf8.remove_prefix(kNoticeEnd.size());
    if (utf8.empty()) return true;
    return utf8.starts_with(kJoin) && IsDamageReport(utf8.substr(kJoin.size()));
}

std::uint64_t BytesLostBySaving(const std::string& target, const std::string& loadedFrom,
                                std::uint64_t bytesCutAtNul) {
    if (bytesCutAtNul == 0 || target.empty() || loadedFrom.empty()) return 0;
    // A file that is gone, or a new one, holds nothing the load left out.
    std::error_code error;
    const bool same = std::filesystem::equivalent(target, loadedFrom, error);
    return !error && same ? bytesCutAtNul : 0;
}

std::string LostBytesQuestion(const std::string& target, std::uint64_t bytes) {
    const std::string count = std::to_string(bytes);
    return target + " の NUL 文字以降の " + count + " バイトは読み込まれていません.\r\n保存するとこの " + count +
           " バイトは失われます.\r\n保存しますか?";
}
