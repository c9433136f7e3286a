#include "view/PageStyles.h"

#include <gtest/gtest.h>

namespace {

TEST(NormaliseStyleAttributes, UnquotesColoursAndSplitsFontLists) {
    EXPECT_EQ(NormaliseStyleAttributes("<span style='font-family: \"Tahoma,Microsoft Sans Serif;\"'>x</span>"),
              "<span style='font-family: \"Tahoma\", \"Microsoft Sans Serif\", sans-serif'>x</span>");
    EXPECT_EQ(NormaliseStyleAttributes("<span style='font-family: \"\x82\x6C\x82\x72 \x83\x53\"; Color: \"Green\"'>"),
              "<span style='font-family: \"\x82\x6C\x82\x72 \x83\x53\", sans-serif; Color: Green'>");
    // Values already understood, and text outside style attributes, stay as they are.
    EXPECT_EQ(NormaliseStyleAttributes("<p style='color: red'>\"quoted\" text</p>"),
              "<p style='color: red'>\"quoted\" text</p>");
    EXPECT_EQ(NormaliseStyleAttributes("a style='unterminated"), "a style='unterminated");
    EXPECT_EQ(NormaliseStyleAttributes(""), "");
}

TEST(WithCrLfLineEnds, EndsEveryLineWithCrLf) {
    EXPECT_EQ(WithCrLfLineEnds("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(WithCrLfLineEnds("a\r\n"), "a\r\n");
    EXPECT_EQ(WithCrLfLineEnds(""), "");
}

}  // namespace
