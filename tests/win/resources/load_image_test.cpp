// Bitmaps and icons of an installed module become GDI objects.
#include "win/resources/load_image.h"

#include <gtest/gtest.h>

#include "win/gdi/icon.h"
#include "win/resources/registry.h"
#include "wingdi.h"
#include "winuser_resources.h"

const win::res::Module& sample_resources();

namespace {

class LoadImage : public ::testing::Test {
  protected:
    void SetUp() override { module = win::res::install(sample_resources()); }
    void TearDown() override { win::res::uninstall(module); }
    HINSTANCE module = nullptr;
};

// Reads one pixel of a bitmap through a memory DC.
COLORREF pixel(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

TEST_F(LoadImage, BitmapByNumberAndByNameInAnyCase) {
    HBITMAP by_number = LoadBitmapA(module, MAKEINTRESOURCEA(129));
    ASSERT_NE(by_number, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObjectA(by_number, sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 2);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(pixel(by_number, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(pixel(by_number, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(pixel(by_number, 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(pixel(by_number, 1, 1), RGB(255, 255, 255));

    HBITMAP by_name = LoadBitmapA(nullptr, "sTu");
    ASSERT_NE(by_name, nullptr);
    EXPECT_NE(by_name, by_number);  // every load is a new object
    EXPECT_EQ(pixel(by_name, 1, 1), RGB(255, 255, 255));
    HBITMAP by_hash = LoadBitmapA(module, "#129");
    EXPECT_NE(by_hash, nullptr);
    EXPECT_TRUE(DeleteObject(by_number));
    EXPECT_TRUE(DeleteObject(by_name));
    EXPECT_TRUE(DeleteObject(by_hash));
}

TEST_F(LoadImage, MissingOrStaleGivesNull) {
    EXPECT_EQ(LoadBitmapA(module, "STD"), nullptr);
    EXPECT_EQ(LoadBitmapA(module, MAKEINTRESOURCEA(130)), nullptr);
    EXPECT_EQ(LoadBitmapA(module, nullptr), nullptr);
    EXPECT_EQ(LoadIconA(module, MAKEINTRESOURCEA(129)), nullptr);  // a bitmap, not an icon
    HINSTANCE old = module;
    win::res::uninstall(module);
    EXPECT_EQ(LoadBitmapA(old, MAKEINTRESOURCEA(129)), nullptr);
    module = win::res::install(sample_resources());
}

TEST_F(LoadImage, IconKeepsItsSize) {
    HICON icon = LoadIconA(module, MAKEINTRESOURCEA(128));
    ASSERT_NE(icon, nullptr);
    SIZE size = win::gdi::icon_size(icon);
    EXPECT_EQ(size.cx, 2);
    EXPECT_EQ(size.cy, 2);
    HICON small = win::res::load_icon(128, 16, module);
    EXPECT_NE(small, nullptr);
    EXPECT_TRUE(win::gdi::destroy_icon(icon));
    EXPECT_TRUE(win::gdi::destroy_icon(small));
}

}  // namespace
