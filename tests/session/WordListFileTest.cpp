#include "session/WordListFile.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Fields = std::array<std::string, 4>;  // headword, translation, examples, note

WordEntry Entry(const Fields& fields) {
    WordEntry entry;
    entry.headword = QString::fromStdString(fields[0]);
    entry.translation = QString::fromStdString(fields[1]);
    entry.examples = QString::fromStdString(fields[2]);
    entry.note = QString::fromStdString(fields[3]);
    return entry;
}

Fields FieldsOf(const WordEntry& entry) {
    return {entry.headword.toStdString(), entry.translation.toStdString(), entry.examples.toStdString(),
            entry.note.toStdString()};
}

// RFC 4180 as it reads: rows end in CR LF outside quotes, "" inside quotes is one quote.
std::vector<std::vector<std::string>> CsvRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') rows.back().back() += text[++i];
        else if (c == '"') quoted = !quoted;
        else if (!quoted && c == ',') rows.back().emplace_back();
        else if (!quoted && text.substr(i, 2) == "\r\n") rows.emplace_back(1), ++i;
        else rows.back().back() += c;
    }
    rows.pop_back();  // after the last CR LF
    return rows;
}

// Anki's tab-separated lines: LF ends a line, a tab ends a field, a field may be quoted.
std::vector<std::vector<std::string>> TsvRows(std::string_view text) {
    std::vector<std::vector<std::string>> rows(1, std::vector<std::string>(1));
    for (char c : text) {
        if (c == '\n') rows.emplace_back(1);
        else if (c == '\t') rows.back().emplace_back();
        else rows.back().back() += c;
    }
    rows.pop_back();
    for (auto& row : rows)
        if (row[0].size() >= 2 && row[0].front() == '"' && row[0].back() == '"')
            row[0] = row[0].substr(1, row[0].size() - 2);
    return rows;
}

TEST(WordListFile, WritesEachFieldAsTheFormatSpellsIt) {
    struct Case { Fields entry, tsv, csv; };
    const std::vector<Case> cases{
        {{"in\tvivo", "生体内で \"in vivo\", 生きて", "He ran./ She ran./ ", "line 1\nx < y & \"z\""},
         {"in&#9;vivo", "生体内で &quot;in vivo&quot;, 生きて", "He ran.<br>She ran.<br>",
          "line 1<br>x &lt; y &amp; &quot;z&quot;"},
         {"in\tvivo", "生体内で \"in vivo\", 生きて", "He ran.\nShe ran.\n", "line 1\nx < y & \"z\""}},
        {{"#1 heart", "a\r\nb\rc", "", ""}, {"#1 heart", "a<br>b<br>c", "", ""}, {"#1 heart", "a\r\nb\rc", "", ""}},
        {{" 空白 ", "<i>x</i> & y", "a/b", "\t"},
         {" 空白 ", "<i>x</i> & y", "a/b", "&#9;"},
         {" 空白 ", "<i>x</i> & y", "a/b", "\t"}},
    };
    std::vector<WordEntry> entries;
    for (const Case& c : cases) entries.push_back(Entry(c.entry));

    const std::string tsv = WriteWordList(entries, WordListFormat::Tsv);
    const auto tsvRows = TsvRows(tsv);
    ASSERT_EQ(tsvRows.size(), 3 + cases.size());
    EXPECT_EQ(tsvRows[0], std::vector<std::string>{"#separator:tab"});
    EXPECT_EQ(tsvRows[1], std::vector<std::string>{"#html:true"});
    EXPECT_EQ(tsvRows[2], (std::vector<std::string>{"#columns:見出し語", "訳語", "例文", "メモ"}));
    const std::string csv = WriteWordList(entries, WordListFormat::Csv);
    ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF"));
    const auto csvRows = CsvRows(csv.substr(3));
    ASSERT_EQ(csvRows.size(), 1 + cases.size());
    EXPECT_EQ(csvRows[0], (std::vector<std::string>{"見出し語", "訳語", "例文", "メモ"}));

    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].entry[0]);
        EXPECT_EQ(tsvRows[3 + i], std::vector<std::string>(cases[i].tsv.begin(), cases[i].tsv.end()));
        EXPECT_EQ(csvRows[1 + i], std::vector<std::string>(cases[i].csv.begin(), cases[i].csv.end()));
    }
    EXPECT_EQ(tsv.find('"'), tsv.find("\"#1 heart\"")) << "only a headword starting with # is quoted";
}

// Every line break as `lineBreak`: what the files give back.
std::string LineBreaksAs(std::string_view text, std::string_view lineBreak) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += lineBreak;
            if (text.substr(i, 2) == "\r\n") ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

