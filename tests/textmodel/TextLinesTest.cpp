#include "textmodel/TextLines.h"

#include "TempDir.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<std::string> LinesOf(const TextLines& text) {
    text.Check();
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < text.LineCount(); ++i) lines.push_back(text.Line(static_cast<std::int64_t>(i)));
    return lines;
}

using Lines = std::vector<std::string>;

TEST(TextLines, EveryKindOfLineBreakEndsALine) {
    TextLines text;
    text.SetWholeText("a\r\nb\rc\nd");
    EXPECT_EQ(LinesOf(text), (Lines{"a", "b", "c", "d"}));
    EXPECT_FALSE(text.EndsWithLineBreak());

    text.SetWholeText("\r\r\n\n\n\r");  // CR, CR LF, LF, LF, CR
    EXPECT_EQ(LinesOf(text), (Lines{"", "", "", "", ""}));
    EXPECT_TRUE(text.EndsWithLineBreak());
}

TEST(TextLines, AFinalLineBreakStartsNoLineButIsWrittenBack) {
    TextLines text;
    text.SetWholeText("one\ntwo\n");
    EXPECT_EQ(LinesOf(text), (Lines{"one", "two"}));
    EXPECT_EQ(text.WholeText(), "one\r\ntwo\r\n");

    text.SetWholeText("one\r\ntwo");
    EXPECT_EQ(text.WholeText(), "one\r\ntwo");

    text.SetWholeText("");
    EXPECT_EQ(text.LineCount(), 0u);
    EXPECT_EQ(text.WholeText(), "");

    text.SetWholeText("\r\n");
    EXPECT_EQ(LinesOf(text), (Lines{""}));
    EXPECT_EQ(text.WholeText(), "\r\n");
}

TEST(TextLines, ANulByteEndsTheText) {
    TextLines text;
    using namespace std::string_literals;
    text.SetWholeText("1 a///b:::c\r\n2 d///e:::f\r\n3 g\0h\r\n4 i\r\n"s);
    EXPECT_EQ(LinesOf(text), (Lines{"1 a///b:::c", "2 d///e:::f", "3 g"}));
    EXPECT_FALSE(text.EndsWithLineBreak());

    text.SetWholeText("\0abc"s);
    EXPECT_EQ(text.LineCount(), 0u);

    // Wherever the NUL falls (inside a line, after a CR, before an LF), the text is
    // exactly the one that stops there.
    const std::string lines = "1 a///b:::c\r\n2\r3 lone CR\r\n\n4 d///e:::f longer than sixteen bytes\r\n5";
    for (std::size_t at = 0; at <= lines.size(); ++at) {
        TextLines cut, plain;
        cut.SetWholeText(lines.substr(0, at) + '\0' + lines.substr(at));
        plain.SetWholeText(lines.substr(0, at));
        ASSERT_EQ(LinesOf(cut), LinesOf(plain)) << at;
        ASSERT_EQ(cut.EndsWithLineBreak(), plain.EndsWithLineBreak()) << at;
        ASSERT_EQ(cut.UnchangedCrLfText(), plain.UnchangedCrLfText()) << at;
    }
}

// A dictionary as the load hands it over: a large buffer, cut at a NUL byte, then edited.
TEST(TextLines, TakesOverALargeBufferCutAtItsFirstNul) {
    std::string file;
    Lines model;
    for (int i = 0; file.size() < 3'000'000; ++i) {
        model.push_back(std::to_string(i) + " w///x:::y");
        file += model.back() + "\r\n";
    }
    const std::string text = file;
    file += std::string(1, '\0') + "after\r\nthe NUL\r\n" + std::string(2'000'000, 'z');
    ByteBuffer buffer(file.size());
    file.copy(buffer.data(), file.size());
    ASSERT_TRUE(buffer.IsMapped());

    TextLines lines;
    lines.SetWholeText(std::move(buffer));
    ASSERT_EQ(LinesOf(lines), model);
    ASSERT_TRUE(lines.UnchangedCrLfText());
    EXPECT_TRUE(*lines.UnchangedCrLfText() == text);

    lines.ReplaceLine(1, "new\r\nlines");
    model[1] = "new";
    model.insert(model.begin() + 2, "lines");
    const std::size_t middle = model.size() / 2;
    lines.DeleteRow(static_cast<std::int64_t>(middle));
    model.erase(model.begin() + static_cast<std::ptrdiff_t>(middle));
    lines.AppendLine("last");
    model.push_back("last");
    EXPECT_EQ(LinesOf(lines), model);
    EXPECT_FALSE(lines.UnchangedCrLfText());
}

TEST(TextLines, KeepsEveryByteOfInvalidShiftJisAndHugeLines) {
    const std::string invalid = "1 \x88///\x85\x40:::\xFF\xFD\x80\x88";
    const std::string huge(1 << 20, 'x');
    TextLines text;
    text.SetWholeText(invalid + "\r\n" + huge + "\r\n\x88");
    EXPECT_EQ(LinesOf(text), (Lines{invalid, huge, "\x88"}));
    EXPECT_EQ(text.WholeText(), invalid + "\r\n" + huge + "\r\n\x88");
}

