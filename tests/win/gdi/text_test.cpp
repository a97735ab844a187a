// Text: '&' prefixes, measuring, alignment, wrapping, clipping, background.
#include <gtest/gtest.h>

#include <cstring>

#include "picture.h"
#include "win/gdi/draw_text.h"
#include "win/gdi/font.h"
#include "winuser.h"

namespace win::gdi {
namespace {

using test::TestDc;

int extent(std::string_view s) { return text_extent(default_gui_font(), s).cx; }

bool row_has(const Surface& s, int y, int x0, int x1, std::uint32_t pixel) {
    for (int x = x0; x < x1; ++x)
        if (s.at(x, y) != pixel) return false;
    return true;
}

bool has_ink(const Surface& s, int x0, int y0, int x1, int y1,
             std::uint32_t background = 0xffffff) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (s.at(x, y) != background) return true;
    return false;
}

TEST(GdiText, PrefixesAreRemovedAndTheFirstMarkedLetterUnderlined) {
    TextLine l = strip_prefixes("&File && E&xit&", false);
    EXPECT_EQ(l.text, "File & Exit");
    EXPECT_EQ(l.underline, 0);
    EXPECT_EQ(strip_prefixes("Sa&ve", false).underline, 2);
    EXPECT_EQ(strip_prefixes("a&&b", false).underline, -1);
    EXPECT_EQ(strip_prefixes("&File", true).text, "&File");
    EXPECT_EQ(strip_prefixes("&File", true).underline, -1);
}

TEST(GdiText, AmpersandUnderlinesTheNextLetter) {
    TestDc t(60, 16);
    RECT r{0, 0, 60, 16};
    EXPECT_EQ(DrawTextA(t.dc, "&File", -1, &r, DT_SINGLELINE), 13);
    const FontMetrics m = font_metrics(default_gui_font());
    const int underline_y = m.ascent + 1;
    const int f_width = extent("F");
    EXPECT_TRUE(row_has(*t.surface, underline_y, 0, f_width, 0));
    EXPECT_FALSE(has_ink(*t.surface, f_width, underline_y, 60, underline_y + 1));
    // The same text without the mark draws the same letters, and no line.
    TestDc plain(60, 16);
    TextOutA(plain.dc, 0, 0, "File", 4);
    for (int x = 0; x < 60; ++x) plain.surface->row(underline_y)[x] = t.surface->at(x, underline_y);
    EXPECT_EQ(plain.surface->pixels, t.surface->pixels);
    // DT_HIDEPREFIX drops the mark without the line; DT_PREFIXONLY draws just the line.
    TestDc hidden(60, 16);
    DrawTextA(hidden.dc, "&File", -1, &r, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_FALSE(has_ink(*hidden.surface, 0, underline_y, 60, underline_y + 1));
    TestDc only(60, 16);
    DrawTextA(only.dc, "&File", -1, &r, DT_SINGLELINE | DT_PREFIXONLY);
    EXPECT_TRUE(row_has(*only.surface, underline_y, 0, f_width, 0));
    EXPECT_FALSE(has_ink(*only.surface, 0, 0, 60, underline_y));
}

TEST(GdiText, DoubleAmpersandShowsOneAndNoPrefixShowsAll) {
    TestDc a(60, 14), b(60, 14), c(60, 14), d(60, 14);
    RECT r{0, 0, 60, 14};
    DrawTextA(a.dc, "A&&B", -1, &r, DT_SINGLELINE);
    TextOutA(b.dc, 0, 0, "A&B", 3);
    EXPECT_EQ(a.surface->pixels, b.surface->pixels);
    DrawTextA(c.dc, "A&&B", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    TextOutA(d.dc, 0, 0, "A&&B", 4);
    EXPECT_EQ(c.surface->pixels, d.surface->pixels);
    EXPECT_NE(a.surface->pixels, c.surface->pixels);
}

TEST(GdiText, CalcRectMeasuresWithoutTheRemovedAmpersands) {
    TestDc t(4, 4);
    RECT r{10, 20, 11, 21};
    EXPECT_EQ(DrawTextA(t.dc, "&Open file", -1, &r, DT_SINGLELINE | DT_CALCRECT), 13);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, extent("Open file"));
    EXPECT_EQ(r.bottom - r.top, 13);
    RECT n{0, 0, 1, 1};
    DrawTextA(t.dc, "&Open file", -1, &n, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
    EXPECT_EQ(n.right, extent("&Open file"));
    RECT trailing{0, 0, 1, 1};
    DrawTextA(t.dc, "ab&", -1, &trailing, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(trailing.right, extent("ab"));
    RECT lines{0, 0, 1, 1};
    EXPECT_EQ(DrawTextA(t.dc, "a\nlonger\r\nb", -1, &lines, DT_CALCRECT), 39);
    EXPECT_EQ(lines.right, extent("longer"));
    EXPECT_EQ(t.surface->pixels,
              std::vector<std::uint32_t>(16, 0xffffff));  // measuring draws nothing
}

TEST(GdiText, WordBreakWrapsAtSpaces) {
    TestDc t(4, 4);
    const int width = extent("one two") + 2;
    RECT r{0, 0, width, 0};
    EXPECT_EQ(DrawTextA(t.dc, "one two three", -1, &r, DT_WORDBREAK | DT_CALCRECT), 26);
    EXPECT_EQ(r.right, extent("one two"));
    // A word wider than the line stays whole on its own line.
    RECT narrow{0, 0, 5, 0};
    EXPECT_EQ(DrawTextA(t.dc, "abcdefgh ij", -1, &narrow, DT_WORDBREAK | DT_CALCRECT), 26);
    EXPECT_EQ(narrow.right, extent("abcdefgh"));
    // The underline follows its letter onto the next line.
    TestDc u(80, 30);
    RECT box{0, 0, width, 30};
    DrawTextA(u.dc, "one two &three", -1, &box, DT_WORDBREAK);
    const int y = 13 + font_metrics(default_gui_font()).ascent + 1;
    EXPECT_TRUE(row_has(*u.surface, y, 0, extent("t"), 0));
}

TEST(GdiText, AlignmentMatchesTextOutAtTheComputedPlace) {
    const int w = 70, h = 30, ext = extent("Abc");
    struct Case {
        UINT format;
        int x, y;
    } cases[] = {
        {DT_SINGLELINE | DT_CENTER | DT_VCENTER, (w - ext) / 2, (h - 13) / 2},
        {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, w - ext, h - 13},
        {DT_LEFT | DT_TOP, 0, 0},
        {DT_CENTER, (w - ext) / 2, 0},
    };
    for (const Case& c : cases) {
        TestDc a(w, h), b(w, h);
        RECT r{0, 0, w, h};
        int height = DrawTextA(a.dc, "Abc", -1, &r, c.format);
        EXPECT_EQ(height, c.y + 13) << c.format;
        TextOutA(b.dc, c.x, c.y, "Abc", 3);
        EXPECT_EQ(a.surface->pixels, b.surface->pixels) << c.format;
    }
}

TEST(GdiText, ClippedToTheRectangleUnlessNoClip) {
    const int cut = extent("Wi");
    TestDc a(60, 14), b(60, 14);
    RECT r{0, 0, cut, 14};
    DrawTextA(a.dc, "WWWWWW", -1, &r, DT_SINGLELINE);
    EXPECT_TRUE(has_ink(*a.surface, 0, 0, cut, 14));
    EXPECT_FALSE(has_ink(*a.surface, cut, 0, 60, 14));
    DrawTextA(b.dc, "WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_TRUE(has_ink(*b.surface, cut, 0, 60, 14));
    // The DC's own clip still holds with DT_NOCLIP.
    TestDc c(60, 14);
    IntersectClipRect(c.dc, 0, 0, 5, 14);
    DrawTextA(c.dc, "WWWWWW", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_FALSE(has_ink(*c.surface, 5, 0, 60, 14));
}

TEST(GdiText, BackgroundModeAndColours) {
    TestDc t(40, 13, 0x00ff00);
    SetBkColor(t.dc, RGB(0, 0, 255));
    SetTextColor(t.dc, RGB(255, 0, 0));
    TextOutA(t.dc, 0, 0, "i", 1);
    const int w = extent("i");
    // Opaque: the cell behind the letter takes the background colour, and the text is red.
    EXPECT_EQ(t.surface->at(0, 0), 0x0000ffu);
    EXPECT_EQ(t.surface->at(w, 0), 0x00ff00u);
    // Anti-aliased red ink over blue: some pixel leans to red, none gains green.
    bool red = false;
    for (std::uint32_t p : t.surface->pixels) {
        red = red || ((p >> 16) & 0xff) > (p & 0xff);
        if (p != 0x00ff00) {
            EXPECT_EQ(p & 0xff00, 0u);
        }
    }
    EXPECT_TRUE(red);
    EXPECT_EQ(SetBkMode(t.dc, TRANSPARENT), OPAQUE);
    TextOutA(t.dc, 20, 0, "i", 1);
    EXPECT_EQ(t.surface->at(20, 0), 0x00ff00u);
    EXPECT_EQ(SetBkMode(t.dc, 99), 0);
    EXPECT_FALSE(TextOutA(t.dc, 0, 0, nullptr, 3));
    EXPECT_FALSE(GetTextExtentPoint32A(t.dc, "abc", -1, nullptr));
}

}  // namespace
}  // namespace win::gdi
