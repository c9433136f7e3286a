#pragma once
// Pure string helpers shared by the main window and the dialogs: a forgiving
// text-to-integer conversion, the settings file's text form of booleans, and the
// trimming of blanks.
//
// All texts are code page 932 bytes, looked at byte by byte: a blank is below 0x40,
// so never the second byte of a double-byte character. None of these functions
// fails: bad input gives 0 or the empty text.

#include <cstdint>
#include <string>
#include <string_view>

// Decimal with an optional sign, or hexadecimal after "$", "x" or "0x" (the sign
// may precede the prefix, "-$1F" is -31). Every "," and " " is dropped first, so
// "1,234" reads as 1234. Anything else, the empty text, or a value outside the
// 32-bit signed range gives 0.
int32_t StrToIntLoose(std::string_view s);

// "True" / "False", as the settings file stores them.
std::string BoolToText(bool b);

// True only for "true" in any letter case.
bool TextToBool(std::string_view s);

// Removes bytes <= 0x20 from both ends. The ideographic space is not a blank.
std::string TrimBlanks(std::string_view s);
// The same without a copy: a view into `s`.
std::string_view TrimView(std::string_view s) noexcept;
