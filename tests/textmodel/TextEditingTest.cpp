// The user's editing of the lines: in-line inserts and removals, the notifications
// that tell which lines changed, the memory an edit leaves behind, and undo.
#include "textmodel/EditHistory.h"
#include "textmodel/TextLines.h"

#include "common/Errors.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// The twin: the whole text as one string, the way WholeText writes it, edited by
// byte offsets. A position's offset counts every line before it with its CR LF.
std::size_t OffsetOf(const TextLines& lines, TextPosition at) {
    std::size_t offset = 0;
    for (std::int64_t i = 0; i < at.line; ++i) offset += lines.LineView(static_cast<std::size_t>(i)).size() + 2;
    return offset + at.column;
}

std::string WithCrLf(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += bytes[i];
        }
    }
    return out;
}

TextPosition RandomPosition(const TextLines& lines, std::mt19937& random) {
    const TextPosition end = lines.EndPosition();
    const auto line = static_cast<std::int64_t>(random() % static_cast<unsigned>(end.line + 1));
    const std::size_t length =
        line < static_cast<std::int64_t>(lines.LineCount()) ? lines.LineView(static_cast<std::size_t>(line)).size() : 0;
    return {line, random() % (length + 1)};
}

std::string RandomBytes(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"a", "xyz", "\x88\xA4", "\r\n", "\n", "\r", " ", "///", ":::"};
    std::string bytes;
    for (int i = random() % 4; i >= 0; --i) bytes += pieces[random() % pieces.size()];
    return bytes;
}

// Keeps a copy of the lines up to date from the notifications alone.
struct Mirror {
    std::vector<std::string> lines;
    void Follow(const TextLines& text, const LinesChange& change) {
        if (change.kind == LinesChange::Kind::WholeText) lines.clear();
        const auto first = lines.begin() + change.firstLine;
        lines.erase(first, first + change.linesBefore);
        for (std::int64_t i = 0; i < change.linesAfter; ++i)
            lines.insert(lines.begin() + change.firstLine + i,
                         std::string(text.LineView(static_cast<std::size_t>(change.firstLine + i))));
    }
};

std::vector<std::string> LinesOf(const TextLines& text) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < text.LineCount(); ++i) lines.emplace_back(text.LineView(i));
    return lines;
}

}  // namespace

TEST(TextEditing, InsertsAndRemovesInsideAndAcrossLines) {
    TextLines text;
    text.SetWholeText("1 abc\r\n2 def\r\n");
    EXPECT_EQ(text.InsertText({0, 2}, "XY"), (TextPosition{0, 4}));
    EXPECT_EQ(text.WholeText(), "1 XYabc\r\n2 def\r\n");
    EXPECT_TRUE(text.Modified());

    // A line break splits the line; the end comes back for the caret.
    EXPECT_EQ(text.InsertText({0, 4}, "!\r\n+"), (TextPosition{1, 1}));
    EXPECT_EQ(text.WholeText(), "1 XY!\r\n+abc\r\n2 def\r\n");

    EXPECT_EQ(text.RemoveText({0, 4}, {2, 1}), "!\r\n+abc\r\n2");
    EXPECT_EQ(text.WholeText(), "1 XY def\r\n");

    // The place after the final line break takes text like any other, and removing
    // up to it takes the break away.
    EXPECT_EQ(text.EndPosition(), (TextPosition{1, 0}));
    EXPECT_EQ(text.InsertText(text.EndPosition(), "3"), (TextPosition{1, 1}));
    EXPECT_EQ(text.WholeText(), "1 XY def\r\n3");
    EXPECT_EQ(text.RemoveText({0, 8}, text.EndPosition()), "\r\n3");
    EXPECT_EQ(text.WholeText(), "1 XY def");

    EXPECT_THROW(text.InsertText({0, 99}, "x"), QuillorError);
    EXPECT_THROW(text.InsertText({2, 0}, "x"), QuillorError);
    text.Check();

    TextLines empty;
    empty.InsertText({0, 0}, "a");
    EXPECT_EQ(empty.WholeText(), "a");
}

