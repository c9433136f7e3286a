#include "common/ByteBuffer.h"
#include "common/LargeBlockAllocator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMegabyte = std::size_t{1} << 20;

bool OnAHugePageBoundary(const void* p) { return reinterpret_cast<std::uintptr_t>(p) % (2 * kMegabyte) == 0; }

TEST(ByteBuffer, LargeTextsGetABlockOfTheirOwnOnAHugePageBoundary) {
    for (const std::size_t size : {std::size_t{0}, std::size_t{1}, kMegabyte - 1, kMegabyte, 5 * kMegabyte + 3}) {
        ByteBuffer buffer(size);
        ASSERT_EQ(buffer.size(), size);
        EXPECT_EQ(buffer.IsMapped(), size >= kMegabyte) << size;
        if (buffer.IsMapped()) {
            EXPECT_TRUE(OnAHugePageBoundary(buffer.data()));
        }
        // Every byte is there to be written and read back.
        for (std::size_t i = 0; i < size; ++i) buffer.data()[i] = static_cast<char>(i * 7);
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(buffer.view()[i], static_cast<char>(i * 7)) << i;

        ByteBuffer moved(std::move(buffer));
        EXPECT_TRUE(buffer.empty());
        EXPECT_EQ(moved.size(), size);
        ByteBuffer assigned = ByteBuffer(kMegabyte * 2);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.size(), size);
        if (size > 0) {
            EXPECT_EQ(assigned.data()[size - 1], static_cast<char>((size - 1) * 7));
        }
    }
}

TEST(ByteBuffer, AdoptsAStringWithoutCopyingIt) {
    std::string text(3 * kMegabyte, 'x');
    const char* bytes = text.data();
    const ByteBuffer buffer(std::move(text));
    EXPECT_EQ(buffer.data(), bytes);
    EXPECT_EQ(buffer.size(), 3 * kMegabyte);
    EXPECT_EQ(ByteBuffer(std::string("short")).view(), "short");
}

// Appends of random lengths against a plain string, from every kind of start: the
// heap, a block, a capacity far too small, one that is exceeded partway.
TEST(ByteBuffer, AppendAgreesWithAPlainStringAcrossEveryCapacity) {
    std::mt19937 random(5);
    std::string source(3 * kMegabyte, '\0');
    for (char& c : source) c = static_cast<char>(random());
    for (const std::size_t capacity : {std::size_t{0}, std::size_t{10}, kMegabyte - 1, kMegabyte, 3 * kMegabyte}) {
        ByteBuffer buffer = ByteBuffer::WithCapacity(capacity);
        EXPECT_TRUE(buffer.empty());
        EXPECT_GE(buffer.capacity(), capacity);
        std::string model;
        while (model.size() < 4 * kMegabyte) {
            const std::size_t length = random() % 4 == 0 ? random() % kMegabyte : random() % 100;
            const std::string_view piece = std::string_view(source).substr(random() % source.size(), length);
            buffer.Append(piece);
            model.append(piece);
            ASSERT_EQ(buffer.size(), model.size());
        }
        EXPECT_TRUE(buffer.IsMapped());
        EXPECT_EQ(buffer.view(), model) << "capacity " << capacity;
        buffer.Append(buffer.view().substr(0, 1000));  // a piece of itself
        model.append(model, 0, 1000);
        EXPECT_EQ(buffer.view(), model);
    }
}

TEST(ByteBuffer, TruncateKeepsTheStartAndTheBufferStaysUsable) {
    for (const std::size_t cut : {std::size_t{0}, std::size_t{100}, 2 * kMegabyte, 3 * kMegabyte, 6 * kMegabyte}) {
        ByteBuffer buffer(6 * kMegabyte);
        std::string model(6 * kMegabyte, '\0');
        for (std::size_t i = 0; i < model.size(); ++i) model[i] = buffer.data()[i] = static_cast<char>(i % 251);
        buffer.Truncate(cut);
        model.resize(cut);
        EXPECT_EQ(buffer.view(), model) << cut;
        // What was handed back on a cut must not be written to later.
        const std::string more(3 * kMegabyte, 'm');
        buffer.Append(more);
        model += more;
        EXPECT_EQ(buffer.view(), model) << cut;
    }
    ByteBuffer small(std::string("abcdef"));
    small.Truncate(2);
    EXPECT_EQ(small.view(), "ab");
}

TEST(LargeBlockAllocator, AVectorKeepsItsItemsAsItGrowsIntoLargeBlocks) {
    std::vector<std::uint64_t, LargeBlockAllocator<std::uint64_t>> items;
    for (std::uint64_t i = 0; i < 600'000; ++i) items.push_back(i * i);
    EXPECT_TRUE(OnAHugePageBoundary(items.data()));
    for (std::uint64_t i = 0; i < items.size(); ++i) ASSERT_EQ(items[i], i * i);
    items.resize(10);
    items.shrink_to_fit();  // back from a block to the heap
    EXPECT_EQ(items.back(), 81u);
}

}  // namespace
