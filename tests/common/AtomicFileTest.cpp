#include "common/AtomicFile.h"

#include "TempDir.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

TEST(WriteFileAtomically, ReplacesAFileKeepingItsPermissions) {
    TempDir dir;
    const std::string path = dir.Write("dic.txt", "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomically(path, "new\r\n");
    EXPECT_EQ(TempDir::Read(path), "new\r\n");
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1)
        << "a temporary file was left behind";
}

TEST(WriteFileAtomically, AFolderThatCannotBeWrittenKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    TempDir dir;
    const std::string path = dir.Write("dic.txt", "old");
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileAtomically(path, "new"), QuillorError);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(TempDir::Read(path), "old");
}

TEST(WriteFileAtomically, AFolderInPlaceOfTheFileIsAnError) {
    TempDir dir;
    fs::create_directory(dir.File("taken"));
    EXPECT_THROW(WriteFileAtomically(dir.File("taken"), "x"), QuillorError);
    EXPECT_TRUE(fs::is_directory(dir.File("taken")));
}

}  // namespace
