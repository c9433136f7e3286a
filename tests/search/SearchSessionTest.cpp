#include "search/SearchSession.h"

#include "textmodel/TextLines.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using namespace std::string_literals;

// Writes down what the search shows, in order.
class RecordingSink : public SearchSink {
public:
    std::vector<std::string> events;
    std::map<StatusPanel, std::string> panels;

    void SetStatus(StatusPanel panel, std::string_view text) override {
        const int number = static_cast<int>(panel);
        panels[panel] = text;
        events.push_back(std::to_string(number) + ":" + std::string(text));
    }
    void RepaintStatus() override { events.push_back("repaint"); }
    void ResetHitCounter() override { events.push_back("counter"); }
};

std::string Record(int number, const std::string& headword, const std::string& examples) {
    return std::to_string(number) + " " + headword + "///" + "\x90\x53:::" + examples + "\r\n";
}

// Twelve records, well over 255 bytes: "heart" in 1, 4, 7, 10; "lung" in 2 and 4.
std::string TwelveRecords() {
    std::string text;
    for (int i = 0; i < 12; ++i) {
        std::string examples = i % 3 == 1 ? "The heart beat. " : "";
        if (i == 2 || i == 4) examples += "The lung";
        text += Record(i + 1, "word" + std::to_string(i), examples.empty() ? "Nothing here." : examples);
    }
    return text;
}

class SearchSessionTest : public testing::Test {
protected:
    TextLines lines;
    SearchSession session;
    RecordingSink sink;

    void SetUp() override { lines.SetWholeText(TwelveRecords()); }

    bool Run(const std::string& request, SearchOptions options = {}, std::int32_t maxOfSelection = 300) {
        SearchRequestInput input;
        input.typedText = request;
        input.bytes = request;
        input.options = options;
        input.ignoredWords = {"in", "the", "of"};
        input.maxOfSelection = maxOfSelection;
        sink = RecordingSink();
        return session.Run(input, lines, Separators{}, sink);
    }
};

TEST_F(SearchSessionTest, ASuccessfulSearchReportsEachStepAndLeavesTheResults) {
    ASSERT_TRUE(Run("heart lung"));
    EXPECT_EQ(sink.events, (std::vector<std::string>{"0:", "1:", "2:", "2:お待ちください", "0:行数:12",
                                                     "2:heart lung", "1:キー数:2", "counter", "1:HitAll=6",
                                                     "repaint"}));
    EXPECT_EQ(session.HitAll(), 6);
    EXPECT_EQ(session.ResultCount(), 5);
    EXPECT_EQ(session.Hits().Results().front().line, 1);
    EXPECT_EQ(session.Keys(), (KeySlots{"heart", "lung", ""}));
    EXPECT_TRUE(session.Buffer().IsBuilt());

    // AND: only record 4 holds both.
    ASSERT_TRUE(Run("heart lung", SearchOptions{true, true, true, RecordField::WholeRecord}));
    EXPECT_EQ(session.ResultCount(), 1);
    EXPECT_EQ(session.Hits().Results().front().line, 4);
    EXPECT_TRUE(session.Options().andMatch);
}

TEST_F(SearchSessionTest, AOneKeySearchStopsAboveTheHitLimitKeepingTheRawHits) {
    EXPECT_TRUE(Run("heart", {}, 4));  // exactly the limit proceeds
    EXPECT_FALSE(Run("heart", {}, 3));
    EXPECT_EQ(sink.panels[StatusPanel::Message], "3件を超えた結果があります");
    EXPECT_EQ(session.ResultCount(), 0);
    EXPECT_EQ(session.Hits().Count(), 4u);
    EXPECT_FALSE(session.Hits().HoldsResults());
    // Two keys have no limit.
    EXPECT_TRUE(Run("heart lung", {}, 1));
}

TEST_F(SearchSessionTest, KeysAtTheEdgesOfTheTextAndOfItsLines) {
    lines.SetWholeText("heart " + std::string(300, 'x') + "\r\nlung heart");
    session.DiscardBuffer();
    ASSERT_TRUE(Run("heart"));
    EXPECT_EQ(session.HitAll(), 2);
    EXPECT_EQ(session.ResultCount(), 2);
    // A key spanning a line break belongs to the line it starts in; as a whole word it
    // would need a delimiter after it in that line.
    ASSERT_TRUE(Run("x\r\nlung", SearchOptions{false, false, false, RecordField::WholeRecord}));
    EXPECT_EQ(session.Hits().Results().front().line, 0);
    EXPECT_FALSE(Run("x\r\nlung", SearchOptions{false, false, true, RecordField::WholeRecord}));
    EXPECT_EQ(sink.panels[StatusPanel::Message], "条件に一致しません");
    // One that begins with the break starts past its line's text, after the CR.
    ASSERT_TRUE(Run("\nlung", SearchOptions{false, false, true, RecordField::WholeRecord}));
    EXPECT_EQ(session.Hits().Results().front().line, 0);
}

TEST_F(SearchSessionTest, LongKeysAndHalfWidthKatakana) {
    const std::string longKey(4000, 'k');
    const std::string katakana = "\xB1\xB2";  // half-width "ai": two single-byte characters
    lines.SetWholeText("1 a///x:::" + longKey + "\r\n2 b///x:::(" + katakana + ")\r\n3 c///x:::" + katakana + "\xB3\r\n");
    session.DiscardBuffer();
    ASSERT_TRUE(Run(longKey));
    EXPECT_EQ(session.Hits().Results().front().line, 0);
    // Half-width katakana are single-byte: a whole word needs delimiters around it.
    ASSERT_TRUE(Run(katakana));
    EXPECT_EQ(session.HitAll(), 2);
    EXPECT_EQ(session.ResultCount(), 1);
    EXPECT_EQ(session.Hits().Results().front().line, 1);
}

TEST_F(SearchSessionTest, AKeyOfAnUnrepresentableCharacterFindsNothing) {
    // The search box writes a character code page 932 cannot hold as NUL.
    EXPECT_FALSE(Run("he\0"s));
    EXPECT_EQ(sink.panels[StatusPanel::Message], "見つかりません");
}

}  // namespace
