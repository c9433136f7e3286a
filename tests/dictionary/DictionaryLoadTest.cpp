#include "dictionary/DictionaryLoad.h"

#include "TempDir.h"
#include "common/Errors.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using namespace std::string_literals;

std::vector<std::string> LinesOf(const TextLines& text) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < text.LineCount(); ++i) lines.emplace_back(text.LineView(i));
    return lines;
}

TEST(LoadDictionaryText, FillsBothViewsAndReportsTheSize) {
    TempDir dir;
    const std::string file = "1 abate///軽減する:::The pain abated.\r\n2 heart failure///心不全:::x\r\n"s;
    TextLines fullText, index;
    const LoadReport report = LoadDictionaryText(dir.Write("dic.txt", file), Separators(), fullText, index);
    EXPECT_EQ(report.sizeText, "Size=" + std::to_string(file.size()));
    EXPECT_FALSE(report.damageText);
    EXPECT_EQ(fullText.WholeText(), file);
    EXPECT_FALSE(fullText.Modified());
    EXPECT_EQ(LinesOf(index), (std::vector<std::string>{"abate", "heart failure"}));
    EXPECT_TRUE(index.EndsWithLineBreak());
}

TEST(LoadDictionaryText, CountsDamagedLinesAndLeavesThemOutOfTheIndex) {
    TempDir dir;
    const std::string file =
        "1 a///x:::y\nnospace\n\nalsonone\n2 b\n3 c///x:::y\r"
        "4 \x88\xE3///\x85\x40:::\x88";  // invalid bytes stay in a sound line
    TextLines fullText, index;
    const LoadReport report = LoadDictionaryText(dir.Write("dic.txt", file), Separators(), fullText, index);
    EXPECT_EQ(report.damage.noNum, 3);
    EXPECT_EQ(report.damage.noTitle, 1);
    EXPECT_EQ(report.damage.noYaku, 0);
    EXPECT_EQ(report.damageText, "3//1::0 データの修復が必要です");
    EXPECT_EQ(LinesOf(index), (std::vector<std::string>{"a", "c", "\x88\xE3"}));
    EXPECT_EQ(fullText.LineCount(), 7u);
}

TEST(LoadDictionaryText, ANulByteEndsTheTextButTheSizeIsTheWholeFile) {
    TempDir dir;
    const std::string file = "1 a///x:::y\r\n2 b///x:::y\r\n3 c//\0/x:::y\r\n4 d///x:::y\r\n"s;
    TextLines fullText, index;
    const LoadReport report = LoadDictionaryText(dir.Write("dic.txt", file), Separators(), fullText, index);
    EXPECT_EQ(report.size, file.size());
    EXPECT_EQ(fullText.LineCount(), 3u);
    EXPECT_EQ(fullText.Line(2), "3 c//");
    EXPECT_EQ(report.damageText, "0//1::0 データの修復が必要です");
}

TEST(LoadDictionaryText, AFailedReadLeavesBothViewsAsTheyWere) {
    TempDir dir;
    TextLines fullText, index;
    fullText.SetWholeText("EditorEx1");
    index.SetWholeText("old\r\n");
    EXPECT_THROW(LoadDictionaryText(dir.File("missing.txt"), Separators(), fullText, index), QuillorError);
    EXPECT_THROW(LoadDictionaryText(dir.Write("empty.txt", ""), Separators(), fullText, index), QuillorError);
    EXPECT_EQ(fullText.WholeText(), "EditorEx1");
    EXPECT_EQ(index.WholeText(), "old\r\n");
}

// Megabytes of text and of headwords, as a real dictionary has.
TEST(LoadDictionaryText, ALargeFileGivesEveryHeadwordInOrder) {
    std::string file;
    std::vector<std::string> headwords;
    for (int i = 0; i < 150'000; ++i) {
        if (i % 1000 == 999) {
            file += "damaged\r\n";
            continue;
        }
        headwords.push_back("headword" + std::to_string(i * 7));
        file += std::to_string(i) + " " + headwords.back() + "///\x88\xE3:::example\r\n";
    }
    TempDir dir;
    TextLines fullText, index;
    const LoadReport report = LoadDictionaryText(dir.Write("large.txt", file), Separators(), fullText, index);
    EXPECT_EQ(report.damage.noNum, 150);
    EXPECT_TRUE(fullText.WholeText() == file);
    EXPECT_TRUE(LinesOf(index) == headwords);
    index.Check();
}

// The scan against a plain re-implementation on random lines.
TEST(ScanHeadwords, AgreesWithAPlainScanOnRandomLines) {
    std::mt19937 random(21);
    const std::string pieces[] = {" ", "///", ":::", "ab", "\x88\xE3", "/", ":", "\x95\x5C"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        std::string expectedIndex;
        DamageCounts expected;
        for (int line = random() % 8; line > 0; --line) {
            std::string l;
            for (int p = random() % 8; p > 0; --p) l += pieces[random() % 8];
            text += l + "\n";
            const auto num = l.find(' ');
            const auto title = l.find("///");
            if (num == std::string::npos) ++expected.noNum;
            else if (title == std::string::npos) ++expected.noTitle;
            else if (l.find(":::") == std::string::npos) ++expected.noYaku;
            else expectedIndex += (title > num + 1 ? l.substr(num + 1, title - num - 1) : "") + "\r\n";
        }
        TextLines lines;
        lines.SetWholeText(text);
        const HeadwordScan scan = ScanHeadwords(lines, Separators());
        ASSERT_EQ(scan.headwordText.view(), expectedIndex) << text;
        ASSERT_EQ(scan.damage.noNum, expected.noNum);
        ASSERT_EQ(scan.damage.noTitle, expected.noTitle);
        ASSERT_EQ(scan.damage.noYaku, expected.noYaku);
    }
}

}  // namespace
