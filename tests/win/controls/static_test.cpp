#include <set>

#include "controls_fixture.h"
#include "win/gdi/icon.h"

using namespace controls_test;
namespace ta = win::automation;

namespace {

class StaticTest : public ControlsTest {
  protected:
    std::set<std::uint32_t> colours(HWND h) const {
        RECT rc{};
        GetClientRect(h, &rc);
        std::set<std::uint32_t> out;
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x) out.insert(px(h, x, y));
        return out;
    }
};

TEST_F(StaticTest, LabelsAskTheParentForColours) {
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    parent_log().static_brush = red;
    HWND label = make("Static", "Name:", SS_LEFT, 10, 10, 60, 16, -1);
    ta::pump();
    EXPECT_GT(parent_log().ctlcolor_static, 0);
    EXPECT_EQ(px(label, 58, 1), 0xff0000u);
    EXPECT_TRUE(colours(label).count(0x000000u));  // the text, in the DC's colour
    parent_log().static_brush = nullptr;
    DeleteObject(red);
}

TEST_F(StaticTest, DisabledTextIsGreyWithAWhiteEmboss) {
    HWND label = make("Static", "Disabled", SS_LEFT, 10, 10, 80, 16, -1);
    ta::pump();
    EXPECT_FALSE(colours(label).count(sys_pixel(COLOR_GRAYTEXT)));
    EnableWindow(label, FALSE);
    ta::pump();
    auto c = colours(label);
    EXPECT_TRUE(c.count(sys_pixel(COLOR_GRAYTEXT)));
    EXPECT_TRUE(c.count(sys_pixel(COLOR_BTNHIGHLIGHT)));
    EXPECT_FALSE(c.count(0x000000u));
    SetWindowTextA(label, "");
    ta::pump();
    EXPECT_EQ(colours(label), std::set<std::uint32_t>{sys_pixel(COLOR_BTNFACE)});
}

TEST_F(StaticTest, FramesAndEtchedLines) {
    HWND view = make("Static", "", SS_BLACKFRAME | SS_SUNKEN | WS_DISABLED, 0, 0, 100, 60, 1002);
    HWND horz = make("Static", "", SS_ETCHEDHORZ, 0, 80, 100, 2, -1);
    HWND vert = make("Static", "", SS_ETCHEDVERT, 120, 10, 2, 24, -1);
    ta::pump();
    RECT rc{};
    GetClientRect(view, &rc);
    EXPECT_EQ(rc.right, 98);  // the sunken edge sits outside the client area
    EXPECT_EQ(px(view, 0, 0), sys_pixel(COLOR_WINDOWFRAME));
    EXPECT_EQ(px(view, 97, 57), sys_pixel(COLOR_WINDOWFRAME));
    EXPECT_EQ(px(view, -1, -1), sys_pixel(COLOR_BTNSHADOW));
    EXPECT_EQ(px(view, 98, 58), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(horz, 50, 0), sys_pixel(COLOR_BTNSHADOW));
    EXPECT_EQ(px(horz, 50, 1), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(px(vert, 0, 12), sys_pixel(COLOR_BTNSHADOW));
    EXPECT_EQ(px(vert, 1, 12), sys_pixel(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(SendMessageA(view, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

TEST_F(StaticTest, BitmapAtTheTopLeft) {
    HWND pic = make("Static", "", SS_BITMAP, 10, 10, 40, 40, 60, WS_EX_CLIENTEDGE);
    HDC screen = GetDC(parent);
    HBITMAP bm = CreateCompatibleBitmap(screen, 8, 6);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bm);
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    RECT all{0, 0, 8, 6};
    FillRect(mem, &all, green);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(parent, screen);
    EXPECT_EQ(SendMessageA(pic, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bm)), 0);
    EXPECT_EQ(HBITMAP(SendMessageA(pic, STM_GETIMAGE, IMAGE_BITMAP, 0)), bm);
    ta::pump();
    EXPECT_EQ(px(pic, 0, 0), 0x00c800u);
    EXPECT_EQ(px(pic, 7, 5), 0x00c800u);
    EXPECT_EQ(px(pic, 8, 5), sys_pixel(COLOR_BTNFACE));
    EXPECT_EQ(px(pic, -2, -2), sys_pixel(COLOR_BTNSHADOW));  // the client edge
    EXPECT_EQ(HBITMAP(SendMessageA(pic, STM_SETIMAGE, IMAGE_BITMAP, 0)), bm);
    DeleteObject(bm);
    DeleteObject(green);
}

TEST_F(StaticTest, NotifyStyleReportsClicks) {
    HWND quiet = make("Static", "quiet", SS_LEFT, 10, 10, 60, 16, 70);
    HWND notify = make("Static", "notify", SS_LEFT | SS_NOTIFY, 10, 40, 60, 16, 71);
    ta::click(quiet, 2, 2);
    ta::click(notify, 2, 2);
    ta::pump();
    EXPECT_EQ(commands(), std::vector<std::string>{"71 0"});
}

TEST_F(StaticTest, IconDrawnWithItsTransparency) {
    HWND h = make("Static", "", SS_ICON, 10, 10, 32, 32, 80);
    win::gdi::Surface image(4, 4, 0xcc0000);
    std::vector<std::uint8_t> alpha(16, 255);
    alpha[0] = 0;  // the top-left pixel is see-through
    HICON icon = win::gdi::create_icon(image, alpha);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(SendMessageA(h, STM_SETICON, WPARAM(icon), 0), 0);
    EXPECT_EQ(HICON(SendMessageA(h, STM_GETICON, 0, 0)), icon);
    EXPECT_EQ(HICON(SendMessageA(h, STM_GETIMAGE, IMAGE_ICON, 0)), icon);
    ta::pump();
    EXPECT_EQ(px(h, 0, 0), sys_pixel(COLOR_BTNFACE));
    EXPECT_EQ(px(h, 1, 1), 0xcc0000u);
    EXPECT_EQ(px(h, 4, 4), sys_pixel(COLOR_BTNFACE));
    EXPECT_EQ(HICON(SendMessageA(h, STM_SETICON, 0, 0)), icon);
    ta::pump();
    EXPECT_EQ(px(h, 1, 1), sys_pixel(COLOR_BTNFACE));
    win::gdi::destroy_icon(icon);
}

}  // namespace
