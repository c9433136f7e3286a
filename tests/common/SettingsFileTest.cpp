#include "common/SettingsFile.h"

#include "TempDir.h"
#include "common/IniFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>

namespace {

const std::string kGothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック

SettingsToSave Sample() {
    SettingsToSave settings;
    settings.top = 143;
    settings.left = 234;
    settings.height = 483;
    settings.width = 737;
    settings.notSeparateWord = false;
    settings.selectCondition = 2;
    settings.maxOfSelection = 1000;
    settings.dataFileName = "/home/ann/dic.txt";
    return settings;
}

TEST(SettingsFile, AFirstSaveLaysOutEverySectionInOrder) {
    TempDir dir;
    const std::string ini = dir.File("QuillorDic.ini");
    SettingsToSave settings = Sample();
    settings.history = {"heart", "\x90\x53\x91\x9f"};  // 心臓
    settings.ignoredWordLines = {"in", "", "the", ""};
    WriteSettings(ini, settings);
    EXPECT_EQ(TempDir::Read(ini),
              "[FORM]\r\nTOP=\"143\"\r\nLEFT=\"234\"\r\nHEIGHT=\"483\"\r\nWIDTH=\"737\"\r\n\r\n"
              "[SEARCH]\r\nNotSeparateWord=\"False\"\r\nSearchWithAnd=\"True\"\r\nNotPartMatch=\"True\"\r\n"
              "DispSentence=\"True\"\r\nSelectCondition=\"2\"\r\nMaxOfSelection=\"1000\"\r\nnotword=\"in,the\"\r\n\r\n"
              "[KEYKIST]\r\nitem1=\"heart\"\r\nitem2=\"\x90\x53\x91\x9f\"\r\n\r\n"
              "[VIEW]\r\nSepNum=\"SPC\"\r\nSepTitle=\"///\"\r\nSepYaku=\":::\"\r\nColor=\"BLUE\"\r\n"
              "TtlFont=\"Tahoma,Microsoft Sans Serif\"\r\nYakuFont=\"" + kGothic + "\"\r\nYakuColor=\"GREEN\"\r\n"
              "BunFont=\"Tahoma,Microsoft Sans Serif\"\r\n\r\n"
              "[FILE]\r\nDATAT=\"/home/ann/dic.txt\"\r\n\r\n"
              "[DESKTOP]\r\nClipboardLookup=\"False\"\r\nPageZoom=\"100\"\r\nTextZoom=\"100\"\r\n\r\n");

    const StoredSettings read = ReadSettings(ini);
    const ViewSettings& strings = read.view;
    EXPECT_EQ(read.top, 143);
    EXPECT_EQ(read.width, 737);
    EXPECT_EQ(read.notSeparateWord, false);
    EXPECT_EQ(read.searchWithAnd, true);
    EXPECT_EQ(read.selectCondition, 2);
    EXPECT_EQ(read.maxOfSelection, 1000);
    EXPECT_EQ(read.history, settings.history);
    EXPECT_EQ(read.dataFileName, "/home/ann/dic.txt");
    // The defaults written read back as the fragments the program starts with, but for
    // the translation's colour, which the defaults give in capitals.
    const ViewSettings defaults = DefaultViewSettings();
    EXPECT_EQ(strings.separators.num, defaults.separators.num);
    EXPECT_EQ(strings.separators.title, defaults.separators.title);
    EXPECT_EQ(strings.separators.yaku, defaults.separators.yaku);
    for (auto fragment : {&PageFragments::keyMarkOpen, &PageFragments::headwordOpen, &PageFragments::examplesOpen})
        EXPECT_EQ(strings.fragments.*fragment, defaults.fragments.*fragment);
    EXPECT_EQ(strings.fragments.translationOpen,
              "<span style='font-family: \"" + kGothic + "\"; Color: \"GREEN\"'>");
}

TEST(SettingsFile, ALaterSaveKeepsHandEditedViewKeysAndRewritesTheHistory) {
    TempDir dir;
    const std::string ini = dir.File("QuillorDic.ini");
    SettingsToSave settings = Sample();
    for (int i = 1; i <= 12; ++i) settings.history.push_back("key" + std::to_string(i));
    WriteSettings(ini, settings);
    WriteIniValue(ini, "VIEW", "SepTitle", false, "|");
    WriteIniValue(ini, "VIEW", "Color", false, "RED");

    settings.history = {"only"};
    settings.ignoredWordLines = {"", ""};  // nothing to write: the old list would stay
    WriteSettings(ini, settings);
    EXPECT_EQ(ReadIniValue(ini, "VIEW", "SepTitle"), "|");
    EXPECT_EQ(ReadIniValue(ini, "VIEW", "Color"), "RED");
    EXPECT_EQ(ReadIniValue(ini, "KEYKIST", "item1"), "only");
    EXPECT_EQ(ReadIniValue(ini, "KEYKIST", "item2"), "ER");
    EXPECT_EQ(ReadIniValue(ini, "SEARCH", "notword"), "ER");

    settings.history.clear();
    for (int i = 1; i <= 12; ++i) settings.history.push_back("key" + std::to_string(i));
    WriteSettings(ini, settings);
    const StoredSettings read = ReadSettings(ini);
    ASSERT_EQ(read.history.size(), 10u) << "twelve entries save as ten";
    EXPECT_EQ(read.history.front(), "key1");
    EXPECT_EQ(read.history.back(), "key10");
    EXPECT_EQ(read.view.separators.title, "|");
    EXPECT_EQ(read.view.fragments.keyMarkOpen, "<FONT COLOR=\"RED\">");
}

TEST(SettingsFile, ViewKeysRebuildOnlyThePageFragmentsTheyName) {
    TempDir dir;
    const auto read = [&](const std::string& view) {
        const std::string ini = dir.Write("v.ini", "[VIEW]\r\n" + view);
        return ReadSettings(ini).view;
    };
    EXPECT_EQ(read("SepNum=\"SPC\"\r\n").separators.num, " ");
    EXPECT_EQ(read("SepNum=\"spc\"\r\n").separators.num, "spc");
    EXPECT_EQ(read("SepNum=\"\"\"\r\n").separators.num, "\"") << "one pair of quotes comes off";
    EXPECT_EQ(read("SepNum=\"\r\n").separators.num, " ") << "a lone quote reads as empty, so missing";
    EXPECT_EQ(read("SepTitle=\"ER\"\r\nSepYaku=\"IR\"\r\n").separators.title, "///");

    EXPECT_EQ(read("YakuFont=\"Serif\"\r\n").fragments.translationOpen,
              "<span style='font-family: \"Serif\"; Color: \"BLACK\"'>");
    EXPECT_EQ(read("YakuColor=\"RED\"\r\n").fragments.translationOpen,
              DefaultViewSettings().fragments.translationOpen);
    EXPECT_EQ(read("ttlfont=\"Serif\"\r\n").fragments.headwordOpen,
              "<Font Size=+1><span style='font-family: \"Serif;\"'>");
    EXPECT_EQ(read("BUNFONT=\"Mono\"\r\n").fragments.examplesOpen, "<span style='font-family: \"Mono;\"'>");
    EXPECT_EQ(read("Color=\"RED\"\r\n").fragments.keyMarkClose, "</FONT>");
}

TEST(SettingsFile, NumbersAndFlagsReadLooselyAndMissingValuesChangeNothing) {
    TempDir dir;
    const std::string ini = dir.Write("n.ini",
                                      "[FORM]\r\nTOP=\"1,000\"\r\nLEFT=\"abc\"\r\n"
                                      "[SEARCH]\r\nNotSeparateWord=\"yes\"\r\nSearchWithAnd=\"TRUE\"\r\n"
                                      "NotPartMatch=\"\"\r\nSelectCondition=\"7\"\r\nMaxOfSelection=\"x\"\r\n"
                                      "[KEYKIST]\r\nitem1=\"a\"\r\nitem3=\"c\"\r\n");
    const StoredSettings read = ReadSettings(ini);
    EXPECT_EQ(read.top, 1000);
    EXPECT_EQ(read.left, 0);
    EXPECT_EQ(read.height, 0);
    EXPECT_EQ(read.notSeparateWord, false);
    EXPECT_EQ(read.searchWithAnd, true);
    EXPECT_EQ(read.notPartMatch, std::nullopt);
    EXPECT_EQ(read.dispSentence, std::nullopt);
    EXPECT_EQ(read.selectCondition, 0);
    EXPECT_EQ(read.maxOfSelection, 0);
    EXPECT_EQ(read.history, std::vector<std::string>{"a"}) << "the history ends at the first missing item";
    EXPECT_EQ(read.dataFileName, std::nullopt);
}

TEST(SettingsFile, TheDesktopSectionReadsBackAndFallsBackToItsDefaults) {
    TempDir dir;
    SettingsToSave settings = Sample();
    settings.desktop = {true, 250, 50};
    const std::string saved = dir.File("saved.ini");
    WriteSettings(saved, settings);
    const DesktopSettings read = ReadSettings(saved).desktop;
    EXPECT_EQ((std::tuple{read.clipboardLookup, read.pageZoomPercent, read.textZoomPercent}),
              (std::tuple{true, 250, 50}));

    // A file of an older version has no such section; a damaged one has nonsense.
    for (const char* section : {"", "[DESKTOP]\r\nClipboardLookup=\"x\"\r\nPageZoom=\"24\"\r\nTextZoom=\"401\"\r\n",
                                "[DESKTOP]\r\nPageZoom=\"ER\"\r\nTextZoom=\"-100\"\r\n"}) {
        const DesktopSettings fallback = ReadSettings(dir.Write("d.ini", section)).desktop;
        EXPECT_EQ((std::tuple{fallback.clipboardLookup, fallback.pageZoomPercent, fallback.textZoomPercent}),
                  (std::tuple{false, 100, 100}))
            << section;
    }
}

// Each number the user chooses, saved at the ends of what it may be and read back; a
// number just outside them, found in the file, reads as the reading rule says. The
// hit limit takes whatever 32-bit number the options box holds.
TEST(SettingsFile, NumbersAtTheEndsOfTheirRangeReadBackAndJustOutsideFallBack) {
    struct Range {
        const char* section;
        const char* key;
        void (*save)(SettingsToSave&, std::int32_t);
        std::int64_t (*read)(const StoredSettings&);
        std::vector<std::int32_t> inRange;  // the ends, and every value where there are few
        std::int64_t below, above;          // just outside
        std::int64_t outsideReadsAs;
    };
    const Range ranges[] = {
        {"DESKTOP", "PageZoom", [](SettingsToSave& s, std::int32_t v) { s.desktop.pageZoomPercent = v; },
         [](const StoredSettings& s) -> std::int64_t { return s.desktop.pageZoomPercent; }, {25, 400}, 24, 401, 100},
        {"DESKTOP", "TextZoom", [](SettingsToSave& s, std::int32_t v) { s.desktop.textZoomPercent = v; },
         [](const StoredSettings& s) -> std::int64_t { return s.desktop.textZoomPercent; }, {25, 400}, 24, 401, 100},
        {"SEARCH", "SelectCondition", [](SettingsToSave& s, std::int32_t v) { s.selectCondition = v; },
         [](const StoredSettings& s) -> std::int64_t { return s.selectCondition; }, {0, 1, 2, 3}, -1, 4, 0},
        // A number past 32 bits is as unreadable as "x": 0.
        {"SEARCH", "MaxOfSelection", [](SettingsToSave& s, std::int32_t v) { s.maxOfSelection = v; },
         [](const StoredSettings& s) -> std::int64_t { return s.maxOfSelection.value_or(-1); },
         {INT32_MIN, INT32_MAX}, std::int64_t{INT32_MIN} - 1, std::int64_t{INT32_MAX} + 1, 0},
    };
    TempDir dir;
    const std::string ini = dir.File("r.ini");
    for (const Range& range : ranges) {
        SCOPED_TRACE(range.key);
        for (const std::int32_t value : range.inRange) {
            SettingsToSave settings = Sample();
            range.save(settings, value);
            WriteSettings(ini, settings);
            EXPECT_EQ(range.read(ReadSettings(ini)), value);
        }
        for (const std::int64_t outside : {range.below, range.above}) {
            WriteIniValue(ini, range.section, range.key, false, std::to_string(outside));
            EXPECT_EQ(range.read(ReadSettings(ini)), range.outsideReadsAs) << outside;
        }
    }
}

TEST(SettingsFile, IgnoredWordsAreSortedAndKeptOnceWithoutRegardToCase) {
    TempDir dir;
    EXPECT_EQ(ReadIgnoredWords(dir.File("none.ini")), std::nullopt);
    // ガス and ヌス differ only in a second byte that looks like a capital: both stay.
    const std::string ini =
        dir.Write("w.ini", "[SEARCH]\r\nnotword=\"the,of,\x83\x6B\x83\x58,The,in,\x83\x4B\x83\x58\"\r\n");
    const auto words = ReadIgnoredWords(ini);
    ASSERT_TRUE(words);
    EXPECT_EQ(*words, (std::vector<std::string>{"in", "of", "the", "\x83\x4B\x83\x58", "\x83\x6B\x83\x58"}));
}

}  // namespace
