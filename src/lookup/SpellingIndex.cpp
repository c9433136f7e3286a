#include "lookup/SpellingIndex.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace {

constexpr std::size_t kMaxArenaBytes = std::numeric_limits<std::uint32_t>::max();
constexpr std::size_t kMaxEntries = std::numeric_limits<std::uint32_t>::max() - 1;
constexpr std::size_t kMaxSharedPrefix = std::numeric_limits<std::uint8_t>::max();

std::size_t CommonPrefix(std::string_view a, std::string_view b) noexcept {
    const std::size_t size = std::min(a.size(), b.size());
    std::size_t at = 0;
    while (at < size && a[at] == b[at]) ++at;
    return at;
}

// A key's first eight bytes as one number that orders as the bytes do, so most
// comparisons of the sort never touch the arena.
std::uint64_t LeadingBytes(std::string_view key) noexcept {
    std::uint64_t value = 0;
    for (std::size_t at = 0; at < 8; ++at)
        value = value << 8 | (at < key.size() ? static_cast<unsigned char>(key[at]) : 0u);
    return value;
}

// One row of the edit-distance table between a key's prefix (the row's depth) and the
// query, kept to the band of columns within maxDistance of the depth: outside it every
// cell exceeds maxDistance. Cells are capped at maxDistance + 1, which is all a walk
// needs to know of a larger distance. Cell 0 and those after the band stay at the cap,
// so a row's neighbours are read without bounds checks.
constexpr std::size_t kRowStride = 8;
static_assert(kRowStride >= 2 * SpellingIndex::kMaxDistance + 3);
using Row = std::array<std::uint8_t, kRowStride>;

class Table {
public:
    Table(std::string_view query, int maxDistance, std::size_t deepest)
        : query_(query), k_(maxDistance), cap_(static_cast<std::uint8_t>(maxDistance + 1)), rows_(deepest + 1) {
        Row& first = rows_[0];
        first.fill(cap_);
        for (int column = 0; column <= k_ && static_cast<std::size_t>(column) <= query_.size(); ++column)
            first[static_cast<std::size_t>(column + k_ + 1)] = static_cast<std::uint8_t>(column);
    }

    // Fills the row at `depth` (1-based) for the key whose first `depth` bytes are
    // `path`, its rows above in place; returns the row's smallest cell. No cell of a
    // deeper row is smaller: each cell is at least its upper-left neighbour's value, a
    // transposition included.
    std::uint8_t Fill(std::string_view path, std::size_t depth) noexcept {
        const Row& up = rows_[depth - 1];
        Row& row = rows_[depth];
        row.fill(cap_);
        const auto d = static_cast<std::ptrdiff_t>(depth);
        const auto m = static_cast<std::ptrdiff_t>(query_.size());
        const char byte = path[depth - 1];
        std::ptrdiff_t column = std::max<std::ptrdiff_t>(0, d - k_);
        const std::ptrdiff_t last = std::min(m, d + k_);
        std::uint8_t smallest = cap_;
        if (column == 0) {
            row[static_cast<std::size_t>(k_ - d + 1)] = smallest = static_cast<std::uint8_t>(depth);
            ++column;
        }
        for (; column <= last; ++column) {
            // Cell `column` of row d sits at column - d + k_ + 1; the cell above-left
            // has the same place in the row above (and two rows up, for a swap).
            const auto at = static_cast<std::size_t>(column - d + k_ + 1);
            unsigned cell = up[at] + (byte != query_[static_cast<std::size_t>(column - 1)]);
            cell = std::min(cell, up[at + 1] + 1u);
            cell = std::min(cell, row[at - 1] + 1u);
            if (depth >= 2 && column >= 2 && byte == query_[static_cast<std::size_t>(column - 2)] &&
                path[depth - 2] == query_[static_cast<std::size_t>(column - 1)])
                cell = std::min(cell, rows_[depth - 2][at] + 1u);
            row[at] = static_cast<std::uint8_t>(std::min<unsigned>(cell, cap_));
            smallest = std::min(smallest, row[at]);
        }
        return smallest;
    }

    // The distance between the query and a key of `size` bytes whose rows are in place,
    // or the cap when it exceeds maxDistance.
    std::uint8_t Distance(std::size_t size) const noexcept {
        const auto gap = static_cast<std::ptrdiff_t>(query_.size()) - static_cast<std::ptrdiff_t>(size);
        if (gap < -k_ || gap > k_) return cap_;
        return rows_[size][static_cast<std::size_t>(gap + k_ + 1)];
    }

private:
    std::string_view query_;
    int k_;
    std::uint8_t cap_;
    std::vector<Row> rows_;
};

}  // namespace

