// The bitmap menu's drawing, pixel by pixel, into a memory device context:
// where the caption, the shortcut, the bar, the edges, the separator line and
// the tick land, and that each selection change puts back what it took away.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

#include "afxwin.h"
#include "controls/bitmap_menu.h"
#include "res/korvane_resources.h"
#include "win/core/automation.h"
#include "win/core/clock.h"
#include "win/menus/menus.h"
#include "win/resources/registry.h"

namespace {

constexpr COLORREF kSentinel = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kLine = RGB(64, 64, 128);
constexpr COLORREF kBar = RGB(64, 64, 127);
constexpr COLORREF kCheckFill = RGB(216, 216, 235);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The item sits away from the origin so that an edge taken from the wrong
// corner shows.
constexpr RECT kItem{10, 5, 160, 25};
constexpr int kW = 180, kH = 32;

enum : UINT { kSaveAs = 1, kSaveAsPlain, kShortcut, kNoPicture, kChecked, kSeparatorAt = 5 };

class CTestApp : public CWinApp {
  public:
    BOOL InitInstance() override { return FALSE; }
};

class BitmapMenuDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        win::automation::reset(&clock);
        win::menus::install();
        module = win::res::install(korvane_resources());
        app = std::make_unique<CTestApp>();
        app->m_hInstance = module;
        menu = std::make_unique<CBitmapMenu>();
        menu->Attach(::CreatePopupMenu());
        menu->SetItemHeight(20);
        menu->SetItemWidth(150);
        menu->AppendItem(0, kSaveAs, "&Save As", 137);
        menu->AppendItem(0, kSaveAsPlain, "Save As", 137);
        menu->AppendItem(0, kShortcut, "Open\tCtrl+O", 135);
        menu->AppendItem(0, kNoPicture, "Plain", 0);
        menu->AppendItem(MF_CHECKED, kChecked, "Checked", 0);
        menu->AppendItem(MF_SEPARATOR, 0, "", 0);

        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kW;
        bi.bmiHeader.biHeight = -kH;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        surface = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, surface);
        clear();
    }
    void TearDown() override {
        SelectObject(dc, old);
        DeleteObject(surface);
        DeleteDC(dc);
        menu.reset();
        app.reset();
        win::res::uninstall(module);
        win::automation::reset(&clock);
    }

    void clear() {
        HBRUSH b = CreateSolidBrush(kSentinel);
        RECT all{0, 0, kW, kH};
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    BitmapMenuItem* record(size_t index) {
        POSITION p = menu->items.GetHeadPosition();
        void* item = nullptr;
        for (size_t i = 0; i <= index; ++i) item = menu->items.GetNext(p);
        return static_cast<BitmapMenuItem*>(item);
    }
    // One draw request for the item appended at index (its id from the table).
    void draw(size_t index, UINT action, UINT state) {
        static const UINT ids[] = {kSaveAs, kSaveAsPlain, kShortcut, kNoPicture, kChecked, 0};
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_MENU;
        d.itemID = ids[index];
        d.itemAction = action;
        d.itemState = state;
        d.hwndItem = reinterpret_cast<HWND>(menu->m_hMenu);
        d.hDC = dc;
        d.rcItem = kItem;
        d.itemData = reinterpret_cast<ULONG_PTR>(record(index));
        // The window system sets the text colour for each request, as for its own items.
        SetTextColor(dc,
                     GetSysColor((state & ODS_SELECTED) ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        menu->DrawItem(&d);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, kItem.left + x, kItem.top + y); }
    std::vector<COLORREF> snapshot() const {
        std::vector<COLORREF> out;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) out.push_back(GetPixel(dc, x, y));
        return out;
    }
    // Item-relative points that differ from the background inside the box
    // (text is smoothed, so its pixels are any colour but the background's;
    // the untouched surface outside the item does not count).
    std::vector<POINT> ink(COLORREF background, int x0, int y0, int x1, int y1) const {
        std::vector<POINT> out;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (at(x, y) != background && at(x, y) != kSentinel) out.push_back({x, y});
        return out;
    }
    // Item-relative points of one colour inside [x0, x1) x [y0, y1).
    std::vector<POINT> points(COLORREF c, int x0, int y0, int x1, int y1) const {
        std::vector<POINT> out;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (at(x, y) == c) out.push_back({x, y});
        return out;
    }
    static RECT bounds(const std::vector<POINT>& p) {
        RECT r{1 << 20, 1 << 20, -1, -1};
        for (POINT q : p) {
            r.left = std::min(r.left, q.x);
            r.top = std::min(r.top, q.y);
            r.right = std::max(r.right, q.x + 1);
            r.bottom = std::max(r.bottom, q.y + 1);
        }
        return r;
    }

    win::VirtualClock clock;
    HINSTANCE module = nullptr;
    std::unique_ptr<CTestApp> app;
    std::unique_ptr<CBitmapMenu> menu;
    HDC dc = nullptr;
    HBITMAP surface = nullptr;
    HGDIOBJ old = nullptr;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
};

