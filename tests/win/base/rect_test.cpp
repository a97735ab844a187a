#include <gtest/gtest.h>

#include "winuser.h"

TEST(Rect, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(50, 6, 4), 75);
    EXPECT_EQ(MulDiv(4, 13, 8), 7);  // 6.5
    EXPECT_EQ(MulDiv(-4, 13, 8), -7);
    EXPECT_EQ(MulDiv(14, 13, 8), 23);  // 22.75
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(Rect, IntersectAndUnionTreatEdgesAsExclusive) {
    RECT a{0, 0, 10, 10}, b{10, 0, 20, 10}, out{1, 1, 1, 1};
    EXPECT_FALSE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(IsRectEmpty(&out));
    RECT c{5, 5, 15, 15};
    EXPECT_TRUE(IntersectRect(&out, &a, &c));
    EXPECT_EQ(out.left, 5);
    EXPECT_EQ(out.right, 10);
    RECT empty{3, 3, 3, 3};
    EXPECT_TRUE(UnionRect(&out, &empty, &c));
    EXPECT_TRUE(EqualRect(&out, &c));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
}
