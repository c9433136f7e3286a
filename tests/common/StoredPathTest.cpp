#include "common/StoredPath.h"

#include "TempDir.h"
#include "common/Sjis.h"

#include <gtest/gtest.h>

#include <QString>

#include <algorithm>
#include <string>

namespace {

struct PathCase {
    const char16_t* path;
    bool spelled;  // kept as code page 932 text, not as a file: address
};

// Every path comes back as it was; one the code page spells exactly is kept as its
// bytes, any other as an address of ASCII escapes, which the code page keeps intact.
TEST(StoredPath, EveryPathComesBackAsItWas) {
    const PathCase cases[] = {
        {u"/home/ann/dic.txt", true},
        {u"/home/ann/医学辞書/ｲｶﾞｸ 100%.txt", true},
        {u"/home/ann/辞書～2024/dic.txt", true},  // the full-width tilde, as it reads back
        {u"/home/ann/辞書〜2024/dic.txt", false},  // the wave dash reads back as ～
        {u"/home/ann/¥data/dic.txt", false},       // the yen sign reads back as a backslash
        {u"/home/ann/Téléchargements/dic #1.txt", false},
    };
    for (const PathCase& c : cases) {
        const QString path = QString::fromUtf16(c.path);
        const std::string stored = StoredPath(path);
        EXPECT_EQ(PathFromStored(stored), path) << path.toStdString();
        if (c.spelled) {
            EXPECT_EQ(stored, Sjis::FromQString(path).bytes) << path.toStdString();
        } else {
            EXPECT_TRUE(stored.starts_with("file:")) << stored;
            EXPECT_TRUE(std::all_of(stored.begin(), stored.end(), [](char b) { return b > 0x20 && b < 0x7F; }))
                << stored;
        }
    }
}

TEST(StoredPath, RememberedDataFileReadsTheSettingsFile) {
    TempDir dir;
    const auto remembered = [&](const std::string& ini) {
        return RememberedDataFile(QString::fromStdString(dir.Write("QuillorDic.ini", ini)));
    };
    const QString japanese = QStringLiteral("/home/ann/医学辞書.txt");
    EXPECT_EQ(remembered("[FILE]\r\nDATAT=\"" + StoredPath(japanese) + "\"\r\n"), japanese);
    const QString unspellable = QStringLiteral("/home/ann/Téléchargements/dic.txt");
    EXPECT_EQ(remembered("[FORM]\r\nTOP=\"1\"\r\n\r\n[FILE]\r\nDATAT=\"" + StoredPath(unspellable) + "\"\r\n"),
              unspellable);
    EXPECT_EQ(remembered("[FORM]\r\nTOP=\"1\"\r\n"), QString());
    EXPECT_EQ(RememberedDataFile(QString::fromStdString(dir.File("missing.ini"))), QString());
    EXPECT_EQ(RememberedDataFile(QString::fromStdString(dir.path().string())), QString());  // a folder
}

}  // namespace
