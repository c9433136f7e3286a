#include "common/StringHelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFwComma = "\x81\x43";    // ，
const std::string kIdeoSpace = "\x81\x40";  // 　

}  // namespace

TEST(StrToIntLoose, DecimalHexAndNoise) {
    EXPECT_EQ(StrToIntLoose("1,234"), 1234);
    EXPECT_EQ(StrToIntLoose("12 34"), 1234);
    EXPECT_EQ(StrToIntLoose("-5"), -5);
    EXPECT_EQ(StrToIntLoose("+007"), 7);
    EXPECT_EQ(StrToIntLoose("$1F"), 31);
    EXPECT_EQ(StrToIntLoose("x1f"), 31);
    EXPECT_EQ(StrToIntLoose("0X1F"), 31);
    EXPECT_EQ(StrToIntLoose("-$1F"), -31);
    for (const char* s : {"", "abc", "1.5", "+", "-", "$", "x", "0x", "--5", "$-5", "1G", "$1G", "\t5"}) {
        EXPECT_EQ(StrToIntLoose(s), 0) << s;
    }
    // Only the ASCII comma is dropped.
    EXPECT_EQ(StrToIntLoose("1" + kFwComma + "234"), 0);
}

TEST(StrToIntLoose, ThirtyTwoBitLimits) {
    EXPECT_EQ(StrToIntLoose("2147483647"), 2147483647);
    EXPECT_EQ(StrToIntLoose("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToIntLoose("-$80000000"), INT32_MIN);
    EXPECT_EQ(StrToIntLoose("00000000000000000000012"), 12);
    for (const char* s : {"2147483648", "-2147483649", "3000000000", "$80000000", "$FFFFFFFF",
                          "99999999999999999999999"}) {
        EXPECT_EQ(StrToIntLoose(s), 0) << s;
    }
}

TEST(BoolText, RoundTripAndStrictness) {
    EXPECT_TRUE(TextToBool(BoolToText(true)));
    EXPECT_FALSE(TextToBool(BoolToText(false)));
    EXPECT_TRUE(TextToBool("true"));
    EXPECT_TRUE(TextToBool("tRuE"));
    for (const char* s : {"yes", "1", "", " True", "TRUEx"}) EXPECT_FALSE(TextToBool(s)) << s;
}

TEST(TrimBlanks, ControlsGoIdeographicSpaceStays) {
    EXPECT_EQ(TrimBlanks("\t\r\n a b \x01"), "a b");
    EXPECT_EQ(TrimBlanks(kIdeoSpace + "a "), kIdeoSpace + "a");
    EXPECT_EQ(TrimBlanks(" \t "), "");
}
