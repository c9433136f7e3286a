// Any bytes as a whole text: the lines keep their invariants, and writing the text
// back and reading it again gives the same lines.
#include "textview/TextLines.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TextLines lines;
    lines.SetWholeText(std::string(reinterpret_cast<const char*>(data), size));
    lines.Check();
    TextLines again;
    again.SetWholeText(lines.WholeText());
    again.Check();
    if (again.LineCount() != lines.LineCount()) __builtin_trap();
    for (std::size_t i = 0; i < lines.LineCount(); ++i)
        if (again.LineView(i) != lines.LineView(i)) __builtin_trap();
    return 0;
}
