#include "dictionary/Repair.h"

#include "common/AtomicFile.h"
#include "common/LargeBlockAllocator.h"
#include "common/Sjis.h"
#include "textmodel/TextLines.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace {

constexpr std::size_t kNotFound = std::string_view::npos;
constexpr std::int64_t kProgressStride = 4096;
constexpr std::string_view kJoinText = "/ ";

// Where the separators first occur in a line, or kNotFound.
struct SeparatorsAt {
    std::size_t num = kNotFound;
    std::size_t title = kNotFound;
    std::size_t yaku = kNotFound;
};

// The first `separator` in `line`, whose first `fresh` bytes are new and the rest a
// line appended earlier, with its own first occurrence at `inAppended`. Only a match
// starting in the new bytes needs a search: the appended line starts on a character
// boundary (a lone lead byte at the end of the line read pairs with the "/", and the
// space stands alone), so its own matches are still the same ones.
std::size_t FindInJoined(std::string_view line, std::size_t fresh, std::string_view separator,
                         std::size_t inAppended) noexcept {
    const std::size_t reach = std::min(line.size(), fresh + std::max<std::size_t>(separator.size(), 1) - 1);
    const std::size_t at = FindSeparator(line.substr(0, reach), separator);
    if (at != kNotFound) return at;
    return inAppended == kNotFound ? kNotFound : fresh + inAppended;
}

// A line that stays, in the join buffer.
struct KeptLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t numAt = kNotFound;  // first SepNum, from begin
};

bool IsRecordNumber(std::string_view text) noexcept {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void AppendNumber(ByteBuffer& text, std::int64_t number) {
    char digits[24];
    const auto converted = std::to_chars(digits, digits + sizeof digits, number);
    text.Append(std::string_view(digits, static_cast<std::size_t>(converted.ptr - digits)));
}

}  // namespace

RepairResult RepairLines(const TextLines& lines, const Separators& separators, const RepairProgress& progress) {
    RepairResult result;
    const auto count = static_cast<std::int64_t>(lines.LineCount());
    const auto report = [&](int pass, std::int64_t line, std::int64_t done) {
        if (progress && done % kProgressStride == 0) progress(pass, line);
    };

    // Lines are written right to left: the line examined is always the one run of bytes
    // [at, keptFrom), its own text, "/ " and the line appended to it, and the lines
    // kept follow it in order.
    ByteBuffer joins(lines.TextBytesBound() + kJoinText.size() * lines.LineCount());
    char* const buffer = joins.data();
    std::size_t keptFrom = joins.size();
    std::size_t at = keptFrom;
    bool joined = false;      // a line is appended to the one examined next
    SeparatorsAt appendedAt;  // the separators of that appended line
    std::vector<KeptLine, LargeBlockAllocator<KeptLine>> kept;  // last line first

    for (std::int64_t n = count - 1; n >= 0; --n) {
        report(1, n, count - 1 - n);
        const std::string_view read = lines.LineView(static_cast<std::size_t>(n));
        std::size_t fresh = read.size();
        if (joined) {
            at -= kJoinText.size();
            std::copy(kJoinText.begin(), kJoinText.end(), buffer + at);
            fresh += kJoinText.size();
        }
        at -= read.size();
        std::copy(read.begin(), read.end(), buffer + at);
        const std::string_view line(buffer + at, keptFrom - at);
        const SeparatorsAt in = joined ? appendedAt : SeparatorsAt{};

        SeparatorsAt found;
        found.num = FindInJoined(line, fresh, separators.num, in.num);
        if (found.num == kNotFound) {
            // A stray line goes, with whatever was appended to it; the last line of the
            // file is looked at again, and joined like any other.
            const bool dropped = n != count - 1;
            AppendLogEntry(result.log, "d1", n, line, dropped ? LogText::Whole : LogText::Cut);
            if (dropped) {
                at = keptFrom;
                joined = false;
                continue;
            }
        }
        found.yaku = FindInJoined(line, fresh, separators.yaku, in.yaku);
        found.title = FindInJoined(line, fresh, separators.title, in.title);
        if (found.yaku == kNotFound || found.title == kNotFound) {
            const bool noYaku = found.yaku == kNotFound;
            AppendLogEntry(result.log, noYaku ? "d3" : "d2", n, line, LogText::Cut);
            ++(noYaku ? result.d3 : result.d2);
            if (n > 0) {
                joined = true;
                appendedAt = found;
                continue;
            }
        }
        kept.push_back({at, keptFrom, found.num});
        keptFrom = at;
        joined = false;
    }

    std::size_t bytes = 0;
    for (const KeptLine& line : kept) bytes += line.end - line.begin + 24;
    result.text = ByteBuffer::WithCapacity(bytes);
    const auto keptCount = static_cast<std::int64_t>(kept.size());
    for (std::int64_t n = 0; n < keptCount; ++n) {
        report(2, n, n);
        const KeptLine& keptLine = kept[static_cast<std::size_t>(keptCount - 1 - n)];
        const std::string_view line(buffer + keptLine.begin, keptLine.end - keptLine.begin);
        if (keptLine.numAt == kNotFound) {
            ++result.noNum;
            result.text.Append(line);
        } else if (IsRecordNumber(line.substr(0, keptLine.numAt))) {
            AppendNumber(result.text, n + 1);  // the old number goes, its separator stays
            result.text.Append(line.substr(keptLine.numAt));
        } else {
            // What stands before the first SepNum is no number (a record whose number
            // ran into its headword, its SepNum found in a join): it stays, after one.
            AppendNumber(result.text, n + 1);
            result.text.Append(separators.num);
            result.text.Append(line);
        }
        if (n + 1 < keptCount || lines.EndsWithLineBreak()) result.text.Append("\r\n");
    }
    return result;
}

void AppendLogEntry(std::string& log, std::string_view kind, std::int64_t line, std::string_view text,
                    LogText keep) {
    log.append(kind).append(": ").append(std::to_string(line)).push_back(' ');
    if (keep == LogText::Cut && text.size() > kLogTextLimit) {
        const std::size_t cut = kLogTextLimit - (Sjis::IsTrailByte(text, kLogTextLimit) ? 1 : 0);
        log.append(text.substr(0, cut)).append("...");
    } else {
        log.append(text);
    }
    log.append("\r\n");
}

std::string RepairProgressText(int pass, std::int64_t line) {
    return "F" + std::to_string(pass) + " " + std::to_string(line);
}

std::string RepairDoneText(const RepairResult& result) {
    return std::to_string(result.noNum) + "//" + std::to_string(result.d2) + "::" + std::to_string(result.d3) +
           " データの修復しました";
}

void WriteRepairFiles(const TextLines& repaired, std::string_view log) {
    repaired.SaveLinesToFile(kRepairedTextFile);
    WriteFileAtomically(kRepairLogFile, log);
}
