#pragma once
// Shortening a file path to a pixel width, for the window caption.

#include <functional>
#include <string>
#include <string_view>

// Width in pixels of a text in the font the caller measures with.
using TextWidth = std::function<int(std::string_view utf8)>;

// Drops leading folders of `path` (a UTF-8 "/" path), marking the cut with ".../",
// until the result fits `maxWidth`: /home/ann/dic/med.txt, /.../ann/dic/med.txt,
// /.../dic/med.txt, /.../med.txt, .../med.txt, med.txt. The file name is never cut.
std::string ShortenPath(std::string_view path, const TextWidth& widthOf, int maxWidth);

// The path part of the caption "title - path": what is left of the window width
// after the title and 120 pixels of frame and buttons. An empty title is measured
// as ten spaces. `widthOf` measures in the caption's font.
std::string ShortenPathForCaption(std::string_view path, int windowWidth, std::string_view title,
                                  const TextWidth& widthOf);
