#include "dictionary/RecordLine.h"

#include <gtest/gtest.h>

namespace {

const Separators kDefault;

TEST(CutIndexEntry, TakesTheHeadwordBetweenTheFirstSpaceAndTheFirstTitleSeparator) {
    EXPECT_EQ(CutIndexEntry("12 abdominal pain///腹痛:::It hurts.", kDefault).headword, "abdominal pain");
    EXPECT_EQ(CutIndexEntry("12 abate///軽減する:::x", kDefault).damage, LineDamage::None);
    // "///" before the first space: a sound line with an empty entry.
    const IndexEntry early = CutIndexEntry("12///x y:::z", kDefault);
    EXPECT_EQ(early.damage, LineDamage::None);
    EXPECT_EQ(early.headword, "");
    // A leading space: the entry starts at the second character and holds the number.
    EXPECT_EQ(CutIndexEntry(" 12 abate///x:::y", kDefault).headword, "12 abate");
    EXPECT_EQ(CutIndexEntry("1 ///x:::y", kDefault).headword, "");
}

TEST(CutIndexEntry, ClassifiesDamageByTheFirstMissingSeparator) {
    EXPECT_EQ(CutIndexEntry("", kDefault).damage, LineDamage::NoNum);
    EXPECT_EQ(CutIndexEntry("12abate///x:::y", kDefault).damage, LineDamage::NoNum);
    EXPECT_EQ(CutIndexEntry("12 abate", kDefault).damage, LineDamage::NoTitle);
    EXPECT_EQ(CutIndexEntry("12 abate:::x", kDefault).damage, LineDamage::NoTitle);
    EXPECT_EQ(CutIndexEntry("12 abate///x", kDefault).damage, LineDamage::NoYaku);
    // Separators count wherever they stand.
    EXPECT_EQ(CutIndexEntry(":::x///y z", kDefault).damage, LineDamage::None);
}

TEST(CutIndexEntry, OtherSeparatorsAreTakenAsOneAndThreeCharactersLong) {
    const Separators tabs{"\t", "|", "#"};
    EXPECT_EQ(CutIndexEntry("7\tcoma|昏睡#x", tabs).headword, "coma");
    // A Japanese separator is found only on a character boundary: the second byte of
    // 0x95 0x5C ("表") is a backslash, but no separator.
    const Separators japanese{"\x81\x40", "///", ":::"};  // the ideographic space
    EXPECT_EQ(CutIndexEntry("\x81\x81\x40x", japanese).damage, LineDamage::NoNum);
    EXPECT_EQ(CutIndexEntry("1\x81\x40" "ab///c:::d", japanese).headword, "ab");
    const Separators backslash{"\\", "///", ":::"};
    EXPECT_EQ(CutIndexEntry("\x95\x5C" "a///b:::c", backslash).damage, LineDamage::NoNum);
    // An empty separator is never found.
    const Separators empty{"", "///", ":::"};
    EXPECT_EQ(CutIndexEntry("1 a///b:::c", empty).damage, LineDamage::NoNum);
}

TEST(CutRecordFields, CutsTheFourPiecesOneAfterAnother) {
    const auto fields = CutRecordFields("12 abate///軽減する:::The pain abated./ It came back.:::x", kDefault);
    ASSERT_TRUE(fields);
    EXPECT_EQ(fields->number, "12");
    EXPECT_EQ(fields->headword, "abate");
    EXPECT_EQ(fields->translation, "軽減する");
    EXPECT_EQ(fields->examples, "The pain abated./ It came back.:::x");

    // The first word stands for the number when the line has none.
    const auto noNumber = CutRecordFields("acute abdomen///急性腹症:::x", kDefault);
    ASSERT_TRUE(noNumber);
    EXPECT_EQ(noNumber->number, "acute");
    EXPECT_EQ(noNumber->headword, "abdomen");

    EXPECT_FALSE(CutRecordFields("12 abate", kDefault));
    EXPECT_FALSE(CutRecordFields("12 abate///x", kDefault));
    // The headword separator is looked for after the number only.
    EXPECT_FALSE(CutRecordFields("///12 abate:::x", kDefault));
}

// The search's headword is looked for after the number, and a line the index calls
// damaged still has one.
TEST(CutSearchHeadword, CutsAfterTheNumberWhereTheIndexEntryCutsTheWholeLine) {
    const struct {
        const char* line;
        const char* searchHeadword;
        const char* indexEntry;  // nullptr: a damaged line
    } cases[] = {
        {"12 abdominal pain///x:::y", "abdominal pain", "abdominal pain"},
        {"12 a///b///c:::d", "a", "a"},
        {"abate///x:::y", "abate", nullptr},  // no number: the whole line
        {"1 a///b", "a", nullptr},
        {"12 abate:::x", "", nullptr},
        {"///1 a///b:::c", "a", ""},          // the index's SepTitle comes first
        {"1  ///b:::c", " ", " "},            // one character skipped past SepNum, no more
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CutSearchHeadword(c.line, kDefault), c.searchHeadword) << c.line;
        const IndexEntry entry = CutIndexEntry(c.line, kDefault);
        if (c.indexEntry) {
            EXPECT_EQ(entry.damage, LineDamage::None) << c.line;
            EXPECT_EQ(entry.headword, c.indexEntry) << c.line;
        } else {
            EXPECT_NE(entry.damage, LineDamage::None) << c.line;
        }
    }
}

TEST(HitFieldByBytes, CountsThreeBytesFromEachSeparatorWhateverItsLength) {
    const auto fieldAt = [](std::string_view line, std::size_t position, const Separators& separators) {
        return HitFieldByBytes(FindHitSeparators(line, separators), position);
    };
    const Separators defaults;
    const std::string line = "12 heart///cor:::The heart.";
    EXPECT_EQ(fieldAt(line, 0, defaults), RecordField::Headword);  // the record number
    EXPECT_EQ(fieldAt(line, 3, defaults), RecordField::Headword);
    EXPECT_EQ(fieldAt(line, line.find("cor"), defaults), RecordField::Translation);
    EXPECT_EQ(fieldAt(line, line.find("The"), defaults), RecordField::Examples);
    EXPECT_EQ(fieldAt(line, line.find("::"), defaults), RecordField::Translation);
    // No translation separator: everything from the third byte on is "examples".
    EXPECT_EQ(fieldAt("12 heart", 2, defaults), RecordField::Examples);
    EXPECT_EQ(fieldAt("12 heart", 1, defaults), RecordField::Headword);
    // A one-byte separator still counts three bytes.
    const Separators shortOnes{" ", "/", ":"};
    EXPECT_EQ(fieldAt("1 a/bc:de", 5, shortOnes), RecordField::Headword);
    EXPECT_EQ(fieldAt("1 a/bc:de", 6, shortOnes), RecordField::Translation);
}

}  // namespace