TEST(WordListFile, WhatIsWrittenReadsBackTheSame) {
    // No letters, so no text spells "<br>", "&#9;" or "&quot;" of its own.
    const std::vector<std::string> pieces{"\t", "\"", ",", ";", "\r", "\n", "/ ", "/",
                                          " ",  "<",  ">", "&", "#",  "あ", "語", "x"};
    std::mt19937 random(20240611);
    const auto text = [&](std::size_t minimum) {
        std::string s;
        for (std::size_t n = minimum + random() % 8; s.size() < n;) s += pieces[random() % pieces.size()];
        return s;
    };
    for (const WordListFormat format : {WordListFormat::Tsv, WordListFormat::Csv}) {
        std::vector<WordEntry> entries;
        std::vector<Fields> expected;
        for (int i = 0; i < 300; ++i) {
            const Fields fields{text(1), text(0), text(0), text(0)};
            entries.push_back(Entry(fields));
            const std::string breakOutsideExamples = format == WordListFormat::Tsv ? "\n" : "";
            Fields back = fields;
            for (std::size_t f : {0, 1, 3})
                if (!breakOutsideExamples.empty()) back[f] = LineBreaksAs(fields[f], breakOutsideExamples);
            back[2] = LineBreaksAs(fields[2], "/ ");
            expected.push_back(back);
        }
        const WordListRead read = ReadWordList(WriteWordList(entries, format), format);
        ASSERT_EQ(read.error, QString());
        ASSERT_EQ(read.entries.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(FieldsOf(read.entries[i]), expected[i]) << "format " << int(format) << ", entry " << i;
            EXPECT_EQ(read.entries[i].line, -1);
            EXPECT_TRUE(read.entries[i].dataFile.isEmpty());
        }
    }
}

TEST(WordListFile, ReadsWhatAnkiAndSpreadsheetsWriteAndRefusesWhatIsBroken) {
    struct Case {
        const char* name;
        WordListFormat format;
        std::string bytes;
        std::vector<Fields> entries;
        int errorLine = 0;  // the line the error names; 0 when there is none
    };
    const auto tsv = WordListFormat::Tsv, csv = WordListFormat::Csv;
    const std::vector<Case> cases{
        {"columns in their own order", tsv,
         "#separator:tab\n#columns:Note\tWORD\tmeaning\tdeck\nn<br>m &lt;\th\tt<br>u\td\n",
         {{"h", "t\nu", "", "n\nm <"}}},
        {"a CSV header in its own order", csv, "メモ,見出し語,例文\r\nn,h,\"a\r\nb\"\r\n", {{"h", "", "a/ b", "n"}}},
        {"Anki's comma by name", tsv, "#separator:Comma\n#html:true\nh,t&#9;,e<BR />f,&#x3042;&amp;\n",
         {{"h", "t\t", "e/ f", "あ&"}}},
        {"Anki's own export, its note ids and decks beside ours", tsv,
         "#separator:tab\n#html:true\n#guid column:1\n#deck column:3\nq1W\th\tDeck\tt\te\n",
         {{"h", "t", "e", ""}}},
        {"a field's own U+FEFF after the file's", csv, "\xEF\xBB\xBF\xEF\xBB\xBFh,t\r\n", {{"\xEF\xBB\xBFh", "t", "", ""}}},
        {"plain fields", tsv, "#html:false\nh\t&quot;\t\"e\nf\"\n", {{"h", "&quot;", "e/ f", ""}}},
        {"missing trailing fields", tsv, "note\n\nh2\tt2\n", {{"note", "", "", ""}, {"h2", "t2", "", ""}}},
        {"a BOM, CR LF and no header", csv, "\xEF\xBB\xBF h ,t\r\nh2,t2,e,n",
         {{" h ", "t", "", ""}, {"h2", "t2", "e", "n"}}},
        {"quoted TSV fields", tsv, "\"h\t1\"\t\"say \"\"hi\"\"\"\t\"a\nb\"\n", {{"h\t1", "say \"hi\"", "a/ b", ""}}},
        {"an empty file", csv, "", {}},
        {"header lines only", tsv, "#separator:tab\n#html:true\n#columns:見出し語\t訳語\t例文\tメモ\n", {}},
        {"bytes that are no UTF-8", tsv, "h1\nh2\nh\xC3(\n", {}, 3},
        {"an overlong form", csv, "h\xC0\xAF\n", {}, 1},
        {"a surrogate", tsv, "h\n\xED\xA0\x80\n", {}, 2},
        {"a NUL byte", tsv, "h1\nh\0\n"s, {}, 2},
        {"an unclosed quote", csv, "h\n\"open,\nmore\n", {}, 2},
        {"no headword column", tsv, "#separator:tab\n#columns:訳語\tメモ\nt\tn\n", {}, 2},
        {"a CSV header without headwords", csv, "訳語,メモ\r\nt,n\r\n", {}, 1},
        {"an empty headword", tsv, "h\n\tt\n", {}, 2},
        {"an unknown separator", tsv, "#separator:-\nh\n", {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const WordListRead read = ReadWordList(c.bytes, c.format);
        std::vector<Fields> entries;
        for (const WordEntry& entry : read.entries) entries.push_back(FieldsOf(entry));
        EXPECT_EQ(entries, c.entries);
        if (c.errorLine == 0)
            EXPECT_EQ(read.error, QString());
        else
            EXPECT_TRUE(read.error.startsWith(QStringLiteral("%1 行目").arg(c.errorLine))) << read.error.toStdString();
    }
}

TEST(WordListFile, TheFileNameChoosesTheFormat) {
    EXPECT_EQ(WordListFormatOf(QStringLiteral("/home/u/単語.CSV")), WordListFormat::Csv);
    EXPECT_EQ(WordListFormatOf(QStringLiteral("/home/u/words.txt")), WordListFormat::Tsv);
    EXPECT_EQ(WordListFormatOf(QStringLiteral("/home/u/csv")), WordListFormat::Tsv);
}

}  // namespace
