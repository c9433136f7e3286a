#include "session/DictionarySession.h"

#include "TempDir.h"
#include "common/Sjis.h"
#include "view/LookupPage.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

class QuietSink : public SearchSink {
public:
    void SetStatus(StatusPanel, std::string_view) override {}
    void RepaintStatus() override {}
    void ResetHitCounter() override {}
};

// Ten records of over 255 bytes: "heart" in records 2, 5 and 8 (lines 1, 4, 7).
std::string TenRecords() {
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += std::to_string(i + 1) + " word" + std::to_string(i) + "///\x90\x53:::" +
                (i % 3 == 1 ? "The heart beat here." : "Nothing to see here.") + "\r\n";
    return text;
}

class DictionarySessionTest : public testing::Test {
protected:
    TempDir dir;
    DictionarySession session;
    QuietSink sink;

    void SetUp() override { session.Load(QString::fromStdString(dir.Write("dic.txt", TenRecords()))); }

    bool Search(const char* text) { return session.RunSearch(QString::fromUtf8(text), SearchOptions{}, sink); }
};

// Where a step goes, as the index and the page see it.
struct Expected {
    std::optional<std::int64_t> searchRow, headwordRow, line;
    bool markKeys;
    std::optional<std::string> hitCounter;
};

void ExpectStep(const std::optional<RecordStep>& step, const std::optional<Expected>& expected, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(step.has_value(), expected.has_value());
    if (!step) return;
    EXPECT_EQ(step->searchRow, expected->searchRow);
    EXPECT_EQ(step->headwordRow, expected->headwordRow);
    EXPECT_EQ(step->line, expected->line);
    EXPECT_EQ(step->markKeys, expected->markKeys);
    EXPECT_EQ(step->hitCounterText, expected->hitCounter);
}

TEST_F(DictionarySessionTest, ALoadFillsTheStoreAndTheIndexAndAFailedOneChangesNothing) {
    EXPECT_EQ(session.FullText().LineCount(), 10u);
    EXPECT_EQ(session.HeadwordIndex().Line(9), "word9");
    EXPECT_EQ(session.Origin().bytesCutAtNul, 0u);
    EXPECT_FALSE(session.FullText().Modified());

    const QString before = session.DataFile();
    EXPECT_ANY_THROW(session.Load(QString::fromStdString(dir.File("missing.txt"))));
    EXPECT_EQ(session.DataFile(), before);
    EXPECT_EQ(session.FullText().LineCount(), 10u);

    const LoadOutcome damaged = session.Load(QString::fromStdString(dir.Write("d.txt", "1 a///b\r\n2 c///d:::e\r\n\0x"s)));
    EXPECT_EQ(damaged.sizeText, "Size=24");
    ASSERT_TRUE(damaged.notice);
    EXPECT_NE(damaged.notice->find("0//0::1"), std::string::npos) << *damaged.notice;
    EXPECT_EQ(session.Origin().bytesCutAtNul, 2u);
}

TEST_F(DictionarySessionTest, RecordStepsWalkTheHeadwordIndexAndStopAtItsEnds) {
    ExpectStep(session.FirstRecord(), Expected{{}, 0, 0, false, {}}, "first");
    ExpectStep(session.LastRecord(), Expected{{}, 9, 9, false, {}}, "last");
    ExpectStep(session.NextRecord(3), Expected{{}, 4, 4, false, {}}, "next");
    ExpectStep(session.NextRecord(9), std::nullopt, "next at the end");
    ExpectStep(session.PreviousRecord(3), Expected{{}, 2, 2, false, {}}, "previous");
    ExpectStep(session.PreviousRecord(0), std::nullopt, "previous at the start");
    ExpectStep(session.ChooseHeadword(9), Expected{{}, {}, 9, false, {}}, "a click on the last row");
    ExpectStep(session.ChooseHeadword(10), std::nullopt, "a click below the rows");
    EXPECT_EQ(DictionarySession::RecordPositionText(9), "No.10");
}

