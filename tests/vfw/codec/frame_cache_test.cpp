// The frame cache's bound and its reuse of memory: once full, a new frame takes
// the memory of the least recently shown one, and the bytes held never pass the bound.
#include "vfw/codec/frame_cache.h"

#include <gtest/gtest.h>

namespace vfw::codec::test {
namespace {

constexpr std::size_t kFrame = 1000;

TEST(FrameCacheBound, FullCacheReusesTheOldestFramesMemory) {
    FrameCache cache(3 * kFrame);
    std::uint8_t* first = cache.insert(0, kFrame);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(cache.insert(1, kFrame), nullptr);
    ASSERT_NE(cache.insert(2, kFrame), nullptr);
    EXPECT_EQ(cache.bytes(), 3 * kFrame);

    std::uint8_t* fourth = cache.insert(3, kFrame);
    EXPECT_EQ(fourth, first) << "the oldest frame's memory takes the new one";
    EXPECT_EQ(cache.find(0), nullptr);
    EXPECT_EQ(cache.bytes(), 3 * kFrame);

    // Shown again, frame 1 is no longer the oldest: frame 2 goes next.
    std::uint8_t* one = cache.find(1);
    ASSERT_NE(one, nullptr);
    ASSERT_NE(cache.insert(4, kFrame), nullptr);
    EXPECT_EQ(cache.find(2), nullptr);
    EXPECT_EQ(cache.find(1), one);
    EXPECT_EQ(cache.find(3), fourth);
}

TEST(FrameCacheBound, SizesThatDoNotFitKeepTheBound) {
    FrameCache cache(3 * kFrame);
    EXPECT_EQ(cache.insert(0, 3 * kFrame + 1), nullptr) << "larger than the bound";
    EXPECT_EQ(cache.bytes(), 0u);

    ASSERT_NE(cache.insert(0, kFrame), nullptr);
    ASSERT_NE(cache.insert(1, kFrame), nullptr);
    // A larger frame drops as many old ones as it needs.
    ASSERT_NE(cache.insert(2, 2 * kFrame), nullptr);
    EXPECT_EQ(cache.find(0), nullptr);
    EXPECT_NE(cache.find(1), nullptr);
    EXPECT_EQ(cache.bytes(), 3 * kFrame);

    // Writing a frame failed: its entry goes, and its bytes with it.
    cache.erase(2);
    EXPECT_EQ(cache.find(2), nullptr);
    EXPECT_EQ(cache.bytes(), kFrame);

    cache.set_limit(0);
    EXPECT_EQ(cache.bytes(), 0u);
    EXPECT_EQ(cache.find(1), nullptr);
    EXPECT_EQ(cache.insert(5, kFrame), nullptr);
}

TEST(FrameCacheBound, ShrinkingDropsTheLeastRecentlyShown) {
    FrameCache cache(4 * kFrame);
    for (std::int64_t n = 0; n < 4; ++n) ASSERT_NE(cache.insert(n, kFrame), nullptr);
    ASSERT_NE(cache.find(0), nullptr);
    cache.set_limit(2 * kFrame);
    EXPECT_EQ(cache.bytes(), 2 * kFrame);
    EXPECT_NE(cache.find(0), nullptr);
    EXPECT_NE(cache.find(3), nullptr);
    EXPECT_EQ(cache.find(1), nullptr);
    EXPECT_EQ(cache.find(2), nullptr);
}

}  // namespace
}  // namespace vfw::codec::test
