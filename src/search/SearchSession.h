#pragma once
// One full-text search from the search box's request to its result list, and what
// it leaves for the result navigation and the record page: the options it read, the
// keys it looked for, the search buffer, the hit list and the counts.
//
// Every unsuccessful request stops at its check with its message in status panel 2;
// the window learns each status text as it is written, in order, through a sink.

#include "common/StatusPanel.h"
#include "search/HitList.h"
#include "search/SearchBuffer.h"
#include "search/SearchOptions.h"
#include "search/SearchRequest.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TextLines;

// Where a search writes as it runs: the window's status panels and hit counter.
class SearchSink {
public:
    virtual ~SearchSink() = default;
    // Replaces the whole text of status panel 0, 1 or 2 (UTF-8).
    virtual void SetStatus(StatusPanel panel, std::string_view text) = 0;
    // Paints the status bar at once, so the raw hit count shows while the list is built.
    virtual void RepaintStatus() = 0;
    // A new search begins: the hit counter shows result 1 of 0.
    virtual void ResetHitCounter() = 0;
};

struct SearchRequestInput {
    std::string typedText;  // the search box's text as typed (UTF-8), shown in panel 2
    std::string bytes;      // the same in code page 932; see SearchRequest.h
    SearchOptions options;
    std::vector<std::string> ignoredWords;  // code page 932, one word per entry
    std::int32_t maxOfSelection = 300;      // most raw hits a one-key search may have
};

class SearchSession {
public:
    // Runs a search over `fullText`, cut by `separators` (building the search buffer
    // first when it was discarded). True when it ended with a result list.
    bool Run(const SearchRequestInput& request, const TextLines& fullText, const Separators& separators,
             SearchSink& sink);

    // The search text and its line table; to be discarded whenever the full-text
    // view's lines change.
    const SearchBuffer& Buffer() const noexcept { return buffer_; }
    void DiscardBuffer() noexcept { buffer_.Discard(); }

    // As the last search left them.
    const SearchOptions& Options() const noexcept { return options_; }
    // The keys the record page marks: every slot is rewritten once the request is cut,
    // so a dropped key never stays behind; a search stopped before that keeps the old.
    const KeySlots& Keys() const noexcept { return keys_; }
    std::int64_t HitAll() const noexcept { return hitAll_; }
    std::int64_t ResultCount() const noexcept { return resultCount_; }
    const HitList& Hits() const noexcept { return hits_; }

private:
    SearchBuffer buffer_;
    SearchOptions options_;
    KeySlots keys_;
    HitList hits_;
    std::int64_t hitAll_ = 0;
    std::int64_t resultCount_ = 0;
};

// "%-5d": the hit counter's number, left-aligned in five places.
std::string HitCounterText(std::int64_t number);
// "HitAll=" and the raw hit count.
std::string HitAllText(std::int64_t hitAll);
