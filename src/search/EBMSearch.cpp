#include "search/EBMSearch.h"

#include "common/Sjis.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define EBM_HAVE_AVX2_PATH 1
#endif

namespace {

constexpr std::int32_t kNoPattern = 2147483647;

constexpr unsigned char upperAscii(unsigned char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

std::int32_t shortestKey(const std::vector<std::string>& patterns) noexcept {
    std::size_t shortest = kNoPattern;
    for (const std::string& p : patterns)
        if (!p.empty()) shortest = std::min(shortest, p.size());
    return static_cast<std::int32_t>(shortest);
}

// How often a byte turns up in dictionary text, as a rough rank (higher = more often).
// Only the order matters: the candidate scan tests the rarest bytes of each key, so
// that few positions survive it.
constexpr std::array<std::uint8_t, 256> makeByteRanks() {
    std::array<std::uint8_t, 256> r{};
    for (auto& v : r) v = 20;
    for (int b = 0xA1; b <= 0xDF; ++b) r[b] = 60;  // half-width katakana, second bytes of kana
    for (int b = 0x88; b <= 0x9F; ++b) r[b] = 90;  // kanji lead bytes
    for (int b = 0xE0; b <= 0xEA; ++b) r[b] = 40;
    r[0x81] = 100;  // full-width punctuation
    r[0x82] = 130;  // hiragana
    r[0x83] = 120;  // katakana
    r['\n'] = 90;
    r['\r'] = 90;
    r['\t'] = 70;
    r[' '] = 255;
    const char* byFrequency = "etaoinshrdlcumwfgypbvkjxqz";
    for (int i = 0; byFrequency[i] != 0; ++i) {
        const auto lower = static_cast<unsigned char>(byFrequency[i]);
        r[lower] = static_cast<std::uint8_t>(250 - 6 * i);
        r[lower - 32] = static_cast<std::uint8_t>(88 - i);
    }
    for (int b = '0'; b <= '9'; ++b) r[b] = 70;
    r[','] = r['.'] = 150;
    for (unsigned char c : {'\'', '"', '-', '(', ')', ';', ':', '/'}) r[c] = 110;
    return r;
}
constexpr std::array<std::uint8_t, 256> kByteRanks = makeByteRanks();

// Candidate test over 8 positions at a time in a 64-bit word: portable, and still
// well ahead of testing one position at a time.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

inline std::uint64_t load64(const unsigned char* p) noexcept {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// High bit set in exactly the bytes of y that are zero (no carry crosses a byte).
inline std::uint64_t zeroBytes(std::uint64_t y) noexcept {
    return ~(((y & kLow7) + kLow7) | y | kLow7);
}

// Block scans: test positions e, e + 1, ... in steps of a whole block while e < stop;
// true with e on the first candidate found. The caller guarantees every load stays
// inside the text. Templated on the key count so the broadcast bytes stay in registers.
template <int N>
bool scanWords(const unsigned char* text, const EBMDetail::ScanKey* keys, std::int64_t& e,
               std::int64_t stop) {
    std::uint64_t fold[N][2], want[N][2];
    for (int k = 0; k < N; ++k)
        for (int i = 0; i < 2; ++i) {
            fold[k][i] = keys[k].fold[i] * kOnes;
            want[k][i] = keys[k].want[i] * kOnes;
        }
    for (; e < stop; e += 8) {
        std::uint64_t any = 0;
        for (int k = 0; k < N; ++k) {
            const std::uint64_t a = (load64(text + e - keys[k].offset[0]) | fold[k][0]) ^ want[k][0];
            const std::uint64_t b = (load64(text + e - keys[k].offset[1]) | fold[k][1]) ^ want[k][1];
            any |= zeroBytes(a) & zeroBytes(b);
        }
        if (any != 0) {
            if constexpr (std::endian::native == std::endian::little)
                e += std::countr_zero(any) / 8;
            else
                e += std::countl_zero(any) / 8;
            return true;
        }
    }
    return false;
}

#ifdef EBM_HAVE_AVX2_PATH
template <int N>
__attribute__((target("avx2"))) bool scanAvx2(const unsigned char* text, const EBMDetail::ScanKey* keys,
                                              std::int64_t& e, std::int64_t stop) {
    __m256i fold[N][2], want[N][2];
    std::int64_t offset[N][2];
    for (int k = 0; k < N; ++k)
        for (int i = 0; i < 2; ++i) {
            fold[k][i] = _mm256_set1_epi8(static_cast<char>(keys[k].fold[i]));
            want[k][i] = _mm256_set1_epi8(static_cast<char>(keys[k].want[i]));
            offset[k][i] = keys[k].offset[i];
        }
    for (; e < stop; e += 32) {
        __m256i any = _mm256_setzero_si256();
        for (int k = 0; k < N; ++k) {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + e - offset[k][0]));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + e - offset[k][1]));
            const __m256i hitA = _mm256_cmpeq_epi8(_mm256_or_si256(a, fold[k][0]), want[k][0]);
            const __m256i hitB = _mm256_cmpeq_epi8(_mm256_or_si256(b, fold[k][1]), want[k][1]);
            any = _mm256_or_si256(any, _mm256_and_si256(hitA, hitB));
        }
        const auto mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(any));
        if (mask != 0) {
            e += std::countr_zero(mask);
            return true;
        }
    }
    return false;
}

