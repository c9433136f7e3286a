#pragma once
// The word list's export and import files, in UTF-8.
//
// Tab-separated (the default), for Anki's plain-text import and for spreadsheets: the
// header lines "#separator:tab", "#html:true" and "#columns:" with the column names
// 見出し語, 訳語, 例文, メモ, then one line per entry ending in LF. The fields are HTML
// (see WordListFields.h), so none ever needs quotes; only a headword starting with "#"
// is quoted, or Anki would skip its line as a comment.
//
// CSV, for spreadsheets: a BOM, a header row of the same names, CR LF line ends, RFC
// 4180 quotes, the examples' "/ " breaks as line breaks in their field, nothing escaped.
//
// Reading takes what Anki and spreadsheets write as well: Anki's header lines in any
// order (a separator by character or by name, #html:false for plain fields, the columns
// by name in any order; other header lines pass), quoted fields, CR LF, a BOM, a first
// row naming two columns or more. Without column names the order is headword,
// translation, examples, note, and missing trailing fields are empty.
//
// A file read back gives what was written, except that the examples' own line breaks
// come back as "/ " breaks, and in tab-separated files every line break comes back as
// LF and the dictionary's fields lose the spellings "<br>", "&#9;" and "&quot;" of their
// own to the characters these stand for.

#include "session/ReadingStore.h"

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

enum class WordListFormat { Tsv, Csv };

// A larger file is refused before it is read.
inline constexpr std::size_t kMaxWordListFileBytes = std::size_t{256} << 20;

// The format a file name asks for: .csv is CSV, anything else tab-separated.
WordListFormat WordListFormatOf(const QString& path);

// The file's bytes for `entries`, in their order.
std::string WriteWordList(const std::vector<WordEntry>& entries, WordListFormat format);

// What a file read gave: the entries (headword, translation, examples and note filled,
// the rest as a default WordEntry has them, as for an imported entry), or a message in
// Japanese naming the 1-based line and what is wrong with it; never both. An empty file,
// or one of header lines only, gives no entries and no error.
struct WordListRead {
    std::vector<WordEntry> entries;
    QString error;
};
WordListRead ReadWordList(std::string_view bytes, WordListFormat format);
