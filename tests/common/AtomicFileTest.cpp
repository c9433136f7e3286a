#include "common/AtomicFile.h"

#include "TempDir.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

struct Owner {
    uid_t user;
    gid_t group;
    bool operator==(const Owner&) const = default;
};

Owner OwnerOf(const std::string& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return {status.st_uid, status.st_gid};
}

// Whether `save` succeeds when run by `user` (in a process of its own, with no
// supplementary group), as another user of the machine would run it.
bool SavedAs(const passwd& user, const std::function<void()>& save) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(user.pw_gid, user.pw_gid, user.pw_gid) != 0 ||
            ::setresuid(user.pw_uid, user.pw_uid, user.pw_uid) != 0)
            ::_exit(2);
        try {
            save();
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(WriteFileAtomically, ReplacesAFileKeepingItsOwnerAndGroupWhereTheSystemAllows) {
    if (::geteuid() != 0) GTEST_SKIP() << "files of two users: only root can make them";
    const passwd* nobody = ::getpwnam("nobody");
    const group* users = ::getgrnam("users");
    ASSERT_TRUE(nobody && users);
    const Owner nobodys{nobody->pw_uid, nobody->pw_gid};

    // Root saving another user's file leaves it theirs; a file shared through its group
    // stays in the group.
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all | fs::perms::sticky_bit);  // a shared folder
    for (const Owner owner : {nobodys, Owner{0, users->gr_gid}}) {
        const std::string path = dir.Write("dic.txt", "old");
        ASSERT_EQ(::chown(path.c_str(), owner.user, owner.group), 0);
        ::chmod(path.c_str(), 0664);
        WriteFileAtomically(path, "new");
        EXPECT_EQ(OwnerOf(path), owner);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, static_cast<fs::perms>(0664));
    }

    // A user who may keep neither the owner nor a group they are not in still saves,
    // and the file becomes theirs.
    const std::string folder = dir.File("nobody");
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    for (const Owner owner : {Owner{nobody->pw_uid, users->gr_gid}, Owner{0, nobody->pw_gid}}) {
        const std::string path = folder + "/dic.txt";
        std::ofstream(path) << "old";
        ASSERT_EQ(::chown(path.c_str(), owner.user, owner.group), 0);
        ::chmod(path.c_str(), 0666);
        EXPECT_TRUE(SavedAs(*nobody, [&] { WriteFileAtomically(path, "new"); }));
        EXPECT_EQ(TempDir::Read(path), "new");
        EXPECT_EQ(OwnerOf(path), nobodys);
    }
}

