#include "search/SearchRequest.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

const std::vector<std::string> kDesignedIgnoredWords = {"in", "the", "of", "on", "for", "at", "to", "go", "end", "any"};

struct Keys {
    int count;
    KeySlots slots;
};

Keys Request(std::string_view text, bool multiKey = true,
             const std::vector<std::string>& ignored = kDesignedIgnoredWords) {
    Keys keys{};
    keys.count = FilterKeys(SplitKeys(text, multiKey, keys.slots), keys.slots, ignored);
    return keys;
}

TEST(SplitKeys, CutsAtBlanksIntoAtMostThreeKeys) {
    KeySlots slots{"old", "old", "old"};
    EXPECT_EQ(SplitKeys("", true, slots), 0);
    EXPECT_EQ(slots, (KeySlots{"", "", ""}));

    EXPECT_EQ(SplitKeys("  heart   failure \t", true, slots), 2);
    EXPECT_EQ(slots, (KeySlots{"heart", "failure", ""}));
    EXPECT_EQ(SplitKeys("one two three four", true, slots), 3);
    EXPECT_EQ(slots, (KeySlots{"one", "two", "three"}));
    // Only byte 32 separates: a TAB inside a key stays, and so does a full-width blank.
    EXPECT_EQ(SplitKeys("a\tb \x81\x40x", true, slots), 2);
    EXPECT_EQ(slots, (KeySlots{"a\tb", "\x81\x40x", ""}));
    // Blanks only: one empty key, which the filter drops.
    EXPECT_EQ(SplitKeys("   ", true, slots), 1);
    EXPECT_EQ(slots[0], "");
}

TEST(SplitKeys, WithoutMultiKeyTakesTheRequestAsTyped) {
    KeySlots slots;
    EXPECT_EQ(SplitKeys(" heart failure ", false, slots), 1);
    EXPECT_EQ(slots, (KeySlots{" heart failure ", "", ""}));
    EXPECT_EQ(Request("   ", false).count, 1);  // three blanks are three characters
}

TEST(FilterKeys, DropsShortAndIgnoredKeysAndPacksTheRest) {
    EXPECT_EQ(Request("x").count, 0);
    EXPECT_EQ(Request("a b").count, 0);
    EXPECT_EQ(Request("   ").count, 0);

    const Keys ofCancer = Request("of cancer");
    EXPECT_EQ(ofCancer.count, 1);
    EXPECT_EQ(ofCancer.slots, (KeySlots{"cancer", "", ""}));
    EXPECT_EQ(Request("The heart").slots, (KeySlots{"heart", "", ""}));
    EXPECT_EQ(Request("x heart the").slots, (KeySlots{"heart", "", ""}));
    EXPECT_EQ(Request("heart x lung").slots, (KeySlots{"heart", "lung", ""}));

    // A double-byte character is one character; two of them make a key.
    EXPECT_EQ(Request("\x90\x53").count, 0);
    EXPECT_EQ(Request("\x90\x53\x91\x9F").count, 1);
    // Only ASCII letters fold: a full-width "ＩＮ" is not the ignored "in".
    EXPECT_EQ(Request("\x82\x68\x82\x6D").count, 1);
    // The second byte of a double-byte character never folds: an ignored "ガス"
    // (83 4B 83 58) leaves "ヌス" (83 6B 83 58) alone.
    EXPECT_EQ(Request("\x83\x6B\x83\x58", true, {"\x83\x4B\x83\x58"}).count, 1);
    EXPECT_EQ(Request("\x83\x4B\x83\x58", true, {"\x83\x4B\x83\x58"}).count, 0);
    // An empty memo line ignores nothing; a word listed twice drops its key once.
    EXPECT_EQ(Request("go heart", true, {"", "GO", "go"}).slots, (KeySlots{"heart", "", ""}));
}

TEST(FilterKeys, AnUnrepresentableCharacterIsAKeyThatMatchesNothing) {
    // The search box writes such a character as NUL: it still counts as a character.
    const Keys keys = Request("a\0"s);
    EXPECT_EQ(keys.count, 1);
    EXPECT_EQ(keys.slots[0], "a\0"s);
}

}  // namespace
