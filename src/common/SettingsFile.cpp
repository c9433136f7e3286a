#include "common/SettingsFile.h"

#include "common/IniFile.h"
#include "common/Sjis.h"
#include "common/StringHelpers.h"

#include <algorithm>

namespace {

constexpr std::string_view kForm = "FORM";
constexpr std::string_view kSearch = "SEARCH";
constexpr std::string_view kHistory = "KEYKIST";
constexpr std::string_view kView = "VIEW";
constexpr std::string_view kFile = "FILE";
constexpr std::string_view kDesktop = "DESKTOP";

// "ER" marks a missing value; "IR" and the empty text count as missing too.
bool IsPresent(const std::string& value) { return !value.empty() && value != "ER" && value != "IR"; }

std::optional<std::string> PresentValue(const std::string& iniFileName, std::string_view section,
                                        std::string_view key) {
    std::string value = ReadIniValue(iniFileName, section, key);
    if (!IsPresent(value)) return std::nullopt;
    return value;
}

std::optional<bool> ReadFlag(const std::string& iniFileName, std::string_view key) {
    const auto value = PresentValue(iniFileName, kSearch, key);
    if (!value) return std::nullopt;
    return TextToBool(*value);
}

std::string StyleFontSpan(const std::string& fonts) {
    return "<span style='font-family: \"" + fonts + ";\"'>";
}

void ReadViewSettings(const std::string& iniFileName, ViewSettings& view) {
    if (const auto value = PresentValue(iniFileName, kView, "SepNum"))
        view.separators.num = *value == "SPC" ? " " : *value;
    if (const auto value = PresentValue(iniFileName, kView, "SepTitle")) view.separators.title = *value;
    if (const auto value = PresentValue(iniFileName, kView, "SepYaku")) view.separators.yaku = *value;
    if (const auto value = PresentValue(iniFileName, kView, "COLOR"))
        view.fragments.keyMarkOpen = "<FONT COLOR=\"" + *value + "\">";
    if (const auto value = PresentValue(iniFileName, kView, "TTLFONT"))
        view.fragments.headwordOpen = "<Font Size=+1>" + StyleFontSpan(*value);
    if (const auto font = PresentValue(iniFileName, kView, "YAKUFONT")) {
        const std::string colour = PresentValue(iniFileName, kView, "YAKUCOLOR").value_or("BLACK");
        view.fragments.translationOpen =
            "<span style='font-family: \"" + *font + "\"; Color: \"" + colour + "\"'>";
    }
    if (const auto value = PresentValue(iniFileName, kView, "BUNFONT"))
        view.fragments.examplesOpen = StyleFontSpan(*value);
}

}  // namespace

StoredSettings ReadSettings(const std::string& iniFileName) {
    StoredSettings settings;
    settings.top = StrToIntLoose(ReadIniValue(iniFileName, kForm, "TOP"));
    settings.left = StrToIntLoose(ReadIniValue(iniFileName, kForm, "LEFT"));
    settings.height = StrToIntLoose(ReadIniValue(iniFileName, kForm, "HEIGHT"));
    settings.width = StrToIntLoose(ReadIniValue(iniFileName, kForm, "WIDTH"));

    settings.notSeparateWord = ReadFlag(iniFileName, "NotSeparateWord");
    settings.searchWithAnd = ReadFlag(iniFileName, "SearchWithAnd");
    settings.notPartMatch = ReadFlag(iniFileName, "NotPartMatch");
    settings.dispSentence = ReadFlag(iniFileName, "DispSentence");
    const int condition = StrToIntLoose(ReadIniValue(iniFileName, kSearch, "SelectCondition"));
    settings.selectCondition = condition >= 0 && condition <= 3 ? condition : 0;
    if (const auto value = PresentValue(iniFileName, kSearch, "MaxOfSelection"))
        settings.maxOfSelection = StrToIntLoose(*value);

    ReadViewSettings(iniFileName, settings.view);

    for (int i = 1; i <= 10; ++i) {
        const auto entry = PresentValue(iniFileName, kHistory, "item" + std::to_string(i));
        if (!entry) break;
        settings.history.push_back(*entry);
    }
    settings.dataFileName = PresentValue(iniFileName, kFile, "DATAT");

    if (const auto value = PresentValue(iniFileName, kDesktop, "ClipboardLookup"))
        settings.desktop.clipboardLookup = TextToBool(*value);
    const auto zoom = [&](std::string_view key, int fallback) {
        const int percent = StrToIntLoose(ReadIniValue(iniFileName, kDesktop, key));
        return percent >= kZoomMinPercent && percent <= kZoomMaxPercent ? percent : fallback;
    };
    settings.desktop.pageZoomPercent = zoom("PageZoom", settings.desktop.pageZoomPercent);
    settings.desktop.textZoomPercent = zoom("TextZoom", settings.desktop.textZoomPercent);
    return settings;
}

