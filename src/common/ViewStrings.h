#pragma once
// The strings that cut record lines and build record pages, each kind on its own: the
// dictionary's field separators and the page's opening and closing fragments, as the
// settings' VIEW section gives them, and the keys of the last search, which the
// record page marks.

#include <array>
#include <cstddef>
#include <string>

// The three separators of a record line (code page 932).
struct Separators {
    std::string num = " ";      // SepNum: ends the record number
    std::string title = "///";  // SepTitle: ends the headword
    std::string yaku = ":::";   // SepYaku: ends the translation
};

// The record page's markup around each field and each marked key (code page 932).
struct PageFragments {
    std::string keyMarkOpen;  // put around each marked key occurrence
    std::string keyMarkClose;
    std::string headwordOpen;  // around the headword on the page
    std::string headwordClose;
    std::string translationOpen;  // around the translation
    std::string translationClose;
    std::string examplesOpen;  // around the example sentences
    std::string examplesClose;
};

// What the settings' VIEW section gives.
struct ViewSettings {
    Separators separators;
    PageFragments fragments;
};

// The values the program starts with, before the settings are read: " ", "///",
// ":::" and the designed fragments.
ViewSettings DefaultViewSettings();

// The last search's keys, packed to the front; an empty one ends them.
inline constexpr std::size_t kKeySlotCount = 3;
using KeySlots = std::array<std::string, kKeySlotCount>;
