#pragma once
// Code page 932 (Shift-JIS) for the dictionary's bytes.
//
// Everything the program keeps (dictionary lines, keys, headwords, settings values,
// record pages) stays as code page 932 bytes in std::string. This is the one place
// where those bytes become characters for a widget and where the user's input
// becomes bytes again. Bytes that are not valid code page 932 decode to U+FFFD for
// display only; the bytes themselves are never rewritten.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class QString;

namespace Sjis {

// The lead bytes of a double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char b) noexcept {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Zero-based index of the character after the one starting at `pos`. A lead byte
// takes the byte after it as its second byte, whatever that byte is, except at the
// end of the text where a lone lead byte is a character of its own.
constexpr std::size_t NextCharPos(std::string_view s, std::size_t pos) noexcept {
    if (pos >= s.size()) return s.size();
    if (IsLeadByte(static_cast<unsigned char>(s[pos])) && pos + 1 < s.size()) return pos + 2;
    return pos + 1;
}

// Zero-based index of the first byte of the character that contains byte `pos`
// (when `pos` is a second byte, the index of its lead byte).
std::size_t CharStartOf(std::string_view s, std::size_t pos) noexcept;

// Whether byte `pos` is the second byte of a double-byte character, judged from the
// bytes just before it rather than from the start of the text: it is when an odd
// number of bytes in the lead-byte ranges stand directly before it.
bool IsTrailByte(std::string_view s, std::size_t pos) noexcept;

// Number of characters, a double-byte character counting as one.
std::size_t CharCount(std::string_view s) noexcept;

// True when no character of the text is double-byte (half-width katakana are
// single-byte); true for the empty text.
bool IsSingleByteText(std::string_view s) noexcept;

// Zero-based index of the first occurrence of `needle` that starts on a character
// boundary at or after `from`, or npos. Used where a double-byte character's second
// byte must not start a match (the full-width comma, a Japanese key).
std::size_t FindChars(std::string_view hay, std::string_view needle, std::size_t from = 0) noexcept;

// The text with the ASCII capitals of its single-byte characters made small. The
// second byte of a double-byte character is left alone even where it looks like a
// capital ("ガ" is 83 4B, and 4B is "K"), so no two Japanese words fold together.
std::string FoldAsciiCase(std::string_view s);

// Comparison without regard to the case of ASCII letters, as FoldAsciiCase folds.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

// Decoding for display. An invalid sequence becomes U+FFFD; a lead byte followed by
// an ASCII byte yields U+FFFD and the ASCII byte is read again as itself, so nothing
// readable disappears from view.
std::u16string DecodeToUtf16(std::string_view bytes);

// One step of that decoding: the character for the bytes at `pos` and how many bytes
// it took (1 or 2). A view draws each such character on the cells of its bytes.
struct DecodedChar {
    char16_t unit = 0;
    std::size_t length = 1;
};
DecodedChar DecodeAt(std::string_view bytes, std::size_t pos) noexcept;

// Characters as they are drawn, which is how an editor's caret steps: as NextCharPos
// and CharStartOf, except that a lead byte whose pair decodes to nothing and whose
// second byte is ASCII shows as U+FFFD and that ASCII byte as itself, two characters.
std::size_t NextShownChar(std::string_view s, std::size_t pos) noexcept;
std::size_t ShownCharStart(std::string_view s, std::size_t pos) noexcept;
QString ToQString(std::string_view bytes);

// Encoding of the user's input. `lossless` tells whether every character could be
// represented; a character that cannot be is written as `substitute`, "?" unless the
// caller needs a byte no text holds (a search key).
struct Encoded {
    std::string bytes;
    bool lossless = true;
};
Encoded EncodeUtf16(std::u16string_view text, char substitute = '?');
Encoded FromQString(const QString& text, char substitute = '?');

// The UTF-8 form of the code page 932 bytes, for messages and file names.
std::string ToUtf8(std::string_view bytes);
Encoded FromUtf8(std::string_view utf8);

}  // namespace Sjis
