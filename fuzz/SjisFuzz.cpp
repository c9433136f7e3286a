// Any bytes as code page 932 text: every character rule agrees with a walk from the
// start of the text, where a lead byte (0x81-0x9F, 0xE0-0xFC) takes the byte after it
// as its second byte, whatever that byte is, and a lone lead byte at the very end is
// a character of its own. Each character decodes as the system's converter decodes
// it, U+FFFD where the converter refuses it (after which an ASCII second byte is read
// again on its own), and what decoded encodes back losslessly.
#include "common/Sjis.h"
#include "FuzzRules.h"

#include <cstddef>
#include <cstdint>
#include <iconv.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace fuzzrules;

// What the system's converter makes of one character's bytes taken whole; nothing
// when it refuses them or wants more. Opened once: this runs for every character.
std::optional<char16_t> SystemDecodes(std::string_view bytes) {
    static const iconv_t cd = iconv_open("UTF-32BE", "CP932");
    Expect(cd != reinterpret_cast<iconv_t>(-1));
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    bytes.copy(in, sizeof in);
    unsigned char out[8];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = bytes.size(), outLeft = sizeof out;
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || sizeof out - outLeft != 4)
        return std::nullopt;
    Expect(out[0] == 0 && out[1] == 0);  // the code page has nothing beyond the basic plane
    return static_cast<char16_t>(out[2] << 8 | out[3]);
}

struct Decoded {
    std::u16string shown;            // the text as the program must show it
    std::vector<std::size_t> steps;  // where each shown character starts, and the end
    std::u16string characters;       // what the converter took, without the U+FFFD
};

Decoded DecodeAsTheSystem(std::string_view text) {
    Decoded decoded;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLength(text, i);
        decoded.steps.push_back(i);
        if (const auto c = SystemDecodes(text.substr(i, length))) {
            decoded.shown += *c;
            decoded.characters += *c;
            i += length;
        } else {
            decoded.shown += u'\uFFFD';
            i += length == 2 && static_cast<unsigned char>(text[i + 1]) < 0x80 ? 1 : length;
        }
    }
    decoded.steps.push_back(text.size());
    return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    for (int b = 0; b < 256; ++b) Expect(Sjis::IsLeadByte(static_cast<unsigned char>(b)) == Lead(b));

    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::size_t n = text.size();
    std::vector<std::size_t> startOf(n);
    std::string folded = text;
    std::size_t chars = 0;
    bool doubleByte = false;  // a character starts with a lead byte (cut short at the end or not)
    for (std::size_t i = 0; i < n; ++chars) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t next = Lead(b) && i + 1 < n ? i + 2 : i + 1;
        for (std::size_t k = i; k < next; ++k) startOf[k] = i;
        Expect(Sjis::NextCharPos(text, i) == next);
        if (Lead(b)) doubleByte = true;
        if (next == i + 1 && b >= 'A' && b <= 'Z') folded[i] = static_cast<char>(b - 'A' + 'a');
        i = next;
    }
    Expect(Sjis::NextCharPos(text, n) == n);
    Expect(Sjis::CharCount(text) == chars);
    // A lone lead byte at the end is no character of one byte here: it begins a
    // double-byte character cut short, as the single-byte test has always read it.
    Expect(Sjis::IsSingleByteText(text) == !doubleByte);
    Expect(Sjis::FoldAsciiCase(text) == folded);
    Expect(Sjis::EqualIgnoringAsciiCase(text, folded));
    for (std::size_t i = 0; i < n; ++i) {
        Expect(Sjis::IsTrailByte(text, i) == (startOf[i] != i));
        Expect(Sjis::CharStartOf(text, i) == startOf[i]);
    }
    Expect(Sjis::CharStartOf(text, n) == n);

    // A needle cut from the text itself (so it is found now and then on a second
    // byte), looked for from a place the input chooses.
    const std::size_t length = data[0] % 5;
    const std::size_t at = n == 0 ? 0 : data[1] % n;
    const std::string needle = text.substr(at, length);
    for (const std::size_t from : {std::size_t{0}, static_cast<std::size_t>(data[1] % (n + 2)), n, n + 1}) {
        std::size_t expected = std::string::npos;
        if (!needle.empty())
            for (std::size_t p = from; p + needle.size() <= n; ++p)
                if (startOf[p] == p && text.compare(p, needle.size(), needle) == 0) {
                    expected = p;
                    break;
                }
        Expect(Sjis::FindChars(text, needle, from) == expected);
    }

    // Character by character as the system's converter, and back.
    const Decoded system = DecodeAsTheSystem(text);
    Expect(Sjis::DecodeToUtf16(text) == system.shown);
    for (std::size_t k = 0; k + 1 < system.steps.size(); ++k) {
        const Sjis::DecodedChar step = Sjis::DecodeAt(text, system.steps[k]);
        Expect(step.unit == system.shown[k] && system.steps[k] + step.length == system.steps[k + 1]);
    }
    const Sjis::Encoded encoded = Sjis::EncodeUtf16(system.characters);
    Expect(encoded.lossless && DecodeAsTheSystem(encoded.bytes).shown == system.characters);
    return 0;
}
