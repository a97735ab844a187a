// Object lifetimes, selection, DC state and the system tables.
#include "win/gdi/objects.h"

#include <gtest/gtest.h>

#include <cstring>

#include "win/gdi/device_context.h"
#include "win/gdi/font.h"
#include "win/gdi/icon.h"
#include "win/gdi/sys_colors.h"
#include "winuser.h"

namespace win::gdi {
namespace {

std::shared_ptr<Surface> surface(int w, int h) { return std::make_shared<Surface>(w, h, 0xffffff); }

TEST(GdiObjects, StaleAndBogusHandlesFailCleanly) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(brush);
    ASSERT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, brush), nullptr);
    RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(dc, &r, brush), 0);
    ASSERT_TRUE(DeleteDC(dc));
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
    EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    EXPECT_FALSE(LineTo(dc, 1, 1));
    EXPECT_FALSE(DrawEdge(dc, &r, EDGE_RAISED, BF_RECT));
    EXPECT_EQ(DrawTextA(dc, "x", 1, &r, 0), 0);
    EXPECT_EQ(SaveDC(dc), 0);
    EXPECT_EQ(SetTextColor(dc, 0), CLR_INVALID);

    // Made-up values of every kind, including a real slot with a wrong generation.
    HDC real = CreateCompatibleDC(nullptr);
    auto bits = reinterpret_cast<std::uintptr_t>(real);
    auto as_brush = reinterpret_cast<HBRUSH>(pack_handle(
        HandleKind::Brush, std::uint32_t(bits & 0xffffff) - 1, std::uint32_t(bits >> 32) + 77777));
    EXPECT_EQ(SelectObject(real, as_brush), nullptr);
    EXPECT_EQ(SelectObject(real, reinterpret_cast<HGDIOBJ>(std::uintptr_t(0x12345678))), nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(std::uintptr_t(0xdeadbeef))));
    EXPECT_EQ(GetObjectA(reinterpret_cast<HGDIOBJ>(std::uintptr_t(1)), 0, nullptr), 0);
    EXPECT_FALSE(DrawIcon(real, 0, 0, reinterpret_cast<HICON>(std::uintptr_t(7))));
    EXPECT_EQ(text_extent(reinterpret_cast<HFONT>(std::uintptr_t(9)), "abc").cx, 0);
    EXPECT_TRUE(DeleteDC(real));
}

TEST(GdiObjects, SelectObjectReturnsThePreviousObject) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    EXPECT_EQ(SelectObject(dc, red), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), red);
    EXPECT_EQ(SelectObject(dc, GetStockObject(BLACK_PEN)), pen);
    HFONT bold = [] {
        LOGFONTA lf{};
        lf.lfHeight = -11;
        lf.lfWeight = FW_BOLD;
        return CreateFontIndirectA(&lf);
    }();
    ASSERT_TRUE(bold);
    EXPECT_EQ(SelectObject(dc, bold), default_gui_font());
    EXPECT_EQ(SelectObject(dc, default_gui_font()), bold);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(bold));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ObjectsInUseAndStockObjectsSurviveDeleteObject) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBRUSH brush = CreateSolidBrush(RGB(9, 9, 9));
    SelectObject(dc, brush);
    EXPECT_FALSE(DeleteObject(brush));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));

    HGDIOBJ stock = GetStockObject(BLACK_PEN);
    EXPECT_TRUE(DeleteObject(stock));
    EXPECT_EQ(GetStockObject(BLACK_PEN), stock);
    LOGPEN lp{};
    EXPECT_EQ(GetObjectA(stock, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, RGB(0, 0, 0));
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    EXPECT_TRUE(DeleteObject(default_gui_font()));
    EXPECT_EQ(GetStockObject(DEFAULT_GUI_FONT), default_gui_font());
    EXPECT_EQ(GetStockObject(kDefaultBitmap), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);
    EXPECT_GT(text_extent(default_gui_font(), "W").cx, 0);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiObjects, ABitmapLivesInOneMemoryDcAtATime) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(4, 3, 1, 32, nullptr);
    HGDIOBJ default_bitmap = SelectObject(a, bm);
    ASSERT_TRUE(default_bitmap);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    RECT clip{};
    EXPECT_EQ(GetClipBox(a, &clip), SIMPLEREGION);
    EXPECT_EQ(clip.right, 4);
    EXPECT_EQ(clip.bottom, 3);
    EXPECT_EQ(SelectObject(a, default_bitmap), bm);
    EXPECT_TRUE(SelectObject(b, bm));
    // Deleting the DC lets go of the bitmap.
    EXPECT_TRUE(DeleteDC(b));
    EXPECT_TRUE(DeleteObject(bm));
    EXPECT_FALSE(DeleteObject(bm));
    // A surface DC takes no bitmap.
    auto s = surface(2, 2);
    HDC window = create_surface_dc(s, {0, 0}, {0, 0, 2, 2}, nullptr);
    HBITMAP other = CreateBitmap(1, 1, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(window, other), nullptr);
    EXPECT_TRUE(DeleteObject(other));
    EXPECT_TRUE(delete_surface_dc(window));
    EXPECT_FALSE(delete_surface_dc(window));
    EXPECT_FALSE(delete_surface_dc(a));  // memory DCs go through DeleteDC
    EXPECT_TRUE(DeleteDC(a));
}

