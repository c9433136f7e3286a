#include "store/UserDatabase.h"

#include "RawDatabase.h"
#include "TempDir.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <random>

namespace {

QString DbPath(const TempDir& dir) { return QString::fromStdString(dir.File("store/quillordic.sqlite")); }

HistoryStep Step(const QString& file, std::int64_t line, std::string headword) {
    HistoryStep step;
    step.time = 1'700'000'000'000 + line;
    step.dataFile = file;
    step.line = line;
    step.headword = std::move(headword);
    step.lineHash = 0xFEDC'BA98'7654'3210ull + static_cast<std::uint64_t>(line);  // the top bit set
    step.reach = StepReach::Link;
    return step;
}

WordEntry Word(const QString& headword, const QString& translation, const QString& note = {}) {
    WordEntry entry;
    entry.headword = headword;
    entry.translation = translation;
    entry.note = note;
    entry.added = 1'700'000'000'000;
    return entry;
}

TEST(UserDatabase, KeepsStepsByteExactAndTheTrailApartFromTheHistory) {
    TempDir dir;
    const std::vector<std::string> headwords = {
        "heart", "\x90\x53\x91\x9F",  // 心臓
        "abc\x81", "\xFF", std::string("a\0b", 3), "\x81\x20x", ""};
    std::vector<std::int64_t> ids;
    {
        auto db = UserDatabase::Open(DbPath(dir));
        for (std::size_t i = 0; i < headwords.size(); ++i)
            ids.push_back(db->AddStep(Step("/d/a.txt", static_cast<std::int64_t>(i), headwords[i])));
        db->LeaveTrail({ids[1], ids[2]});
        EXPECT_EQ(db->TakeNotice(), QString());
    }
    auto db = UserDatabase::Open(DbPath(dir));  // read back from the file, not from a cache
    const std::vector<HistoryStep> history = db->History("/d/a.txt");
    ASSERT_EQ(history.size(), headwords.size());
    for (std::size_t i = 0; i < headwords.size(); ++i) {
        const HistoryStep& step = history[headwords.size() - 1 - i];
        const HistoryStep expected = Step("/d/a.txt", static_cast<std::int64_t>(i), headwords[i]);
        EXPECT_EQ(step.id, ids[i]);
        EXPECT_EQ(step.headword, expected.headword) << i;
        EXPECT_EQ(std::tie(step.time, step.dataFile, step.line, step.lineHash, step.reach),
                  std::tie(expected.time, expected.dataFile, expected.line, expected.lineHash, expected.reach));
    }
    std::vector<std::int64_t> trail;
    for (const HistoryStep& step : db->Trail("/d/a.txt")) trail.push_back(step.id);
    EXPECT_EQ(trail, (std::vector<std::int64_t>{ids[0], ids[3], ids[4], ids[5], ids[6]}));
    EXPECT_TRUE(db->Trail("/d/other.txt").empty());
}

TEST(UserDatabase, KeepsTheNewestTenThousandStepsOfEachFile) {
    TempDir dir;
    auto db = UserDatabase::Open(DbPath(dir));
    for (int i = 0; i < 3; ++i) db->AddStep(Step("/d/b.txt", i, "b"));
    std::int64_t last = 0;
    for (int i = 0; i < 10'004; ++i) last = db->AddStep(Step("/d/a.txt", i, "a"));
    const std::vector<HistoryStep> history = db->History("/d/a.txt");
    ASSERT_EQ(history.size(), 10'000u);
    EXPECT_EQ(history.front().id, last);
    EXPECT_EQ(history.back().line, 4);
    EXPECT_EQ(db->History("/d/b.txt").size(), 3u);
}

TEST(UserDatabase, KeepsAWordOncePerHeadwordAndTranslation) {
    TempDir dir;
    auto db = UserDatabase::Open(DbPath(dir));
    WordEntry entry = Word("Heart", "心臓", "mine");
    entry.examples = "heart failure 心不全/ heart rate 心拍数";
    entry.dataFile = "/d/a.txt";
    entry.line = 42;
    entry.headwordBytes = "Heart\xFF";
    EXPECT_TRUE(db->AddWord(entry));
    EXPECT_FALSE(db->AddWord(Word("Heart", "心臓", "other")));
    EXPECT_TRUE(db->AddWord(Word("heart", "心臓")));  // the identity is exact
    EXPECT_TRUE(db->AddWord(Word("Heart", "心")));
    EXPECT_TRUE(db->HasWord("Heart", "心臓"));
    const std::vector<WordEntry> all = db->AllWords();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(std::tie(all[0].headword, all[0].translation, all[0].examples, all[0].note, all[0].added,
                       all[0].dataFile, all[0].line, all[0].headwordBytes),
              std::tie(entry.headword, entry.translation, entry.examples, entry.note, entry.added, entry.dataFile,
                       entry.line, entry.headwordBytes));
    EXPECT_TRUE(db->SetNote(all[1].id, "note"));
    EXPECT_TRUE(db->RemoveWord("Heart", "心臓"));
    EXPECT_FALSE(db->HasWord("Heart", "心臓"));
    EXPECT_TRUE(db->DeleteWords({all[2].id}));
    const std::vector<WordEntry> left = db->AllWords();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].note, "note");
}

// Random entries over an alphabet of the pattern characters and both cases: each page
// of each order is the matching entries, sorted as the rule says, cut at the page.
TEST(UserDatabase, FiltersSortsAndPagesAsARuleOfItsOwnWould) {
    TempDir dir;
    auto db = UserDatabase::Open(DbPath(dir));
    std::mt19937 random(7);
    const QString alphabet = QStringLiteral("aAbB%_\\");
    auto randomText = [&] {
        QString text;
        for (int n = std::uniform_int_distribution(0, 4)(random); n > 0; --n)
            text += alphabet[std::uniform_int_distribution<int>(0, static_cast<int>(alphabet.size()) - 1)(random)];
        return text;
    };
    for (int i = 0; i < 300; ++i) {
        WordEntry entry = Word(randomText(), randomText(), randomText());
        entry.added = std::uniform_int_distribution(0, 5)(random) + 1;
        db->AddWord(entry);
    }
    const std::vector<WordEntry> all = db->AllWords();
    for (const QString& filter : {QString(), QStringLiteral("a"), QStringLiteral("B%"), QStringLiteral("_"),
                                  QStringLiteral("\\"), QStringLiteral("ab")}) {
        std::vector<WordEntry> matching;
        for (const WordEntry& e : all)
            if (e.headword.contains(filter, Qt::CaseInsensitive) || e.translation.contains(filter, Qt::CaseInsensitive) ||
                e.note.contains(filter, Qt::CaseInsensitive))
                matching.push_back(e);
        EXPECT_EQ(db->CountWords(filter), static_cast<std::int64_t>(matching.size())) << filter.toStdString();
        for (const WordOrder order : {WordOrder::Headword, WordOrder::Translation, WordOrder::Added, WordOrder::Note}) {
            for (const bool descending : {false, true}) {
                auto key = [order](const WordEntry& e) {
                    switch (order) {
                    case WordOrder::Headword: return e.headword.toLower();
                    case WordOrder::Translation: return e.translation.toLower();
                    case WordOrder::Note: return e.note.toLower();
                    case WordOrder::Added: break;
                    }
                    return QString::number(e.added);
                };
                std::vector<WordEntry> expected = matching;
                std::stable_sort(expected.begin(), expected.end(), [&](const WordEntry& a, const WordEntry& b) {
                    const auto ka = std::make_pair(key(a), a.id), kb = std::make_pair(key(b), b.id);
                    return descending ? kb < ka : ka < kb;
                });
                std::vector<std::int64_t> paged, wanted;
                for (std::int64_t offset = 0; offset < static_cast<std::int64_t>(expected.size()) + 7; offset += 7)
                    for (const WordEntry& e : db->Words(filter, order, descending, offset, 7)) paged.push_back(e.id);
                for (const WordEntry& e : expected) wanted.push_back(e.id);
                EXPECT_EQ(paged, wanted) << filter.toStdString() << " order " << static_cast<int>(order)
                                         << (descending ? " descending" : "");
                // The count a page was read with, and the count after a write.
                EXPECT_EQ(db->CountWords(filter), static_cast<std::int64_t>(matching.size())) << filter.toStdString();
            }
        }
    }
    const std::int64_t before = db->CountWords(QStringLiteral("ab"));
    db->Words(QStringLiteral("ab"), WordOrder::Headword, false, 0, 7);
    ASSERT_TRUE(db->AddWord(Word(QStringLiteral("new ab"), QStringLiteral("t"), QString())));
    EXPECT_EQ(db->CountWords(QStringLiteral("ab")), before + 1);
}

TEST(UserDatabase, MergeAddsNewEntriesFillsEmptyNotesAndLandsWholeOrNotAtAll) {
    TempDir dir;
    auto db = UserDatabase::Open(DbPath(dir));
    db->AddWord(Word("cell", "細胞"));
    db->AddWord(Word("bone", "骨", "own note"));
    db->AddWord(Word("skin", "皮膚"));
    const auto outcome = db->MergeWords({Word("cell", "細胞", "imported"), Word("bone", "骨", "imported"),
                                         Word("skin", "皮膚"), Word("nerve", "神経", "n"), Word("nerve", "神経", "n2")});
    ASSERT_TRUE(outcome);
    EXPECT_EQ(std::tie(outcome->added, outcome->notesTaken, outcome->alreadyThere),
              std::make_tuple(std::int64_t{1}, std::int64_t{1}, std::int64_t{3}));
    QStringList notes;
    for (const WordEntry& e : db->Words({}, WordOrder::Headword, false, 0, 10)) notes << e.headword + "=" + e.note;
    EXPECT_EQ(notes, QStringList({"bone=own note", "cell=imported", "nerve=n", "skin="}));

    // An import whose last entry cannot be written (a trigger refuses it, as a full disk
    // would) leaves the list as it was.
    RawDatabase(DbPath(dir)).Exec("CREATE TRIGGER refuse BEFORE INSERT ON words WHEN NEW.headword = 'liver' "
                                  "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_FALSE(db->MergeWords({Word("lung", "肺"), Word("skin", "皮膚", "x"), Word("liver", "肝臓")}));
    QStringList after;
    for (const WordEntry& e : UserDatabase::Open(DbPath(dir))->Words({}, WordOrder::Headword, false, 0, 10))
        after << e.headword + "=" + e.note;
    EXPECT_EQ(after, notes);
}

}  // namespace

namespace {

// A folder of the database's own is made for the user alone; one that is there already
// (a portable copy's folder, which others run it from) stays as it is, and the file in
// it is the user's alone either way.
TEST(UserDatabase, MakesANewFolderPrivateAndLeavesAFolderThatIsThere) {
    namespace fs = std::filesystem;
    TempDir dir;
    fs::create_directories(dir.File("shared"));
    fs::permissions(dir.File("shared"), fs::perms(0755));
    const auto mode = [](const std::string& path) { return fs::status(path).permissions() & fs::perms::all; };
    ASSERT_TRUE(UserDatabase::Open(QString::fromStdString(dir.File("shared/quillordic.sqlite")))->Available());
    EXPECT_EQ(mode(dir.File("shared")), fs::perms(0755));
    EXPECT_EQ(mode(dir.File("shared/quillordic.sqlite")), fs::perms(0600));
    ASSERT_TRUE(UserDatabase::Open(DbPath(dir))->Available());
    EXPECT_EQ(mode(dir.File("store")), fs::perms(0700));
}

}  // namespace
