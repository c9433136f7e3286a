#include "session/WordListFile.h"

#include "session/DelimitedText.h"
#include "session/WordListFields.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <optional>
#include <utility>

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// The columns of a file, in the order the program writes them.
enum Column { Headword, Translation, Examples, Note, ColumnCount };
constexpr std::array<std::string_view, ColumnCount> kColumnNames{"見出し語", "訳語", "例文", "メモ"};

// Which column a header names: the program's own names and the common English ones,
// in any letter case.
std::optional<Column> ColumnNamed(std::string_view name) {
    static const std::array<std::pair<Column, QStringList>, ColumnCount> kNames{{
        {Headword, {"見出し語", "headword", "front", "word"}},
        {Translation, {"訳語", "translation", "back", "meaning"}},
        {Examples, {"例文", "examples"}},
        {Note, {"メモ", "note", "notes"}},
    }};
    const QString trimmed = QString::fromUtf8(name).trimmed();
    for (const auto& [column, names] : kNames)
        if (names.contains(trimmed, Qt::CaseInsensitive)) return column;
    return std::nullopt;
}

// Each column's field index in a record; -1 when the file has no such column.
using ColumnPlaces = std::array<int, ColumnCount>;
constexpr ColumnPlaces kDefaultPlaces{0, 1, 2, 3};

// The places the names give, or nullopt when they name fewer than `fewest` columns.
// The first of a repeated name counts.
std::optional<ColumnPlaces> PlacesNamed(const std::vector<std::string>& names, int fewest) {
    ColumnPlaces places;
    places.fill(-1);
    int named = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::optional<Column> column = ColumnNamed(names[i]);
        if (!column || places[*column] >= 0) continue;
        places[*column] = static_cast<int>(i);
        ++named;
    }
    return named >= fewest ? std::optional(places) : std::nullopt;
}

QString AtLine(std::int64_t line, const char* what) {
    return QStringLiteral("%1 行目: ").arg(line) + QString::fromUtf8(what);
}

// The length of the well-formed UTF-8 sequence at `at`: no overlong form, no
// surrogate, nothing beyond U+10FFFF; 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const unsigned lead = byte(at);
    if (lead < 0x80) return 1;
    // The second byte's range is what rules the overlong and surrogate forms out.
    unsigned low = 0x80, high = 0xBF;
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    return length;
}

// The first NUL byte or byte of no UTF-8 character, as an error naming its line; empty
// when there is none.
QString UnreadableBytes(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = bytes[i] == '\0' ? 0 : Utf8SequenceLength(bytes, i);
        if (length == 0)
            return AtLine(1 + std::count(bytes.begin(), bytes.begin() + i, '\n'),
                          bytes[i] == '\0' ? "NUL バイトがあります。" : "UTF-8 として読めないバイトがあります。");
        i += length;
    }
    return {};
}

std::string Utf8(const QString& text) { return text.toStdString(); }

// --- writing ---

std::string WriteTsv(const std::vector<WordEntry>& entries) {
    std::string out = "#separator:tab\n#html:true\n#columns:";
    for (std::size_t i = 0; i < kColumnNames.size(); ++i) out += (i > 0 ? "\t" : "") + std::string(kColumnNames[i]);
    out += '\n';
    for (const WordEntry& entry : entries) {
        const std::string headword = HtmlFromDictionaryField(Utf8(entry.headword), false);
        // Its quotes are "&quot;" already, so quoting needs no doubling.
        out += headword.starts_with('#') ? '"' + headword + '"' : headword;
        out += '\t' + HtmlFromDictionaryField(Utf8(entry.translation), false);
        out += '\t' + HtmlFromDictionaryField(Utf8(entry.examples), true);
        out += '\t' + HtmlFromNote(Utf8(entry.note));
        out += '\n';
    }
    return out;
}

void AppendCsvRow(std::string& out, const std::array<std::string, ColumnCount>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += ',';
        AppendDelimitedField(out, fields[i], ',');
    }
    out += "\r\n";
}