TEST_F(BitmapMenuDraw, TheCaptionStartsAt28By4AndTheAmpersandUnderlinesTheS) {
    draw(1, ODA_DRAWENTIRE, 0);
    std::vector<POINT> ink_plain = ink(face, 20, 0, 150 + 10, 20);
    clear();
    draw(0, ODA_DRAWENTIRE, 0);
    std::vector<POINT> ink_amp = ink(face, 20, 0, 150 + 10, 20);
    ASSERT_FALSE(ink_plain.empty());
    RECT text = bounds(ink_plain);
    EXPECT_GE(text.left, 28);
    EXPECT_LE(text.left, 29) << "left-aligned at 28 (a glyph may start a pixel in)";
    EXPECT_GE(text.top, 4);
    EXPECT_LE(text.top, 6);
    // The same pixels but for one underline row under the S alone: no "&"
    // is drawn, and nothing else moves.
    std::set<std::pair<int, int>> a, b;
    for (POINT p : ink_plain) a.insert({p.x, p.y});
    for (POINT p : ink_amp) b.insert({p.x, p.y});
    std::vector<POINT> added;
    for (auto [x, y] : b)
        if (!a.count({x, y})) added.push_back({x, y});
    for (auto [x, y] : a) EXPECT_TRUE(b.count({x, y})) << "lost ink at " << x << "," << y;
    ASSERT_FALSE(added.empty()) << "the S is underlined";
    RECT line = bounds(added);
    EXPECT_EQ(line.bottom - line.top, 1) << "one underline row";
    EXPECT_GE(line.top, text.bottom - 3) << "under the letters";
    EXPECT_GE(line.right - line.left, 3);
    EXPECT_LE(line.left, text.left + 1);
    EXPECT_LE(line.right, text.left + 10) << "under the S only";
}

TEST_F(BitmapMenuDraw, TheShortcutStands60PixelsLeftOfTheCaptionBoxsRightEdge) {
    draw(2, ODA_DRAWENTIRE, 0);
    // Caption box right = item right + 4, so the shortcut box starts at right - 56.
    const int box = 150 - 56;
    std::vector<POINT> right_part = ink(face, box - 20, 0, 150 + 4, 20);
    RECT shortcut = bounds(ink(face, box - 2, 0, 150 + 4, 20));
    ASSERT_FALSE(right_part.empty());
    EXPECT_GE(shortcut.left, box);
    EXPECT_LE(shortcut.left, box + 1);
    RECT caption = bounds(ink(face, 20, 0, box - 2, 20));
    EXPECT_GE(caption.left, 28);
    EXPECT_LT(caption.right, 28 + 30) << "only \"Open\" at the caption place";
    EXPECT_EQ(shortcut.top, caption.top) << "both texts share the top";
    // Without a tab there is nothing at the right.
    clear();
    draw(3, ODA_DRAWENTIRE, 0);
    EXPECT_TRUE(ink(face, box - 2, 0, 150 + 10, 20).empty());
}

TEST_F(BitmapMenuDraw, HighlightDrawsTheBarAndRaisedEdgeAndItsRemovalRestoresTheRestingLook) {
    draw(0, ODA_DRAWENTIRE, 0);
    std::vector<COLORREF> resting = snapshot();
    COLORREF picture_pixel = at(2 + 8, 2 + 8);
    draw(0, ODA_SELECT, ODS_SELECTED);
    // Raised edge: light top and left, dark bottom and right of the 20 x 20 box.
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    for (int i = 1; i < 19; ++i) {
        EXPECT_EQ(at(i, 0), light) << i;
        EXPECT_EQ(at(0, i), light) << i;
        EXPECT_EQ(at(i, 19), dark) << i;
        EXPECT_EQ(at(19, i), dark) << i;
    }
    EXPECT_EQ(at(10, 10), picture_pixel) << "the picture stays inside the edge";
    // Bar from left + 22: a line-coloured frame around the bar colour.
    EXPECT_EQ(at(22, 10), kLine);
    EXPECT_EQ(at(149, 10), kLine);
    EXPECT_EQ(at(80, 0), kLine);
    EXPECT_EQ(at(80, 19), kLine);
    EXPECT_EQ(at(23, 1), kBar);
    EXPECT_EQ(at(148, 18), kBar);
    EXPECT_EQ(at(21, 10), face) << "the gap between box and bar stays face";
    EXPECT_FALSE(points(kWhite, 28, 4, 80, 20).empty()) << "white caption";
    EXPECT_EQ(ink(kBar, 23, 1, 149, 19).size(), ink(kBar, 28, 4, 149, 19).size())
        << "the bar holds nothing but the caption, inside its box";
    draw(0, ODA_SELECT, 0);
    EXPECT_EQ(snapshot(), resting) << "moving away puts the resting look back exactly";
}

