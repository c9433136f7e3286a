#include "lookup/SpellingIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::int64_t>>;
constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();

SpellingIndex IndexOf(const Entries& entries) {
    SpellingIndex index;
    for (const auto& [key, order] : entries) index.Add(key, order);
    index.Finish();
    return index;
}

// The whole table, every entry: edits, deletions, insertions, substitutions, and a swap
// of two adjacent bytes where both were not edited already.
int NaiveDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i)
        for (std::size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    return d[a.size()][b.size()];
}

// Every entry within two edits of `query`, ranked by the rule; none for an empty query.
std::vector<std::tuple<int, std::size_t, std::int64_t>> NaiveRanking(const Entries& entries, const std::string& query) {
    std::vector<std::tuple<int, std::size_t, std::int64_t>> ranked;
    if (query.empty()) return ranked;
    for (const auto& [key, order] : entries) {
        const int distance = NaiveDistance(key, query);
        const std::size_t gap = key.size() > query.size() ? key.size() - query.size() : query.size() - key.size();
        if (distance <= 2) ranked.emplace_back(distance, gap, order);
    }
    std::sort(ranked.begin(), ranked.end());
    return ranked;
}

std::vector<SpellingMatch> Best(const std::vector<std::tuple<int, std::size_t, std::int64_t>>& ranked,
                                int maxDistance, std::size_t maxCount) {
    std::vector<SpellingMatch> matches;
    for (const auto& [distance, gap, order] : ranked)
        if (distance <= maxDistance && matches.size() < maxCount) matches.push_back({order, distance});
    return matches;
}

TEST(SpellingIndex, MeasuresTheEditsOfTheRule) {
    const struct {
        std::string key;
        std::string query;
        std::optional<int> distance;  // within two edits, else none
    } cases[] = {
        {"pneumonia", "pneumonia", 0},         {"pneumonia", "pnuemonia", 1},  // a swap
        {"pneumonia", "pneumona", 1},          {"pneumonia", "pneumoniae", 1},
        {"pneumonia", "pneumania", 1},         {"pneumonia", "pnuemonai", 2},
        {"pneumonia", "neumonai", 2},          {"pneumonia", "pnuemoniaxx", std::nullopt},
        {"pneumonia", "pneu", std::nullopt},   {"ca", "abc", std::nullopt},  // no edit after a swap
        {"acute abdomen", "acute abdomne", 1}, {"acute abdomen", "acuteabdomen", 1},
        {"\x90\x53\x91\x9f", "\x90\x53\x9f\x91", 1}, {"\xe9t\xe9", "ete", 2},
        {"a", std::string("a\0", 2), 1},      {std::string("a\0", 2), "a", 1},
    };
    for (const auto& [key, query, distance] : cases) {
        const auto found = IndexOf({{key, 7}}).Suggest(query, 2, 10);
        const std::vector<SpellingMatch> expected =
            distance ? std::vector<SpellingMatch>{{7, *distance}} : std::vector<SpellingMatch>{};
        EXPECT_EQ(found, expected)
            << key << " / " << query;
    }
}

TEST(SpellingIndex, RanksByDistanceThenLengthThenOrder) {
    const SpellingIndex index = IndexOf({{"cardiac", 4}, {"cordiac", -1}, {"cardio", 3}, {"cardia", 1},
                                         {"cardiac", 2}, {"carda", 0}, {"cortex", 5}});
    const std::vector<SpellingMatch> all = {{1, 0}, {3, 1}, {0, 1}, {2, 1}, {4, 1}, {-1, 2}};
    EXPECT_EQ(index.Suggest("cardia", 2, 10), all);
    EXPECT_EQ(index.Suggest("cardia", 4, 10), all);  // never past two edits: not "cortex"
    EXPECT_EQ(index.Suggest("cardia", 2, 3), (std::vector<SpellingMatch>(all.begin(), all.begin() + 3)));
    EXPECT_EQ(index.Suggest("cardia", 1, 10), (std::vector<SpellingMatch>(all.begin(), all.end() - 1)));
    EXPECT_EQ(index.Suggest("cardia", 0, 10), (std::vector<SpellingMatch>{{1, 0}}));
    EXPECT_EQ(index.Size(), 7u);
}

TEST(SpellingIndex, AnswersNothingForNothingToLookFor) {
    SpellingIndex index;
    index.Add("ab", 1);
    EXPECT_TRUE(index.Suggest("ab", 2, 10).empty());  // before Finish
    index.Finish();
    index.Add("", 2);
    index.Add("abc", 3);
    EXPECT_EQ(index.Suggest("ab", 2, 10), (std::vector<SpellingMatch>{{1, 0}}));  // until the next Finish
    index.Finish();
    EXPECT_EQ(index.Suggest("ab", 2, 10), (std::vector<SpellingMatch>{{1, 0}, {3, 1}, {2, 2}}));
    EXPECT_TRUE(index.Suggest("", 2, 10).empty());
    EXPECT_TRUE(index.Suggest("ab", 2, 0).empty());
    EXPECT_TRUE(index.Suggest("ab", -1, 10).empty());
    EXPECT_TRUE(index.Suggest(std::string(10'000, 'a'), 2, 10).empty());
}

// Random entries over a few bytes, so that near neighbours abound; a NUL among them,
// where the sort's eight-byte prefixes pad. Half are added after a first Finish.
TEST(SpellingIndex, FindsWhatAScanOfEveryEntryFinds) {
    const std::string alphabet("ab \xe9\0", 5);
    for (const std::size_t stem : {0u, 260u}) {  // a long shared prefix: past the kept lengths
        for (unsigned seed = 1; seed <= (stem ? 2u : 6u); ++seed) {
            std::mt19937 random(seed);
            const auto word = [&](std::size_t longest) {
                std::string text(stem, 'p');
                for (std::size_t size = random() % (longest + 1); size > 0; --size)
                    text += alphabet[random() % alphabet.size()];
                return text;
            };
            Entries entries;
            SpellingIndex index;
            const std::size_t count = stem ? 30 : 300;
            for (std::size_t at = 0; at < count; ++at) {
                entries.emplace_back(word(7), static_cast<std::int64_t>(random() % 1000) - 500);
                index.Add(entries.back().first, entries.back().second);
                if (at == count / 2) index.Finish();
            }
            index.Finish();
            for (int query = 0; query < (stem ? 10 : 60); ++query) {
                const std::string text = query % 10 == 9 ? word(7) + std::string(5, 'b') : word(9);
                const auto ranked = NaiveRanking(entries, text);
                for (int maxDistance = 0; maxDistance <= 2; ++maxDistance)
                    for (const std::size_t maxCount : {std::size_t{1}, std::size_t{5}, kAll})
                        ASSERT_EQ(index.Suggest(text, maxDistance, maxCount),
                                  Best(ranked, maxDistance, maxCount))
                            << "seed " << seed << ", query \"" << text << "\", " << maxDistance << ", " << maxCount;
            }
        }
    }
}

}  // namespace