bool cpuHasAvx2() noexcept {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

using BlockScanFn = bool (*)(const unsigned char*, const EBMDetail::ScanKey*, std::int64_t&, std::int64_t);

// Index = key count; slot 0 is unused.
template <int... N>
constexpr std::array<BlockScanFn, sizeof...(N) + 1> wordScans(std::integer_sequence<int, N...>) {
    return {nullptr, &scanWords<N + 1>...};
}
#ifdef EBM_HAVE_AVX2_PATH
template <int... N>
constexpr std::array<BlockScanFn, sizeof...(N) + 1> avx2Scans(std::integer_sequence<int, N...>) {
    return {nullptr, &scanAvx2<N + 1>...};
}
#endif

}  // namespace

TEBMSearch::TEBMSearch() = default;
TEBMSearch::~TEBMSearch() = default;

void TEBMSearch::SetPatterns(std::vector<std::string> patterns) {
    patterns_ = std::move(patterns);
    minLength_ = shortestKey(patterns_);
    Invalidate();
}

void TEBMSearch::AddPattern(std::string pattern) {
    patterns_.push_back(std::move(pattern));
    minLength_ = shortestKey(patterns_);
    Invalidate();
}

void TEBMSearch::SetOptions(std::uint8_t value) {
    if (value == options_) return;
    if ((value ^ options_) & IgnoreCase) Invalidate();
    options_ = value;
}

void TEBMSearch::Invalidate() { compiled_ = false; }

bool TEBMSearch::DoProgress() {
    bool goOn = true;
    if (OnProgress) OnProgress(*this, goOn);
    return goOn;
}

const char* TEBMSearch::MatchStart() const noexcept {
    return matchStart_ < 0 ? nullptr : reinterpret_cast<const char*>(text_) + matchStart_;
}


void TEBMSearch::compile() {
    const bool fold = (options_ & IgnoreCase) != 0;
    std::int64_t total = 0;
    for (const std::string& p : patterns_) total += static_cast<std::int64_t>(p.size());
    // States are 32-bit and every state costs a 1 KB row.
    if (total >= std::numeric_limits<std::int32_t>::max() / 2)
        throw std::length_error("TEBMSearch: the keys are too long");
    minLength_ = shortestKey(patterns_);
    foldCompiled_ = fold;
    keys_.assign(patterns_.size(), std::string());
    table_.clear();
    stateShift_.clear();
    output_.clear();
    if (total == 0) {
        compiled_ = true;
        return;
    }

    const std::int32_t minLength = minLength_;
    const auto states = static_cast<std::int32_t>(total) + 1;
    table_.assign((static_cast<std::size_t>(states) + 1) * 256, -minLength);
    std::fill_n(table_.begin(), 256, 0);
    output_.assign(states, -1);
    std::vector<std::int32_t> depth(states, 0), link(states, 0), work(states, -minLength);
    link[0] = -1;
    std::int32_t next = 1;

    std::vector<std::pair<std::int32_t, std::int32_t>> active, nextActive;  // (key, state)
    for (std::size_t i = 0; i < patterns_.size(); ++i) {
        if (patterns_[i].empty()) continue;
        keys_[i] = patterns_[i];
        if (fold)
            for (char& c : keys_[i]) c = static_cast<char>(upperAscii(static_cast<unsigned char>(c)));
        active.emplace_back(static_cast<std::int32_t>(i), 0);
    }

    // Build the trie of the reversed keys one level (j bytes from the end) at a time, so
    // that every shorter state already exists when a link is looked up.
    for (std::int32_t j = 0; !active.empty(); ++j) {
        nextActive.clear();
        for (const auto& [i, s] : active) {
            const std::string& key = keys_[i];
            const auto length = static_cast<std::int32_t>(key.size());
            const auto c = static_cast<unsigned char>(key[length - 1 - j]);
            std::int32_t* from = row(s);
            if (from[c] <= -1) {
                const std::int32_t v = next++;
                depth[v] = j + 1;
                from[c] = v;
                // Each shorter suffix state without a move on c learns that "its string + c"
                // occurs j - depth bytes further on. The pseudo-state's 0 ends the walk.
                std::int32_t t = link[s];
                while (row(t)[c] <= -1) {
                    row(t)[c] = std::max(row(t)[c], depth[t] - j);
                    t = link[t];
                }
                link[v] = row(t)[c];
            }
            const std::int32_t v = from[c];
            if (j < length - 1) {
                nextActive.emplace_back(i, v);
            } else {
                output_[v] = i;  // a later identical key replaces an earlier one
                // A suffix of the whole reversed key is a prefix of the key, which may
                // therefore start inside what was read.
                for (std::int32_t u = link[v]; u >= 0; u = link[u]) work[u] = std::max(work[u], depth[u] - j - 1);
            }
        }
        std::swap(active, nextActive);
    }

    // A child never shifts further than its parent, a missing move never further than
    // its state. States are numbered parents first.
    stateShift_.assign(states, -minLength);
    for (std::int32_t i = 0; i < next; ++i) {
        const std::int32_t e = work[i];
        stateShift_[i] = e;
        std::int32_t* r = row(i);
        for (int c = 0; c < 256; ++c) {
            if (r[c] >= 1)
                work[r[c]] = std::max(work[r[c]], e);
            else
                r[c] = std::max(r[c], e);
        }
    }

    // The keys hold only capitals now; small letters move like them.
    if (fold)
        for (std::int32_t i = 0; i < states; ++i) std::copy_n(row(i) + 'A', 26, row(i) + 'a');
    compiled_ = true;
}

