#include "search/HitList.h"

#include "search/FieldList.h"
#include "search/LiteralSearch.h"
#include "search/SearchBuffer.h"
#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Dictionary {
    TextLines lines;
    SearchBuffer buffer;

    explicit Dictionary(const std::vector<std::string>& records, const char* lineBreak = "\r\n") {
        std::string text;
        for (const std::string& record : records) text += record + lineBreak;
        lines.SetWholeText(text);
        buffer.Build(lines);
    }
};

std::vector<std::string> Results(const std::vector<std::string>& records, const KeySlots& keys, int keyCount,
                                 SearchOptions options) {
    Dictionary dictionary(records);
    HitList hits;
    hits.CollectHits(dictionary.buffer.Text(), keys);
    hits.BuildResultList(keyCount, keys, dictionary.buffer, options, Separators());
    return FieldListEntries(hits);
}

TEST(IsWholeWordHit, NeedsADelimiterOnEachSideOfASingleByteHit) {
    const auto whole = [](std::string_view line) { return IsWholeWordHit(line, line.find("heart"), 5); };
    for (const char* line : {"heart-rate", "(heart)", "heart/lung", "heart", "a heart", "heart?", "<heart>"})
        EXPECT_TRUE(whole(line)) << line;
    for (const char* line : {"hearty", "heart;", "heart's", "sweetheart", "heart!", "1heart"})
        EXPECT_FALSE(whole(line)) << line;
}

TEST(IsWholeWordHit, TakesAHitBesideADoubleByteCharacterAsAWord) {
    const std::string heart = "\x90\x53";     // the kanji for heart
    const std::string a = "\x83\x41";         // katakana "a": its second byte is the letter A
    const std::string pain = "\x92\xC9";      // a kanji whose second byte is a half-width katakana
    EXPECT_TRUE(IsWholeWordHit(heart + "heart", 2, 5));
    EXPECT_TRUE(IsWholeWordHit(a + "heart", 2, 5));
    EXPECT_TRUE(IsWholeWordHit(pain + "heart", 2, 5));
    EXPECT_TRUE(IsWholeWordHit("heart" + heart, 0, 5));
    EXPECT_TRUE(IsWholeWordHit("x" + heart + "x", 1, 2));  // a Japanese key
    // Half-width katakana are single-byte letters of their own.
    EXPECT_FALSE(IsWholeWordHit("\xB1heart", 1, 5));
}

TEST(HitList, KeepsOneResultPerLineInLineOrder) {
    const std::vector<std::string> records = {
        "1 banana///x:::banana banana",  // overlapping "ana": four raw hits, one result
        "2 cherry///y:::none",
        "3 apple///z:::ana (ana)",
    };
    Dictionary dictionary(records);
    HitList hits;
    const KeySlots keys{"ana", "", ""};
    EXPECT_EQ(hits.CollectHits(dictionary.buffer.Text(), keys), 8);
    EXPECT_EQ(FieldListEntries(hits).front(), "3,0");
    EXPECT_EQ(hits.Count(), 8u);
    EXPECT_EQ(hits.BuildResultList(1, keys, dictionary.buffer, SearchOptions{true, false, false, RecordField::WholeRecord}, Separators()), 2);
    EXPECT_EQ(FieldListEntries(hits), (std::vector<std::string>{"000000000-banana", "000000002-apple"}));
    EXPECT_EQ(hits.SearchIndexText(), "banana (0)\r\napple (2)\r\n");

    // With whole words only "(ana)" and the free-standing "ana" are left.
    EXPECT_EQ(Results(records, keys, 1, {}), (std::vector<std::string>{"000000002-apple"}));
}

