#include "common/SystemHelpers.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Every byte one pixel wide: the widths in these tests are lengths.
int Length(std::string_view text) { return static_cast<int>(text.size()); }

TEST(ShortenPath, DropsLeadingFoldersOneByOneUntilThePathFits) {
    const std::string path = "/home/ann/medical/dic.txt";
    EXPECT_EQ(ShortenPath(path, Length, 100), path);
    EXPECT_EQ(ShortenPath(path, Length, 24), "/.../ann/medical/dic.txt");
    EXPECT_EQ(ShortenPath(path, Length, 20), "/.../medical/dic.txt");
    EXPECT_EQ(ShortenPath(path, Length, 12), "/.../dic.txt");
    EXPECT_EQ(ShortenPath(path, Length, 11), ".../dic.txt");
    EXPECT_EQ(ShortenPath(path, Length, 10), "dic.txt");
    EXPECT_EQ(ShortenPath(path, Length, 0), "dic.txt");  // the file name is never cut
}

TEST(ShortenPath, HandlesPathsWithoutFoldersRelativePathsAndDotFolders) {
    EXPECT_EQ(ShortenPath("a-very-long-file-name.txt", Length, 3), "a-very-long-file-name.txt");
    EXPECT_EQ(ShortenPath("/dic.txt", Length, 3), "dic.txt");
    EXPECT_EQ(ShortenPath("data/old/dic.txt", Length, 15), ".../old/dic.txt");
    // A folder whose name starts with a dot is a folder, not an elision mark.
    EXPECT_EQ(ShortenPath("/.config/quillor/dic.txt", Length, 20), "/.../quillor/dic.txt");
    EXPECT_EQ(ShortenPath("/home/.cache/dic.txt", Length, 19), "/.../.cache/dic.txt");
}

TEST(ShortenPathForCaption, LeavesRoomForTheTitleAndTheFrame) {
    const std::string path = "/home/ann/medical/dic.txt";  // 25 pixels
    EXPECT_EQ(ShortenPathForCaption(path, 10 + 120 + 25, "QuillorDic", Length), path);
    EXPECT_EQ(ShortenPathForCaption(path, 10 + 120 + 24, "QuillorDic", Length), "/.../ann/medical/dic.txt");
    // An empty title is measured as ten spaces.
    EXPECT_EQ(ShortenPathForCaption(path, 10 + 120 + 25, "", Length), path);
    // A window too narrow for any folder shows the bare file name.
    EXPECT_EQ(ShortenPathForCaption(path, 50, "QuillorDic", Length), "dic.txt");
}

}  // namespace

namespace {

TEST(FileFacts, SizeAndLastUpdateOfFilesFoldersAndMissingOnes) {
    TempDir dir;
    EXPECT_EQ(GetFileSizeBytes(dir.File("missing.txt")), -1);
    EXPECT_EQ(GetFileSizeBytes(""), -1);
    EXPECT_EQ(GetFileSizeBytes(dir.Write("empty.txt", "")), 0);
    const std::string file = dir.Write("dic.txt", "12345");
    EXPECT_EQ(GetFileSizeBytes(file), 5);

    // A read-only file and a folder show their last update too; a missing file nothing.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    const std::string update = FileUpdateText(file);
    EXPECT_FALSE(update.empty());
    EXPECT_EQ(update.find("UTC"), std::string::npos) << update;
    EXPECT_NE(update.find(':'), std::string::npos) << update;
    EXPECT_FALSE(FileUpdateText(dir.path().string()).empty());
    EXPECT_EQ(FileUpdateText(dir.File("missing.txt")), "");

    const int fd = ::open(file.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const auto written = GetFileStamp(fd, FileStampKind::LastWrite);
    ASSERT_TRUE(written);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    EXPECT_EQ(written->year, local.tm_year + 1900);
    EXPECT_FALSE(GetFileStamp(fd, 4));
    EXPECT_FALSE(GetFileStamp(fd, 0));
    ::close(fd);
    EXPECT_FALSE(GetFileStamp(-1, FileStampKind::LastWrite));
}

TEST(AskUser, WithoutAnyoneToAnswerTheQuestionIsCancelled) {
    const AskUserHandler previous = SetAskUserHandler(nullptr);
    EXPECT_EQ(AskUser("?", "?", AskFlags::OkCancel), AskAnswer::Cancel);
    SetAskUserHandler(previous);
}

}  // namespace
