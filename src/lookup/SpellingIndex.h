#pragma once
// Spelling suggestions over a dictionary's headwords: the headwords within two edits
// of a typed word. An edit inserts, deletes or substitutes one byte, or swaps two
// adjacent bytes (the restricted Damerau-Levenshtein distance, in which no substring
// is edited twice). Keys come normalised by the caller and are compared as bytes.
//
// The keys are kept sorted in one byte arena, and a query walks them as a trie that
// is never built: rows of the edit-distance table are shared by the keys that share a
// prefix, and a prefix already more than the allowed edits away rules out every key
// that starts with it at once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SpellingMatch {
    std::int64_t order;  // the entry's place in the index, as given to Add
    int distance;        // restricted edit distance (a transposition is one edit)
    bool operator==(const SpellingMatch&) const = default;
};

class SpellingIndex {
public:
    // The most edits a query may allow; a larger maxDistance counts as this. Past two
    // edits nearly every short headword would be a suggestion.
    static constexpr int kMaxDistance = 2;

    // One entry per headword: its key and its place in the index. Entries may share a
    // key (each is its own match). Suggest sees an entry only after the next Finish;
    // until then it answers from what the last Finish sorted.
    //
    // Throws std::length_error past 4 GiB of key bytes or 2^32 entries.
    void Add(std::string_view key, std::int64_t order);

    // Sorts what was added since the last Finish together with what that Finish
    // sorted; the index then holds every entry added so far. Throws as Add does.
    void Finish();

    // The entries Suggest looks through: those added before the last Finish.
    std::size_t Size() const noexcept;

    // The entries within maxDistance edits of `query`, by distance, then by how close
    // the key's length is to the query's, then by order; at most maxCount of them.
    // Nothing for an empty query or a negative maxDistance. Calls may run on several
    // threads at once, but not beside Add or Finish.
    std::vector<SpellingMatch> Suggest(std::string_view query, int maxDistance, std::size_t maxCount) const;

    // Memory held, the entries added but not yet sorted among it.
    std::size_t HeldBytes() const noexcept;

private:
    // Entries added since the last Finish: their keys one after another in pendingKeys_.
    struct PendingEntry {
        std::uint32_t offset;
        std::uint32_t size;
        std::int64_t order;
    };
    std::string pendingKeys_;
    std::vector<PendingEntry> pending_;

    // The sorted index: each distinct key once, in byte order, a node each and one more
    // after the last. Key i is keys_[nodes_[i].keyStart, nodes_[i + 1].keyStart); the
    // orders of its entries, ascending, are orders_[nodes_[i].orderStart, nodes_[i + 1].orderStart).
    struct Node {
        std::uint32_t keyStart;
        std::uint32_t orderStart;
        // The keys from this one up to key subtreeEnd (not included) share this one's
        // first shared + 1 bytes: a prefix too far from the query is passed over in a
        // jump or a few.
        std::uint32_t subtreeEnd;
        // How many leading bytes the key shares with the key before it, at most 255 (0
        // for the first): how much of the previous key's table the walk keeps.
        std::uint8_t shared;
        // The key's byte after those, so that a walk ruling the key out on it reads
        // nothing but this node (0 when the key has no more bytes).
        char firstNew;
    };
    std::string keys_;
    std::vector<Node> nodes_;
    std::vector<std::int64_t> orders_;
    std::size_t longestKey_ = 0;
};
