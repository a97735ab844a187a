// DrawEdge bevels, one letter per system colour:
// l 3DLIGHT (= BTNFACE), w BTNHIGHLIGHT, s BTNSHADOW, d 3DDKSHADOW, y background.
#include <gtest/gtest.h>

#include "picture.h"
#include "winuser.h"

namespace win::gdi {
namespace {

using test::lines;
using test::same_picture;
using test::TestDc;

const std::map<std::uint32_t, char> kLegend = {{0xd4d0c8, 'l'}, {0xffffff, 'w'}, {0x808080, 's'},
                                               {0x404040, 'd'}, {0xffff00, 'y'}, {0x000000, '#'}};

std::string edge(int w, int h, UINT edge, UINT flags, RECT* adjusted = nullptr) {
    TestDc t(w, h, 0xffff00);
    RECT r{0, 0, w, h};
    EXPECT_TRUE(DrawEdge(t.dc, &r, edge, flags));
    if (adjusted) *adjusted = r;
    return test::picture(*t.surface, kLegend);
}

TEST(GdiEdge, RaisedAndSunkenWithMiddle) {
    EXPECT_EQ(edge(5, 4, EDGE_RAISED, BF_RECT), lines({"lllld", "lwwsd", "lsssd", "ddddd"}));
    EXPECT_EQ(edge(6, 6, EDGE_SUNKEN, BF_RECT | BF_MIDDLE),
              lines({"sssssw", "sdddlw", "sdlllw", "sdlllw", "sllllw", "wwwwww"}));
}

TEST(GdiEdge, EtchedAndBump) {
    EXPECT_EQ(edge(5, 5, EDGE_ETCHED, BF_RECT),
              lines({"ssssw", "swwsw", "swysw", "ssssw", "wwwww"}));
    RECT r{};
    EXPECT_EQ(edge(4, 3, EDGE_BUMP, BF_TOPLEFT | BF_ADJUST, &r), lines({"llll", "lddd", "ldyy"}));
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 4);
    EXPECT_EQ(r.bottom, 3);
}

TEST(GdiEdge, SingleBordersSoftFlatMonoAndDiagonal) {
    // A lone inner border takes the outer position.
    EXPECT_EQ(edge(3, 3, BDR_RAISEDINNER, BF_RECT), lines({"wws", "wys", "sss"}));
    EXPECT_EQ(edge(3, 3, BDR_SUNKENOUTER, BF_BOTTOM | BF_RIGHT), lines({"yyw", "yyw", "www"}));
    EXPECT_EQ(edge(4, 4, EDGE_RAISED, BF_RECT | BF_SOFT), lines({"wwwd", "wlsd", "wssd", "dddd"}));
    EXPECT_EQ(edge(3, 3, EDGE_SUNKEN, BF_RECT | BF_FLAT | BF_MIDDLE), lines({"sss", "sls", "sss"}));
    EXPECT_EQ(edge(4, 3, EDGE_SUNKEN, BF_RECT | BF_MONO), lines({"####", "#ww#", "####"}));
    EXPECT_EQ(edge(3, 3, EDGE_RAISED, BF_DIAGONAL | BF_TOP | BF_RIGHT),
              lines({"yyd", "yds", "dsy"}));
}

TEST(GdiEdge, DrawsThroughTheViewportAndClip) {
    TestDc t(6, 4, 0xffff00);
    SetViewportOrgEx(t.dc, 2, 1, nullptr);
    IntersectClipRect(t.dc, 0, 0, 3, 2);
    RECT r{0, 0, 4, 3};
    DrawEdge(t.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r.left, 2);  // adjusted in logical coordinates
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.bottom, 1);  // two rings do not fit in three rows
    EXPECT_TRUE(same_picture(*t.surface, lines({"yyyyyy", "yyllly", "yylssy", "yyyyyy"}), kLegend,
                             "edge_clip"));
}

}  // namespace
}  // namespace win::gdi
