#pragma once
// TEBMSearch: every occurrence of a few keys in the whole dictionary text, in one pass.
//
// How it works. A window end walks forward through the text; it is the position where
// a candidate match would end. At each window end the automaton reads bytes backwards
// from it through a trie of the reversed keys, so one backward read checks every key
// at once and reports each key that ends there, shortest first (they all lie on the
// one trie path the read follows). When the read falls off the trie, or runs into the
// text begin, the tables give how far the window end may move forward without passing
// over the end of any possible match; that shift is at least one byte and at most the
// length of the shortest key, so long keys make the scan faster.
//
// The tables are built by Compile. Each trie state keeps its depth and a link to the
// state of its longest proper suffix (as in Aho-Corasick); walking the links of a
// state that gains a child on byte c tells every shorter state how far away a later
// occurrence of "its string + c" is (the per-byte shift), and walking the links of a
// state where a key ends tells how far away an overlapping start of that key is (the
// per-state shift). One transition table row of 256 signed 32-bit entries per state
// holds both kinds of move: a value >= 1 is the next state, a value <= -1 is minus
// the shift. The first row belongs to a pseudo-state -1 that holds 0 everywhere and
// only ends the link walks while compiling.
//
// The fast candidate scan. The automaton only ever reports a match when the window
// end sits on that match's last byte, and there it reports every key ending on that
// byte. So, whenever the automaton is between windows (state 0), we may jump the
// window end straight to the next position that could be the last byte of some match
// and let the automaton take over from there: the matches and their order stay the
// same. For each key (up to eight) two of its bytes that are rare in dictionary text
// are picked; a position is a candidate when both bytes of some key sit at the right
// distance before it. With AVX2 this tests 32 positions per step; elsewhere, and near
// the two ends of the text, a portable path does the same 8 positions or 1 position
// at a time. The jump stops at every block limit so that the progress callback still
// runs once per BlockSize bytes of window movement.
//
// Checked mode refuses a match that starts on the second byte of a Shift-JIS
// character: the run of lead-range bytes just before the match start is counted back
// towards the text begin, and an odd count means the start is a second byte.
//
// Positions are 64-bit offsets from the text begin, so texts above 2 GB work and the
// window end may run past the text end without forming a pointer outside the buffer.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace EBMDetail {
// One key's test in the fast candidate scan: position e is a candidate for the key when
// (text[e - offset[i]] | fold[i]) == want[i] for both i.
struct ScanKey {
    std::int32_t offset[2];  // distance of the chosen byte back from the key's last byte
    unsigned char fold[2];   // 0x20 for a letter under IgnoreCase, else 0
    unsigned char want[2];
};
}  // namespace EBMDetail

class TEBMSearch {
public:
    static constexpr std::uint8_t IgnoreCase = 1;    // ASCII letters compare folded
    static constexpr std::uint8_t CheckedMatch = 2;  // refuse matches starting on a second byte

    // Fast candidate scan: off, the portable path only, or the best the processor has.
    enum class FastScan { Off, Portable, Best };

    TEBMSearch();
    virtual ~TEBMSearch();
    TEBMSearch(const TEBMSearch&) = delete;
    TEBMSearch& operator=(const TEBMSearch&) = delete;

    // The keys; a key's index in this list is the MatchIndex reported for it. Empty keys
    // take no part. Of two identical keys only the later one is ever reported.
    const std::vector<std::string>& Patterns() const noexcept { return patterns_; }
    void SetPatterns(std::vector<std::string> patterns);
    void AddPattern(std::string pattern);

    std::uint8_t Options() const noexcept { return options_; }
    void SetOptions(std::uint8_t value);

    std::int32_t BlockSize = 4096;  // bytes of window movement between two DoProgress calls
    // Called by DoProgress; clearing goOn stops the search.
    std::function<void(TEBMSearch& sender, bool& goOn)> OnProgress;

    // Searches [begin, end). The buffer must stay unchanged until FindNext returns false.
    void Start(const char* begin, const char* end);
    // The next match in ascending order of its last byte (shorter first on the same last
    // byte); false when the text is exhausted or the progress callback said stop, and
    // from then on until the next Start.
    bool FindNext();

    std::int32_t MatchIndex() const noexcept { return matchIndex_; }  // -1 when none
    const char* MatchStart() const noexcept;                            // first byte of the last match
    std::int32_t MinLength() const noexcept { return minLength_; }      // 2147483647 without keys

    void SetFastScan(FastScan mode) noexcept { fastScan_ = mode; }  // takes effect at Start

protected:
    virtual void Invalidate();  // the tables no longer fit the keys; Start compiles again
    virtual bool DoProgress();  // true to go on: OnProgress's answer when it is set

private:
    using ScanKey = EBMDetail::ScanKey;
    using BlockScan = bool (*)(const unsigned char* text, const ScanKey* keys, std::int64_t& e,
                               std::int64_t stop);

    void compile();
    void prepareScan();
    std::int64_t nextCandidate(std::int64_t e, std::int64_t limit) const;
    bool candidateAt(std::int64_t e) const;
    bool findNextPlain();
    bool findNextChecked();
    bool startsOnSecondByte(std::int64_t pos);
    bool confirms() const;

    std::int32_t* row(std::int32_t state) noexcept {
        return table_.data() + (static_cast<std::size_t>(state) + 1) * 256;
    }

    std::vector<std::string> patterns_;
    std::uint8_t options_ = 0;
    bool compiled_ = false;

    // Compiled tables; see the note at the top.
    std::vector<std::int32_t> table_;       // the pseudo-state's row, then one row per state
    std::vector<std::int32_t> stateShift_;  // minus the shift when the backward read reaches the text begin
    std::vector<std::int32_t> output_;      // key ending in the state, or -1
    std::int32_t minLength_ = 2147483647;
    std::vector<std::string> keys_;  // the keys as compiled (capitals under IgnoreCase); "" takes no part
    bool foldCompiled_ = false;

    // The search in progress. Offsets count from text_.
    const unsigned char* text_ = nullptr;
    std::int64_t textLength_ = 0;
    std::int64_t windowEnd_ = 0;
    std::int64_t blockLimit_ = 0;
    std::int64_t shift_ = 0;
    std::int32_t state_ = 0;  // 0 between windows; the state of the last match while resuming
    std::int32_t matchIndex_ = -1;
    std::int64_t matchStart_ = -1;
    bool finished_ = true;  // FindNext returned false; stays so until Start

    // Fast candidate scan, prepared by Start.
    FastScan fastScan_ = FastScan::Best;
    bool scanActive_ = false;
    std::array<ScanKey, 8> scanKeys_{};
    int scanKeyCount_ = 0;
    std::int32_t scanMaxOffset_ = 0;
    BlockScan blockScan_ = nullptr;  // tests blockWidth_ positions per step
    std::int32_t blockWidth_ = 0;

    // Lead-byte runs found by the checked mode: [start, end) are all lead-range bytes and
    // start is where the run begins. Matches come in ascending end order, so the next
    // question mostly falls inside a run already known (two are kept, for keys of mixed
    // lengths whose starts alternate between runs), and a long run of double-byte text
    // full of matches is walked back once, not once per match.
    struct LeadRun {
        std::int64_t start = 0;
        std::int64_t end = 0;
    };
    std::array<LeadRun, 2> leadRuns_{};
    int lastLeadRun_ = 0;
};
