// Any bytes as a settings file: reading never fails; every value is the one a plain
// reading of the lines finds (the first "key=" line of the first section of that name,
// letter case aside, in every section of that name); written out and read again the
// file holds the same values; a value written to a file is read back from it
// exactly, blanks, quotes and ";" included; and the numbers and switches the program
// keeps, saved over that file anywhere within their ranges, read back as saved.
#include "common/IniFile.h"
#include "common/SettingsFile.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace fuzzrules;

// ASCII capitals of single-byte characters made small: names match so.
std::string Folded(std::string_view s) {
    std::string out(s);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (Lead(static_cast<unsigned char>(out[i])) && i + 1 < out.size())
            ++i;
        else if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
    return out;
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= 0x20) s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 0x20) s.remove_suffix(1);
    return std::string(s);
}

// The file read plainly: each value line with the section it stands in.
struct ValueLine {
    std::string section;
    std::string key;
    std::string value;
};
std::vector<ValueLine> ValueLines(std::string_view bytes) {
    std::vector<ValueLine> found;
    std::optional<std::string> section;
    for (std::size_t from = 0; from < bytes.size();) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string trimmed = Trimmed(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            section = trimmed.substr(1, trimmed.size() - 2);
            continue;
        }
        const std::size_t equals = line.find('=');
        if (section && !trimmed.empty() && line.front() != ';' && equals != std::string_view::npos)
            found.push_back({*section, std::string(line.substr(0, equals)), std::string(line.substr(equals + 1))});
    }
    return found;
}

std::optional<std::string> PlainValue(const std::vector<ValueLine>& lines, std::string_view section,
                                      std::string_view key) {
    for (const ValueLine& line : lines)
        if (Folded(line.section) == Folded(section) && Folded(line.key) == Folded(key)) return line.value;
    return std::nullopt;
}

// A name or value from the input, made fit for its place.
std::string Piece(const std::uint8_t*& at, const std::uint8_t* end, std::size_t length) {
    length = std::min<std::size_t>(length, static_cast<std::size_t>(end - at));
    std::string piece(reinterpret_cast<const char*>(at), length);
    at += length;
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t fileSize = std::min<std::size_t>(data[0] * 2, size - 1);
    const std::string file(reinterpret_cast<const char*>(data + 1), fileSize);

    // Any bytes: the values a plain reading finds, and the same after a rewrite.
    const IniDocument document = IniDocument::Parse(file);
    const std::string written = document.Serialise();
    const IniDocument again = IniDocument::Parse(written);
    Expect(again.Serialise() == written);
    const std::vector<ValueLine> plain = ValueLines(file);
    for (const ValueLine& line : plain) {
        const std::optional<std::string> expected = PlainValue(plain, line.section, line.key);
        Expect(document.Value(line.section, line.key) == expected);
        Expect(again.Value(line.section, line.key) == expected);
    }

    // Then up to four values written to the file on disk and read back. Every write is
    // synced, so the file lives in memory where the system has a place for it: hundreds
    // of runs a second rather than tens.
    std::string path = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path += "/quillor-settings-fuzz-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0) return 0;
    Expect(write(fd, file.data(), file.size()) == static_cast<ssize_t>(file.size()));
    close(fd);
    IniDocument edited = document;
    std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> kept;  // folded names
    const std::uint8_t* at = data + 1 + fileSize;
    const std::uint8_t* const end = data + size;
    for (int n = 0; n < 4 && end - at >= 3; ++n) {
        const std::uint8_t* lengths = at;
        at += 3;
        std::string section = Piece(at, end, lengths[0] % 8);
        std::string key = Piece(at, end, 1 + lengths[1] % 8);
        std::string value = Piece(at, end, lengths[2] % 40);
        // A section name holds no "]" or line break; a key no "=" or line break, is
        // not blank and starts with no "[" or ";"; a value holds no line break.
        for (char& c : section)
            if (c == ']' || c == '\r' || c == '\n') c = 's';
        for (char& c : key)
            if (c == '=' || c == '\r' || c == '\n') c = 'k';
        if (key.front() == '[' || key.front() == ';') key.front() = 'k';
        if (Trimmed(key).empty()) key += 'k';
        std::erase(value, '\r');
        std::erase(value, '\n');

        Expect(StripQuotes(QuoteValue(value), '"') == value);
        edited.SetValue(section, key, QuoteValue(value));
        Expect(edited.Value(section, key) == QuoteValue(value));
        WriteIniValue(path, section, key, false, value);
        Expect(ReadIniValue(path, section, key) == value);
        kept[{Folded(section), Folded(key)}] = {key, value};
    }
    const IniDocument reread = IniDocument::Parse(edited.Serialise());
    for (const auto& [names, entry] : kept) {
        Expect(ReadIniValue(path, names.first, entry.first) == entry.second);
        Expect(reread.Value(names.first, entry.first) == QuoteValue(entry.second));
    }

    // The window's place and size any numbers, each zoom 25 to 400 percent, the scope
    // 0 to 3, the hit limit any 32-bit number.
    if (end - at >= 26) {
        const auto number = [&](int bytes) {
            std::uint32_t n = 0;
            for (int i = 0; i < bytes; ++i) n = n << 8 | *at++;
            return n;
        };
        SettingsToSave saved;
        for (int* side : {&saved.top, &saved.left, &saved.height, &saved.width})
            *side = static_cast<std::int32_t>(number(4));
        saved.desktop.pageZoomPercent = static_cast<int>(25 + number(2) % 376);
        saved.desktop.textZoomPercent = static_cast<int>(25 + number(2) % 376);
        saved.selectCondition = static_cast<int>(number(1) % 4);
        saved.maxOfSelection = static_cast<std::int32_t>(number(4));
        const std::uint32_t switches = number(1);
        int bit = 0;
        for (bool* on : {&saved.notSeparateWord, &saved.searchWithAnd, &saved.notPartMatch, &saved.dispSentence,
                         &saved.desktop.clipboardLookup})
            *on = (switches >> bit++) & 1;
        WriteSettings(path, saved);
        const StoredSettings read = ReadSettings(path);
        Expect(read.top == saved.top && read.left == saved.left && read.height == saved.height &&
               read.width == saved.width);
        Expect(read.desktop.pageZoomPercent == saved.desktop.pageZoomPercent &&
               read.desktop.textZoomPercent == saved.desktop.textZoomPercent);
        Expect(read.selectCondition == saved.selectCondition && read.maxOfSelection == saved.maxOfSelection);
        Expect(read.notSeparateWord == saved.notSeparateWord && read.searchWithAnd == saved.searchWithAnd &&
               read.notPartMatch == saved.notPartMatch && read.dispSentence == saved.dispSentence &&
               read.desktop.clipboardLookup == saved.desktop.clipboardLookup);
    }
    unlink(path.c_str());
    return 0;
}