TEST(WriteFileAtomically, NeverWritesThroughALinkAnotherUserPlanted) {
    TempDir dir;
    const std::string mine = dir.Write("mine.txt", "mine");
    const std::string ownLink = dir.File("own-link.txt");
    fs::create_symlink(mine, ownLink);
    WriteFileAtomically(ownLink, "saved through my own link");
    EXPECT_EQ(TempDir::Read(mine), "saved through my own link");
    EXPECT_TRUE(fs::is_symlink(ownLink));

    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user's: only root can make one";
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    // A shared folder, such as the temporary one a repair writes into when started there.
    const std::string shared = dir.File("shared");
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    const std::string planted = shared + "/temp3.dat";
    fs::create_symlink(mine, planted);
    ASSERT_EQ(::lchown(planted.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    try {
        WriteFileAtomically(planted, "overwritten");
        ADD_FAILURE() << "written through the planted link";
    } catch (const QuillorError& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + planted + " を作成できません: 他のユーザーのリンクです");
    }
    EXPECT_EQ(TempDir::Read(mine), "saved through my own link");
    // Nor through the user's own link to it.
    const std::string chained = dir.File("chained.txt");
    fs::create_symlink(planted, chained);
    EXPECT_THROW(WriteFileAtomically(chained, "overwritten"), QuillorError);
    EXPECT_EQ(TempDir::Read(mine), "saved through my own link");

    // The folder's owner may link within it, as the system lets them.
    const std::string theirs = dir.File("theirs");
    fs::create_directory(theirs);
    ASSERT_EQ(::chown(theirs.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    fs::create_symlink(mine, theirs + "/dic.txt");
    ASSERT_EQ(::lchown((theirs + "/dic.txt").c_str(), nobody->pw_uid, nobody->pw_gid), 0);
    WriteFileAtomically(theirs + "/dic.txt", "shared dictionary");
    EXPECT_EQ(TempDir::Read(mine), "shared dictionary");
}

// Each way a save can fail leaves the old file and says why, after the usual message.
TEST(WriteFileAtomically, AFailedSaveKeepsTheOldFileAndSaysWhy) {
    struct Case {
        const char* what;
        std::function<std::string(const TempDir&)> prepare;  // the path to write
        std::string reason;
    };
    const Case cases[] = {
        {"a missing folder", [](const TempDir& dir) { return dir.File("missing/dic.txt"); }, std::strerror(ENOENT)},
        {"a folder in the file's place",
         [](const TempDir& dir) {
             fs::create_directory(dir.File("taken"));
             return dir.File("taken");
         },
         std::strerror(EISDIR)},
        {"a file in the folder's place",
         [](const TempDir& dir) { return dir.Write("plain", "x") + "/dic.txt"; }, std::strerror(ENOTDIR)},
        {"a read-only file",
         [](const TempDir& dir) {
             const std::string path = dir.Write("dic.txt", "old");
             fs::permissions(path, fs::perms::owner_read);
             return path;
         },
         "読み出し専用です"},
        {"a writable file in a folder that cannot be written",
         [](const TempDir& dir) {
             const std::string path = dir.Write("dic.txt", "old");
             fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
             return path;
         },
         "フォルダに書き込めません"},
    };
    for (const Case& each : cases) {
        if (each.reason == "フォルダに書き込めません" && ::geteuid() == 0) continue;  // root writes anywhere
        TempDir dir;
        const std::string path = each.prepare(dir);
        const std::string before = fs::is_regular_file(path) ? TempDir::Read(path) : "";
        const auto entries = [&] { return std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()); };
        const auto entriesBefore = entries();
        try {
            WriteFileAtomically(path, "new");
            ADD_FAILURE() << each.what << ": written";
        } catch (const QuillorError& error) {
            EXPECT_EQ(std::string(error.what()), "ファイル " + path + " を作成できません: " + each.reason) << each.what;
        }
        fs::permissions(dir.path(), fs::perms::owner_all);
        EXPECT_EQ(entries(), entriesBefore) << each.what << ": a temporary file was left behind";
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(TempDir::Read(path), before) << each.what;
        }
    }
}

// The settings' own folder is made at the first save, parents and all; when it cannot
// be, the save's message says why.
TEST(MakeFolderForFile, MakesTheFoldersOrSaysWhyNot) {
    TempDir dir;
    const std::string nested = dir.File("config/QuillorDic");
    MakeFolderForFile(nested + "/QuillorDic.ini", nested);
    EXPECT_TRUE(fs::is_directory(nested));
    EXPECT_EQ(fs::status(nested).permissions() & fs::perms::all, fs::perms::owner_all) << "for this user alone";
    MakeFolderForFile(nested + "/QuillorDic.ini", nested);  // there already: nothing to do

    const std::string underAFile = dir.Write("plain", "x") + "/QuillorDic";
    const auto failure = [](const std::string& folder) {
        try {
            MakeFolderForFile(folder + "/QuillorDic.ini", folder);
        } catch (const QuillorError& error) {
            return std::string(error.what());
        }
        return std::string("made");
    };
    EXPECT_EQ(failure(underAFile), "ファイル " + underAFile + "/QuillorDic.ini を作成できません: " + std::strerror(ENOTDIR));
    if (::geteuid() == 0) return;  // root writes anywhere
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const std::string locked = dir.File("locked/QuillorDic");
    EXPECT_EQ(failure(locked), "ファイル " + locked + "/QuillorDic.ini を作成できません: フォルダに書き込めません");
    fs::permissions(dir.path(), fs::perms::owner_all);
}

}  // namespace