TEST_F(DictionarySessionTest, HitStepsWalkTheResultsAndKeepTheCounter) {
    ASSERT_TRUE(Search("heart"));
    EXPECT_EQ(session.SearchIndex().LineCount(), 3u);
    ExpectStep(session.FirstResult(), Expected{0, 1, 1, true, "1    "}, "first result");
    ExpectStep(session.PreviousHit(0), std::nullopt, "before the first");
    ExpectStep(session.NextHit(0), Expected{1, 4, 4, true, "2"}, "second");
    ExpectStep(session.NextHit(0), Expected{2, 7, 7, true, "3"}, "third");
    ExpectStep(session.NextHit(0), std::nullopt, "after the last");
    EXPECT_EQ(session.CurrentHit(), 3);
    ExpectStep(session.CurrentHitStep(0), Expected{2, 7, 7, true, {}}, "the current one again");
    ExpectStep(session.ChooseResult(0), Expected{{}, {}, 1, true, "1"}, "a click on the first result");
    EXPECT_EQ(session.CurrentHit(), 1);
    ExpectStep(session.ChooseResult(3), std::nullopt, "a click below the results");

    // A new search starts at its first hit.
    session.NextHit(0);
    ASSERT_TRUE(Search("beat"));
    EXPECT_EQ(session.CurrentHit(), 1);
}

TEST_F(DictionarySessionTest, AStoppedSearchLeavesTheShownResultsChoosable) {
    ASSERT_TRUE(Search("heart"));
    // Over the hit limit: the hit list holds raw hits now, and the index still shows
    // the earlier results, whose rows still show their records.
    session.SetHitLimit(2);
    ASSERT_FALSE(Search("here"));
    EXPECT_EQ(session.Search().ResultCount(), 0);
    ExpectStep(session.ChooseResult(2), Expected{{}, {}, 7, true, "3"}, "a row of the index on screen");
    // Without a result list a hit step shows the record at the headword caret.
    session.PreviousHit(5);
    ExpectStep(session.NextHit(5), Expected{{}, 5, 5, true, "3"}, "a step over the raw hits");
    ExpectStep(session.NextHit(10), Expected{{}, {}, {}, false, "4"}, "below the last headword: no record");
}

TEST_F(DictionarySessionTest, ThePageMarksTheLastKeysOnlyWhenAsked) {
    ASSERT_TRUE(Search("heart"));
    EXPECT_NE(session.RecordPage(1, true).find("<FONT COLOR=\"BLUE\">heart</FONT>"), std::string::npos)
        << session.RecordPage(1, true);
    EXPECT_EQ(session.RecordPage(1, false).find("<FONT"), std::string::npos);
    EXPECT_ANY_THROW(session.RecordPage(10, false));
}

TEST_F(DictionarySessionTest, AnEditOfTheStoreMakesTheSearchTextStale) {
    ASSERT_TRUE(Search("heart"));
    EXPECT_TRUE(session.Search().Buffer().IsBuilt());
    session.FullText().ReplaceLine(0, "1 heart///x:::y");
    EXPECT_FALSE(session.Search().Buffer().IsBuilt());
    ASSERT_TRUE(Search("heart"));
    EXPECT_EQ(session.Search().ResultCount(), 4);
}

TEST_F(DictionarySessionTest, IgnoredWordsLeaveOutWhatTheCodePageCannotHold) {
    EXPECT_EQ(session.IgnoredWords().front(), "in");  // the designed list, until the settings give one
    session.SetIgnoredWordsText(QStringLiteral("na\u00efve\nwith\n\n\u5fc3"));
    EXPECT_EQ(session.IgnoredWords(), (std::vector<std::string>{"with", "", "\x90\x53"}));
    session.SetIgnoredWords({"of", "the"});
    EXPECT_EQ(session.IgnoredWordsText(), QStringLiteral("of\nthe"));
}

}  // namespace

