#include "search/FieldList.h"

#include "common/StringHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string kFwComma = "\x81\x43";    // ，
const std::string kIdeoSpace = "\x81\x40";  // 　
const std::string kIgaku = "\x88\xE3\x8A\x77";  // 医学
// 0x81 0x81 is one character; the 0x81 0x43 inside it is not a full-width comma.
const std::string kNotFwComma = "\x81\x81\x43";

}  // namespace

TEST(QuoteField, ChoosesQuotesByContent) {
    EXPECT_EQ(QuoteField("ab"), "ab");
    EXPECT_EQ(QuoteField(""), "");
    EXPECT_EQ(QuoteField("a b"), "'a b'");
    EXPECT_EQ(QuoteField("a,b"), "'a,b'");
    EXPECT_EQ(QuoteField("a\"b"), "'a\"b'");
    EXPECT_EQ(QuoteField("a" + kFwComma + "b"), "'a" + kFwComma + "b'");
    EXPECT_EQ(QuoteField(kIdeoSpace), "'" + kIdeoSpace + "'");
    EXPECT_EQ(QuoteField("it's"), "\"it's\"");
    EXPECT_EQ(QuoteField("it's a,b"), "\"it's a,b\"");
    EXPECT_EQ(QuoteField(kNotFwComma), kNotFwComma);
    EXPECT_EQ(QuoteField("\x81\x81\x40"), "\x81\x81\x40");
}

TEST(UnquoteField, OnePairOfEachKind) {
    EXPECT_EQ(UnquoteField("\"a\""), "a");
    EXPECT_EQ(UnquoteField("\"'x'\""), "x");
    EXPECT_EQ(UnquoteField("'\"x\"'"), "\"x\"");  // single quotes are not stripped first
    EXPECT_EQ(UnquoteField("'a\""), "'a\"");
    EXPECT_EQ(UnquoteField("\""), "\"");
    EXPECT_EQ(UnquoteField("\"'\""), "'");
    EXPECT_EQ(UnquoteField("''"), "");
}

TEST(GetField, ListsOfPlainAndQuotedFields) {
    EXPECT_EQ(GetField("a,b,c", 2), "b");
    EXPECT_EQ(GetField("a,b,c", 4), "");
    EXPECT_EQ(GetField("a , b ,c", 2), "b");
    EXPECT_EQ(GetField("12,3,\"two words\"", 3), "two words");
    EXPECT_EQ(GetField("'x,y',b", 1), "x,y");
    EXPECT_EQ(GetField("'x,y',b", 2), "b");
    EXPECT_EQ(GetField("' x ' ,b", 1), "x");  // blanks inside the quotes go too
    EXPECT_EQ(GetField("abc", 1), "abc");
    EXPECT_EQ(GetField("abc", 2), "");
    EXPECT_EQ(GetField(" \"a\" ", 1), " \"a\" ");  // no comma: the line as it is
    EXPECT_EQ(GetField("a,,c", 2), "");
    EXPECT_EQ(GetField("a,", 2), "");
    EXPECT_EQ(GetField("\"ab\" cd,ef", 1), "ab");
    EXPECT_EQ(GetField("\"ab\" cd,ef", 2), "cd");
    EXPECT_EQ(GetField("\"ab\" cd,ef", 3), "ef");
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(GetField("", n), "");
        EXPECT_EQ(GetField("\"\"", n), "");
        EXPECT_EQ(GetField("''", n), "");
        EXPECT_EQ(GetField("\"open,b,c", n), "") << n;
    }
}

TEST(GetField, DoubleByteCharactersAroundSeparators) {
    const std::string list = kIgaku + "," + kNotFwComma + ",'" + kIgaku + kFwComma + "\x83\x5C'";
    EXPECT_EQ(GetField(list, 1), kIgaku);
    EXPECT_EQ(GetField(list, 2), kNotFwComma);
    EXPECT_EQ(GetField(list, 3), kIgaku + kFwComma + "\x83\x5C");
    // A full-width comma never separates fields.
    EXPECT_EQ(GetField("a" + kFwComma + "b,c", 1), "a" + kFwComma + "b");
}

TEST(SetField, ReplacesOrPads) {
    EXPECT_EQ(SetField("a,b,c", 1, "X"), "X,b,c");
    EXPECT_EQ(SetField("a,b,c", 2, "X"), "a,X,c");
    EXPECT_EQ(SetField("a,b,c", 3, "X"), "a,b,X");
    EXPECT_EQ(SetField("a,b,c", 5, "X"), "a,b,c,,X");
    EXPECT_EQ(SetField("a , b ,c", 1, "X"), "X,b ,c");
    EXPECT_EQ(SetField("\"x y\",b", 2, "X"), "'x y',X");
    EXPECT_EQ(SetField("5,1,old", 3, "two words"), "5,1,'two words'");
    EXPECT_EQ(SetField("5,1,old", 3, "it's"), "5,1,\"it's\"");
    EXPECT_EQ(SetField("\"a b\",", 1, "X"), "X,");
    EXPECT_EQ(SetField("abc", 1, "X"), "X,");
    EXPECT_EQ(SetField("abc", 3, "X"), "abc,,X,");
    EXPECT_EQ(SetField("", 2, "X"), ",X,");
    EXPECT_EQ(SetField("''", 1, "a b"), "'a b',");
    EXPECT_EQ(SetField("'x,y'", 3, "X"), "'x,y',,X");  // one quoted field holding a comma
    // The unparsed rest after an unmatched quote is kept.
    EXPECT_EQ(SetField("\"open,b,c", 3, "X"), ",,X,\"open,b,c");
}

// For values with at most one kind of quote, no blanks at the ends and not
// enclosed in a pair of the same quote, a field list built with QuoteField reads
// back exactly, and SetField changes only the field it is given.
TEST(SetField, RandomRoundTripThroughGetField) {
    std::mt19937 rng(932);
    const std::vector<std::string> tokens = {"a", "Z", "7", " ", ",", "\t", kFwComma, kIdeoSpace,
                                             "\x81\x81", "C", "@", kIgaku, "\x83\x5C"};
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto randomValue = [&] {
        for (;;) {
            const int quoteKind = pick(0, 2);
            std::string v;
            for (int len = pick(0, 6); len > 0; --len) {
                if (quoteKind != 0 && pick(0, 3) == 0) v += quoteKind == 1 ? '\'' : '"';
                else v += tokens[pick(0, static_cast<int>(tokens.size()) - 1)];
            }
            v = TrimBlanks(v);
            if (v.size() >= 2 && v.front() == v.back() && (v.front() == '\'' || v.front() == '"')) continue;
            return v;
        }
    };
    for (int iter = 0; iter < 3000; ++iter) {
        std::vector<std::string> fields(pick(2, 4));
        std::string list;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            fields[i] = randomValue();
            list += (i == 0 ? "" : ",") + QuoteField(fields[i]);
        }
        const int n = pick(1, static_cast<int>(fields.size()) + 2);
        const std::string v = randomValue();
        const std::string updated = SetField(list, n, v);
        const int last = std::max<int>(n, static_cast<int>(fields.size())) + 1;
        for (int k = 1; k <= last; ++k) {
            const std::size_t idx = static_cast<std::size_t>(k - 1);
            const std::string before = idx < fields.size() ? fields[idx] : "";
            ASSERT_EQ(GetField(list, k), before) << list << " k=" << k;
            ASSERT_EQ(GetField(updated, k), k == n ? v : before) << updated << " k=" << k;
        }
    }
}
