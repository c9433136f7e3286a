#include "dictionary/DataFile.h"

#include "TempDir.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ExpectedSystemError(int errorNumber) {
    return "Win32 エラー。コード : " + std::to_string(errorNumber) + ".\n" + std::strerror(errorNumber);
}

void ExpectReadFails(const std::string& path, int errorNumber) {
    try {
        (void)ReadWholeFile(path);
        ADD_FAILURE() << path << " was read";
    } catch (const QuillorError& error) {
        EXPECT_EQ(std::string(error.what()), ExpectedSystemError(errorNumber)) << path;
    }
}

TEST(ReadWholeFile, ReadsEveryByteAndTheSize) {
    TempDir dir;
    using namespace std::string_literals;
    const std::string bytes = "1 a///\x88\xE3:::x\r\n\0tail\x88"s;
    const FileContents contents = ReadWholeFile(dir.Write("dic.txt", bytes));
    EXPECT_EQ(contents.text.view(), bytes);
    EXPECT_EQ(contents.size, bytes.size());
}

TEST(ReadWholeFile, ReadsALargeFileWholeIntoABlockOfItsOwn) {
    // Past the size of one read, with a tail that is not a whole read.
    std::string bytes(17 * 1024 * 1024 + 4321, '\0');
    std::mt19937 random(17);  // no period a misplaced read could hide in
    for (char& byte : bytes) byte = static_cast<char>(random());
    TempDir dir;
    const FileContents contents = ReadWholeFile(dir.Write("large.txt", bytes));
    EXPECT_EQ(contents.size, bytes.size());
    EXPECT_TRUE(contents.text.IsMapped());
    EXPECT_TRUE(contents.text.view() == bytes);  // not EXPECT_EQ: a mismatch would print 17 MB
}

// A file that another program shortens while it is read: the system reports the old
// size, then the bytes run out. Some kernel files behave like that all the time.
TEST(ReadWholeFile, AFileShorterThanItsSizeFailsAsAnInputError) {
    const std::string path = "/sys/kernel/mm/transparent_hugepage/enabled";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || static_cast<std::size_t>(info.st_size) <= TempDir::Read(path).size())
        GTEST_SKIP() << "no file here reports more bytes than it holds";
    ExpectReadFails(path, EIO);
}

TEST(ReadWholeFile, EveryFailureRaisesTheSystemErrorWithItsCodeAndText) {
    TempDir dir;
    ExpectReadFails(dir.File("missing.txt"), ENOENT);
    ExpectReadFails(dir.path().string(), EISDIR);
    ExpectReadFails(dir.Write("empty.txt", ""), EINVAL);  // nothing to map

    // A symbolic link loop cannot be read, even by root.
    const std::string loop = dir.File("loop");
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    ExpectReadFails(loop, ELOOP);

    // A named pipe with no writer must fail at once instead of blocking the window.
    const std::string pipe = dir.File("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    ExpectReadFails(pipe, EINVAL);
}

TEST(ReadWholeFile, AFileWithoutReadPermissionIsRefused) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads files whatever their permissions; the symlink loop covers root";
    TempDir dir;
    const std::string path = dir.Write("secret.txt", "1 a///b:::c");
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    ExpectReadFails(path, EACCES);
}

}  // namespace
