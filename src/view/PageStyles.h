#pragma once
// The record page's fragments carry style values in quotes, as in
//   <span style='font-family: "Tahoma,Microsoft Sans Serif;"'> and Color: "Green",
// which the browser engine ignores: the translation would come out black and every
// field in the default font. For the engine, a quoted value inside a single-quoted
// style attribute becomes what it means: a colour is unquoted, and a font list is
// split into quoted family names with a generic family after them. Only the
// program's own fragments are rewritten so, never the record text put between them.

#include "common/ViewStrings.h"

#include <string>
#include <string_view>

std::string NormaliseStyleAttributes(std::string_view html);

// The page fragments (the opening and closing markup of the key marks, headword,
// translation and examples), each normalised.
PageFragments WithPlainStyles(const PageFragments& fragments);

// The page bytes as the engine gets them: every line, the last one too, ended with
// CR LF; an empty page stays empty.
std::string WithCrLfLineEnds(std::string_view page);
