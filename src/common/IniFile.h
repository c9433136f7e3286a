#pragma once
// The settings file: "[section]" lines, each followed by its "key=value" lines, in
// code page 932 with CR LF. Sections and keys match without regard to ASCII letter
// case; the first of repeated sections or keys counts. Every value the program
// writes is in double quotes, and one pair comes off again when it is read.
//
// Each call reads the file and each write replaces it whole (atomically): nothing is
// kept between calls, so the file is never held open and a hand edit made while the
// program runs is not undone by a later write.
//
// File names are UTF-8 paths; sections, keys and values are code page 932 bytes.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a settings file, as the program reads and rewrites them. Empty lines
// are dropped (one is written after each section); comment lines and lines before
// the first section are kept where they stand, though never read as values.
class IniDocument {
public:
    static IniDocument Parse(std::string_view bytes);
    // Each section as its "[name]" line, its lines in order and one empty line; CR LF.
    std::string Serialise() const;

    // The text after the first "=" of the key's first line, untrimmed; nothing when the
    // section or the key is missing.
    std::optional<std::string> Value(std::string_view section, std::string_view key) const;
    // Replaces the key's line, or appends one to its section; a new section goes to
    // the end of the file.
    void SetValue(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);

private:
    struct Section {
        std::string name;
        std::vector<std::string> lines;
    };
    Section* Find(std::string_view name);
    const Section* Find(std::string_view name) const;

    std::vector<std::string> preamble_;
    std::vector<Section> sections_;
};

// The value with its quotes removed, or "ER" when the file, the section or the key is
// missing.
std::string ReadIniValue(const std::string& fileName, std::string_view section, std::string_view key);

// Sets one value, quoted. A missing file is created only when `createIfMissing`; a
// read-only one only after ConfirmWritable. Raises "ファイル %s を作成できません" when
// the file cannot be written.
void WriteIniValue(const std::string& fileName, std::string_view section, std::string_view key,
                   bool createIfMissing, std::string_view value);

// Removes a section and its keys, without asking; raises like WriteIniValue.
void EraseIniSection(const std::string& fileName, std::string_view section);

// "\"" + value + "\"", quotes inside the value left as they are.
std::string QuoteValue(std::string_view value);

// Removes one leading `quote`, and then, only if one was removed, one trailing one.
std::string StripQuotes(std::string_view value, char quote);

// True when the file may be written: it is missing or writable, or the user answered
// OK to "読み出し専用です。書き込みますか", which makes it writable again.
bool ConfirmWritable(const std::string& fileName);