TEST(HitList, CombinesKeysWithAndOrOr) {
    const std::vector<std::string> records = {
        "1 a///x:::heart heart heart",
        "2 b///x:::lung",
        "3 c///x:::heart and lung",
    };
    const KeySlots keys{"heart", "lung", ""};
    EXPECT_EQ(Results(records, keys, 2, {true, true, true, RecordField::WholeRecord}), (std::vector<std::string>{"000000002-c"}));
    EXPECT_EQ(Results(records, keys, 2, {true, false, true, RecordField::WholeRecord}),
              (std::vector<std::string>{"000000000-a", "000000001-b", "000000002-c"}));
    // Of two equal keys only the later one is ever found, so AND finds nothing.
    EXPECT_TRUE(Results(records, {"lung", "lung", ""}, 2, {true, true, true, RecordField::WholeRecord}).empty());
    EXPECT_EQ(Results(records, {"lung", "lung", ""}, 2, {true, false, true, RecordField::WholeRecord}).size(), 2u);
}

TEST(HitList, KeepsHeadwordsWithBlanksCommasQuotesAndParentheses) {
    const std::vector<std::string> records = {
        "1 heart, failure///x:::heart",
        "2 it's a \"heart\"///x:::heart",
        "3 heart (organ)///x:::heart",
        "4 'abc'///x:::heart",
        "5  it's, \"x\" ///x:::heart",
    };
    Dictionary dictionary(records);
    HitList hits;
    const KeySlots keys{"heart", "", ""};
    hits.CollectHits(dictionary.buffer.Text(), keys);
    hits.BuildResultList(1, keys, dictionary.buffer, SearchOptions{true, false, true, RecordField::Examples}, Separators());
    EXPECT_EQ(hits.SearchIndexText(), "heart, failure (0)\r\nit's a \"heart\" (1)\r\nheart (organ) (2)\r\n"
                                      "'abc' (3)\r\n it's, \"x\"  (4)\r\n");
    EXPECT_EQ(FieldListEntries(hits)[4], "000000004- it's, \"x\" ");
}

// Random dictionaries and requests: the fast list must give the literal one's every
// count, entry and index line.
TEST(HitList, AgreesWithTheLiteralSearchOnRandomDictionaries) {
    std::mt19937 random(932);
    const std::vector<std::string> pieces = {
        "heart", "hearty", "art", "ear", "he", " ", " ", "///", ":::", "/", ":", "-", "(", ")", ",", ";", "'",
        "\"", "\t", "./ ", "1", "23", "\x90\x53", "\x83\x41", "\x92\xC9", "\x88\x9F", "\xB1", "\x81\x43", "\x81\x40"};
    const auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::string> records;
        for (int n = 2 + random() % 8; n > 0; --n) {
            std::string record;
            for (int m = random() % 14; m > 0; --m) record += pick(pieces);
            records.push_back(record);
        }
        KeySlots keys;
        int keyCount = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < keyCount; ++k) {
            const std::string& from = records[random() % records.size()];
            const std::size_t at = from.empty() ? 0 : random() % from.size();
            std::string& key = keys[static_cast<std::size_t>(k)];
            key = random() % 2 ? pick(pieces) : from.substr(at, 1 + random() % 5);
            if (key.empty()) key = "he";
            // Now and then a key reaching over a line break, from either side.
            if (random() % 10 == 0) key = random() % 2 ? "\n" + key : key + "\r\n";
        }
        const SearchOptions options{true, random() % 2 == 0, random() % 2 == 0, static_cast<RecordField>(random() % 4)};
        const Separators separators = random() % 5 ? Separators() : Separators{"\t", "==", "/"};

        LiteralSearch literal(records);
        Dictionary dictionary(records, random() % 2 ? "\r\n" : "\n");  // in place, or copied
        HitList fast;
        const std::string what = "round " + std::to_string(round) + " keys " + testing::PrintToString(keys);
        ASSERT_EQ(fast.CollectHits(dictionary.buffer.Text(), keys), literal.CollectHits(keys)) << what;
        ASSERT_EQ(FieldListEntries(fast), literal.hitList) << what;
        ASSERT_EQ(fast.BuildResultList(keyCount, keys, dictionary.buffer, options, separators),
                  literal.BuildResultList(keyCount, keys, options, separators))
            << what;
        ASSERT_EQ(FieldListEntries(fast), literal.hitList) << what;
        std::string index;
        for (const std::string& line : literal.FillSearchIndex()) index += line + "\r\n";
        ASSERT_EQ(fast.SearchIndexText(), index) << what;
    }
}

}  // namespace
