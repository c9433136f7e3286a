// The history's back and forward, and the word list, as the session keeps them over a
// store: browser-like steps, a restart, and records that moved or went away.
#include "session/DictionarySession.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// The store as a program run sees it, in memory: what the next run would read back.
class MemoryStore : public ReadingStore {
public:
    std::vector<HistoryStep> steps;
    std::set<std::pair<QString, QString>> words;

    std::vector<HistoryStep> Trail(const QString& dataFile) override {
        std::vector<HistoryStep> trail;
        for (const HistoryStep& step : steps)
            if (step.dataFile == dataFile && !left.count(step.id)) trail.push_back(step);
        return trail;
    }
    std::int64_t AddStep(const HistoryStep& step) override {
        steps.push_back(step);
        steps.back().id = static_cast<std::int64_t>(steps.size());
        return steps.back().id;
    }
    void LeaveTrail(const std::vector<std::int64_t>& ids) override { left.insert(ids.begin(), ids.end()); }
    bool HasWord(const QString& headword, const QString& translation) override {
        return words.count({headword, translation}) != 0;
    }
    bool AddWord(const WordEntry& entry) override { return words.insert({entry.headword, entry.translation}).second; }
    bool RemoveWord(const QString& headword, const QString& translation) override {
        return words.erase({headword, translation}) != 0;
    }
    QString TakeNotice() override { return {}; }

private:
    std::set<std::int64_t> left;
};

std::string Record(int number, const std::string& headword, const std::string& translation) {
    return std::to_string(number) + " " + headword + "///" + translation + ":::An example of " + headword +
           " that makes the record long enough to be searched./ Another one.\r\n";
}

class ReadingHistoryTest : public testing::Test {
protected:
    TempDir dir;
    MemoryStore store;
    std::unique_ptr<DictionarySession> session;
    QString path;

    void Start(const std::string& text) {
        path = QString::fromStdString(dir.Write("dic.txt", text));
        session = std::make_unique<DictionarySession>();
        session->SetStore(&store);
        session->Load(path);
        session->ReadHistory();  // as the window does once the load is shown
    }
    // What the window does with a step: shows its record and tells the session so.
    void Show(std::int64_t line, std::optional<StepReach> reach = StepReach::Index) {
        session->RecordShown(RecordStep{{}, {}, line, false, {}, reach, false});
    }
    std::optional<std::int64_t> Go(std::optional<HistoryMove> move) {
        if (!move) return std::nullopt;
        session->RecordShown(move->step);
        return move->step.line;
    }
    std::optional<std::int64_t> Back() { return Go(session->HistoryBack()); }
    std::optional<std::int64_t> Forward() { return Go(session->HistoryForward()); }
    std::string LineText(std::int64_t line) const { return session->FullText().Line(line); }
};

std::string TenRecords() {
    std::string text;
    for (int i = 0; i < 10; ++i) text += Record(i + 1, "word" + std::to_string(i), "translation " + std::to_string(i));
    return text;
}

TEST_F(ReadingHistoryTest, BackAndForwardGoWhereTheReaderWasAsInABrowserAndAfterARestart) {
    Start(TenRecords());
    EXPECT_FALSE(session->History().CanGoBack());
    Show(1);
    Show(3, StepReach::Lookup);
    Show(3, StepReach::SearchResult);  // the same record again is no new step
    Show(5, StepReach::Link);
    EXPECT_EQ(Back(), 3);
    EXPECT_EQ(Back(), 1);
    EXPECT_EQ(Back(), std::nullopt);
    EXPECT_EQ(Forward(), 3);
    // Elsewhere after going back: the step ahead (5) leaves the trail.
    Show(8);
    EXPECT_EQ(Forward(), std::nullopt);
    // A record step along the file is no step, but back first returns to the record left.
    Show(9, std::nullopt);
    EXPECT_EQ(Back(), 8);
    EXPECT_EQ(Back(), 3);
    EXPECT_EQ(Forward(), 8);
    EXPECT_EQ(Forward(), std::nullopt);
    // A page that is no record (suggestions, the guide) in its place: back returns to it.
    session->RecordHidden();
    EXPECT_EQ(Back(), 8);
    EXPECT_EQ(store.steps.size(), 4u);  // 1, 3, 5, 8: the list keeps what the trail dropped

    // The next run: back leads to what was read last, and on through the trail.
    Start(TenRecords());
    EXPECT_FALSE(session->History().CanGoForward());
    EXPECT_EQ(Back(), 8);
    EXPECT_EQ(Back(), 3);
    EXPECT_EQ(Back(), 1);
    EXPECT_EQ(Back(), std::nullopt);
}

