// A text and a run of edits from any bytes, made as the editor makes them: after every
// edit the lines keep their invariants and are those of a plain list of lines edited
// by the same rules; a copy kept up to date only from the change notifications holds
// the same lines; and undoing every recorded step gives back the text the history
// started from, redoing them the text the edits ended with.
#include "textmodel/EditHistory.h"
#include "textmodel/TextLines.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace fuzzrules;

// A plain list of lines: CR LF, CR and LF each end a line, and a text that ends with
// a break has an empty piece after it.
struct PlainText {
    std::vector<std::string> lines;
    bool endsWithLineBreak = false;

    static std::vector<std::string> Pieces(std::string_view text) {
        std::vector<std::string> pieces(1);
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' || text[i] == '\n') {
                if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
                pieces.emplace_back();
            } else {
                pieces.back() += text[i];
            }
        }
        return pieces;
    }
    // The place after a final break is an empty last line to an edit there.
    void OpenEndLine(std::int64_t line) {
        if (line == static_cast<std::int64_t>(lines.size())) {
            lines.emplace_back();
            endsWithLineBreak = false;
        }
    }
    void Splice(std::size_t first, std::size_t count, const std::vector<std::string>& with) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(first),
                    lines.begin() + static_cast<std::ptrdiff_t>(first + count));
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(first), with.begin(), with.end());
    }
    TextPosition Insert(TextPosition at, std::string_view bytes) {
        if (bytes.empty()) return at;
        OpenEndLine(at.line);
        const std::string& line = lines[static_cast<std::size_t>(at.line)];
        const std::vector<std::string> inserted = Pieces(bytes);
        Splice(static_cast<std::size_t>(at.line), 1,
               Pieces(line.substr(0, at.column) + std::string(bytes) + line.substr(at.column)));
        if (inserted.size() == 1) return {at.line, at.column + bytes.size()};
        return {at.line + static_cast<std::int64_t>(inserted.size()) - 1, inserted.back().size()};
    }
    std::string LineAt(std::int64_t line) const {
        return line < static_cast<std::int64_t>(lines.size()) ? lines[static_cast<std::size_t>(line)] : "";
    }
    // The bytes removed, a break between two lines as CR LF.
    std::string Remove(TextPosition from, TextPosition to) {
        if (to <= from) return {};
        std::string removed;
        for (std::int64_t line = from.line; line <= to.line; ++line) {
            const std::string text = LineAt(line);
            const std::size_t begin = line == from.line ? from.column : 0;
            const std::size_t end = line == to.line ? to.column : text.size();
            removed += text.substr(begin, end - begin);
            if (line < to.line) removed += "\r\n";
        }
        OpenEndLine(to.line);
        const std::string joined = lines[static_cast<std::size_t>(from.line)].substr(0, from.column) +
                                   lines[static_cast<std::size_t>(to.line)].substr(to.column);
        Splice(static_cast<std::size_t>(from.line), static_cast<std::size_t>(to.line - from.line + 1), {joined});
        return removed;
    }
};

