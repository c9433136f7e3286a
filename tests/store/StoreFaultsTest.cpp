#include "store/UserDatabase.h"

#include "RawDatabase.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

QString DbPath(const TempDir& dir) { return QString::fromStdString(dir.File("store/quillordic.sqlite")); }

HistoryStep Step(const QString& file, std::int64_t line) {
    HistoryStep step;
    step.time = 1;
    step.dataFile = file;
    step.line = line;
    step.headword = "heart " + std::to_string(line);
    return step;
}

WordEntry Word(const QString& headword) {
    WordEntry entry;
    entry.headword = headword;
    entry.translation = QStringLiteral("心臓");
    return entry;
}

// A real store of many pages, closed, as its bytes.
std::string ValidDatabaseBytes() {
    TempDir dir;
    {
        auto db = UserDatabase::Open(DbPath(dir));
        for (int i = 0; i < 2000; ++i) db->AddStep(Step(QStringLiteral("/d/%1.txt").arg(i % 3), i));
    }
    return TempDir::Read(DbPath(dir).toStdString());
}

std::string RandomBytes(std::size_t size) {
    std::mt19937 random(11);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

void ExpectUnusable(UserDatabase& db) {
    EXPECT_FALSE(db.Available());
    EXPECT_EQ(db.AddStep(Step("/d/a.txt", 1)), 0);
    EXPECT_TRUE(db.Trail("/d/a.txt").empty());
    EXPECT_FALSE(db.AddWord(Word("heart")));
    EXPECT_EQ(db.CountWords({}), 0);
    EXPECT_FALSE(db.MergeWords({Word("lung")}));
    EXPECT_EQ(db.TakeNotice(), QString()) << "the notice is given once";
}

TEST(UserDatabase, MovesADamagedFileAsideWholeAndStartsANewOne) {
    const std::string valid = ValidDatabaseBytes();
    const std::pair<const char*, std::string> cases[] = {
        {"random bytes", RandomBytes(8192)},
        {"a database cut in half", valid.substr(0, valid.size() / 2)},
        {"an empty file", ""},
        {"a text file", "heart\t\x90\x53\x91\x9F\r\nlung\t\x94\x78\r\n"},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        TempDir dir;
        fs::create_directory(dir.File("store"));
        dir.Write("store/quillordic.sqlite", bytes);
        auto db = UserDatabase::Open(DbPath(dir));
        ASSERT_TRUE(db->Available());
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(dir.File("store")))
            if (entry.path().filename().string().starts_with("quillordic.sqlite.damaged-")) aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_EQ(TempDir::Read(aside[0].string()), bytes);
        EXPECT_TRUE(db->TakeNotice().contains(QString::fromStdString(aside[0].string())));
        EXPECT_EQ(db->TakeNotice(), QString());
        EXPECT_GT(db->AddStep(Step("/d/a.txt", 1)), 0);
        EXPECT_EQ(db->History("/d/a.txt").size(), 1u);
    }
}

TEST(UserDatabase, OneThatCannotBeWrittenDoesNothingAndSaysSoOnce) {
    using Holder = std::shared_ptr<void>;
    const std::pair<const char*, std::function<Holder(const QString&, const TempDir&)>> cases[] = {
        {"a read-only folder",
         [](const QString&, const TempDir& dir) {
             fs::create_directory(dir.File("store"));
             ::chmod(dir.File("store").c_str(), 0500);
             return Holder();
         }},
        {"a read-only file",
         [](const QString& path, const TempDir&) {
             UserDatabase::Open(path);
             ::chmod(path.toLocal8Bit().constData(), 0400);
             return Holder();
         }},
        {"a file another program holds",
         [](const QString& path, const TempDir&) {
             UserDatabase::Open(path);
             auto other = std::make_shared<RawDatabase>(path);
             other->Exec("BEGIN EXCLUSIVE");
             return Holder(other);
         }},
        {"a newer program's file",
         [](const QString& path, const TempDir&) {
             UserDatabase::Open(path)->AddWord(Word("heart"));
             RawDatabase(path).Exec("PRAGMA user_version = 99");
             return Holder();
         }},
    };
    for (const auto& [name, setUp] : cases) {
        SCOPED_TRACE(name);
        if (::geteuid() == 0 && std::string_view(name).starts_with("a read-only")) {
            std::cout << "as root, read-only means nothing: " << name << " skipped\n";
            continue;
        }
        TempDir dir;
        const Holder holder = setUp(DbPath(dir), dir);
        const std::string before = TempDir::Read(DbPath(dir).toStdString());
        auto db = UserDatabase::Open(DbPath(dir), 100);
        EXPECT_FALSE(db->TakeNotice().isEmpty());
        ExpectUnusable(*db);
        db.reset();
        EXPECT_EQ(TempDir::Read(DbPath(dir).toStdString()), before) << "the file is left as it was";
    }
}