void TEBMSearch::prepareScan() {
    scanActive_ = false;
    scanKeyCount_ = 0;
    if (fastScan_ == FastScan::Off) return;
    int count = 0;
    for (const std::string& key : keys_)
        if (!key.empty()) ++count;
    if (count < 1 || count > static_cast<int>(scanKeys_.size())) return;

    // Under IgnoreCase the keys are in capitals and a letter stands for both cases.
    const bool fold = foldCompiled_;
    auto rank = [fold](unsigned char c) {
        return kByteRanks[fold && c >= 'A' && c <= 'Z' ? c | 0x20 : c];
    };
    scanMaxOffset_ = 0;
    for (const std::string& key : keys_) {
        if (key.empty()) continue;
        const auto length = static_cast<std::int32_t>(key.size());
        auto byteAt = [&](std::int32_t offset) { return static_cast<unsigned char>(key[length - 1 - offset]); };
        // The two rarest bytes, the nearer one on a tie (keeps the reach back short). A
        // one-byte key tests its byte twice.
        std::int32_t chosen[2] = {0, 0};
        for (std::int32_t o = 1; o < length; ++o)
            if (rank(byteAt(o)) < rank(byteAt(chosen[0]))) chosen[0] = o;
        chosen[1] = chosen[0] == 0 && length > 1 ? 1 : 0;
        for (std::int32_t o = 0; o < length; ++o)
            if (o != chosen[0] && rank(byteAt(o)) < rank(byteAt(chosen[1]))) chosen[1] = o;

        ScanKey& scanKey = scanKeys_[scanKeyCount_++];
        for (int i = 0; i < 2; ++i) {
            const unsigned char c = byteAt(chosen[i]);
            const bool letter = fold && c >= 'A' && c <= 'Z';
            scanKey.offset[i] = chosen[i];
            scanKey.fold[i] = letter ? 0x20 : 0;
            scanKey.want[i] = letter ? static_cast<unsigned char>(c | 0x20) : c;
            scanMaxOffset_ = std::max(scanMaxOffset_, chosen[i]);
        }
    }

    static constexpr auto words = wordScans(std::make_integer_sequence<int, 8>{});
    blockScan_ = words[count];
    blockWidth_ = 8;
#ifdef EBM_HAVE_AVX2_PATH
    if (fastScan_ == FastScan::Best && cpuHasAvx2()) {
        static constexpr auto avx2 = avx2Scans(std::make_integer_sequence<int, 8>{});
        blockScan_ = avx2[count];
        blockWidth_ = 32;
    }
#endif
    scanActive_ = true;
}

bool TEBMSearch::candidateAt(std::int64_t e) const {
    for (int k = 0; k < scanKeyCount_; ++k) {
        const ScanKey& key = scanKeys_[k];
        if (e < key.offset[0] || e < key.offset[1]) continue;  // the key would start before the text
        if ((text_[e - key.offset[0]] | key.fold[0]) == key.want[0] &&
            (text_[e - key.offset[1]] | key.fold[1]) == key.want[1])
            return true;
    }
    return false;
}

std::int64_t TEBMSearch::nextCandidate(std::int64_t e, std::int64_t limit) const {
    // Block loads reach scanMaxOffset_ bytes back and a whole block forward; the
    // positions near the two ends of the text go one at a time.
    for (; e < limit && e < scanMaxOffset_; ++e)
        if (candidateAt(e)) return e;
    const std::int64_t stop = std::min(limit, textLength_ - blockWidth_ + 1);
    if (e < stop && blockScan_(text_, scanKeys_.data(), e, stop)) return std::min(e, limit);
    for (; e < limit; ++e)
        if (candidateAt(e)) return e;
    return limit;
}

