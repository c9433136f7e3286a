#include "search/EBMSearch.h"

#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Hit = std::pair<std::int64_t, int>;  // (zero-based start, key index)
using Hits = std::vector<Hit>;
using Scan = TEBMSearch::FastScan;
constexpr Scan kScans[] = {Scan::Off, Scan::Portable, Scan::Best};

std::string show(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += "0123456789ABCDEF"[c >> 4];
            out += "0123456789ABCDEF"[c & 15];
        }
    }
    return out;
}

// The whole search over a copy of the text in a buffer of exactly its size, so that a
// read past either end shows up under the address sanitizer.
Hits search(const std::vector<std::string>& keys, std::uint8_t options, const std::string& text, Scan scan) {
    const auto buffer = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buffer.get());
    TEBMSearch s;
    s.SetPatterns(keys);
    s.SetOptions(options);
    s.SetFastScan(scan);
    s.Start(buffer.get(), buffer.get() + text.size());
    Hits hits;
    while (s.FindNext()) hits.emplace_back(s.MatchStart() - buffer.get(), s.MatchIndex());
    EXPECT_EQ(s.MatchIndex(), -1);
    EXPECT_FALSE(s.FindNext());
    return hits;
}

// Every occurrence by brute force, in the promised order: by last byte, shorter first,
// the later of two identical keys, no start on a second byte in checked mode.
Hits naiveSearch(const std::vector<std::string>& keys, std::uint8_t options, const std::string& text) {
    auto folded = [&](std::string s) {
        if (options & TEBMSearch::IgnoreCase)
            for (char& c : s) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        return s;
    };
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a].size() < keys[b].size(); });
    Hits hits;
    for (std::size_t end = 1; end <= text.size(); ++end)
        for (int i : order) {
            const std::size_t length = keys[i].size(), start = end - length;
            if (length == 0 || length > end || folded(text.substr(start, length)) != folded(keys[i])) continue;
            bool replaced = false;
            for (std::size_t j = i + 1; j < keys.size(); ++j) replaced |= folded(keys[j]) == folded(keys[i]);
            std::size_t run = 0;
            while ((options & TEBMSearch::CheckedMatch) && run < start &&
                   Sjis::IsLeadByte(static_cast<unsigned char>(text[start - 1 - run])))
                ++run;
            if (!replaced && run % 2 == 0) hits.emplace_back(start, i);
        }
    return hits;
}

struct Case {
    const char* name;
    std::vector<std::string> keys;
    std::uint8_t options;
    std::string text;
    Hits expected;
    std::optional<Hits> expectedChecked = std::nullopt;  // when checked mode refuses some of them
};

std::vector<Case> cases() {
    const std::uint8_t ic = TEBMSearch::IgnoreCase;
    std::string longKey;
    std::mt19937 random(4000);
    for (int i = 0; i < 4000; ++i) longKey += "ab"[random() % 2];
    return {
        {"all eight ab and the abbba", {"ab", "abbba"}, 0, "ababbbbababababbaaabbbbabbba",
         {{0, 0}, {2, 0}, {7, 0}, {9, 0}, {11, 0}, {13, 0}, {18, 0}, {23, 0}, {23, 1}}},
        {"same last byte, shorter first", {"bc", "abc"}, 0, "xabc", {{2, 0}, {1, 1}}},
        {"identical keys report the later", {"ab", "cd", "ab"}, 0, "abcdab", {{0, 2}, {2, 1}, {4, 2}}},
        {"text equal to the key", {"needle"}, 0, "needle", {{0, 0}}},
        {"text one byte short", {"needle"}, 0, "needl", {}},
        {"overlapping", {"ana", "aa"}, 0, "bananaaaa", {{1, 0}, {3, 0}, {5, 1}, {6, 1}, {7, 1}}},
        {"one-byte key", {"a"}, 0, "banana", {{1, 0}, {3, 0}, {5, 0}}},
        {"no keys", {}, 0, "abc", {}},
        {"empty keys take no part", {"", "b", ""}, 0, "abcb", {{1, 1}, {3, 1}}},
        {"only empty keys", {""}, 0, "abc", {}},
        {"text shorter than every key", {"abcdef"}, 0, "abc", {}},
        {"text shorter than one key", {"abcdef", "bc"}, 0, "abc", {{1, 1}}},
        {"empty text", {"a"}, 0, "", {}},
        {"second byte of a kana", {"AB"}, 0, "\x83\x41\x42", {{1, 0}}, Hits{}},
        {"after a whole double-byte character", {"AB"}, 0, "\x83\x83\x41\x42\x41\x42", {{2, 0}, {4, 0}}},
        {"kanji key inside kanji", {"\x8A\x77"}, 0, "\x88\xE3\x8A\x77\x8A\x8A\x77", {{2, 0}, {5, 0}}, Hits{{2, 0}}},
        {"ignore case", {"abc"}, ic, "ABC aBc abc abd", {{0, 0}, {4, 0}, {8, 0}}},
        {"ignore case folds every letter and nothing else",
         {"sphinx of black quartz, judge my vow", "[@^"}, ic,
         "SPHINX OF BLACK QUARTZ, JUDGE MY VOW {`~ [@^ sPhInX oF bLaCk QuArTz, JuDgE mY vOw",
         {{0, 0}, {41, 1}, {45, 0}}},
        {"ignore case leaves high bytes", {"\xC1x"}, ic, "\xE1x \xC1X \xC1x", {{3, 0}, {6, 0}}},
        {"ignore case makes keys identical", {"Ab", "aB"}, ic, "xab", {{1, 1}}},
        {"4000-byte key", {longKey}, 0, longKey.substr(1) + longKey + longKey.substr(0, 3999), {{3999, 0}}},
    };
}

