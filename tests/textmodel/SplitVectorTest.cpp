#include "textmodel/SplitVector.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(SplitVector, InsertsAndErasesAnywhereLikeAVector) {
    std::mt19937 random(11);
    SplitVector<int> split;
    std::vector<int> plain;
    for (int step = 0; step < 5000; ++step) {
        if (plain.empty() || random() % 3) {
            const std::size_t at = random() % (plain.size() + 1);
            plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), step);
            split.insert(at, step);
        } else {
            const std::size_t at = random() % plain.size();
            plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(at));
            split.erase(at);
        }
        split.Check();
        ASSERT_EQ(split.size(), plain.size());
    }
    for (std::size_t i = 0; i < plain.size(); ++i) ASSERT_EQ(split[i], plain[i]);
    EXPECT_THROW(split.erase(plain.size()), std::out_of_range);
    EXPECT_THROW(split.insert(plain.size() + 1, 0), std::out_of_range);
}

}  // namespace
