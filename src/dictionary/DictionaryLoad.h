#pragma once
// Loading a data file into the full-text view's lines and the headword index.

#include "common/ByteBuffer.h"
#include "dictionary/DataFile.h"
#include "dictionary/RecordLine.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <string_view>

class TextLines;

// Damaged lines by the first separator they lack.
struct DamageCounts {
    std::int64_t noNum = 0;
    std::int64_t noTitle = 0;
    std::int64_t noYaku = 0;

    bool Any() const noexcept { return noNum + noTitle + noYaku > 0; }
    // "n//n::n データの修復が必要です" (UTF-8).
    std::string Report() const;
};

// Whether a status text is a damage report as Report() writes them.
bool IsDamageReport(std::string_view utf8);

struct HeadwordScan {
    ByteBuffer headwordText;   // one headword per line, each followed by CR LF
    DamageCounts damage;
    // The line of each headword row once a damaged line (which has no row) put them
    // out of step; empty while row r is line r.
    std::vector<std::uint32_t> lineOfRow;
};

// One pass over the lines: the headword of every sound line, in order, and the
// count of each kind of damaged line.
HeadwordScan ScanHeadwords(const TextLines& lines, const Separators& separators);

// What a load tells the status bar (UTF-8 texts).
struct LoadReport {
    std::uint64_t size = 0;
    DamageCounts damage;
    std::string sizeText;                     // "Size=" and the file size
    std::optional<std::string> damageText;    // only when a line is damaged
    std::vector<std::uint32_t> lineOfHeadwordRow;  // as HeadwordScan::lineOfRow
};

// Reads `path`, puts its text into `fullText` (unmodified afterwards) and its
// headwords into `headwordIndex`. A file that cannot be read raises before either
// is touched.
LoadReport LoadDictionaryText(const std::string& path, const Separators& separators, TextLines& fullText,
                              TextLines& headwordIndex);
// The same with the file's contents read already.
LoadReport LoadDictionaryText(FileContents contents, const Separators& separators, TextLines& fullText,
                              TextLines& headwordIndex);
