#include "textmodel/LinePrefix.h"

#include "common/Sjis.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Cp932(const char* utf8) { return Sjis::FromUtf8(utf8).bytes; }

// An index as a load makes it, every line ending with CR LF; or, with bare LFs, a text
// the lines are looked through one by one.
TextLines Index(const std::vector<std::string>& lines, const char* lineBreak = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + lineBreak;
    TextLines index;
    index.SetWholeText(text);
    return index;
}

// The rule, written afresh on characters: each of the prefix's characters equals the
// line's character at the same place, single-byte ASCII letters without case.
std::vector<std::string> Characters(const std::string& s) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < s.size();) {
        const auto b = static_cast<unsigned char>(s[at]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const std::size_t length = lead && at + 1 < s.size() ? 2 : 1;
        std::string character = s.substr(at, length);
        if (length == 1 && b >= 'A' && b <= 'Z') character[0] = static_cast<char>(b + 32);
        characters.push_back(character);
        at += length;
    }
    return characters;
}

bool Begins(const std::string& line, const std::string& prefix) {
    const std::vector<std::string> l = Characters(line), p = Characters(prefix);
    return p.size() <= l.size() && std::equal(p.begin(), p.end(), l.begin());
}

}  // namespace

TEST(LinePrefix, FindsTheFirstLineFromTheCaretWrappingOnce) {
    const TextLines index = Index({"abate", "abdomen", "Abscess", "acne", "abdominal pain"});
    struct Case {
        std::size_t from;
        const char* prefix;
        std::optional<std::size_t> line;
    };
    for (const Case& c : std::initializer_list<Case>{
             {0, "a", 0},                  // the caret's own line counts
             {0, "Ab", 0},                 // letters without case, both ways
             {0, "ABS", 2},
             {1, "ab", 1},                 // a growing prefix stays where it still matches
             {1, "abate", 0},              // wraps to the top...
             {3, "abdomen", 1},
             {2, "abdominal p", 4},        // a blank inside a headword
             {4, "abd", 4},                // the caret on the last line
             {5, "abd", 1},                // the place after the last line: from the top
             {99, "ac", 3},
             {0, "abdomens", std::nullopt},  // ...but only once: nothing begins so
             {2, "x", std::nullopt},
             {2, "", 2},                   // every line begins with nothing
         }) {
        EXPECT_EQ(FindLineWithPrefix(index, c.from, c.prefix), c.line) << c.from << " " << c.prefix;
    }
    EXPECT_EQ(FindLineWithPrefix(TextLines(), 0, "a"), std::nullopt);
    EXPECT_EQ(FindLineWithPrefix(TextLines(), 0, ""), std::nullopt);
}

// "ガ" is 83 4B and "ヌ" 83 6B: their second bytes are "K" and "k", which must not fold.
TEST(LinePrefix, ComparesDoubleByteCharactersWhole) {
    const std::string ga = Cp932("ガ"), nu = Cp932("ヌ");
    ASSERT_EQ(ga, "\x83\x4B");
    ASSERT_EQ(nu, "\x83\x6B");
    const TextLines index = Index({Cp932("ヌクレアーゼ"), Cp932("ガーゼ"), Cp932("腹痛"), "\x83", "K"});
    EXPECT_EQ(FindLineWithPrefix(index, 0, ga), 1u);
    EXPECT_EQ(FindLineWithPrefix(index, 1, nu), 0u);
    EXPECT_EQ(FindLineWithPrefix(index, 0, Cp932("ガー")), 1u);
    EXPECT_EQ(FindLineWithPrefix(index, 0, Cp932("腹")), 2u);
    EXPECT_EQ(FindLineWithPrefix(index, 0, "k"), 4u);  // not inside "ガ"
    // Half a character matches only a line that holds that lone byte, never the first
    // half of "ヌ" or "ガ".
    EXPECT_EQ(FindLineWithPrefix(index, 0, "\x83"), 3u);
}

// Random lists of letters of either case, katakana whose second bytes look like
// letters, and lone lead bytes, against the rule on characters above, through both
// ways of looking.
TEST(LinePrefix, AgreesWithTheRuleOnCharacters) {
    const std::vector<std::string> pieces = {"a", "A", "b", "K", "k", " ", "\x83\x4B", "\x83\x6B", "\x83\x41", "\x83"};
    std::mt19937 random(16);
    const auto text = [&](std::size_t most) {
        std::string s;
        for (std::size_t n = random() % (most + 1); n > 0; --n) s += pieces[random() % pieces.size()];
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> lines(random() % 24);
        for (std::string& line : lines) line = text(4);
        const TextLines index = Index(lines, round % 2 ? "\r\n" : "\n");
        const std::string prefix = text(3);
        const std::size_t from = random() % (lines.size() + 2);
        std::optional<std::size_t> expected;
        for (std::size_t step = 0; step < lines.size() && !expected; ++step) {
            const std::size_t line = (std::min(from, lines.size()) + step) % lines.size();
            if (Begins(lines[line], prefix)) expected = line;
        }
        ASSERT_EQ(FindLineWithPrefix(index, from, prefix), expected) << round;
    }
}
