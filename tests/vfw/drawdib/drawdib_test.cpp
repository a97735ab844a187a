#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "vfw.h"
#include "wingdi.h"

namespace {

// A memory context over a 32-bit bitmap, cleared to one colour.
struct Canvas {
    Canvas(int w, int h) {
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateCompatibleBitmap(dc, w, h);
        old = SelectObject(dc, bitmap);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) SetPixel(dc, x, y, RGB(1, 2, 3));
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
};

// A bottom-up 24-bit DIB of 4 x 2 pixels: the top row red | green, the
// bottom row blue | white, each colour two pixels wide.
struct Dib {
    Dib() {
        std::memset(&header, 0, sizeof header);
        header.biSize = sizeof header;
        header.biWidth = 4;
        header.biHeight = 2;
        header.biPlanes = 1;
        header.biBitCount = 24;
        const BYTE bottom[12] = {255, 0, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
        const BYTE top[12] = {0, 0, 255, 0, 0, 255, 0, 255, 0, 0, 255, 0};
        std::memcpy(bits, bottom, 12);
        std::memcpy(bits + 12, top, 12);
    }
    BITMAPINFOHEADER header;
    BYTE bits[24];
};

TEST(DrawDib, DrawsTheWholeDibScaledIntoTheDestination) {
    Canvas canvas(8, 4);
    Dib dib;
    HDRAWDIB hdd = DrawDibOpen();
    ASSERT_NE(hdd, nullptr);
    ASSERT_TRUE(DrawDibBegin(hdd, canvas.dc, 0, 0, &dib.header, 0, 0, 0));
    // Half size at (1, 1): one pixel per colour block.
    ASSERT_TRUE(DrawDibDraw(hdd, canvas.dc, 1, 1, 2, 1, &dib.header, dib.bits, 0, 0, 4, 2, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(1, 2, 3)) << "nothing outside the destination";
    EXPECT_EQ(GetPixel(canvas.dc, 3, 1), RGB(1, 2, 3));
    COLORREF left = GetPixel(canvas.dc, 1, 1), right = GetPixel(canvas.dc, 2, 1);
    // Shrinking averages the two rows: red over blue, green over white.
    EXPECT_EQ(left, RGB(128, 0, 128));
    EXPECT_EQ(right, RGB(128, 255, 128));
    // Natural size: exact pixels, top row first.
    ASSERT_TRUE(DrawDibDraw(hdd, canvas.dc, 4, 0, 4, 2, &dib.header, dib.bits, 0, 0, 4, 2, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 4, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 7, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(canvas.dc, 4, 1), RGB(0, 0, 255));
    EXPECT_TRUE(DrawDibEnd(hdd));
    EXPECT_TRUE(DrawDibClose(hdd));
}

TEST(DrawDib, ClosedOrBogusInstancesFailCleanly) {
    Canvas canvas(2, 2);
    Dib dib;
    HDRAWDIB hdd = DrawDibOpen();
    ASSERT_TRUE(DrawDibClose(hdd));
    EXPECT_FALSE(DrawDibClose(hdd));
    EXPECT_FALSE(DrawDibBegin(hdd, canvas.dc, 0, 0, &dib.header, 0, 0, 0));
    EXPECT_FALSE(DrawDibDraw(hdd, canvas.dc, 0, 0, 2, 2, &dib.header, dib.bits, 0, 0, 4, 2, 0));
    EXPECT_FALSE(DrawDibEnd(reinterpret_cast<HDRAWDIB>(std::uintptr_t{0x4242})));
    EXPECT_EQ(GetPixel(canvas.dc, 0, 0), RGB(1, 2, 3));
}

}  // namespace