std::string WriteCsv(const std::vector<WordEntry>& entries) {
    std::string out(kBom);
    AppendCsvRow(out, {std::string(kColumnNames[0]), std::string(kColumnNames[1]), std::string(kColumnNames[2]),
                       std::string(kColumnNames[3])});
    for (const WordEntry& entry : entries)
        AppendCsvRow(out, {Utf8(entry.headword), Utf8(entry.translation), ExamplesWithLineBreaks(Utf8(entry.examples)),
                           Utf8(entry.note)});
    return out;
}

// --- reading ---

// How the records of a file are to be read, from its header lines.
struct FileLayout {
    char separator = '\t';
    bool html = true;
    std::optional<ColumnPlaces> places;  // nullopt: from a first row of names, or the default
    std::vector<int> foreignColumns;      // zero-based columns that hold another program's own data
    std::size_t headerBytes = 0;          // where the records start
    std::int64_t firstRecordLine = 1;
    QString error;
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameLetters(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) ==
                                                                  std::tolower(static_cast<unsigned char>(y)); });
}

// The separator a "#separator:" line gives: one character, or its name as Anki writes it.
std::optional<char> SeparatorNamed(std::string_view value) {
    static constexpr std::array<std::pair<std::string_view, char>, 6> kSeparators{{
        {"tab", '\t'}, {"comma", ','}, {"semicolon", ';'}, {"pipe", '|'}, {"colon", ':'}, {"space", ' '}}};
    const std::string_view trimmed = Trimmed(value);
    for (const auto& [name, separator] : kSeparators) {
        const std::string_view character(&separator, 1);
        if (value == character || trimmed == character || SameLetters(trimmed, name)) return separator;
    }
    return std::nullopt;
}

// Anki's header lines: the "#" lines at the top, blank lines among them passed over.
FileLayout ReadHeaderLines(std::string_view text) {
    FileLayout layout;
    std::string_view columns;
    std::int64_t columnsLine = 0;
    std::size_t pos = 0;
    std::int64_t line = 1;
    for (; pos < text.size(); ++line) {
        const std::size_t end = std::min(text.find('\n', pos), text.size());
        std::string_view content = text.substr(pos, end - pos);
        if (content.ends_with('\r')) content.remove_suffix(1);
        if (!content.empty() && content[0] != '#') break;
        pos = std::min(end + 1, text.size());
        const std::size_t colon = content.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = Trimmed(content.substr(1, colon - 1));
        const std::string_view value = content.substr(colon + 1);
        if (SameLetters(key, "separator")) {
            const std::optional<char> separator = SeparatorNamed(value);
            if (!separator) {
                layout.error = AtLine(line, "区切り文字が読めません。");
                return layout;
            }
            layout.separator = *separator;
        } else if (SameLetters(key, "html")) {
            layout.html = !SameLetters(Trimmed(value), "false");
        } else if (SameLetters(key, "columns")) {
            columns = value;
            columnsLine = line;
        } else if (key.size() > 7 && SameLetters(key.substr(key.size() - 7), " column")) {
            // Anki's own export names where its note ids, note types, decks and tags stand
            // ("#guid column:1"): those columns are none of ours.
            int number = 0;
            const std::string_view digits = Trimmed(value);
            const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
            if (error != std::errc{} || end != digits.data() + digits.size() || number < 1) {
                layout.error = AtLine(line, "列の番号が読めません。");
                return layout;
            }
            layout.foreignColumns.push_back(number - 1);
        }
    }
    layout.headerBytes = pos;
    layout.firstRecordLine = line;
    if (!layout.foreignColumns.empty() && columnsLine == 0) {
        // Ours are the others, in their usual order.
        ColumnPlaces places{};
        int next = 0;
        for (int& place : places) {
            while (std::find(layout.foreignColumns.begin(), layout.foreignColumns.end(), next) !=
                   layout.foreignColumns.end())
                ++next;
            place = next++;
        }
        layout.places = places;
    }
    if (columnsLine > 0) {
        std::vector<std::string> names;
        for (const DelimitedRecord& record : SplitDelimited(columns, layout.separator, columnsLine).records)
            names.insert(names.end(), record.fields.begin(), record.fields.end());
        layout.places = PlacesNamed(names, 1);
        if (!layout.places || (*layout.places)[Headword] < 0)
            layout.error = AtLine(columnsLine, "見出し語の列がありません。");
    }
    return layout;
}

