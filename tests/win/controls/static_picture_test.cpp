// Picture statics made from a template name their picture in their text.
#include "controls_fixture.h"
#include "res/korvane_resources.h"
#include "win/resources/registry.h"

using namespace controls_test;

namespace {

class StaticPicture : public ControlsTest {};

TEST_F(StaticPicture, LoadsTheBitmapItsCreationTextNamesAndDrawsIt) {
    HINSTANCE module = win::res::install(korvane_resources());
    HWND pic = make("STATIC", MAKEINTRESOURCEA(129), SS_BITMAP | WS_VISIBLE, 0, 0, 60, 40, 5);
    ASSERT_NE(pic, nullptr);
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageA(pic, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(bitmap, nullptr) << "bitmap 129 is the about picture";
    win::automation::pump();
    // The picture's top-left pixel reaches the control's top-left pixel.
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bitmap);
    COLORREF want = GetPixel(mem, 3, 3);
    SelectObject(mem, old);
    DeleteDC(mem);
    EXPECT_EQ(px(pic, 3, 3), ((want & 0xff) << 16) | (want & 0xff00) | ((want >> 16) & 0xff));
    DestroyWindow(pic);
    BITMAP bm;
    EXPECT_EQ(GetObjectA(bitmap, sizeof bm, &bm), 0) << "the static deletes the picture it loaded";
    win::res::uninstall(module);
}

TEST_F(StaticPicture, AMissingPictureLeavesTheStaticEmpty) {
    HWND pic = make("STATIC", MAKEINTRESOURCEA(9999), SS_BITMAP | WS_VISIBLE, 0, 0, 20, 20, 6);
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(SendMessageA(pic, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

}  // namespace