TEST(EBMSearch, FindsEveryCaseInEveryModeWithAnyPadding) {
    for (const Case& c : cases())
        for (const bool checked : {false, true})
            for (const std::size_t pad : {0, 1, 7, 31, 33})
                for (const Scan scan : kScans) {
                    SCOPED_TRACE(testing::Message() << c.name << (checked ? ", checked" : "") << ", pad " << pad
                                                    << ", scan " << static_cast<int>(scan));
                    Hits expected = checked && c.expectedChecked ? *c.expectedChecked : c.expected;
                    for (Hit& hit : expected) hit.first += static_cast<std::int64_t>(pad);
                    const std::string padding(pad, '\x01');
                    const auto options = static_cast<std::uint8_t>(c.options | (checked ? TEBMSearch::CheckedMatch : 0));
                    EXPECT_EQ(search(c.keys, options, padding + c.text + padding, scan), expected);
                }
}

TEST(EBMSearch, AgreesWithBruteForceOnRandomInput) {
    // Small alphabets give many overlapping matches; the skewed ones give long stretches
    // without a candidate, where the block scans run.
    const std::vector<std::string> alphabets = {"ab", "abc", "aAbB", "abcd", "xxxxxxxxxxxxxxAb",
                                                "\x82\x83\x88\xA0" "AaB ", "\x82\xA0\x82\xA0\x82\xA0\x88" "a"};
    std::mt19937 random(31337);
    auto pick = [&](const std::string& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 3000; ++round) {
        const std::string& alphabet = alphabets[random() % alphabets.size()];
        std::string text(random() % 4 == 0 ? random() % 900 : random() % 40, ' ');
        for (char& c : text) c = pick(alphabet);
        const int keyCount = random() % 12 == 0 ? 9 : 1 + static_cast<int>(random() % 3);
        std::vector<std::string> keys;
        for (int k = 0; k < keyCount; ++k) {
            const std::size_t length = random() % 8 == 0 ? random() % 40 : random() % 7;
            if (random() % 2 == 0 && length <= text.size()) {
                keys.push_back(text.substr(random() % (text.size() - length + 1), length));
            } else {
                keys.emplace_back(length, ' ');
                for (char& c : keys.back()) c = pick(alphabet);
            }
            if (k > 0 && random() % 6 == 0) keys.back() = keys[random() % k];
        }
        const auto options = static_cast<std::uint8_t>(random() % 4);
        const Hits expected = naiveSearch(keys, options, text);
        for (const Scan scan : kScans) {
            std::string shown;
            for (const std::string& key : keys) shown += "[" + show(key) + "] ";
            ASSERT_EQ(search(keys, options, text, scan), expected)
                << "keys " << shown << "options " << int(options) << " scan " << static_cast<int>(scan)
                << " text " << show(text);
        }
    }
}