std::vector<std::string> LinesOf(const TextLines& lines) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < lines.LineCount(); ++i) all.emplace_back(lines.LineView(i));
    return all;
}

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
    const std::string start(reinterpret_cast<const char*>(data + 1), textSize);

    TextLines lines;
    std::vector<std::string> mirror;  // follows the lines through their notifications alone
    lines.AddChangeListener([&](const LinesChange& change) {
        const std::vector<std::string> now = LinesOf(lines);
        if (change.kind == LinesChange::Kind::WholeText) {
            mirror = now;
            return;
        }
        Expect(change.firstLine >= 0 && change.linesBefore >= 0 && change.linesAfter >= 0);
        const auto first = static_cast<std::size_t>(change.firstLine);
        const auto before = static_cast<std::size_t>(change.linesBefore);
        const auto after = static_cast<std::size_t>(change.linesAfter);
        Expect(first + before <= mirror.size() && first + after <= now.size());
        mirror.erase(mirror.begin() + static_cast<std::ptrdiff_t>(first),
                     mirror.begin() + static_cast<std::ptrdiff_t>(first + before));
        mirror.insert(mirror.begin() + static_cast<std::ptrdiff_t>(first),
                      now.begin() + static_cast<std::ptrdiff_t>(first),
                      now.begin() + static_cast<std::ptrdiff_t>(first + after));
    });
    lines.SetWholeText(start);
    PlainText plain{LinesOf(lines), lines.EndsWithLineBreak()};
    EditHistory history;
    std::string historyStart = lines.WholeText();

    const auto agree = [&] {
        lines.Check();
        const std::vector<std::string> now = LinesOf(lines);
        Expect(mirror == now);
        Expect(plain.lines == now && plain.endsWithLineBreak == lines.EndsWithLineBreak());
    };
    agree();

    // Each edit: a kind, two positions' worth of bytes, and a count of the bytes after
    // it that it inserts (a NUL in them becomes "x": the editor refuses NUL bytes).
    for (std::size_t at = 1 + textSize; at + 5 <= size;) {
        const std::uint8_t* op = data + at;
        const std::size_t length = std::min<std::size_t>(op[4] % 16, size - at - 5);
        std::string bytes(reinterpret_cast<const char*>(op + 5), length);
        std::replace(bytes.begin(), bytes.end(), '\0', 'x');
        at += 5 + length;

        const std::int64_t count = static_cast<std::int64_t>(lines.LineCount());
        switch (op[0] % 7) {
        case 0:
        case 1:
        case 2: {
            // The editor's own edit: the selection's bytes replaced by the typed ones.
            TextPosition from = PositionFrom(lines, op[1], op[2]);
            TextPosition to = op[0] % 7 == 0 ? from : PositionFrom(lines, op[3], op[4] / 16);
            if (to < from) std::swap(from, to);
            if (op[0] % 7 == 1) bytes.clear();
            if (from == to && bytes.empty()) break;
            TextEdit edit{from, lines.RemoveText(from, to), bytes};
            Expect(edit.removed == plain.Remove(from, to));
            Expect(lines.InsertText(from, bytes) == plain.Insert(from, bytes));
            // A selection replaced is a step of its own; a deletion (Backspace, Delete)
            // or typing goes on with the run before it unless the caret moved.
            history.Record(std::move(edit));
            if ((from != to && !bytes.empty()) || op[3] & 0x80) history.Seal();
            break;
        }
        case 3:
            if (count == 0) break;
            lines.ReplaceLine(op[1] % count, bytes);
            plain.Splice(op[1] % count, 1, PlainText::Pieces(bytes));
            break;
        case 4:
            lines.DeleteRow(op[1] % (count + 1));
            if (op[1] % (count + 1) < count) plain.Splice(op[1] % (count + 1), 1, {});
            break;
        case 5: {
            lines.AppendLine(bytes);
            const std::vector<std::string> pieces = PlainText::Pieces(bytes);
            plain.lines.insert(plain.lines.end(), pieces.begin(), pieces.end());
            plain.endsWithLineBreak = true;
            break;
        }
        default: {
            // Undone and done again, the text is as it was.
            const std::string before = lines.WholeText();
            int undone = 0;
            for (; undone < op[1] % 4 && history.Undo(lines); ++undone) Expect(mirror == LinesOf(lines));
            for (int i = 0; i < undone; ++i) Expect(history.Redo(lines).has_value());
            Expect(lines.WholeText() == before);
            plain = PlainText{LinesOf(lines), lines.EndsWithLineBreak()};
            break;
        }
        }
        // Lines changed by other means than the user's editing: the history starts again.
        if (op[0] % 7 >= 3 && op[0] % 7 <= 5) {
            history.Clear();
            historyStart = lines.WholeText();
        }
        agree();
    }

    const std::string end = lines.WholeText();
    while (history.Undo(lines)) Expect(mirror == LinesOf(lines));
    Expect(lines.WholeText() == historyStart);
    while (history.Redo(lines)) Expect(mirror == LinesOf(lines));
    Expect(lines.WholeText() == end);
    lines.Check();

    TextLines again;
    again.SetWholeText(lines.WholeText());
    Expect(again.WholeText() == lines.WholeText());
    return 0;
}
