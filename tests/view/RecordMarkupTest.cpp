#include "view/RecordMarkup.h"

#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// "医学" (medicine); "繩" is its first character's second byte and the second
// character's first byte. "ミ" and "ダ" have "~" and "_" as their second bytes.
const std::string kIgaku = "\x88\xE3\x8A\x77";
const std::string kNawa = "\xE3\x8A";
const std::string kMi = "\x83\x7E";
const std::string kDa = "\x83\x5F";
const std::string kFuku = "\x95\xA0";  // "腹"

// What a page is built with.
struct PageStrings {
    Separators separators;
    PageFragments fragments;
    KeySlots keys;
    MarkupState State(RecordField scope) const { return {separators, fragments, keys, scope}; }
};

PageStrings Strings(std::string key0 = "", std::string key1 = "", std::string key2 = "") {
    // The program's separators; short fragments, so a page reads at a glance.
    PageStrings strings;
    strings.keys = {std::move(key0), std::move(key1), std::move(key2)};
    strings.fragments.keyMarkOpen = "[";
    strings.fragments.keyMarkClose = "]";
    strings.fragments.headwordOpen = "<H>";
    strings.fragments.headwordClose = "</H>";
    strings.fragments.translationOpen = "<T>";
    strings.fragments.translationClose = "</T>";
    strings.fragments.examplesOpen = "<E>";
    strings.fragments.examplesClose = "</E>";
    return strings;
}

std::string Field(std::string_view text, const PageStrings& strings, RecordField kind = RecordField::Translation,
                  RecordField scope = RecordField::WholeRecord, bool markKeys = true) {
    return MarkupField(kind, text, markKeys, strings.State(scope));
}

TEST(MarkupField, RaisesAndLowersTheWholeNextCharacter) {
    const auto none = Strings();
    EXPECT_EQ(Field("H~2O", none), "H<SUP>2</SUP>O");
    EXPECT_EQ(Field("CO_2", none), "CO<SUB>2</SUB>");
    EXPECT_EQ(Field("x~", none), "x<SUP></SUP>");
    EXPECT_EQ(Field("~" + kIgaku, none), "<SUP>\x88\xE3</SUP>\x8A\x77");
    // The second pass finds the raised "~" and takes the "<" of its closing tag.
    EXPECT_EQ(Field("~~x", none), "<SUP><SUP><</SUP>/SUP>x");
    EXPECT_EQ(Field("~_2", none), "<SUP><SUB><</SUB>/SUP>2");
    EXPECT_EQ(Field(kMi + kDa + "~", none), kMi + kDa + "<SUP></SUP>");
}

TEST(MarkupField, MarksEveryKeyOccurrenceStartingOnACharacter) {
    EXPECT_EQ(Field("abab", Strings("ab")), "[ab][ab]");
    EXPECT_EQ(Field("ab ab", Strings("ab")), "[ab] [ab]");
    EXPECT_EQ(Field("Abate", Strings("abate")), "Abate");
    EXPECT_EQ(Field(kFuku + kIgaku + kFuku, Strings(kIgaku)), kFuku + "[" + kIgaku + "]" + kFuku);
    EXPECT_EQ(Field(kIgaku, Strings(kNawa)), kIgaku);
    EXPECT_EQ(Field("H~2", Strings("SUP")), "H<[SUP]>2</[SUP]>");
    // Later keys see the fragments of earlier ones; an empty key ends the list.
    EXPECT_EQ(Field("ab", Strings("a", "]")), "[a[]]b");
    EXPECT_EQ(Field("ab", Strings("a", "", "b")), "[a]b");
}

TEST(MarkupField, MarksOnlyTheSearchedFieldsAndOnlyWhenAsked) {
    const auto keys = Strings("a");
    EXPECT_EQ(Field("a", keys, RecordField::Headword, RecordField::Translation), "a");
    EXPECT_EQ(Field("a", keys, RecordField::Translation, RecordField::Translation), "[a]");
    EXPECT_EQ(Field("a", keys, RecordField::Examples, RecordField::Translation), "a");
    for (RecordField kind : {RecordField::Headword, RecordField::Translation, RecordField::Examples}) {
        EXPECT_EQ(Field("a", keys, kind, RecordField::WholeRecord), "[a]");
        EXPECT_EQ(Field("a", keys, kind, RecordField::WholeRecord, false), "a");
    }
}

