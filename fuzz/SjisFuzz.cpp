// Any bytes as code page 932 text: every character rule agrees with a walk from the
// start of the text, where a lead byte (0x81-0x9F, 0xE0-0xFC) takes the byte after it
// as its second byte, whatever that byte is, and a lone lead byte at the very end is
// a character of its own.
#include "common/Sjis.h"
#include "FuzzRules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace fuzzrules;

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
    return 0;
}
