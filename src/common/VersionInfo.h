#pragma once
// The program's version information, compiled into the executable as a resource: a
// translation list (language and code page pairs) and, per translation, a table of
// named string values, addressed by the translation key "041103A4" (language then
// code page, four upper-case hexadecimal digits each) and the value's name.
//
// The resource is a small UTF-8 text, one entry per line:
//   Translation=0411 03A4
//   041103A4\FileVersion=1.0.0.2

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The standard value names, indexed as the callers pass them.
inline constexpr std::array<std::string_view, 12> VersionKeys{
    "Comments",       "CompanyName", "FileDescription",  "FileVersion",  "InternalName",  "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "PrivateBuild", "ProductName", "ProductVersion", "SpecialBuild"};

struct VersionInfo {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;  // (language, code page)
    std::map<std::string, std::string> strings;  // "041103A4\FileVersion" -> value

    static VersionInfo Parse(std::string_view text);
};

// "041103A4" for (0x0411, 0x03A4).
std::string TranslationKey(std::pair<std::uint16_t, std::uint16_t> translation);

// Reads the version information of one resource. The running program has one, for
// its own executable (see below); tests make their own from other resources.
class VersionReader {
public:
    // `resourcePath` is a file or a Qt resource path (":/..."); a missing or empty
    // one means the executable has no version information.
    explicit VersionReader(std::string resourcePath);

    // Value `index` of VersionKeys for the first translation; empty when the program
    // has no version information or no such value. Raises "情報の取得に失敗しました"
    // when the information has no translation list.
    std::string GetVersionValue(std::size_t index) const;

    // The file version ("1.0.0.2"), at most 256 characters; empty on any failure,
    // never raising. The first translation's key is looked up once and kept.
    std::string GetFileVersionText();

private:
    std::string resourcePath_;
    std::string cachedTranslationKey_;
};

// The executable's own version information.
std::string GetVersionValue(std::size_t index);
std::string GetFileVersionText();
// Where the executable's version information is read from: ":/QuillorDic.version"
// unless a test points elsewhere (the kept translation key starts afresh).
void UseVersionResource(std::string resourcePath);
