// Spelling suggestions over a million headwords, beside a scan of every headword.
//
//   quillor_suggest_bench          1,000,000 distinct pseudo-headwords of 4 to 25 bytes,
//                                  made letter by letter from the letter pairs of the
//                                  sample dictionary's headwords, some of them two-word
//                                  phrases
//   quillor_suggest_bench FILE     FILE's distinct headwords instead
//   quillor_suggest_bench --write-dictionary FILE
//                                  writes the pseudo-headwords as a dictionary to FILE
//
// The queries are 200 headwords with one or two random edits each, asked for the ten
// best within two edits. Tab-separated lines, read by scripts/bench:
//   headwords  COUNT  KEY_BYTES
//   finish     MS                       Finish(), the median of three builds
//   held       BYTES  BYTES_PER_ENTRY   HeldBytes() after Finish()
//   suggest    MEDIAN_MS  WORST_MS  MATCHES_PER_QUERY  (a query's time: its fastest of three runs)
//   scan       MEDIAN_MS  WORST_MS      the floor: every headword's banded distance
//   agree      SAME  QUERIES            queries where the index and the scan rank alike;
//                                       the exit status is 1 unless all of them
#include "common/Sjis.h"
#include "common/ViewStrings.h"
#include "dictionary/DataFile.h"
#include "dictionary/RecordLine.h"
#include "lookup/SpellingIndex.h"
#include "textmodel/TextLines.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_set>
#include <vector>

namespace {

constexpr int kMaxDistance = 2;
constexpr std::size_t kMaxCount = 10;

std::vector<std::string> DistinctHeadwords(const std::string& path) {
    TextLines lines;
    lines.SetWholeText(ReadWholeFile(path).text);
    std::vector<std::string> headwords;
    std::unordered_set<std::string> seen;
    for (std::size_t line = 0; line < lines.LineCount(); ++line) {
        const IndexEntry entry = CutIndexEntry(lines.LineView(line), Separators());
        if (entry.damage != LineDamage::None || entry.headword.empty()) continue;
        std::string key = Sjis::FoldAsciiCase(entry.headword);
        if (seen.insert(key).second) headwords.push_back(std::move(key));
    }
    return headwords;
}

// Which byte follows which in the sample's words, each word's first byte following
// state 256 and byte 256 ending a word.
class LetterPairs {
public:
    explicit LetterPairs(const std::vector<std::string>& headwords) {
        std::vector<std::vector<double>> counts(kEdge + 1, std::vector<double>(kEdge + 1, 0));
        for (const std::string& headword : headwords) {
            unsigned previous = kEdge;
            for (const char byte : headword + ' ') {
                const unsigned next = byte == ' ' ? kEdge : static_cast<unsigned char>(byte);
                if (previous != kEdge || next != kEdge) ++counts[previous][next];
                previous = next;
            }
        }
        for (auto& row : counts) {
            if (std::all_of(row.begin(), row.end(), [](double count) { return count == 0; })) row[kEdge] = 1;
            next_.emplace_back(row.begin(), row.end());
        }
    }

    std::string Word(std::mt19937_64& random) {
        std::string word;
        for (unsigned previous = kEdge;;) {
            const unsigned next = next_[previous](random);
            if (next == kEdge || word.size() > 30) return word;
            word += static_cast<char>(next);
            previous = next;
        }
    }

private:
    static constexpr unsigned kEdge = 256;
    std::vector<std::discrete_distribution<unsigned>> next_;
};

std::vector<std::string> PseudoHeadwords(const std::vector<std::string>& sample, std::size_t count) {
    LetterPairs pairs(sample);
    std::mt19937_64 random(1);
    std::unordered_set<std::string> seen;
    std::vector<std::string> headwords;
    while (headwords.size() < count) {
        std::string headword = pairs.Word(random);
        if (random() % 3 == 0) headword += ' ' + pairs.Word(random);
        if (headword.size() < 4 || headword.size() > 25 || headword.front() == ' ' || headword.back() == ' ') continue;
        if (seen.insert(headword).second) headwords.push_back(std::move(headword));
    }
    return headwords;
}

// A headword with one or two random edits: a byte inserted, deleted, replaced, or two
// neighbours swapped.
std::string Misspelt(const std::string& headword, std::mt19937_64& random) {
    std::string word = headword;
    for (std::size_t edits = 1 + random() % 2; edits > 0; --edits) {
        const std::size_t at = random() % (word.size() + 1);
        const char letter = static_cast<char>('a' + random() % 26);
        switch (random() % 4) {
        case 0: word.insert(at, 1, letter); break;
        case 1: if (at < word.size()) word.erase(at, 1); break;
        case 2: if (at < word.size()) word[at] = letter; break;
        default: if (at + 1 < word.size()) std::swap(word[at], word[at + 1]);
        }
    }
    return word;
}

// The floor: the distance to every headword of a length within reach, each table
// kept to its band and given up once a whole row is out of reach.
class Scan {
public:
    explicit Scan(const std::vector<std::string>& headwords) : headwords_(headwords) {}

