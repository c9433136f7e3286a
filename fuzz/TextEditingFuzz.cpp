// A text and a run of edits from any bytes: the lines keep their invariants after
// every edit (the line being typed in, the unused bytes, the copies made afresh), and
// the edited text read back gives the same lines.
#include "textview/TextLines.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

TextPosition PositionFrom(const TextLines& lines, std::uint8_t lineByte, std::uint8_t columnByte) {
    const TextPosition end = lines.EndPosition();
    const std::int64_t line = lineByte % (end.line + 1);
    const std::size_t length =
        line < static_cast<std::int64_t>(lines.LineCount()) ? lines.LineView(static_cast<std::size_t>(line)).size() : 0;
    return {line, columnByte % (length + 1)};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t textSize = std::min<std::size_t>(data[0], size - 1);
    const auto* bytes = reinterpret_cast<const char*>(data + 1);
    TextLines lines;
    lines.SetWholeText(std::string(bytes, textSize));
    // Each edit: a kind, two positions' worth of bytes, and a length of inserted bytes
    // taken from the input itself.
    for (std::size_t at = 1 + textSize; at + 5 <= size; at += 5) {
        const std::uint8_t* op = data + at;
        TextPosition from = PositionFrom(lines, op[1], op[2]);
        switch (op[0] % 4) {
        case 0: {
            // No NUL: the editor refuses one, since it would end the text when read back.
            std::string inserted(reinterpret_cast<const char*>(op), std::min<std::size_t>(op[3] % 16, size - at));
            std::replace(inserted.begin(), inserted.end(), '\0', 'x');
            lines.InsertText(from, inserted);
            break;
        }
        case 1: {
            TextPosition to = PositionFrom(lines, op[3], op[4]);
            if (to < from) std::swap(from, to);
            lines.RemoveText(from, to);
            break;
        }
        case 2:
            if (lines.LineCount() > 0)
                lines.ReplaceLine(op[1] % lines.LineCount(), std::string(op[3] % 8, static_cast<char>(op[4] | 1)));
            break;
        default: lines.DeleteRow(op[1] % (lines.LineCount() + 1)); break;
        }
        lines.Check();
    }
    TextLines again;
    again.SetWholeText(lines.WholeText());
    if (again.WholeText() != lines.WholeText()) __builtin_trap();
    return 0;
}
