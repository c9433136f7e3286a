#include "dictionary/Repair.h"

#include "dictionary/LiteralRepair.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace std::string_literals;

TextLines LinesOf(std::string text) {
    TextLines lines;
    lines.SetWholeText(std::move(text));
    return lines;
}

RepairResult Repair(const std::string& text, const Separators& separators = {}) {
    return RepairLines(LinesOf(text), separators);
}

void ExpectSameAsLiteral(const std::string& text, const Separators& separators) {
    const TextLines lines = LinesOf(text);
    const RepairResult fast = RepairLines(lines, separators);
    const LiteralRepair literal = RepairLiterally(lines, separators);
    ASSERT_EQ(fast.text.view(), literal.text) << "input: " << text;
    ASSERT_EQ(fast.log, literal.log) << "input: " << text;
    ASSERT_EQ(fast.d2, literal.d2);
    ASSERT_EQ(fast.d3, literal.d3);
    ASSERT_EQ(fast.noNum, literal.noNum);
}

TEST(RepairLines, ASoundFileIsOnlyRenumberedFromOne) {
    const RepairResult result = Repair("0 a///x:::y\r\n7 b c///x:::y\r\n7 d///x:::y\r\n");
    EXPECT_EQ(result.text.view(), "1 a///x:::y\r\n2 b c///x:::y\r\n3 d///x:::y\r\n");
    EXPECT_EQ(result.log, "");
    EXPECT_EQ(RepairDoneText(result), "0//0::0 データの修復しました");
}

TEST(RepairLines, ARecordBrokenOverThreeLinesComesBackInOrder) {
    const RepairResult result = Repair("1 a///x:::y\r\n2 b///tr:::ex\r\nmore text\r\nend of it\r\n3 c///x:::y");
    EXPECT_EQ(result.text.view(), "1 a///x:::y\r\n2 b///tr:::ex/ more text/ end of it\r\n3 c///x:::y");
    EXPECT_EQ(result.log, "d3: 3 end of it\r\nd3: 2 more text/ end of it\r\n");
    EXPECT_EQ(RepairDoneText(result), "0//0::2 データの修復しました");
}

TEST(RepairLines, StrayLinesAreDroppedNotJoined) {
    const RepairResult result = Repair("1 a///x:::y\n\n2 b///x:::y\nstray\n3 c///x:::y\n");
    EXPECT_EQ(result.text.view(), "1 a///x:::y\r\n2 b///x:::y\r\n3 c///x:::y\r\n");
    EXPECT_EQ(result.log, "d1: 3 stray\r\nd1: 1 \r\n");
    EXPECT_EQ(RepairDoneText(result), "0//0::0 データの修復しました");

    // The last line is joined to a stray, which then goes with it.
    const RepairResult lost = Repair("1#a///x:::y\nstray\nlast", {"#", "///", ":::"});
    EXPECT_EQ(lost.text.view(), "1#a///x:::y");
    EXPECT_EQ(lost.log, "d1: 2 last\r\nd3: 2 last\r\nd1: 1 stray/ last\r\n");
}

TEST(RepairLines, TheLastLineWithoutASpaceIsExaminedAgain) {
    EXPECT_EQ(Repair("1 a///x\n:::tail").text.view(), "1 a///x/ :::tail");  // d1, then d2
    EXPECT_EQ(Repair("1 a///x:::y\nlast").log, "d1: 1 last\r\nd3: 1 last\r\n");
    const RepairResult kept = Repair("1 a///x:::y\nb///c:::d\n");  // d1, then sound: stays unnumbered
    EXPECT_EQ(kept.text.view(), "1 a///x:::y\r\nb///c:::d\r\n");
    EXPECT_EQ(RepairDoneText(kept), "1//0::0 データの修復しました");
}

// The text before a line's first SepNum is its number, replaced by the new one; when it
// is no number, nothing is replaced: a record whose number ran into its headword, given
// a SepNum by the join of the line after it, keeps every byte.
TEST(RepairLines, TextThatIsNoNumberIsNotReplacedByOne) {
    const RepairResult joined = Repair("1 a///x:::y\r\n12abate///x:::y\r\nmore\r\n");
    EXPECT_EQ(joined.text.view(), "1 a///x:::y\r\n2 12abate///x:::y/ more\r\n");
    EXPECT_EQ(Repair("x1 a///b:::c\r\n").text.view(), "1 x1 a///b:::c\r\n");
    EXPECT_EQ(Repair(" a///b:::c\r\n0042 d///e:::f").text.view(), "1 a///b:::c\r\n2 d///e:::f");
}

TEST(RepairLines, ADamagedFirstLineIsCountedButStays) {
    const RepairResult result = Repair("9 first line\r\n2 b///x:::y\r\n");
    EXPECT_EQ(result.text.view(), "1 first line\r\n2 b///x:::y\r\n");
    EXPECT_EQ(result.log, "d3: 0 9 first line\r\n");
    EXPECT_EQ(RepairDoneText(result), "0//0::1 データの修復しました");
    EXPECT_EQ(Repair("1 a:::b").d2, 1);
}

