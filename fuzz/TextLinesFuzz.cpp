// Any bytes as a whole text: the lines keep their invariants, and the lines, the final
// break and the text written back are the ones the rule gives: the text ends at its
// first NUL; CR LF, a lone CR and a lone LF each end a line; every line is written
// back followed by CR LF, the last one only when the text ended with a break.
#include "textmodel/TextLines.h"
#include "FuzzRules.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace fuzzrules;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = bytes.substr(0, bytes.find('\0'));

    std::vector<std::string> expectedLines;
    std::string expectedWhole;
    std::string line;
    bool open = false;  // a line has begun and no break has ended it yet
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            expectedLines.push_back(line);
            expectedWhole += line + "\r\n";
            line.clear();
            open = false;
        } else {
            line += text[i];
            open = true;
        }
    }
    if (open) {
        expectedLines.push_back(line);
        expectedWhole += line;
    }

    TextLines lines;
    lines.SetWholeText(bytes);
    lines.Check();
    Expect(lines.LineCount() == expectedLines.size());
    for (std::size_t i = 0; i < expectedLines.size(); ++i) Expect(lines.LineView(i) == expectedLines[i]);
    Expect(lines.EndsWithLineBreak() == (!text.empty() && !open));
    Expect(lines.BytesCutAtNul() == bytes.size() - text.size());
    Expect(lines.WholeText() == expectedWhole);
    if (const auto same = lines.UnchangedCrLfText()) Expect(*same == expectedWhole);

    TextLines again;
    again.SetWholeText(lines.WholeText());
    again.Check();
    Expect(again.WholeText() == expectedWhole);
    return 0;
}
