#include "dictionary/DataFilePreload.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::string Bytes(const std::optional<FileContents>& contents) {
    return contents ? std::string(contents->text.data(), contents->text.size()) : "(none)";
}

TEST(DataFilePreload, GivesTheBytesOnlyOfTheFileAskedForAsItStands) {
    TempDir dir;
    const std::string dic = dir.Write("dic.txt", "1 abate///x:::y\r\n");
    {
        DataFilePreload preload(dic);
        EXPECT_EQ(Bytes(preload.Take(dir.File("other.txt"))), "(none)");
        EXPECT_EQ(Bytes(preload.Take(dic)), "1 abate///x:::y\r\n");
        EXPECT_EQ(Bytes(preload.Take(dic)), "(none)") << "taken once";
    }
    EXPECT_EQ(Bytes(DataFilePreload(dir.File("missing.txt")).Take(dir.File("missing.txt"))), "(none)");
    EXPECT_EQ(Bytes(DataFilePreload(dir.path().string()).Take(dir.path().string())), "(none)") << "a folder";

    // A file changed at any moment of the read-ahead, by a save that replaces it or by
    // an append: whatever is given is the file as it stands at the take.
    for (const bool replace : {true, false}) {
        DataFilePreload preload(dic);
        if (replace) {
            const std::string saved = dir.Write("dic.txt.new", "2 heart///z:::w\r\n");
            std::rename(saved.c_str(), dic.c_str());
        } else {
            std::ofstream(dic, std::ios::app) << "3 lung///v:::u\r\n";
        }
        const std::string taken = Bytes(preload.Take(dic));
        if (taken != "(none)") EXPECT_EQ(taken, TempDir::Read(dic));
    }

    // Rewritten in place after the read, the same size, its modification time put back
    // as a copying tool puts it back: another file all the same.
    const std::string same = dir.Write("same.txt", "1 abate///x:::y\r\n");
    struct stat before {};
    ASSERT_EQ(::stat(same.c_str(), &before), 0);
    DataFilePreload preload(same);
    preload.WaitUntilRead();
    // The system's clock for change times is coarse: the rewrite waits for its next tick,
    // as any rewrite a moment later would come after it.
    const std::string tick = dir.Write("tick", "");
    for (struct stat now {}; ::stat(tick.c_str(), &now) == 0 && now.st_ctim.tv_sec == before.st_ctim.tv_sec &&
                             now.st_ctim.tv_nsec == before.st_ctim.tv_nsec;)
        ::utimensat(AT_FDCWD, tick.c_str(), nullptr, 0);
    std::ofstream(same, std::ios::binary | std::ios::in | std::ios::out) << "2";
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, same.c_str(), times, 0), 0);
    EXPECT_EQ(Bytes(preload.Take(same)), "(none)");
}

}  // namespace