// Whatever points into the text (the search text does) hears of a new text while the
// old bytes are still there: were they freed first, a failure to make the new lines
// would leave it pointing at freed memory. A megabyte is mapped, so freed is unreadable.
TEST(TextLines, ListenersLetGoOfTheOldBytesBeforeTheyAreFreed) {
    TextLines text;
    std::string expected = std::string(1 << 20, 'a') + "\r\n";
    text.SetWholeText(expected);
    std::string_view held = *text.UnchangedCrLfText();
    int stillThere = 0;
    text.AddChangeListener([&](const LinesChange&) {
        if (held.empty()) return;
        stillThere += held == expected;
        held = {};
    });
    text.SetWholeText(std::string(1 << 20, 'b') + "\r\n");
    expected = std::string(1 << 20, 'b') + "\r\n";
    held = *text.UnchangedCrLfText();
    text.ClearLines();
    EXPECT_EQ(stillThere, 2);
}

TEST(TextLines, LineOutsideTheTextRaisesTheListIndexError) {
    TextLines text;
    text.SetWholeText("a\nb\n");
    for (const std::int64_t index : {std::int64_t{-1}, std::int64_t{2}}) {
        try {
            (void)text.Line(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const QuillorError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
        }
    }
    EXPECT_THROW(text.ReplaceLine(2, "x"), QuillorError);
}

TEST(TextLines, EditsKeepLineBreaksAndMarkTheTextModified) {
    TextLines text;
    text.SetWholeText("a\r\nb\r\nc");
    EXPECT_FALSE(text.Modified());

    text.ReplaceLine(1, "B");
    EXPECT_TRUE(text.Modified());
    EXPECT_EQ(text.WholeText(), "a\r\nB\r\nc");

    text.DeleteRow(2);
    EXPECT_EQ(text.WholeText(), "a\r\nB");
    text.DeleteRow(5);  // no such row: nothing happens
    text.DeleteRow(-1);
    EXPECT_EQ(LinesOf(text), (Lines{"a", "B"}));

    // Replacing with text that holds line breaks adds lines rather than hiding bytes.
    text.ReplaceLine(0, "x\ny");
    EXPECT_EQ(LinesOf(text), (Lines{"x", "y", "B"}));

    // A line may be replaced by a copy of another.
    text.ReplaceLine(2, text.LineView(0));
    EXPECT_EQ(LinesOf(text), (Lines{"x", "y", "x"}));

    text.SetModified(false);
    EXPECT_FALSE(text.Modified());
    text.ReplaceLine(0, "z");
    text.SetWholeText("fresh");
    EXPECT_FALSE(text.Modified());
}

TEST(TextLines, AppendAndClearBuildAListWithoutMarkingItModified) {
    TextLines text;
    text.AppendLine("abate (0)");
    text.AppendLine("heart (12)");
    EXPECT_EQ(LinesOf(text), (Lines{"abate (0)", "heart (12)"}));
    EXPECT_TRUE(text.EndsWithLineBreak());
    EXPECT_FALSE(text.Modified());
    text.ClearLines();
    EXPECT_EQ(text.LineCount(), 0u);
    EXPECT_EQ(text.WholeText(), "");
}

// Random edits against a plain vector of strings, the obviously correct twin.
TEST(TextLines, RandomEditsAgreeWithAPlainVector) {
    std::mt19937 random(2024);
    for (int round = 0; round < 50; ++round) {
        TextLines text;
        Lines model;
        std::string whole;
        for (int i = random() % 30; i > 0; --i) {
            model.push_back(std::string(random() % 5, static_cast<char>('a' + random() % 26)));
            whole += model.back() + "\r\n";
        }
        text.SetWholeText(whole);
        for (int step = 0; step < 200; ++step) {
            const std::size_t count = model.size();
            switch (random() % 3) {
            case 0:
                if (count) {
                    const std::size_t at = random() % count;
                    model[at] = std::to_string(step);
                    text.ReplaceLine(static_cast<std::int64_t>(at), model[at]);
                }
                break;
            case 1:
                if (count) {
                    const std::size_t at = random() % count;
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
                    text.DeleteRow(static_cast<std::int64_t>(at));
                }
                break;
            default:
                model.push_back("+" + std::to_string(step));
                text.AppendLine(model.back());
            }
        }
        ASSERT_EQ(LinesOf(text), model);
    }
}

TEST(TextLines, SavesTheWholeTextToAFile) {
    TempDir dir;
    TextLines text;
    text.SetWholeText("1 a///b:::c\n2 \x88\xE3///x:::y");
    const std::string path = dir.File("saved.txt");
    text.SaveLinesToFile(path);
    EXPECT_EQ(TempDir::Read(path), "1 a///b:::c\r\n2 \x88\xE3///x:::y");
}

TEST(TextLines, SavingWhereNoFileCanBeMadeRaisesTheCreateError) {
    TempDir dir;
    TextLines text;
    text.SetWholeText("a");
    const std::string path = dir.File("no-such-folder/saved.txt");
    try {
        text.SaveLinesToFile(path);
        ADD_FAILURE() << "saving into a missing folder succeeded";
    } catch (const QuillorError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + path + " を作成できません: " + std::strerror(ENOENT));
    }
}

}  // namespace
