#pragma once
// The fourteen strings the main window keeps for cutting record lines and building
// record pages: the last search's keys, the three field separators and the opening
// and closing fragments of the page. Each slot has a name; nothing indexes the table
// with a bare number.

#include <array>
#include <cstddef>
#include <string>

enum class ViewSlot : std::size_t {
    Key0,              // the last search's keys, packed to the front; an empty one ends them
    Key1,
    Key2,
    SepNum,            // ends the record number
    SepTitle,          // ends the headword
    SepYaku,           // ends the translation
    KeyMarkOpen,       // put around each marked key occurrence
    KeyMarkClose,
    HeadwordOpen,      // around the headword on the page
    HeadwordClose,
    TranslationOpen,   // around the translation
    TranslationClose,
    ExamplesOpen,      // around the example sentences
    ExamplesClose,
};

inline constexpr std::size_t kViewSlotCount = 14;
inline constexpr std::size_t kKeySlotCount = 3;

// Slot of key i (0, 1 or 2).
constexpr ViewSlot KeySlot(std::size_t i) noexcept { return static_cast<ViewSlot>(i); }

class ViewStringTable {
public:
    std::string& operator[](ViewSlot slot) noexcept { return slots_[static_cast<std::size_t>(slot)]; }
    const std::string& operator[](ViewSlot slot) const noexcept { return slots_[static_cast<std::size_t>(slot)]; }

private:
    std::array<std::string, kViewSlotCount> slots_;
};

// The values the program starts with, before the settings are read: no keys, " ",
// "///", ":::" and the designed fragments (code page 932).
ViewStringTable DefaultViewStrings();
