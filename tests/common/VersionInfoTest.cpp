#include "common/VersionInfo.h"

#include "TempDir.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionInfo, TheExecutableCarriesThisReleasesValues) {
    EXPECT_EQ(GetFileVersionText(), "1.0.0.2");
    EXPECT_EQ(GetVersionValue(0), "") << "Comments is empty";
    EXPECT_EQ(GetVersionValue(3), "1.0.0.2");
    EXPECT_EQ(GetVersionValue(10), "1.0.0.0");
    EXPECT_EQ(GetVersionValue(1), "Quillor");
    EXPECT_EQ(TranslationKey({0x0411, 0x03A4}), "041103A4");
    EXPECT_EQ(TranslationKey({0x9, 0xB0}), "000900B0");
}

TEST(VersionInfo, MissingInformationIsEmptyAndAMissingTranslationListRaisesOnlyForValues) {
    TempDir dir;
    VersionReader none(dir.File("missing.version"));
    EXPECT_EQ(none.GetVersionValue(0), "");
    EXPECT_EQ(none.GetFileVersionText(), "");

    const std::string untranslated = dir.Write("untranslated.version", "041103A4\\FileVersion=9.9\n");
    VersionReader reader(untranslated);
    try {
        reader.GetVersionValue(0);
        FAIL() << "no error";
    } catch (const QuillorError& error) {
        EXPECT_STREQ(error.what(), "情報の取得に失敗しました");
    }
    EXPECT_EQ(reader.GetFileVersionText(), "");
    // Nothing was kept, so the list is looked up again once it is there.
    dir.Write("untranslated.version", "Translation=0411 03A4\n041103A4\\FileVersion=9.9\n");
    EXPECT_EQ(reader.GetFileVersionText(), "9.9");
    // Once kept, the key is not looked up again.
    dir.Write("untranslated.version", "041103A4\\FileVersion=9.10\n");
    EXPECT_EQ(reader.GetFileVersionText(), "9.10");
}

TEST(VersionInfo, TheFirstTranslationChoosesTheValuesAndLongVersionsAreCut) {
    TempDir dir;
    const std::string path = dir.Write("two.version", "Translation=0409 04B0\nTranslation=0411 03A4\n"
                                                      "040904B0\\Comments=http://example.org/\n"
                                                      "041103A4\\Comments=other\n040904B0\\FileVersion=" +
                                                          std::string(300, '7') + "\n");
    VersionReader reader(path);
    EXPECT_EQ(reader.GetVersionValue(0), "http://example.org/");
    EXPECT_EQ(reader.GetVersionValue(4), "");
    EXPECT_EQ(reader.GetFileVersionText(), std::string(256, '7'));
}

}  // namespace