void SpellingIndex::Add(std::string_view key, std::int64_t order) {
    if (pendingKeys_.size() + key.size() > kMaxArenaBytes || pending_.size() >= kMaxEntries)
        throw std::length_error("SpellingIndex: too many key bytes or entries");
    pending_.push_back({static_cast<std::uint32_t>(pendingKeys_.size()), static_cast<std::uint32_t>(key.size()), order});
    pendingKeys_.append(key);
}

void SpellingIndex::Finish() {
    if (pending_.empty()) return;
    // The finished entries go back among the pending ones, each distinct key once.
    if (pendingKeys_.size() + keys_.size() > kMaxArenaBytes || pending_.size() + orders_.size() > kMaxEntries)
        throw std::length_error("SpellingIndex: too many key bytes or entries");
    for (std::size_t key = 0; key + 1 < nodes_.size(); ++key) {
        const auto offset = static_cast<std::uint32_t>(pendingKeys_.size());
        const std::uint32_t size = nodes_[key + 1].keyStart - nodes_[key].keyStart;
        pendingKeys_.append(keys_, nodes_[key].keyStart, size);
        for (std::uint32_t at = nodes_[key].orderStart; at < nodes_[key + 1].orderStart; ++at)
            pending_.push_back({offset, size, orders_[at]});
    }

    // Each entry whole, so that the sort and the pass after it read the arena and no
    // other array out of order.
    struct Sortable {
        std::uint64_t leading;
        std::uint32_t offset;
        std::uint32_t size;
        std::int64_t order;
    };
    std::vector<Sortable> sorted;
    sorted.reserve(pending_.size());
    for (const PendingEntry& entry : pending_)
        sorted.push_back({LeadingBytes(std::string_view(pendingKeys_).substr(entry.offset, entry.size)), entry.offset,
                          entry.size, entry.order});
    std::vector<PendingEntry>().swap(pending_);
    const auto keyOf = [this](const Sortable& entry) {
        return std::string_view(pendingKeys_).substr(entry.offset, entry.size);
    };
    // char_traits<char> compares bytes as unsigned, as LeadingBytes does.
    std::sort(sorted.begin(), sorted.end(), [&](const Sortable& a, const Sortable& b) {
        if (a.leading != b.leading) return a.leading < b.leading;
        if (const int order = keyOf(a).compare(keyOf(b)); order != 0) return order < 0;
        return a.order < b.order;
    });

    std::string keys;
    std::vector<Node> nodes;
    std::vector<std::int64_t> orders;
    keys.reserve(pendingKeys_.size());
    orders.reserve(sorted.size());
    std::string_view previous;
    std::size_t longest = 0;
    for (std::size_t at = 0; at < sorted.size(); ++at) {
        const Sortable& item = sorted[at];
        // The keys are read out of order: the next few are asked for early.
        if (at + 8 < sorted.size()) __builtin_prefetch(pendingKeys_.data() + sorted[at + 8].offset);
        const std::string_view key = keyOf(item);
        if (nodes.empty() || key != previous) {
            const std::size_t shared = std::min(CommonPrefix(key, previous), kMaxSharedPrefix);
            nodes.push_back({static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(orders.size()), 0,
                             static_cast<std::uint8_t>(shared), shared < key.size() ? key[shared] : '\0'});
            keys.append(key);
            longest = std::max(longest, key.size());
            previous = key;
        }
        orders.push_back(item.order);
    }
    // Where each key's subtree ends: at the first later key sharing no more with the key
    // before it than this one does. The keys still open wait on a stack, sharing more
    // the higher they are.
    const auto keyCount = static_cast<std::uint32_t>(nodes.size());
    std::vector<std::uint32_t> open;
    for (std::uint32_t key = 0; key < keyCount; ++key) {
        for (; !open.empty() && nodes[open.back()].shared >= nodes[key].shared; open.pop_back())
            nodes[open.back()].subtreeEnd = key;
        open.push_back(key);
    }
    for (const std::uint32_t key : open) nodes[key].subtreeEnd = keyCount;
    nodes.push_back({static_cast<std::uint32_t>(keys.size()), static_cast<std::uint32_t>(orders.size()), keyCount, 0,
                     '\0'});
    keys.shrink_to_fit();
    nodes.shrink_to_fit();

    keys_ = std::move(keys);
    nodes_ = std::move(nodes);
    orders_ = std::move(orders);
    longestKey_ = longest;
    std::string().swap(pendingKeys_);
}