TEST(RepairLines, AskedProgressStartsWithTheLastLineOfEachPass) {
    std::vector<std::pair<int, std::int64_t>> seen;
    RepairLines(LinesOf("1 a///x:::y\n2 b///x:::y\n3 c///x:::y\n"), {},
                [&](int pass, std::int64_t line) { seen.emplace_back(pass, line); });
    EXPECT_EQ(seen, (std::vector<std::pair<int, std::int64_t>>{{1, 2}, {2, 0}}));
    EXPECT_EQ(RepairProgressText(1, 42), "F1 42");
}

TEST(AppendLogEntry, CutsALongTextBetweenCharactersAndMarksTheCut) {
    std::string log;
    AppendLogEntry(log, "d3", 5, std::string(kLogTextLimit, 'a'), LogText::Cut);
    EXPECT_EQ(log, "d3: 5 " + std::string(kLogTextLimit, 'a') + "\r\n");  // the limit itself is whole

    log.clear();
    // "あ" (82 A0) across the limit: the cut goes before its lead byte.
    const std::string text = std::string(kLogTextLimit - 1, 'a') + "\x82\xA0" + "tail";
    AppendLogEntry(log, "d1", 0, text, LogText::Cut);
    EXPECT_EQ(log, "d1: 0 " + std::string(kLogTextLimit - 1, 'a') + "...\r\n");
}

TEST(RepairLines, ADroppedLineKeepsEveryByteInTheLog) {
    // A stray line of 100 KB, with the file's last line appended to it: dropped, both
    // exist nowhere but in the log.
    std::string stray;
    for (int i = 0; stray.size() < 100'000; ++i) stray += i % 3 ? "\x88\xE3\x8A\x77" : "x/y:z ";
    const RepairResult result = Repair("1#a///x:::y\r\n" + stray + "\r\nlast", {"#", "///", ":::"});
    EXPECT_EQ(result.text.view(), "1#a///x:::y");
    EXPECT_EQ(result.log, "d1: 2 last\r\nd3: 2 last\r\nd1: 1 " + stray + "/ last\r\n");
}

TEST(RepairLines, AFileOfProseKeepsItsLogLinear) {
    std::string prose;
    for (int i = 0; i < 3'000; ++i) prose += "some words of prose\r\n";
    const RepairResult result = Repair(prose);
    EXPECT_EQ(result.d3, 3'000);
    EXPECT_LT(result.log.size(), 3'000 * (kLogTextLimit + 32));
    // One line: every line joined after "/ ", the number put before it (its first word
    // is no number).
    EXPECT_EQ(result.text.size(), "1 "s.size() + 3'000 * 19 + 2'999 * 2 + 2);
}

// Random files of sound and damaged lines, line ends of every kind and Shift-JIS
// text, with the usual separators and hand-set ones that can span the "/ " join or
// fall on a second byte.
TEST(RepairLines, MatchesTheLiteralRepairOnRandomFiles) {
    std::mt19937 random(2202);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const std::vector<Separators> separatorSets = {
        {},
        {"#", "//", "::"},
        {"/ ", "@", "%%"},        // SepNum made of the join text itself
        {" ", "s/", "/ :"},       // separators that straddle the join
        {"\x82", "\xA0", "\x82\xA0:"},  // bytes of a double-byte character
        {"ab", "b/", "a"},
    };
    const std::vector<std::string> pieces = {
        "1", "23", " ", "///", ":::", "/", ":", "a", "b", "s", "#", "@", "%", "\x82\xA0", "\x82", "\xA0",
        "\x83\x5C", "head", " word", "::", "//"};
    const std::vector<std::string> breaks = {"\r\n", "\r\n", "\n", "\r"};
    for (int round = 0; round < 20'000; ++round) {
        std::string text;
        const std::size_t lineCount = pick(12);
        for (std::size_t i = 0; i < lineCount; ++i) {
            switch (pick(6)) {
                case 0: text += std::to_string(i) + " w///tr:::ex"; break;  // sound
                case 1: break;                                               // empty
                default:
                    for (std::size_t k = pick(7); k > 0; --k) text += pieces[pick(pieces.size())];
            }
            if (i + 1 < lineCount || pick(2)) text += breaks[pick(breaks.size())];
        }
        const Separators& separators = separatorSets[pick(separatorSets.size())];
        ExpectSameAsLiteral(text, separators);
        if (HasFatalFailure()) return;
    }
}

TEST(RepairLines, MatchesTheLiteralRepairOnLongJoinsCutInTheLog) {
    // Long runs of continuation lines in double-byte text, so log entries pass the limit.
    std::mt19937 random(932);
    for (int round = 0; round < 10; ++round) {
        std::string text = "1 a///x:::y\r\n";
        for (int i = 0; i < 1000; ++i) {
            text += random() % 200 == 0 ? "2 b///c:::d" : "x ";
            for (int k = static_cast<int>(random() % 60); k > 0; --k) text += random() % 2 ? "\x88\x9F" : "a";
            text += "\r\n";
        }
        ASSERT_NE(Repair(text).log.find("...\r\n"), std::string::npos);
        ExpectSameAsLiteral(text, {});
        if (HasFatalFailure()) return;
    }
}

}  // namespace