    std::vector<SpellingMatch> Suggest(std::string_view query) {
        std::vector<std::tuple<int, std::size_t, std::int64_t>> found;
        for (std::size_t entry = 0; entry < headwords_.size(); ++entry) {
            const std::string& key = headwords_[entry];
            const std::size_t gap = key.size() > query.size() ? key.size() - query.size() : query.size() - key.size();
            if (gap > kMaxDistance) continue;
            if (const int distance = Distance(key, query); distance <= kMaxDistance)
                found.emplace_back(distance, gap, static_cast<std::int64_t>(entry));
        }
        const std::size_t count = std::min(kMaxCount, found.size());
        std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end());
        std::vector<SpellingMatch> matches;
        for (std::size_t at = 0; at < count; ++at) matches.push_back({std::get<2>(found[at]), std::get<0>(found[at])});
        return matches;
    }

private:
    int Distance(std::string_view a, std::string_view b) {
        constexpr int kOut = kMaxDistance + 1;
        const std::size_t width = b.size() + 1;
        rows_.assign(3 * width, kOut);
        int* before = rows_.data();
        int* above = before + width;
        int* row = above + width;
        for (std::size_t j = 0; j <= std::min<std::size_t>(b.size(), kMaxDistance); ++j) above[j] = static_cast<int>(j);
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::fill(row, row + width, kOut);
            const std::size_t low = i > kMaxDistance ? i - kMaxDistance : 0;
            const std::size_t high = std::min(b.size(), i + kMaxDistance);
            int best = kOut;
            if (low == 0) row[0] = static_cast<int>(i);
            for (std::size_t j = std::max<std::size_t>(low, 1); j <= high; ++j) {
                int cell = std::min({above[j] + 1, row[j - 1] + 1, above[j - 1] + (a[i - 1] != b[j - 1])});
                if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                    cell = std::min(cell, before[j - 2] + 1);
                row[j] = std::min(cell, kOut);
                best = std::min(best, row[j]);
            }
            if (low == 0) best = std::min(best, row[0]);
            if (best > kMaxDistance) return kOut;
            int* const spare = before;
            before = above;
            above = row;
            row = spare;
        }
        return above[b.size()];
    }

    const std::vector<std::string>& headwords_;
    std::vector<int> rows_;
};

double Milliseconds(std::chrono::steady_clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

struct Spread {
    double median, worst;
};
Spread SpreadOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

}  // namespace

int main(int argc, char* argv[]) {
    // A dictionary of the pseudo-headwords, for the lookup's benchmark at a million
    // different headwords.
    if (argc == 3 && std::string_view(argv[1]) == "--write-dictionary") {
        std::FILE* out = std::fopen(argv[2], "wb");
        if (!out) return 1;
        std::size_t number = 0;
        for (const std::string& headword : PseudoHeadwords(DistinctHeadwords(QUILLOR_SAMPLE), 1'000'000))
            std::fprintf(out, "%zu %s///\x96\xf3:::An example of %s.\r\n", ++number, headword.c_str(), headword.c_str());
        return std::fclose(out) == 0 ? 0 : 1;
    }
    const std::vector<std::string> headwords =
        argc > 1 ? DistinctHeadwords(argv[1]) : PseudoHeadwords(DistinctHeadwords(QUILLOR_SAMPLE), 1'000'000);
    if (headwords.empty()) {
        std::fprintf(stderr, "no headwords\n");
        return 1;
    }
    std::size_t keyBytes = 0;
    for (const std::string& headword : headwords) keyBytes += headword.size();
    std::printf("headwords\t%zu\t%zu\n", headwords.size(), keyBytes);

    std::vector<double> finishTimes;
    SpellingIndex index;
    for (int build = 0; build < 3; ++build) {
        index = SpellingIndex();
        for (std::size_t entry = 0; entry < headwords.size(); ++entry)
            index.Add(headwords[entry], static_cast<std::int64_t>(entry));
        const auto start = std::chrono::steady_clock::now();
        index.Finish();
        finishTimes.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    std::printf("finish\t%.1f\n", SpreadOf(finishTimes).median);
    std::printf("held\t%zu\t%.1f\n", index.HeldBytes(),
                static_cast<double>(index.HeldBytes()) / static_cast<double>(headwords.size()));

    std::mt19937_64 random(2);
    std::vector<std::string> queries;
    while (queries.size() < 200) {
        const std::string& headword = headwords[random() % headwords.size()];
        if (std::string query = Misspelt(headword, random); query != headword && !query.empty())
            queries.push_back(std::move(query));
    }

    // Each query's fastest of three runs, so that a busy machine does not pass for a
    // slow query.
    Scan scan(headwords);
    std::vector<std::vector<SpellingMatch>> suggested, scanned;
    std::vector<double> suggestTimes, scanTimes;
    std::size_t matches = 0;
    const auto fastest = [](const auto& run) {
        double best = 1e300;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            run();
            best = std::min(best, Milliseconds(std::chrono::steady_clock::now() - start));
        }
        return best;
    };
    for (const std::string& query : queries) {
        std::vector<SpellingMatch> result;
        suggestTimes.push_back(fastest([&] { result = index.Suggest(query, kMaxDistance, kMaxCount); }));
        matches += result.size();
        suggested.push_back(std::move(result));
        scanTimes.push_back(fastest([&] { result = scan.Suggest(query); }));
        scanned.push_back(std::move(result));
    }
    const Spread suggest = SpreadOf(suggestTimes), floor = SpreadOf(scanTimes);
    std::printf("suggest\t%.3f\t%.3f\t%.1f\n", suggest.median, suggest.worst,
                static_cast<double>(matches) / static_cast<double>(queries.size()));
    std::printf("scan\t%.3f\t%.3f\n", floor.median, floor.worst);
    std::size_t same = 0;
    for (std::size_t query = 0; query < queries.size(); ++query) same += suggested[query] == scanned[query];
    std::printf("agree\t%zu\t%zu\n", same, queries.size());
    return same == queries.size() ? 0 : 1;
}