// Records of few headwords, so that many share one; steps to random records; then
// lines inserted, deleted, rewritten and renamed. Every step back shows its own record
// where it still is, else a record of its headword, else is passed over: never a record
// of another headword.
TEST_F(ReadingHistoryTest, AStepAfterAnEditShowsItsRecordOrOneOfItsHeadwordOrIsPassedOver) {
    std::mt19937 random(24);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        std::vector<std::string> lines;
        for (int i = 0; i < 40; ++i)
            lines.push_back(Record(i + 1, "head" + std::to_string(pick(6)), "meaning " + std::to_string(i)));
        std::string text;
        for (const std::string& line : lines) text += line;
        store = MemoryStore();
        Start(text);

        std::vector<std::string> trail;  // each step's record; the same line twice running is one step
        std::int64_t last = -1;
        for (int i = 0; i < 25; ++i) {
            const int line = pick(40);
            Show(line);
            if (line != last) trail.push_back(LineText(line) + "\r\n");
            last = line;
        }
        for (int edit = 0; edit < 12; ++edit) {
            const auto at = lines.begin() + pick(static_cast<int>(lines.size()));
            const std::string headword = at->substr(at->find(' ') + 1, at->find("///") - at->find(' ') - 1);
            switch (pick(4)) {
            case 0: lines.insert(at, Record(100 + edit, "head" + std::to_string(pick(8)), "new")); break;
            case 1: lines.erase(at); break;
            case 2: *at = Record(200 + edit, headword, "rewritten"); break;
            case 3: *at = Record(300 + edit, "renamed" + std::to_string(edit), "renamed"); break;
            }
        }
        text.clear();
        for (const std::string& line : lines) text += line;
        session->ReplaceFullText(text);

        const auto headwordOf = [](const std::string& line) {
            return line.substr(line.find(' ') + 1, line.find("///") - line.find(' ') - 1);
        };
        const auto anyLineOf = [&](const std::string& headword) {
            return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return headwordOf(l) == headword; });
        };
        // Back from the newest step: the earlier ones whose headword is still there, in turn.
        std::vector<std::string> expected;
        for (auto it = trail.rbegin() + 1; it != trail.rend(); ++it)
            if (anyLineOf(headwordOf(*it))) expected.push_back(*it);
        std::vector<std::string> walked;
        while (const std::optional<std::int64_t> line = Back()) walked.push_back(LineText(*line) + "\r\n");
        ASSERT_EQ(walked.size(), expected.size());
        for (std::size_t i = 0; i < walked.size(); ++i) {
            EXPECT_EQ(headwordOf(walked[i]), headwordOf(expected[i]));
            if (std::find(lines.begin(), lines.end(), expected[i]) != lines.end()) {
                EXPECT_EQ(walked[i], expected[i]);
            }
        }
    }
}

TEST_F(ReadingHistoryTest, TheWordListTakesTheRecordShownAndGivesItBackAfterItMoved) {
    Start(TenRecords() + "11 damaged line without its separators\r\n");
    EXPECT_EQ(session->ToggleShownRecordListed(), std::nullopt);  // no record shown
    Show(4);
    EXPECT_FALSE(session->ShownRecordListed());
    EXPECT_EQ(session->ToggleShownRecordListed(), "「word4」を単語帳に登録しました");
    EXPECT_TRUE(session->ShownRecordListed());
    Show(5);
    EXPECT_FALSE(session->ShownRecordListed());
    Show(4);
    EXPECT_EQ(session->ToggleShownRecordListed(), "「word4」を単語帳から外しました");
    EXPECT_TRUE(store.words.empty());
    Show(10);
    EXPECT_EQ(session->ToggleShownRecordListed(), "壊れた行は単語帳に登録できません");
    // The record on the page is the one listed, wherever an edit moved its line; once
    // rewritten, it is no record of the text any more.
    Show(4);
    session->ReplaceFullText(Record(0, "inserted", "new") + TenRecords());
    EXPECT_EQ(session->ToggleShownRecordListed(), "「word4」を単語帳に登録しました");
    EXPECT_TRUE(session->ShownRecordListed());
    std::string rewritten = TenRecords();
    rewritten.replace(rewritten.find("translation 4"), 13, "rewritten");
    session->ReplaceFullText(rewritten);
    EXPECT_EQ(session->ToggleShownRecordListed(), "表示中のレコードは書き換えられたため、単語帳に登録できません");
    store.words.clear();

    // An entry shows its record where the record is now, and none once it is gone.
    WordEntry entry;
    entry.headword = QStringLiteral("word4");
    entry.translation = QStringLiteral("translation 4");
    entry.line = 4;
    session->ReplaceFullText(Record(0, "inserted", "new") + TenRecords());
    EXPECT_EQ(session->WordRecord(entry)->line, 5);
    entry.translation = QStringLiteral("translation 5");
    EXPECT_EQ(session->WordRecord(entry), std::nullopt);
}

}  // namespace