// Hundreds of thousands of matches inside one run of lead-range bytes: each must be
// judged by its place in the whole run (a walk back to the text begin per match would
// make this search run for minutes).
TEST(EBMSearch, JudgesEveryMatchInsideALongRunOfDoubleByteText) {
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "\x88\x9F";
    for (const Scan scan : {Scan::Off, Scan::Best}) {
        const Hits hits = search({"\x88\x9F", "\x9F\x88\x9F\x88\x9F"}, TEBMSearch::CheckedMatch, text, scan);
        ASSERT_EQ(hits.size(), 200000u);
        for (std::size_t i = 0; i < hits.size(); ++i) ASSERT_EQ(hits[i], Hit(2 * i, 0));
    }
}

TEST(EBMSearch, KeysAndCaseRuleTakeEffectAtTheNextStart) {
    const std::string text = "xABCabc";
    TEBMSearch s;
    auto all = [&] {
        s.Start(text.data(), text.data() + text.size());
        Hits hits;
        while (s.FindNext()) hits.emplace_back(s.MatchStart() - text.data(), s.MatchIndex());
        return hits;
    };
    EXPECT_FALSE(s.FindNext());  // not started
    s.SetPatterns({"abc"});
    EXPECT_EQ(s.MinLength(), 3);
    EXPECT_EQ(all(), (Hits{{4, 0}}));
    s.SetOptions(TEBMSearch::IgnoreCase);
    EXPECT_EQ(all(), (Hits{{1, 0}, {4, 0}}));
    s.AddPattern("Ca");
    EXPECT_EQ(s.MinLength(), 2);
    EXPECT_EQ(all(), (Hits{{1, 0}, {3, 1}, {4, 0}}));
    s.SetOptions(0);
    EXPECT_EQ(all(), (Hits{{3, 1}, {4, 0}}));
    s.SetPatterns({});
    EXPECT_EQ(s.MinLength(), 2147483647);
    EXPECT_EQ(all(), Hits{});
}

TEST(EBMSearch, ProgressRunsOncePerBlockAndCanStop) {
    for (const Scan scan : {Scan::Off, Scan::Best}) {
        // Also with a key longer than a block, where one shift passes several block limits.
        for (const std::string& key : {std::string("abcd"), std::string(100, 'q')}) {
            SCOPED_TRACE(testing::Message() << "scan " << static_cast<int>(scan) << ", key length " << key.size());
            const auto text = std::make_unique<char[]>(6400);
            std::fill_n(text.get(), 6400, 'x');
            TEBMSearch s;
            s.SetPatterns({key});
            s.SetFastScan(scan);
            s.BlockSize = 64;
            int calls = 0;
            s.OnProgress = [&](TEBMSearch&, bool&) { ++calls; };
            s.Start(text.get(), text.get() + 6400);
            EXPECT_FALSE(s.FindNext());
            EXPECT_NEAR(calls, 6400 / 64, 2);
        }

        std::string text(6400, 'x');
        text.replace(10, 4, "abcd");
        text.replace(5000, 4, "abcd");
        TEBMSearch s;
        s.SetPatterns({"abcd"});
        s.SetFastScan(scan);
        s.BlockSize = 64;
        int calls = 0;
        s.OnProgress = [&](TEBMSearch& sender, bool& goOn) {
            EXPECT_EQ(&sender, &s);
            goOn = ++calls < 3;
        };
        s.Start(text.data(), text.data() + text.size());
        ASSERT_TRUE(s.FindNext());
        EXPECT_FALSE(s.FindNext());
        EXPECT_EQ(calls, 3);
        EXPECT_EQ(s.MatchIndex(), 0);  // a stop keeps the last match
        EXPECT_EQ(s.MatchStart(), text.data() + 10);
        EXPECT_FALSE(s.FindNext());  // and stays stopped
        EXPECT_EQ(calls, 3);

        s.OnProgress = nullptr;
        s.Start(text.data(), text.data() + text.size());
        ASSERT_TRUE(s.FindNext());
        ASSERT_TRUE(s.FindNext());
        EXPECT_EQ(s.MatchStart(), text.data() + 5000);
        EXPECT_FALSE(s.FindNext());
    }
}

}  // namespace