TEST(UserDatabase, StopsForGoodWhenAWriteFailsMidSession) {
    TempDir dir;
    auto db = UserDatabase::Open(DbPath(dir), 100);
    ASSERT_GT(db->AddStep(Step("/d/a.txt", 1)), 0);
    {
        RawDatabase other(DbPath(dir));
        other.Exec("BEGIN EXCLUSIVE");
        EXPECT_EQ(db->AddStep(Step("/d/a.txt", 2)), 0);
        EXPECT_TRUE(db->TakeNotice().contains(QStringLiteral("保存できません")));
    }
    ExpectUnusable(*db);
}

TEST(UserDatabase, OpensAFirstVersionFileWithItsData) {
    TempDir dir;
    fs::create_directory(dir.File("store"));
    {
        RawDatabase old(DbPath(dir));
        for (const char* sql : {
                 "CREATE TABLE steps (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, data_file TEXT NOT NULL, line "
                 "INTEGER NOT NULL, headword TEXT NOT NULL, headword_bytes BLOB, line_hash INTEGER NOT NULL, reach "
                 "INTEGER NOT NULL, in_trail INTEGER NOT NULL DEFAULT 1)",
                 "CREATE TABLE words (id INTEGER PRIMARY KEY, headword TEXT NOT NULL, translation TEXT NOT NULL, "
                 "examples TEXT NOT NULL DEFAULT '', note TEXT NOT NULL DEFAULT '', added INTEGER NOT NULL, data_file "
                 "TEXT NOT NULL DEFAULT '', line INTEGER NOT NULL DEFAULT -1, headword_bytes BLOB, UNIQUE (headword, "
                 "translation))",
                 "INSERT INTO steps VALUES (7, 1, '/d/a.txt', 3, '心臓', NULL, -1, 2, 1)",
                 "INSERT INTO words VALUES (9, 'heart', '心臓', '', 'mine', 5, '', -1, NULL)",
                 "PRAGMA user_version = 1"})
            old.Exec(sql);
    }
    auto db = UserDatabase::Open(DbPath(dir));
    EXPECT_EQ(db->TakeNotice(), QString());
    const std::vector<HistoryStep> trail = db->Trail("/d/a.txt");
    ASSERT_EQ(trail.size(), 1u);
    EXPECT_EQ(std::tie(trail[0].id, trail[0].headword, trail[0].lineHash),
              std::make_tuple(std::int64_t{7}, std::string("\x90\x53\x91\x9F"), ~std::uint64_t{0}));
    ASSERT_EQ(db->AllWords().size(), 1u);
    EXPECT_EQ(db->AllWords()[0].note, "mine");
}

TEST(UserDatabase, TwoProgramsWritingAtOnceLoseNothing) {
    TempDir dir;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(gate[1]);
            char go;
            [[maybe_unused]] const auto ignored = ::read(gate[0], &go, 1);  // both start together
            auto db = UserDatabase::Open(DbPath(dir));
            bool kept = db->Available();
            for (int i = 0; i < 300 && kept; ++i)
                kept = db->AddStep(Step("/d/a.txt", child * 1000 + i)) > 0 &&
                       db->AddWord(Word(QStringLiteral("word %1 of %2").arg(i).arg(child)));
            db.reset();
            ::_exit(kept ? 0 : 1);
        }
        children.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto db = UserDatabase::Open(DbPath(dir));
    EXPECT_EQ(db->History("/d/a.txt").size(), 600u);
    EXPECT_EQ(db->CountWords({}), 600);
}

}  // namespace
