// Full-text search over a large dictionary, without the window.
//
//   quillor_search_bench FILE collect KEYS...   one line per request: the raw hits of one
//                                              pass over the whole search text, and its speed
//   quillor_search_bench FILE results          BuildResultList with 200,000 raw hits
//   quillor_search_bench FILE damaged KEYS     a whole search, translation only, over FILE's
//                                              records run together into one 4 MB line
//                                              without separators, as a damaged file has
//
// KEYS are requests as typed ("pain dose cell": three keys). Each figure is the median
// of several runs; the search text is built once beforehand, as a second search finds it.
#include "dictionary/DataFile.h"
#include "dictionary/RecordLine.h"
#include "search/HitList.h"
#include "search/SearchBuffer.h"
#include "search/SearchRequest.h"
#include "textmodel/TextLines.h"

#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

double MedianMilliseconds(int runs, const std::function<void()>& run) { return Measure(runs, run).median; }

KeySlots KeysOf(const std::string& request) {
    KeySlots keys;
    SplitKeys(request, true, keys);
    return keys;
}

void Collect(const SearchBuffer& buffer, const std::vector<std::string>& requests) {
    const double megabytes = static_cast<double>(buffer.Text().size()) / 1e6;
    for (const std::string& request : requests) {
        const KeySlots keys = KeysOf(request);
        HitList hits;
        std::int64_t found = 0;
        const double ms = MedianMilliseconds(7, [&] { found = hits.CollectHits(buffer.Text(), keys); });
        // One line a request, read by scripts/bench.
        std::printf("collect\t%s\t%lld\t%.2f\t%.0f\n", request.c_str(), static_cast<long long>(found), ms,
                    megabytes / (ms / 1000));
    }
}

void Results(const SearchBuffer& buffer) {
    constexpr std::size_t kRawHits = 200'000;
    for (const char* request : {"pain dose cell", "the blood heart", "ca ti ur"}) {
        const KeySlots keys = KeysOf(request);
        HitList all;
        if (all.CollectHits(buffer.Text(), keys) <= static_cast<std::int64_t>(kRawHits)) continue;
        // The text before the 200,001st hit's start holds 200,000 hits, give or take
        // one straddling that start.
        const std::string_view text =
            buffer.Text().substr(0, static_cast<std::size_t>(all.RawHits()[kRawHits].Offset()));
        int keyCount = 0;
        while (keyCount < 3 && !keys[static_cast<std::size_t>(keyCount)].empty()) ++keyCount;
        for (const bool wordMatch : {true, false}) {
            const SearchOptions options{true, false, wordMatch, RecordField::WholeRecord};
            std::vector<double> times;
            std::int64_t rawHits = 0, results = 0;
            for (int run = 0; run < 7; ++run) {
                HitList hits;
                rawHits = hits.CollectHits(text, keys);
                const auto start = std::chrono::steady_clock::now();
                results = hits.BuildResultList(keyCount, keys, buffer, options, Separators());
                times.push_back(
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            }
            std::sort(times.begin(), times.end());
            std::printf("BuildResultList, %lld raw hits of \"%s\", whole words %s: %lld result entries, %.1f ms\n",
                        static_cast<long long>(rawHits), request, wordMatch ? "on" : "off",
                        static_cast<long long>(results), times[times.size() / 2]);
        }
        return;
    }
    std::printf("BuildResultList: no request gives 200,000 raw hits in this file\n");
}

// A damaged line: the records of `lines` run together, their separators gone, until
// 4 MB; between two sound records. The field check must not scan it once per hit.
void DamagedLine(const TextLines& lines, const std::string& request) {
    std::string damaged = "2 ";
    for (std::size_t i = 0; damaged.size() < 4'000'000; i = (i + 1) % lines.LineCount()) {
        std::string record(lines.LineView(i));
        for (const std::string_view separator : {"///", ":::"})
            for (std::size_t at = record.find(separator); at != std::string::npos; at = record.find(separator, at))
                record.replace(at, separator.size(), " ");
        damaged += record + " ";
    }
    TextLines text;
    text.SetWholeText("1 a///x:::y\r\n" + damaged + "\r\n3 c///x:::y\r\n");
    SearchBuffer buffer;
    buffer.Build(text);
    const KeySlots keys = KeysOf(request);
    const SearchOptions options{true, false, true, RecordField::Translation};
    std::int64_t rawHits = 0, results = 0;
    const double scan = MedianMilliseconds(7, [&] { HitList().CollectHits(buffer.Text(), keys); });
    const double whole = MedianMilliseconds(7, [&] {
        HitList hits;
        rawHits = hits.CollectHits(buffer.Text(), keys);
        results = hits.BuildResultList(2, keys, buffer, options, Separators());
    });
    std::printf("a %.1f MB line without separators, \"%s\", translation only: %lld raw hits, %lld results, "
                "%.2f ms (target < 50 ms); its scan alone (floor): %.2f ms\n",
                static_cast<double>(damaged.size()) / 1e6, request.c_str(), static_cast<long long>(rawHits),
                static_cast<long long>(results), whole, scan);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s FILE collect KEYS... | FILE results | FILE damaged KEYS\n", argv[0]);
        return 2;
    }
    TextLines lines;
    lines.SetWholeText(ReadWholeFile(argv[1]).text);
    if (std::strcmp(argv[2], "damaged") == 0 && argc > 3) {
        DamagedLine(lines, argv[3]);
        return 0;
    }
    SearchBuffer buffer;
    buffer.Build(lines);
    if (std::strcmp(argv[2], "collect") == 0) Collect(buffer, std::vector<std::string>(argv + 3, argv + argc));
    else Results(buffer);
    return 0;
}