// The rules applied literally: replace the first mark and search again from the start.
bool OnChar(std::string_view s, std::size_t p) {
    std::size_t i = 0;
    while (i < p) i = Sjis::NextCharPos(s, i);
    return i == p;
}
std::size_t FindOnChars(std::string_view s, std::string_view what, std::size_t from) {
    for (std::size_t p = from; p + what.size() <= s.size(); ++p)
        if (s.substr(p, what.size()) == what && OnChar(s, p) && OnChar(s, p + what.size())) return p;
    return std::string_view::npos;
}
std::string LiteralMarkup(std::string s, const PageStrings& strings) {
    for (const auto& [mark, open, close] : {std::tuple{"~", "<SUP>", "</SUP>"}, std::tuple{"_", "<SUB>", "</SUB>"}}) {
        for (std::size_t p; (p = FindOnChars(s, mark, 0)) != std::string::npos;) {
            const std::size_t after = Sjis::NextCharPos(s, p + 1);
            s = s.substr(0, p) + open + s.substr(p + 1, after - p - 1) + close + s.substr(after);
        }
    }
    for (std::size_t k = 0; k < kKeySlotCount && !strings.keys[k].empty(); ++k) {
        const std::string& key = strings.keys[k];
        const std::string marked = strings.fragments.keyMarkOpen + key + strings.fragments.keyMarkClose;
        for (std::size_t p = FindOnChars(s, key, 0); p != std::string::npos; p = FindOnChars(s, key, p + marked.size()))
            s = s.substr(0, p) + marked + s.substr(p + key.size());
    }
    return s;
}

TEST(MarkupField, AgreesWithTheLiteralRulesOnRandomFields) {
    std::mt19937 random(932);
    const std::vector<std::string> pieces = {"~", "_", "a", "\x88\xE3", "\x88", "<", "./ ", "x", kMi};
    const std::vector<std::string> fragments = {"[", "]", "<B>", "\x88", ""};
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int n = random() % 12; n > 0; --n) text += pick(pieces);
        auto strings = Strings();
        for (std::size_t k = 0; k < kKeySlotCount; ++k) {
            const std::size_t at = text.empty() ? 0 : random() % text.size();
            std::string& key = strings.keys[k];
            key = random() % 3 ? text.substr(at, 1 + random() % 4) : pick(pieces);
            if (random() % 4 == 0) key.clear();
        }
        strings.fragments.keyMarkOpen = pick(fragments);
        strings.fragments.keyMarkClose = pick(fragments);
        ASSERT_EQ(Field(text, strings), LiteralMarkup(text, strings))
            << "text " << testing::PrintToString(text) << " keys "
            << testing::PrintToString(strings.keys);
    }
}

std::string Page(std::string_view line, const PageStrings& strings, bool markKeys = true) {
    return BuildRecordPage(line, markKeys, strings.State(RecordField::WholeRecord));
}

TEST(BuildRecordPage, WritesTheWholePageForASoundLine) {
    EXPECT_EQ(Page(" \t12 CO_2///" + kFuku + ":::A./ B./ C x./y \r\n", Strings("CO")),
              "<HTML><HEAD><TITLE>12 [CO]<SUB>2</SUB></TITLE><HEAD>\r\n<BODY topmargin=6>\r\n<P>"
              "<H>[CO]<SUB>2</SUB>\r\n</H><HR><T>" + kFuku + "\r\n</T><HR>&nbsp;&nbsp;"
              "<E>A.<BR>\r\n&nbsp;&nbsp;B.<BR>\r\n&nbsp;&nbsp;C x./y</E></P>\r\n</BODY><HTML>\r\n");
}

TEST(BuildRecordPage, BreaksSentencesBeforeMarkingKeys) {
    const std::string page = Page("1 a///b:::A./ B", Strings("x", "BR"));
    EXPECT_NE(page.find("<E>A.<[BR]>\r\n&nbsp;&nbsp;B</E>"), std::string::npos) << page;
    // The translation keeps its "./ ".
    EXPECT_NE(Page("1 a///b./ c:::d", Strings()).find("<T>b./ c\r\n</T>"), std::string::npos);
}

TEST(BuildRecordPage, GivesTheTrimmedLineWhenASeparatorIsMissing) {
    EXPECT_EQ(Page(" \t \r\n", Strings()), "");
    EXPECT_EQ(Page("  12 abate\r\n", Strings("abate")), "12 abate");
    EXPECT_EQ(Page("12 abate///x ", Strings()), "12 abate///x");
    EXPECT_EQ(Page("12abate///x:::y", Strings()), "12abate///x:::y");
    // ":::" only counts after "///".
    EXPECT_EQ(Page("12 a:::b///c", Strings()), "12 a:::b///c");
}

}  // namespace
