#include "dictionary/NulCut.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(LoadNotice, PutsTheNulNoticeBeforeTheDamageReportAndKnowsItsOwnTexts) {
    const std::string damage = "0//0::1 データの修復が必要です";
    EXPECT_EQ(LoadNotice(0, std::nullopt), std::nullopt);
    EXPECT_EQ(LoadNotice(0, damage), damage);
    EXPECT_EQ(LoadNotice(17, std::nullopt), "NUL 文字以降の 17 バイトは読み込まれていません");
    EXPECT_EQ(LoadNotice(17, damage), "NUL 文字以降の 17 バイトは読み込まれていません　" + damage);

    // Whatever a load wrote, the next load may take back; nothing else.
    for (const auto& written : {*LoadNotice(0, damage), *LoadNotice(5, std::nullopt), *LoadNotice(123, damage)})
        EXPECT_TRUE(IsLoadNotice(written)) << written;
    for (const char* other : {"", "お待ちください", "NUL 文字以降の  バイトは読み込まれていません",
                              "NUL 文字以降の 5 バイトは読み込まれていません　見つかりません",
                              "NUL 文字以降の 5 バイトは読み込まれていませんx"})
        EXPECT_FALSE(IsLoadNotice(other)) << other;
}

TEST(BytesLostBySaving, CountsOnlyASaveOverTheVeryFileTheLoadCut) {
    TempDir dir;
    const std::string loaded = dir.Write("dic.txt", "1 a///b:::c");
    const std::string other = dir.Write("other.txt", "x");
    std::filesystem::create_symlink(loaded, dir.File("link.txt"));

    EXPECT_EQ(BytesLostBySaving(loaded, loaded, 9), 9u);
    EXPECT_EQ(BytesLostBySaving(dir.File("./dic.txt"), loaded, 9), 9u);
    EXPECT_EQ(BytesLostBySaving(dir.File("link.txt"), loaded, 9), 9u);
    EXPECT_EQ(BytesLostBySaving(loaded, loaded, 0), 0u);
    EXPECT_EQ(BytesLostBySaving(other, loaded, 9), 0u);
    EXPECT_EQ(BytesLostBySaving(dir.File("new.txt"), loaded, 9), 0u);
    EXPECT_EQ(BytesLostBySaving(loaded, "", 9), 0u);
}

}  // namespace
