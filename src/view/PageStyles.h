#pragma once
// The record page's fragments carry style values in quotes, as in
//   <span style='font-family: "Tahoma,Microsoft Sans Serif;"'> and Color: "Green",
// which the browser engine ignores: the translation would come out black and every
// field in the default font. On the way to the engine, a quoted value inside a
// single-quoted style attribute becomes what it means: a colour is unquoted, and a
// font list is split into quoted family names with a generic family after them.
// The page text built for a record stays as it is; only the engine's copy changes.

#include <string>
#include <string_view>

std::string NormaliseStyleAttributes(std::string_view page);

// The page bytes as the engine gets them: every line, the last one too, ended with
// CR LF; an empty page stays empty.
std::string WithCrLfLineEnds(std::string_view page);
