#pragma once
// Mending a damaged data file: joining broken records and renumbering.
//
// The repair walks the lines from the last to the first. A line without the number
// separator is dropped (its text survives only in the log, whole), except the last line of
// the file, which is examined further; a line without SepYaku, or with it but without
// SepTitle, is appended after "/ " to the line before it (line 0 stays where it is).
// Then every line is renumbered from 1: its number, the digits before its first SepNum,
// is replaced; text there that is no number stays, after the new number and a SepNum.
// Going backwards, the line before is still as read when something is appended to it,
// so a record broken over several lines comes back together in order.
//
// Each joined line is built right to left in one buffer, and whether it holds a
// separator is decided from its new part and what is already known of the line
// appended to it, so the whole repair is one pass over the bytes, however long the
// joined lines grow.

#include "common/ByteBuffer.h"
#include "dictionary/RecordLine.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TextLines;

struct RepairResult {
    ByteBuffer text;   // the repaired lines, each followed by CR LF, the last one only
                       // when the lines read ended with a line break
    std::string log;   // one entry per damaged line, last line first, each followed by CR LF
    std::int64_t d2 = 0;     // lines joined for lacking SepTitle (with SepYaku)
    std::int64_t d3 = 0;     // lines joined for lacking SepYaku
    std::int64_t noNum = 0;  // lines still without SepNum after the repair
};

// Told now and then how far the repair is: pass 1 or 2, and the zero-based line it
// is at. Not for every line: a million status-bar paints would take longer than the
// repair.
using RepairProgress = std::function<void(int pass, std::int64_t line)>;

RepairResult RepairLines(const TextLines& lines, const Separators& separators, const RepairProgress& progress = {});

// The text of a joined line's log entry is cut after this many bytes. A file of prose
// joins into one line that each entry would otherwise repeat whole, growing the log
// with the square of the file.
inline constexpr std::size_t kLogTextLimit = 4096;

// How much of a damaged line its log entry keeps. A dropped line lives on only in the
// log, so its entry keeps every byte (each byte is dropped once, so these stay linear);
// any other entry repeats text that is still in the repaired lines, and is cut.
enum class LogText { Cut, Whole };

// Appends "<kind>: <line> <text>" and CR LF; with LogText::Cut a text longer than
// kLogTextLimit is cut there (never inside a double-byte character) and marked with "...".
void AppendLogEntry(std::string& log, std::string_view kind, std::int64_t line, std::string_view text, LogText keep);

// The status-bar texts (UTF-8): "F1 n" while the repair runs, and the outcome
// "noNum//d2::d3 データの修復しました".
std::string RepairProgressText(int pass, std::int64_t line);
std::string RepairDoneText(const RepairResult& result);

// The output files, relative names: they land in the current directory.
inline constexpr const char* kRepairedTextFile = "temp3.dat";
inline constexpr const char* kRepairLogFile = "temp4.dat";

// Writes the repaired lines (as the full-text view holds them) to temp3.dat and the
// log to temp4.dat; raises "ファイル %s を作成できません" when one cannot be written.
void WriteRepairFiles(const TextLines& repaired, std::string_view log);
