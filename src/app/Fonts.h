#pragma once
// The program names the fonts it was designed with ("ＭＳ Ｐゴシック", "ＭＳ ゴシック",
// "FixedSys", "Tahoma"); they map here to installed families with Japanese glyphs,
// so no text ever shows as boxes.

class QFont;

void InstallFontSubstitutions();

// The forms' font, "ＭＳ Ｐゴシック", at a pixel size.
QFont DesignFont(int pixelSize);
