#include "vfw/compress/find_sample.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Key samples of a 10-sample stream: 0, 3 and 7.
const std::vector<int> kKeys = {1, 0, 0, 1, 0, 0, 0, 1, 0, 0};

TEST(FindSample, KeyAndAnySamplesInBothDirections) {
    struct Case {
        LONG pos;
        LONG flags;
        LONG want;
    };
    const Case cases[] = {
        {5, FIND_KEY | FIND_PREV, 3},
        {3, FIND_KEY | FIND_PREV, 3},
        {99, FIND_KEY | FIND_PREV, 7},  // past the end counts from the last sample
        {-1, FIND_KEY | FIND_PREV, -1},
        {5, FIND_KEY | FIND_NEXT, 7},
        {8, FIND_KEY | FIND_NEXT, -1},  // no key sample after 7
        {-4, FIND_KEY | FIND_NEXT, 0},
        {5, FIND_KEY | FIND_PREV | FIND_FROM_START, 0},
        {5, FIND_ANY | FIND_PREV, 5},
        {99, FIND_ANY | FIND_PREV, 9},
        {10, FIND_ANY | FIND_NEXT, -1},
        {-2, FIND_ANY | FIND_NEXT, 0},
        {5, FIND_KEY | FIND_PREV | FIND_SIZE, -1},  // only positions are answered
    };
    for (const Case& c : cases) {
        std::vector<LONG> asked;
        const LONG got =
            vfw::compress::find_sample(c.pos, c.flags, LONG(kKeys.size()), [&](LONG i) {
                asked.push_back(i);
                return kKeys[std::size_t(i)];
            });
        EXPECT_EQ(got, c.want) << "pos " << c.pos << " flags " << c.flags;
        if ((c.flags & FIND_TYPE) != FIND_KEY) {
            EXPECT_TRUE(asked.empty()) << "any sample needs no key flags";
        }
    }
}

TEST(FindSample, AnEmptyStreamHasNoSample) {
    auto never = [](LONG) -> int {
        ADD_FAILURE() << "an empty stream has no key flags to ask for";
        return 1;
    };
    EXPECT_EQ(vfw::compress::find_sample(0, FIND_KEY | FIND_NEXT, 0, never), -1);
    EXPECT_EQ(vfw::compress::find_sample(0, FIND_ANY | FIND_PREV, 0, never), -1);
}

TEST(FindSample, KeyFlagsThatCannotBeLearntFailTheSearch) {
    // Samples up to 4 can be encoded, none after: the search must not skip the failure.
    auto key_at = [](LONG i) { return i <= 4 ? 0 : -1; };
    EXPECT_EQ(vfw::compress::find_sample(2, FIND_KEY | FIND_NEXT, 10, key_at), -1);
    auto fails_at_top = [](LONG i) { return i == 6 ? -1 : 1; };
    EXPECT_EQ(vfw::compress::find_sample(6, FIND_KEY | FIND_PREV, 10, fails_at_top), -1);
    EXPECT_EQ(vfw::compress::find_sample(5, FIND_KEY | FIND_PREV, 10, fails_at_top), 5);
}

}  // namespace
