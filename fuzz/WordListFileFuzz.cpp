// Any file the user may pick to import into the word list: it is read whole or refused
// with a message, never half; what is read is text, each entry with a headword; and
// what was read, written by us and read back, then round-trips exactly, in either format.
#include "session/WordListFile.h"
#include "FuzzRules.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using namespace fuzzrules;

auto Fields(const WordEntry& entry) { return std::tie(entry.headword, entry.translation, entry.examples, entry.note); }

// UTF-8 as the standard has it: shortest forms only, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
        const unsigned char lead = byte(at);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                   : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (std::size_t i = 1; i < length; ++i) {
            if ((byte(at + i) & 0xC0) != 0x80) return false;
            code = (code << 6) | (byte(at + i) & 0x3F);
        }
        const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        at += length;
    }
    return true;
}

bool SameEntries(const std::vector<WordEntry>& a, const std::vector<WordEntry>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fields(a[i]) != Fields(b[i])) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte chooses the format the file name would ask for.
    const WordListFormat format = (data[0] & 1) != 0 ? WordListFormat::Csv : WordListFormat::Tsv;
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    const WordListRead read = ReadWordList(bytes, format);
    Expect(read.error.isEmpty() || read.entries.empty());
    if (!read.error.isEmpty()) return 0;
    // Only text is taken: UTF-8, no NUL.
    Expect(bytes.find('\0') == std::string::npos);
    Expect(IsUtf8(bytes));
    for (const WordEntry& entry : read.entries) Expect(!entry.headword.isEmpty());

    // What was read, written, reads back whole; and once it has been through a file of
    // ours (which spells a text's own "<br/>" or "&#9;" as the break or tab they mean), it
    // comes back exactly, in both formats.
    for (const WordListFormat written : {WordListFormat::Tsv, WordListFormat::Csv}) {
        const WordListRead again = ReadWordList(WriteWordList(read.entries, written), written);
        Expect(again.error.isEmpty());
        Expect(again.entries.size() == read.entries.size());
        const WordListRead third = ReadWordList(WriteWordList(again.entries, written), written);
        Expect(third.error.isEmpty() && SameEntries(third.entries, again.entries));
    }
    return 0;
}