// Random edits against the whole text as one string; a mirror kept only from the
// notifications must always equal the lines.
TEST(TextEditing, RandomEditsAgreeWithTheTextAsOneString) {
    std::mt19937 random(909);
    for (int round = 0; round < 60; ++round) {
        TextLines text;
        Mirror mirror;
        text.AddChangeListener([&](const LinesChange& change) { mirror.Follow(text, change); });
        std::string initial;
        for (int i = random() % 12; i > 0; --i) initial += RandomBytes(random);
        // A long line, whose removal leaves enough unused bytes to have the lines
        // copied together afresh in the middle of the edits.
        if (round % 2) initial += std::string(70'000, 'w') + "\r\n";
        text.SetWholeText(initial);
        std::string model = text.WholeText();
        for (int step = 0; step < 150; ++step) {
            const int kind = random() % 10;
            if (kind < 5) {
                const TextPosition at = RandomPosition(text, random);
                const std::string bytes = RandomBytes(random);
                model.insert(OffsetOf(text, at), WithCrLf(bytes));
                text.InsertText(at, bytes);
            } else if (kind < 9) {
                TextPosition from = RandomPosition(text, random), to = RandomPosition(text, random);
                if (to < from) std::swap(from, to);
                const std::size_t begin = OffsetOf(text, from), end = OffsetOf(text, to);
                ASSERT_EQ(text.RemoveText(from, to), model.substr(begin, end - begin));
                model.erase(begin, end - begin);
            } else if (text.LineCount() > 0) {
                const auto line = static_cast<std::int64_t>(random() % text.LineCount());
                const std::size_t begin = OffsetOf(text, {line, 0});
                model.replace(begin, text.LineView(static_cast<std::size_t>(line)).size(), "r");
                text.ReplaceLine(line, "r");
            }
            text.Check();
            // The twin's text, read again, gives the same lines as the edited ones.
            TextLines reread;
            reread.SetWholeText(model);
            ASSERT_EQ(text.WholeText(), reread.WholeText()) << round << " " << step;
            ASSERT_EQ(mirror.lines, LinesOf(text)) << round << " " << step;
        }
    }
}

TEST(TextEditing, TypingInAHugeLineLeavesNoCopiesBehind) {
    TextLines text;
    text.SetWholeText(std::string(1'000'000, 'a') + "\r\n" + "1 b///c:::d\r\n");
    const std::size_t before = text.HeldBytes();
    for (int i = 0; i < 10'000; ++i) text.InsertText({0, 500'000 + static_cast<std::size_t>(i)}, "x");
    text.Check();
    EXPECT_LE(text.HeldBytes(), 2 * before);
    EXPECT_EQ(text.LineView(0).substr(500'000, 3), "xxx");

    // Moving from line to line, each edited once: what the old copies took comes back.
    text.SetWholeText(std::string(200'000, 'q') + "\r\n" + std::string(200'000, 'r'));
    const std::size_t twoLines = text.HeldBytes();
    for (int i = 0; i < 200; ++i) text.InsertText({i % 2, 0}, "z");
    text.Check();
    EXPECT_LE(text.HeldBytes(), 3 * twoLines);
}

TEST(EditHistory, UndoesRunsOfTypingAsOneStepAndRedoesThem) {
    TextLines text;
    text.SetWholeText("1 abc");
    EditHistory history;
    const auto edit = [&](TextPosition from, TextPosition to, const std::string& bytes) {
        TextEdit step{from, text.RemoveText(from, to), bytes};
        text.InsertText(from, bytes);
        history.Record(step);
    };
    edit({0, 5}, {0, 5}, "d");
    edit({0, 6}, {0, 6}, "e");      // typing on: one step
    edit({0, 7}, {0, 7}, "\r\n");   // Enter: a step of its own
    edit({1, 0}, {1, 0}, "\x88\xA4");
    edit({1, 0}, {1, 2}, "");        // Delete, then Backspace over the line break
    edit({0, 7}, {1, 0}, "");
    EXPECT_EQ(text.WholeText(), "1 abcde");

    EXPECT_EQ(history.Undo(text), (TextPosition{1, 2}));  // both deletions at once
    EXPECT_EQ(text.WholeText(), "1 abcde\r\n\x88\xA4");
    history.Undo(text);
    history.Undo(text);
    history.Undo(text);
    EXPECT_EQ(text.WholeText(), "1 abc");
    EXPECT_FALSE(history.Undo(text));

    history.Redo(text);
    EXPECT_EQ(text.WholeText(), "1 abcde");
    history.Seal();
    edit({0, 0}, {0, 1}, "9");  // a new edit drops what was undone
    EXPECT_FALSE(history.CanRedo());
    history.Undo(text);
    history.Undo(text);
    EXPECT_EQ(text.WholeText(), "1 abc");
}

TEST(EditHistory, RandomEditsUndoToTheStartAndRedoToTheEnd) {
    std::mt19937 random(77);
    for (int round = 0; round < 40; ++round) {
        TextLines text;
        text.SetWholeText("1 a///b:::c\r\n2 d\x88\xA4///e:::f\r\n");
        const std::string start = text.WholeText();
        EditHistory history;
        for (int step = 0; step < 40; ++step) {
            TextPosition from = RandomPosition(text, random), to = RandomPosition(text, random);
            if (to < from) std::swap(from, to);
            if (random() % 2) to = from;
            const std::string bytes = random() % 3 ? RandomBytes(random) : std::string();
            TextEdit edit{from, text.RemoveText(from, to), bytes};
            text.InsertText(from, bytes);
            history.Record(edit);
            if (random() % 4 == 0) history.Seal();
        }
        const std::string end = text.WholeText();
        while (history.Undo(text)) {}
        ASSERT_EQ(text.WholeText(), start) << round;
        while (history.Redo(text)) {}
        ASSERT_EQ(text.WholeText(), end) << round;
    }
}