std::size_t SpellingIndex::Size() const noexcept { return orders_.size(); }

std::vector<SpellingMatch> SpellingIndex::Suggest(std::string_view query, int maxDistance,
                                                  std::size_t maxCount) const {
    if (query.empty() || maxDistance < 0 || maxCount == 0 || orders_.empty()) return {};
    const int k = std::min(maxDistance, kMaxDistance);
    const auto slack = static_cast<std::size_t>(k);
    // No key can come within k edits of a query longer than every key by more than k.
    if (query.size() > longestKey_ + slack) return {};

    const std::size_t keyCount = nodes_.size() - 1;
    const auto keyAt = [this](std::size_t key) {
        return std::string_view(keys_).substr(nodes_[key].keyStart, nodes_[key + 1].keyStart - nodes_[key].keyStart);
    };
    // The first key after `key` that does not start with its first `depth` bytes.
    const auto endOfPrefix = [&](std::size_t key, std::size_t depth) {
        if (depth <= kMaxSharedPrefix) {
            // Whole subtrees at a time: those of the keys sharing at least `depth` bytes
            // with the one before them lie inside the prefix's.
            std::size_t next = depth == nodes_[key].shared + 1u ? nodes_[key].subtreeEnd : key + 1;
            while (next < keyCount && nodes_[next].shared >= depth) next = nodes_[next].subtreeEnd;
            return next;
        }
        // Past the shared lengths kept, by comparing keys: doubling steps, then halving,
        // keys [key, sharing] all starting with the prefix.
        const std::string_view prefix = keyAt(key).substr(0, depth);
        const auto shares = [&](std::size_t other) { return keyAt(other).starts_with(prefix); };
        std::size_t sharing = key, next = key + 1, step = 1;
        while (next < keyCount && shares(next)) {
            sharing = next;
            step *= 2;
            next = std::min(keyCount, sharing + step);
        }
        while (next - sharing > 1) {
            const std::size_t middle = sharing + (next - sharing) / 2;
            (shares(middle) ? sharing : next) = middle;
        }
        return next;
    };

    // A row past depth m + k has no cell within k, so the walk goes no deeper.
    const std::size_t deepest = std::min(longestKey_, query.size() + slack + 1);
    Table table(query, k, deepest);
    std::string path(deepest, '\0');  // the walked key's bytes, as deep as its rows go
    struct Found {
        int distance;
        std::size_t lengthGap;
        std::int64_t order;
    };
    std::vector<Found> found;
    // Rows 1 to rowsInPlace are those of the key walked last, for the bytes in `path`.
    std::size_t rowsInPlace = 0;
    for (std::size_t key = 0; key < keyCount;) {
        const Node& node = nodes_[key];
        const std::size_t size = nodes_[key + 1].keyStart - node.keyStart;
        std::size_t depth = std::min<std::size_t>(rowsInPlace, node.shared);
        bool ruledOut = false;
        while (depth < size && !ruledOut) {
            path[depth] = depth == node.shared ? node.firstNew : keys_[node.keyStart + depth];
            ruledOut = table.Fill(path, ++depth) > k;
        }
        if (ruledOut) {
            rowsInPlace = depth - 1;
            key = endOfPrefix(key, depth);
            continue;
        }
        rowsInPlace = size;
        if (const int distance = table.Distance(size); distance <= k) {
            const std::size_t gap = std::max(size, query.size()) - std::min(size, query.size());
            for (std::uint32_t at = node.orderStart; at < nodes_[key + 1].orderStart; ++at)
                found.push_back({distance, gap, orders_[at]});
        }
        ++key;
    }

    const auto better = [](const Found& a, const Found& b) {
        if (a.distance != b.distance) return a.distance < b.distance;
        if (a.lengthGap != b.lengthGap) return a.lengthGap < b.lengthGap;
        return a.order < b.order;
    };
    const std::size_t count = std::min(maxCount, found.size());
    std::partial_sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count), found.end(), better);
    std::vector<SpellingMatch> matches;
    matches.reserve(count);
    for (std::size_t at = 0; at < count; ++at) matches.push_back({found[at].order, found[at].distance});
    return matches;
}

std::size_t SpellingIndex::HeldBytes() const noexcept {
    return sizeof(*this) + pendingKeys_.capacity() + pending_.capacity() * sizeof(PendingEntry) + keys_.capacity() +
           nodes_.capacity() * sizeof(Node) + orders_.capacity() * sizeof(std::int64_t);
}