std::optional<std::vector<std::string>> ReadIgnoredWords(const std::string& iniFileName) {
    const auto stored = PresentValue(iniFileName, kSearch, "notword");
    if (!stored) return std::nullopt;
    std::vector<std::string> words;
    std::size_t start = 0;
    for (std::size_t comma; (comma = stored->find(',', start)) != std::string::npos; start = comma + 1)
        words.push_back(stored->substr(start, comma - start));
    words.push_back(stored->substr(start));
    std::stable_sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) {
        return Sjis::LessIgnoringAsciiCase(a, b);
    });
    words.erase(std::unique(words.begin(), words.end(),
                            [](const std::string& a, const std::string& b) {
                                return Sjis::EqualIgnoringAsciiCase(a, b);
                            }),
                words.end());
    return words;
}

void WriteSettings(const std::string& iniFileName, const SettingsToSave& settings) {
    const auto write = [&](std::string_view section, std::string_view key, const std::string& value) {
        WriteIniValue(iniFileName, section, key, false, value);
    };
    WriteIniValue(iniFileName, kForm, "TOP", true, std::to_string(settings.top));
    write(kForm, "LEFT", std::to_string(settings.left));
    write(kForm, "HEIGHT", std::to_string(settings.height));
    write(kForm, "WIDTH", std::to_string(settings.width));

    write(kSearch, "NotSeparateWord", BoolToText(settings.notSeparateWord));
    write(kSearch, "SearchWithAnd", BoolToText(settings.searchWithAnd));
    write(kSearch, "NotPartMatch", BoolToText(settings.notPartMatch));
    write(kSearch, "DispSentence", BoolToText(settings.dispSentence));
    write(kSearch, "SelectCondition", std::to_string(settings.selectCondition));
    write(kSearch, "MaxOfSelection", std::to_string(settings.maxOfSelection));

    EraseIniSection(iniFileName, kHistory);
    const std::size_t kept = std::min<std::size_t>(10, settings.history.size());
    for (std::size_t i = 0; i < kept; ++i) write(kHistory, "item" + std::to_string(i + 1), settings.history[i]);

    if (!IsPresent(ReadIniValue(iniFileName, kView, "SepNum"))) {
        write(kView, "SepNum", "SPC");
        write(kView, "SepTitle", "///");
        write(kView, "SepYaku", ":::");
        write(kView, "Color", "BLUE");
        write(kView, "TtlFont", "Tahoma,Microsoft Sans Serif");
        write(kView, "YakuFont", "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e");  // ＭＳ ゴシック
        write(kView, "YakuColor", "GREEN");
        write(kView, "BunFont", "Tahoma,Microsoft Sans Serif");
    }

    write(kFile, "DATAT", settings.dataFileName);

    std::string words;
    for (const std::string& line : settings.ignoredWordLines)
        if (!line.empty()) words += line + ",";
    if (!words.empty()) {
        words.pop_back();
        write(kSearch, "notword", words);
    }

    write(kDesktop, "ClipboardLookup", BoolToText(settings.desktop.clipboardLookup));
    write(kDesktop, "PageZoom", std::to_string(settings.desktop.pageZoomPercent));
    write(kDesktop, "TextZoom", std::to_string(settings.desktop.textZoomPercent));
}
