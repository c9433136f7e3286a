// Any bytes as up to three keys and a text: the key search never fails or reads outside
// the text, and its fast candidate scan finds exactly the matches the plain automaton
// finds, in the same order.
#include "search/EBMSearch.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<std::ptrdiff_t, int>> Matches(const std::vector<std::string>& keys, std::uint8_t options,
                                                    const std::string& text, TEBMSearch::FastScan scan) {
    TEBMSearch search;
    search.SetPatterns(keys);
    search.SetOptions(options);
    search.SetFastScan(scan);
    search.Start(text.data(), text.data() + text.size());
    std::vector<std::pair<std::ptrdiff_t, int>> found;
    while (search.FindNext()) found.emplace_back(search.MatchStart() - text.data(), search.MatchIndex());
    return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    const std::uint8_t options = data[0] & 3;
    std::vector<std::string> keys;
    std::size_t at = 4;
    for (int k = 1 + data[1] % 3, i = 0; i < k; ++i) {
        const std::size_t length = std::min<std::size_t>(data[2 + i % 2] % 9, size - at);
        keys.emplace_back(reinterpret_cast<const char*>(data + at), length);
        at += length;
    }
    const std::string text(reinterpret_cast<const char*>(data + at), size - at);
    const auto plain = Matches(keys, options, text, TEBMSearch::FastScan::Off);
    if (Matches(keys, options, text, TEBMSearch::FastScan::Portable) != plain) __builtin_trap();
    if (Matches(keys, options, text, TEBMSearch::FastScan::Best) != plain) __builtin_trap();
    return 0;
}
