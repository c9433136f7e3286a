#include "common/Sjis.h"

#include <QString>

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <mutex>
#include <stdexcept>

namespace Sjis {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// iconv handles opened for one conversion and closed on every path out.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {
        if (handle_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~IconvHandle() { iconv_close(handle_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

// Decoding runs on every painted row, so the whole code page is asked of iconv
// once and kept as a table: one entry per single byte and per lead/trail pair.
// 0 marks a sequence iconv refuses.
struct DecodeTable {
    std::array<char16_t, 256> single{};
    std::array<char16_t, 256 * 256> pair{};
};

char16_t AskIconv(iconv_t cd, const char* bytes, std::size_t length) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes, length);
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = length;
    std::size_t outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
        return 0;
    if (sizeof out - outLeft != 2) return 0;  // outside the basic plane: never in this code page
    char16_t unit;
    std::memcpy(&unit, out, 2);
    return unit;
}

const DecodeTable& Table() {
    static DecodeTable table;
    static std::once_flag once;
    std::call_once(once, [] {
        IconvHandle cd("UTF-16LE", "CP932");
        for (int b = 0; b < 256; ++b) {
            if (IsLeadByte(static_cast<unsigned char>(b))) continue;
            const char byte = static_cast<char>(b);
            table.single[b] = b == 0 ? u'\0' : AskIconv(cd.get(), &byte, 1);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                table.pair[lead * 256 + trail] = AskIconv(cd.get(), bytes, 2);
            }
        }
    });
    return table;
}

}  // namespace

std::string FoldAsciiCase(std::string_view s) {
    std::string folded(s);
    for (std::size_t i = 0; i < folded.size(); i = NextCharPos(folded, i))
        if (folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    return folded;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && FoldAsciiCase(a) == FoldAsciiCase(b);
}

bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) { return FoldAsciiCase(a) < FoldAsciiCase(b); }

std::size_t CharStartOf(std::string_view s, std::size_t pos) noexcept {
    // Only the lead-range bytes just before `pos` decide, so a caret in a line of a
    // megabyte does not walk from the line's start.
    if (pos >= s.size()) return s.size();
    return IsTrailByte(s, pos) ? pos - 1 : pos;
}

bool IsTrailByte(std::string_view s, std::size_t pos) noexcept {
    std::size_t run = 0;
    while (run < pos && IsLeadByte(static_cast<unsigned char>(s[pos - run - 1]))) ++run;
    return run % 2 == 1;
}

std::size_t CharCount(std::string_view s) noexcept {
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); i = NextCharPos(s, i)) ++count;
    return count;
}

bool IsSingleByteText(std::string_view s) noexcept {
    for (const char c : s)
        if (IsLeadByte(static_cast<unsigned char>(c))) return false;
    return true;
}

std::size_t FindChars(std::string_view hay, std::string_view needle, std::size_t from) noexcept {
    if (needle.empty() || from > hay.size()) return std::string_view::npos;
    // Walk character boundaries only up to each byte candidate, so a long text costs
    // one pass however many false candidates it holds.
    std::size_t boundary = 0;
    for (std::size_t candidate = hay.find(needle, from); candidate != std::string_view::npos;
         candidate = hay.find(needle, candidate + 1)) {
        while (boundary < candidate) boundary = NextCharPos(hay, boundary);
        if (boundary == candidate) return candidate;
    }
    return std::string_view::npos;
}

DecodedChar DecodeAt(std::string_view bytes, std::size_t pos) noexcept {
    const auto b = static_cast<unsigned char>(bytes[pos]);
    if (b < 0x80) return {static_cast<char16_t>(b), 1};
    const DecodeTable& table = Table();
    if (!IsLeadByte(b)) {
        const char16_t c = table.single[b];
        return {c ? c : kReplacement, 1};
    }
    if (pos + 1 >= bytes.size()) return {kReplacement, 1};  // a lone lead byte at the end
    const auto trail = static_cast<unsigned char>(bytes[pos + 1]);
    const char16_t c = table.pair[b * 256 + trail];
    if (c == 0) return {kReplacement, trail < 0x80 ? std::size_t{1} : std::size_t{2}};
    return {c, 2};
}

std::size_t NextShownChar(std::string_view s, std::size_t pos) noexcept {
    return pos >= s.size() ? s.size() : pos + DecodeAt(s, pos).length;
}

std::size_t ShownCharStart(std::string_view s, std::size_t pos) noexcept {
    const std::size_t start = CharStartOf(s, pos);
    // The second byte of a pair that decodes to nothing is drawn, and stands, alone.
    if (start + 1 == pos && DecodeAt(s, start).length == 1) return pos;
    return start;
}

std::u16string DecodeToUtf16(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {  // the common case, without the table
            out.push_back(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        const DecodedChar decoded = DecodeAt(bytes, i);
        out.push_back(decoded.unit);
        i += decoded.length;
    }
    return out;
}

QString ToQString(std::string_view bytes) {
    return QString::fromStdU16String(DecodeToUtf16(bytes));
}

Encoded EncodeUtf16(std::u16string_view text, char substitute) {
    Encoded result;
    result.bytes.reserve(text.size() * 2);
    IconvHandle cd("CP932", "UTF-16LE");
    std::size_t i = 0;
    while (i < text.size()) {
        // One character at a time, so an unrepresentable one is replaced alone.
        const std::size_t units =
            (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size()) ? 2 : 1;
        char* in = const_cast<char*>(reinterpret_cast<const char*>(text.data() + i));
        std::size_t inLeft = units * 2;
        char out[8];
        char* outPtr = out;
        std::size_t outLeft = sizeof out;
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0) {
            result.bytes.push_back(substitute);
            result.lossless = false;
        } else {
            result.bytes.append(out, sizeof out - outLeft);
        }
        i += units;
    }
    return result;
}

Encoded FromQString(const QString& text, char substitute) {
    return EncodeUtf16(text.toStdU16String(), substitute);
}

std::string ToUtf8(std::string_view bytes) {
    return ToQString(bytes).toStdString();
}

Encoded FromUtf8(std::string_view utf8) {
    return FromQString(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace Sjis
