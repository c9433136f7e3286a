#include "dictionary/LiteralRepair.h"

#include "dictionary/Repair.h"
#include "textmodel/TextLines.h"

#include <vector>

LiteralRepair RepairLiterally(const TextLines& input, const Separators& separators) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < input.LineCount(); ++i) lines.push_back(input.Line(static_cast<std::int64_t>(i)));
    const auto has = [](const std::string& line, const std::string& separator) {
        return FindSeparator(line, separator) != std::string::npos;
    };
    LiteralRepair out;
    const auto count = static_cast<std::int64_t>(lines.size());
    for (std::int64_t n = count - 1; n >= 0; --n) {
        const auto at = static_cast<std::size_t>(n);
        if (!has(lines[at], separators.num)) {
            const bool dropped = n != count - 1;  // its text lives on only in the log
            AppendLogEntry(out.log, "d1", n, lines[at], dropped ? LogText::Whole : LogText::Cut);
            if (dropped) {
                lines.erase(lines.begin() + n);
                continue;
            }
        }
        if (has(lines[at], separators.yaku)) {
            if (has(lines[at], separators.title)) continue;
            AppendLogEntry(out.log, "d2", n, lines[at], LogText::Cut);
            ++out.d2;
        } else {
            AppendLogEntry(out.log, "d3", n, lines[at], LogText::Cut);
            ++out.d3;
        }
        if (n > 0) {
            lines[at - 1] += "/ " + lines[at];
            lines.erase(lines.begin() + n);
        }
    }
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::size_t p = FindSeparator(lines[n], separators.num);
        if (p == std::string::npos) ++out.noNum;
        else if (lines[n].find_first_not_of("0123456789") >= p) lines[n] = std::to_string(n + 1) + lines[n].substr(p);
        else lines[n] = std::to_string(n + 1) + separators.num + lines[n];  // no number: nothing is replaced
        out.text += lines[n];
        if (n + 1 < lines.size() || input.EndsWithLineBreak()) out.text += "\r\n";
    }
    return out;
}
