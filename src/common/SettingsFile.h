#pragma once
// What the program keeps in its settings file, and the order in which it reads and
// writes it. The main window gathers and applies the values; the file's layout and
// every rule of reading and writing it live here.
//
// A value counts as present when it is not empty, "ER" or "IR". Texts are code page
// 932 bytes.

#include "common/ViewStrings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The desktop additions, in a section of their own that older readers skip: a value
// missing, unreadable or out of range reads as its default.
struct DesktopSettings {
    bool clipboardLookup = false;  // search each new clipboard text while the window is inactive
    int pageZoomPercent = 100;     // the record page, kZoomMinPercent to kZoomMaxPercent
    int textZoomPercent = 100;     // the index and text views' fonts, the same range
};
inline constexpr int kZoomMinPercent = 25;
inline constexpr int kZoomMaxPercent = 400;

struct StoredSettings {
    // The window's top, left, height and width, read as numbers (0 when missing); the
    // window takes only those greater than 300 and within the screen.
    int top = 0, left = 0, height = 0, width = 0;
    std::optional<bool> notSeparateWord, searchWithAnd, notPartMatch, dispSentence;
    int selectCondition = 0;  // 0 to 3; always read, any other number is 0
    std::optional<std::int32_t> maxOfSelection;
    std::vector<std::string> history;  // at most ten, the first shown in the search box
    std::optional<std::string> dataFileName;
    DesktopSettings desktop;
    // The separators and page fragments: the defaults, each replaced by its VIEW key
    // where that is present.
    ViewSettings view = DefaultViewSettings();
};

// Reads everything the start-up takes from the file except the ignored words.
StoredSettings ReadSettings(const std::string& iniFileName);

// The ignored words, when the file has any: the stored list split at its commas,
// sorted and each word kept once, without regard to letter case.
std::optional<std::vector<std::string>> ReadIgnoredWords(const std::string& iniFileName);

struct SettingsToSave {
    int top = 0, left = 0, height = 0, width = 0;  // the full layout's size while compact
    bool notSeparateWord = true, searchWithAnd = true, notPartMatch = true, dispSentence = true;
    int selectCondition = 0;
    std::int32_t maxOfSelection = 300;
    std::vector<std::string> history;  // all entries; the first ten are kept
    std::string dataFileName;
    std::vector<std::string> ignoredWordLines;  // one word per line as the user wrote them, empty ones included
    DesktopSettings desktop;
};

// Writes the settings one value at a time, the first write creating the file. The
// VIEW block of defaults is written once, when the file has no separators yet, so
// hand-edited VIEW values stay. Raises "ファイル %s を作成できません" at the first
// value that cannot be written; the values after it are not written.
void WriteSettings(const std::string& iniFileName, const SettingsToSave& settings);
