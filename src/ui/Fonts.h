#pragma once
// The program names the fonts it was designed with ("ＭＳ Ｐゴシック", "ＭＳ ゴシック",
// "FixedSys", "Tahoma"); they map here to installed families with Japanese glyphs,
// so no text ever shows as boxes.

#include "common/SystemHelpers.h"

class QFont;

void InstallFontSubstitutions();

// The forms' font, "ＭＳ Ｐゴシック", at a pixel size.
QFont DesignFont(int pixelSize);

// Measures UTF-8 texts in pixels of `font`, for shortening paths to fit.
TextWidth WidthIn(const QFont& font);