void TEBMSearch::Start(const char* begin, const char* end) {
    if (!compiled_) compile();
    text_ = reinterpret_cast<const unsigned char*>(begin);
    textLength_ = begin == nullptr || end < begin ? 0 : end - begin;
    windowEnd_ = minLength_ == kNoPattern ? textLength_ : minLength_ - 1;
    blockLimit_ = std::min(windowEnd_ + BlockSize, textLength_);
    shift_ = 0;
    state_ = 0;
    matchIndex_ = -1;
    matchStart_ = -1;
    finished_ = false;
    leadRuns_ = {};
    lastLeadRun_ = 0;
    prepareScan();
}

bool TEBMSearch::FindNext() {
    return (options_ & CheckedMatch) != 0 ? findNextChecked() : findNextPlain();
}

bool TEBMSearch::findNextPlain() {
    if (finished_) return false;
    const unsigned char* const text = text_;
    const std::int32_t* const table = table_.data();
    const std::int32_t* const root = table_.empty() ? nullptr : table + 256;
    const bool scan = scanActive_;
    const std::int64_t step = std::max<std::int32_t>(BlockSize, 1);

    std::int64_t windowEnd = windowEnd_;
    std::int64_t shift = shift_;
    std::int64_t q = matchStart_;
    std::int32_t s = state_;
    auto stop = [&] {
        windowEnd_ = windowEnd;
        state_ = 0;
        finished_ = true;
        return false;
    };

    for (;;) {
        if (s >= 1) {
            // Read on backwards from the match just reported, or from the window end.
            if (--q < 0) {
                shift = -stateShift_[s];
            } else {
                const std::int32_t v = table[(static_cast<std::size_t>(s) + 1) * 256 + text[q]];
                if (v >= 1) {
                    s = v;
                    if (output_[s] >= 0) break;
                    continue;
                }
                shift = -v;
            }
            s = 0;
        }

        windowEnd += shift;
        if (windowEnd >= blockLimit_ || scan) {
            for (;;) {
                // One progress call for every block limit the window end reaches or passes.
                while (windowEnd >= blockLimit_) {
                    if (blockLimit_ >= textLength_) {
                        matchIndex_ = -1;
                        return stop();
                    }
                    windowEnd_ = windowEnd;
                    if (!DoProgress()) return stop();
                    blockLimit_ = std::min(blockLimit_ + step, textLength_);
                }
                if (!scan) break;
                windowEnd = nextCandidate(windowEnd, blockLimit_);
                if (windowEnd < blockLimit_) break;
            }
        }

        const std::int32_t v = root[text[windowEnd]];
        if (v <= -1) {
            shift = -v;
            continue;
        }
        q = windowEnd;
        s = v;
        if (output_[s] >= 0) break;
    }

    matchIndex_ = output_[s];
    matchStart_ = q;
    windowEnd_ = windowEnd;
    shift_ = shift;
    state_ = s;
    return true;
}

bool TEBMSearch::findNextChecked() {
    while (findNextPlain())
        if (!startsOnSecondByte(matchStart_) && confirms()) return true;
    return false;
}

bool TEBMSearch::startsOnSecondByte(std::int64_t pos) {
    if (pos == 0 || !Sjis::IsLeadByte(text_[pos - 1])) return false;
    // Find where the run of lead-range bytes that ends at pos - 1 begins, walking back
    // only until a run remembered from an earlier match takes over.
    std::int64_t start = -1;
    for (std::int64_t k = pos - 1; start < 0; --k) {
        for (const LeadRun& run : leadRuns_)
            if (run.start <= k && k < run.end) start = run.start;
        if (start < 0 && (k == 0 || !Sjis::IsLeadByte(text_[k - 1]))) start = k;
    }
    int slot = 1 - lastLeadRun_;
    for (int i = 0; i < 2; ++i)
        if (leadRuns_[i].start == start && leadRuns_[i].end > start) slot = i;
    LeadRun& run = leadRuns_[slot];
    run.end = run.start == start ? std::max(run.end, pos) : pos;
    run.start = start;
    lastLeadRun_ = slot;
    return ((pos - start) & 1) != 0;
}

bool TEBMSearch::confirms() const {
    const std::string& key = keys_[matchIndex_];
    const unsigned char* at = text_ + matchStart_;
    if (!foldCompiled_) return std::memcmp(at, key.data(), key.size()) == 0;
    for (std::size_t i = 0; i < key.size(); ++i)
        if (upperAscii(at[i]) != static_cast<unsigned char>(key[i])) return false;
    return true;
}