// A field's text, a U+FEFF it starts with kept: only the file's own first one is a mark.
QString TextOf(std::string_view utf8) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

WordEntry EntryFrom(const std::vector<std::string>& fields, const ColumnPlaces& places, bool html) {
    const auto field = [&](Column column) -> std::string_view {
        const int place = places[column];
        return place >= 0 && static_cast<std::size_t>(place) < fields.size() ? fields[place] : std::string_view{};
    };
    WordEntry entry;
    if (html) {
        entry.headword = TextOf(DictionaryFieldFromHtml(field(Headword), false));
        entry.translation = TextOf(DictionaryFieldFromHtml(field(Translation), false));
        entry.examples = TextOf(DictionaryFieldFromHtml(field(Examples), true));
        entry.note = TextOf(NoteFromHtml(field(Note)));
    } else {
        entry.headword = TextOf(field(Headword));
        entry.translation = TextOf(field(Translation));
        entry.examples = TextOf(ExamplesFromLineBreaks(field(Examples)));
        entry.note = TextOf(field(Note));
    }
    return entry;
}

WordListRead ReadRecords(std::string_view text, const FileLayout& layout) {
    const DelimitedRows rows =
        SplitDelimited(text.substr(layout.headerBytes), layout.separator, layout.firstRecordLine);
    if (rows.unclosedQuoteLine > 0)
        return {{}, AtLine(rows.unclosedQuoteLine, "引用符 \" が閉じられないまま終わっています。")};

    auto records = rows.records.begin();
    ColumnPlaces places = kDefaultPlaces;
    if (layout.places) {
        places = *layout.places;
    } else if (records != rows.records.end()) {
        // Two names at least, so that a first word such as "note" stays an entry.
        if (const std::optional<ColumnPlaces> named = PlacesNamed(records->fields, 2)) {
            if ((*named)[Headword] < 0) return {{}, AtLine(records->line, "見出し語の列がありません。")};
            places = *named;
            ++records;
        }
    }

    WordListRead read;
    read.entries.reserve(rows.records.end() - records);
    for (; records != rows.records.end(); ++records) {
        const std::size_t headword = static_cast<std::size_t>(places[Headword]);
        if (headword >= records->fields.size() || records->fields[headword].empty())
            return {{}, AtLine(records->line, "見出し語が空です。")};
        read.entries.push_back(EntryFrom(records->fields, places, layout.html));
    }
    return read;
}

}  // namespace

WordListFormat WordListFormatOf(const QString& path) {
    return path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? WordListFormat::Csv : WordListFormat::Tsv;
}

std::string WriteWordList(const std::vector<WordEntry>& entries, WordListFormat format) {
    return format == WordListFormat::Csv ? WriteCsv(entries) : WriteTsv(entries);
}

WordListRead ReadWordList(std::string_view bytes, WordListFormat format) {
    if (bytes.size() > kMaxWordListFileBytes)
        return {{}, QStringLiteral("ファイルが大きすぎます（%1 MB まで）。").arg(kMaxWordListFileBytes >> 20)};
    if (QString error = UnreadableBytes(bytes); !error.isEmpty()) return {{}, error};
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());

    if (format == WordListFormat::Csv) {
        FileLayout layout;
        layout.separator = ',';
        layout.html = false;
        return ReadRecords(bytes, layout);
    }
    const FileLayout layout = ReadHeaderLines(bytes);
    if (!layout.error.isEmpty()) return {{}, layout.error};
    return ReadRecords(bytes, layout);
}
