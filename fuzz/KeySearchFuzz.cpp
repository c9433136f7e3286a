// Any bytes as up to three keys and a text, in every option mode and every scan mode:
// the key search reports exactly the occurrences a plain look at every position finds,
// overlapping ones too, ordered by their last byte and the shorter key first on the
// same one. An empty key is left out; of two equal keys (equal once folded, under
// IgnoreCase) only the later one is reported; IgnoreCase folds ASCII letters byte by
// byte; CheckedMatch refuses a start on the second byte of a double-byte character,
// judged by a walk from the start of the text. Texts pass the 4 KB block now and then,
// with a key across the block limit, and a search stopped by its progress callback
// has reported the start of that list.
#include "search/EBMSearch.h"
#include "FuzzRules.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace fuzzrules;

using Hit = std::pair<std::ptrdiff_t, int>;  // start, key

unsigned char Folded(char c, bool fold) {
    const auto b = static_cast<unsigned char>(c);
    return fold && b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 32) : b;
}

std::vector<Hit> EveryPosition(const std::vector<std::string>& keys, std::uint8_t options, const std::string& text) {
    const bool fold = options & TEBMSearch::IgnoreCase;
    const auto same = [&](const std::string& a, std::size_t at, const std::string& b) {
        for (std::size_t i = 0; i < b.size(); ++i)
            if (Folded(a[at + i], fold) != Folded(b[i], fold)) return false;
        return true;
    };
    std::vector<bool> onChar(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += Lead(static_cast<unsigned char>(text[i])) ? 2 : 1) onChar[i] = true;
    std::vector<std::tuple<std::size_t, std::size_t, Hit>> found;  // last byte, length, hit
    for (std::size_t k = 0; k < keys.size(); ++k) {
        const std::string& key = keys[k];
        bool shadowed = key.empty();
        for (std::size_t later = k + 1; later < keys.size(); ++later)
            if (keys[later].size() == key.size() && same(keys[later], 0, key)) shadowed = true;
        if (shadowed) continue;
        for (std::size_t p = 0; p + key.size() <= text.size(); ++p) {
            if ((options & TEBMSearch::CheckedMatch) && !onChar[p]) continue;
            if (same(text, p, key))
                found.emplace_back(p + key.size() - 1, key.size(), Hit{static_cast<std::ptrdiff_t>(p), static_cast<int>(k)});
        }
    }
    std::sort(found.begin(), found.end());
    std::vector<Hit> hits;
    for (const auto& each : found) hits.push_back(std::get<2>(each));
    return hits;
}

std::vector<Hit> Search(const std::vector<std::string>& keys, std::uint8_t options, const std::string& text,
                        TEBMSearch::FastScan scan, std::int32_t blockSize, int stopAfter) {
    TEBMSearch search;
    search.SetPatterns(keys);
    search.SetOptions(options);
    search.SetFastScan(scan);
    search.BlockSize = blockSize;
    int calls = 0;
    if (stopAfter >= 0) search.OnProgress = [&](TEBMSearch&, bool& goOn) { goOn = calls++ < stopAfter; };
    search.Start(text.data(), text.data() + text.size());
    std::vector<Hit> found;
    while (search.FindNext()) found.emplace_back(search.MatchStart() - text.data(), search.MatchIndex());
    Expect(!search.FindNext());
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    const std::uint8_t options = data[0] & 3;
    std::vector<std::string> keys;
    std::size_t at = 6;
    for (int count = 1 + data[1] % 3, i = 0; i < count; ++i) {
        const std::size_t length = std::min<std::size_t>(data[2 + i] % 9, size - at);
        keys.emplace_back(reinterpret_cast<const char*>(data + at), length);
        at += length;
    }
    std::string text(reinterpret_cast<const char*>(data + at), size - at);
    if ((data[0] & 4) && !text.empty()) {
        // Past the first block, with the first key across its limit.
        while (text.size() < 4096 + 64) text += text;
        text.replace(4096 - keys[0].size() / 2, keys[0].size(), keys[0]);
    }
    // The default block, or a small one so that a short text crosses several; and a
    // progress callback that stops the search after a few calls.
    const std::int32_t blockSize = (data[5] & 1) ? 1 + (data[5] >> 1) % 64 : 4096;
    const int stopAfter = (data[5] & 0x80) ? (data[5] >> 1) % 4 : -1;

    const std::vector<Hit> expected = EveryPosition(keys, options, text);
    for (const auto scan : {TEBMSearch::FastScan::Off, TEBMSearch::FastScan::Portable, TEBMSearch::FastScan::Best}) {
        const std::vector<Hit> found = Search(keys, options, text, scan, blockSize, stopAfter);
        if (stopAfter < 0)
            Expect(found == expected);
        else
            Expect(found.size() <= expected.size() && std::equal(found.begin(), found.end(), expected.begin()));
    }
    return 0;
}