TEST_F(BitmapMenuDraw, AnItemWithoutAPictureGetsNoEdgeAndAFaceColouredBox) {
    draw(3, ODA_DRAWENTIRE, ODS_SELECTED);
    EXPECT_EQ(points(face, 0, 0, 20, 20).size(), 400u) << "the box stays face-coloured";
    EXPECT_EQ(at(22, 10), kLine) << "but the bar is there";
    std::vector<COLORREF> lit = snapshot();
    draw(3, ODA_SELECT, 0);
    EXPECT_EQ(points(face, 0, 0, 20, 20).size(), 400u);
    EXPECT_EQ(at(23, 1), face) << "the bar is gone";
    EXPECT_NE(snapshot(), lit);
}

TEST_F(BitmapMenuDraw, ASeparatorIsAnEtchedLineFrom25Across3Down) {
    RECT sep = kItem;
    sep.bottom = sep.top + 6;
    DRAWITEMSTRUCT d{};
    d.CtlType = ODT_MENU;
    d.itemAction = ODA_DRAWENTIRE;
    d.hwndItem = reinterpret_cast<HWND>(menu->m_hMenu);
    d.hDC = dc;
    d.rcItem = sep;
    d.itemData = reinterpret_cast<ULONG_PTR>(record(kSeparatorAt));
    menu->DrawItem(&d);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), dark = GetSysColor(COLOR_BTNSHADOW);
    for (int x = 25; x < 150 + 5; ++x) {
        EXPECT_EQ(at(x, 3), dark) << x;
        EXPECT_EQ(at(x, 4), light) << x;
    }
    EXPECT_EQ(at(24, 3), face);
    EXPECT_EQ(at(24, 4), face);
    EXPECT_TRUE(ink(face, -10, 0, 170, 3).empty()) << "nothing above the line";
    EXPECT_TRUE(ink(face, -10, 5, 170, 6).empty()) << "nothing below it";
    EXPECT_NE(at(150 + 5, 3), dark) << "the line ends at right + 5";
}

TEST_F(BitmapMenuDraw, ACheckedItemShowsTheFramedBoxAndTheTickAndNoEdgeWhenLit) {
    draw(4, ODA_DRAWENTIRE, 0);
    for (int i = 1; i < 19; ++i) {
        EXPECT_EQ(at(i, 1), kLine) << i;
        EXPECT_EQ(at(1, i), kLine) << i;
        EXPECT_EQ(at(i, 18), kLine) << i;
        EXPECT_EQ(at(18, i), kLine) << i;
    }
    EXPECT_EQ(at(0, 0), face);
    // Seven strokes of three pixels from (7, 7); the lowest in the third column.
    const int tops[7] = {2, 3, 4, 3, 2, 1, 0};
    std::vector<POINT> tick = points(kLine, 2, 2, 18, 18);
    EXPECT_EQ(tick.size(), 21u);
    for (int i = 0; i < 7; ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(at(7 + i, 7 + tops[i] + k), kLine) << i << "," << k;
        EXPECT_EQ(at(7 + i, 7 + tops[i] - 1), kCheckFill) << i;
        EXPECT_EQ(at(7 + i, 7 + tops[i] + 3), kCheckFill) << i;
    }
    EXPECT_EQ(at(3, 3), kCheckFill);
    EXPECT_EQ(at(16, 16), kCheckFill);
    draw(4, ODA_SELECT, ODS_SELECTED);
    EXPECT_EQ(at(0, 10), face) << "no raised edge on a checked item";
    EXPECT_EQ(at(19, 10), face);
    EXPECT_EQ(at(22, 10), kLine) << "the bar";
    EXPECT_EQ(at(7, 9), kLine) << "the tick stays";
}

TEST_F(BitmapMenuDraw, AFocusOnlyRequestDrawsNothing) {
    for (UINT state : {0u, UINT(ODS_FOCUS), UINT(ODS_SELECTED | ODS_FOCUS)}) {
        for (size_t index : {size_t(0), size_t(3), size_t(4)}) {
            draw(index, ODA_FOCUS, state);
            EXPECT_EQ(points(kSentinel, -10, -5, kW - 10, kH - 5).size(), size_t(kW * kH))
                << "item " << index << " state " << state;
        }
    }
}

}  // namespace