namespace {

std::string Cp932(const char* utf8) { return Sjis::FromUtf8(utf8).bytes; }

// The lookup reads the headwords of the dictionary loaded last, and of no other.
TEST_F(DictionarySessionTest, ALookupShowsTheHeadwordItsBaseFormOrPageOfSuggestions) {
    session.Load(QString::fromStdString(dir.Write("medical.txt", "1 bacillus///a:::\r\n2 pneumonia///b:::\r\n"
                                                                   "3 <pleura>///c:::\r\n")));
    const LookupOutcome exact = session.LookUp(QStringLiteral(" Pneumonia "));
    EXPECT_EQ(exact.kind, LookupOutcome::Kind::Record);
    EXPECT_EQ(exact.step.line, 1);
    EXPECT_EQ(exact.step.headwordRow, 1);
    EXPECT_EQ(exact.statusText, "");

    const LookupOutcome inflected = session.LookUp(QStringLiteral("Bacilli"));
    EXPECT_EQ(inflected.step.line, 0);
    EXPECT_EQ(inflected.statusText, "Bacilli → bacillus");

    const LookupOutcome suggested = session.LookUp(QStringLiteral("pnuemonia"));
    ASSERT_EQ(suggested.kind, LookupOutcome::Kind::Suggestions);
    EXPECT_EQ(suggested.statusText, "もしかして: pneumonia");
    EXPECT_NE(suggested.page.find(Cp932("「pnuemonia」は見出し語にありません")), std::string::npos);
    const std::string link = RecordLinkAddress({session.LoadCount(), 1});
    EXPECT_NE(suggested.page.find("<A href=\"" + link + "\">pneumonia</A>"), std::string::npos);
    EXPECT_EQ(ParseRecordLink(link), (RecordLink{session.LoadCount(), 1}));
    // A headword's own "<" is text on the page, not a tag.
    EXPECT_NE(session.LookUp(QStringLiteral("<pleira>")).page.find(">&lt;pleura&gt;</A>"), std::string::npos);

    for (const char* text : {"word1", "h\xC3\xA9" "art", "", "zzzzzzzz"})
        EXPECT_EQ(session.LookUp(QString::fromUtf8(text)).kind, LookupOutcome::Kind::FullTextSearch) << text;

    // A load that fails leaves the headwords as they were.
    EXPECT_THROW(session.Load(QString::fromStdString(dir.File("missing.txt"))), std::exception);
    EXPECT_EQ(session.LookUp(QStringLiteral("bacilli")).step.line, 0);
}

// A damaged line has no row in the headword index: every step by a row shows the line
// that row was cut from, and a result's line puts the caret on its own row.
TEST_F(DictionarySessionTest, StepsByRowShowTheLineTheRowWasCutFrom) {
    const std::string more(300, 'x');
    session.Load(QString::fromStdString(dir.Write("damaged.txt", "1 heart without separators\r\n2 bacillus///a:::" +
                                                                   more + "\r\n3 heart///b:::" + more + "\r\n")));
    ExpectStep(session.ChooseHeadword(1), Expected{{}, {}, 2, false, {}}, "a click on row 1");
    ExpectStep(session.NextRecord(0), Expected{{}, 1, 2, false, {}}, "the record after row 0");
    ExpectStep(session.LastRecord(), Expected{{}, 1, 2, false, {}}, "the last record");
    ExpectStep(session.FirstRecord(), Expected{{}, 0, 1, false, {}}, "the first record");
    ASSERT_TRUE(Search("heart"));
    ExpectStep(session.FirstResult(), Expected{0, std::nullopt, 0, true, "1    "}, "a hit on the damaged line");
    ExpectStep(session.NextHit(0), Expected{1, 1, 2, true, "2"}, "a hit on a headword's line");
}

TEST_F(DictionarySessionTest, ALookupShowsTheLineItsHeadwordWasCutFrom) {
    session.Load(QString::fromStdString(dir.Write("damaged.txt", "1 damaged line\r\n2 bacillus///a:::\r\n"
                                                                   "3 pneumonia///b:::\r\n4 \x81<b>///c:::\r\n")));
    const LookupOutcome exact = session.LookUp(QStringLiteral("pneumonia"));
    EXPECT_EQ(exact.step.headwordRow, 1);
    EXPECT_EQ(exact.step.line, 2);
    EXPECT_EQ(session.LookUp(QStringLiteral("bacilli")).step.line, 1);
    // A lead byte before "<" is no character with it: the "<" is still escaped.
    const LookupOutcome suggested = session.LookUp(QStringLiteral("<b>x"));
    EXPECT_EQ(suggested.page.find("\x81<b>"), std::string::npos);
    EXPECT_NE(suggested.page.find("\x81&lt;b&gt;"), std::string::npos);
}

TEST_F(DictionarySessionTest, TheCompletionListOffersHeadwordsThenBaseForms) {
    session.Load(QString::fromStdString(dir.Write("medical.txt", "1 bacillus///a:::\r\n2 bacterium///b:::\r\n")));
    session.Catalog();  // built
    const auto texts = [this](const char* typed) {
        std::vector<std::string> rows;
        for (const CompletionItem& item : session.Completions(QString::fromUtf8(typed), 10))
            rows.push_back(item.text.toStdString() + " " + std::to_string(item.row));
        return rows;
    };
    EXPECT_EQ(texts("BAC"), (std::vector<std::string>{"bacillus 0", "bacterium 1"}));
    EXPECT_EQ(texts("bacteria "), (std::vector<std::string>{"bacteria → bacterium 1"}));
    EXPECT_TRUE(texts("h\xC3\xA9").empty());
}

}  // namespace