TEST(GdiObjects, GetObjectDescribesBitmapsAndDibSections) {
    HBITMAP bm = CreateBitmap(5, 7, 1, 32, nullptr);
    BITMAP info{};
    EXPECT_EQ(GetObjectA(bm, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 5);
    EXPECT_EQ(info.bmHeight, 7);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(info.bmBits, nullptr);
    EXPECT_EQ(GetObjectA(bm, sizeof info - 1, &info), 0);
    DeleteObject(bm);

    BITMAPINFO bmi{};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dib);
    ASSERT_TRUE(bits);
    EXPECT_EQ(GetObjectA(dib, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 24);
    EXPECT_EQ(info.bmWidthBytes, 12);  // rows padded to 4 bytes
    EXPECT_EQ(info.bmBits, bits);
    DeleteObject(dib);
}

TEST(GdiDc, SaveAndRestoreBringBackObjectsColoursAndOrigin) {
    auto s = surface(8, 8);
    HDC dc = create_surface_dc(s, {0, 0}, {0, 0, 8, 8}, nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(SaveDC(dc), 1);
    SelectObject(dc, red);
    SetTextColor(dc, RGB(1, 2, 3));
    SetViewportOrgEx(dc, 3, 4, nullptr);
    IntersectClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(SaveDC(dc), 2);
    SetBkMode(dc, TRANSPARENT);
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3));
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_FALSE(RestoreDC(dc, 1));  // that level is gone
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    POINT org{};
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org.x, 0);
    RECT clip{};
    GetClipBox(dc, &clip);
    EXPECT_EQ(clip.right, 8);
    EXPECT_TRUE(DeleteObject(red));  // no longer selected anywhere
    delete_surface_dc(dc);
}

TEST(GdiDc, ClipAndOriginFollowTheWindowGeometry) {
    auto s = surface(20, 20);
    // A child window at (5,6), 10 x 4, seen through its parent's clip.
    HDC dc = create_surface_dc(s, {5, 6}, {5, 6, 15, 10}, nullptr);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 4);
    RECT all{-100, -100, 100, 100};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(s->at(4, 6), 0xffffffu);
    EXPECT_EQ(s->at(5, 6), 0u);
    EXPECT_EQ(s->at(14, 9), 0u);
    EXPECT_EQ(s->at(15, 9), 0xffffffu);
    EXPECT_EQ(s->at(14, 10), 0xffffffu);
    EXPECT_EQ(IntersectClipRect(dc, 20, 20, 30, 30), NULLREGION);
    EXPECT_TRUE(set_surface_dc_geometry(dc, {0, 0}, {0, 0, 2, 2}));
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 2);
    SetViewportOrgEx(dc, 1, 1, nullptr);
    EXPECT_EQ(GetPixel(dc, 0, 0), to_colorref(s->at(1, 1)));
    EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);  // outside the clip
    delete_surface_dc(dc);
}

TEST(GdiDc, DcKeepsItsSurfaceAlive) {
    auto s = surface(3, 3);
    std::weak_ptr<Surface> watch = s;
    HDC dc = create_surface_dc(std::move(s), {0, 0}, {0, 0, 3, 3},
                               reinterpret_cast<HWND>(std::uintptr_t(42)));
    EXPECT_FALSE(watch.expired());
    EXPECT_EQ(dc_window(dc), reinterpret_cast<HWND>(std::uintptr_t(42)));
    EXPECT_EQ(SetPixel(dc, 1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(watch.lock()->at(1, 1), 0x0a141eu);
    delete_surface_dc(dc);
    EXPECT_TRUE(watch.expired());
    EXPECT_EQ(dc_window(dc), nullptr);
}

TEST(GdiSystem, ClassicColoursAndMetrics) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), RGB(64, 64, 64));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(58, 110, 165));
    EXPECT_EQ(GetSysColor(COLOR_GRADIENTACTIVECAPTION), RGB(166, 202, 240));
    LOGBRUSH lb{};
    GetObjectA(GetSysColorBrush(COLOR_3DSHADOW), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 18);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    set_screen_size(1920, 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    set_screen_size(0, 5);  // nonsense is ignored
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
}

TEST(GdiFont, DialogFontHasTheClassicBaseUnits) {
    FontMetrics m = font_metrics(default_gui_font());
    EXPECT_EQ(m.average_width, 6);
    EXPECT_EQ(m.height, 13);
    EXPECT_EQ(m.ascent + m.descent, m.height);
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 13);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz",
                                      52, &size));
    EXPECT_EQ((size.cx / 26 + 1) / 2, 6);
    EXPECT_EQ(
        size.cx,
        text_extent(default_gui_font(), "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").cx);
    // Extents add up character by character and bold is wider.
    EXPECT_EQ(text_extent(default_gui_font(), "ab").cx,
              text_extent(default_gui_font(), "a").cx + text_extent(default_gui_font(), "b").cx);
    LOGFONTA lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_BOLD;
    HFONT bold = CreateFontIndirectA(&lf);
    EXPECT_GT(text_extent(bold, "Open").cx, text_extent(default_gui_font(), "Open").cx);
    LOGFONTA back{};
    EXPECT_EQ(GetObjectA(bold, sizeof back, &back), int(sizeof back));
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    DeleteObject(bold);
    DeleteDC(dc);
}

TEST(GdiIcon, CreateChecksSizesAndDestroyMakesItStale) {
    Surface img(2, 2, 0x123456);
    EXPECT_EQ(create_icon(img, {1, 2, 3}), nullptr);
    EXPECT_EQ(create_icon(Surface(), {}), nullptr);
    HICON icon = create_icon(img, {});
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon_size(icon).cx, 2);
    EXPECT_TRUE(destroy_icon(icon));
    EXPECT_FALSE(destroy_icon(icon));
    EXPECT_EQ(icon_size(icon).cx, 0);
}

}  // namespace
}  // namespace win::gdi
