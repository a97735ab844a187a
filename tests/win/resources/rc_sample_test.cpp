// sample.rc went through korvane_rc at build time; these tests read the
// generated tables back through the runtime.
#include <gtest/gtest.h>

#include "win/resources/dib_decoder.h"
#include "win/resources/icon_decoder.h"
#include "win/resources/registry.h"
#include "win/resources/templates.h"
#include "winuser.h"
#include "winuser_controls.h"
#include "winuser_resources.h"

const win::res::Module& sample_resources();

using namespace win::res;

namespace {

class Sample : public ::testing::Test {
  protected:
    void SetUp() override { module = install(sample_resources()); }
    void TearDown() override { uninstall(module); }
    HINSTANCE module = nullptr;
};

TEST_F(Sample, DialogKeepsDialogUnitsCaptionAndFont) {
    auto d = find_dialog(176, module);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->caption, "Select Stream");
    EXPECT_EQ(d->font_name, "MS Sans Serif");
    EXPECT_EQ(d->point_size, 8);
    EXPECT_EQ(d->style, DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    EXPECT_EQ(d->cx, 172);
    EXPECT_EQ(d->cy, 65);
    EXPECT_TRUE(d->menu.empty());
    ASSERT_EQ(d->controls.size(), 5u);
    const DialogControl& radio = d->controls[0];
    EXPECT_EQ(radio.class_name, "BUTTON");
    EXPECT_EQ(radio.id, 1014);
    EXPECT_EQ(radio.style, DWORD(WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON));
    EXPECT_EQ(radio.x, 11);
    EXPECT_EQ(radio.y, 19);
    EXPECT_EQ(radio.cx, 77);
    EXPECT_EQ(radio.cy, 12);
}

TEST_F(Sample, ControlStylesTextsAndExtendedStyles) {
    auto d = find_dialog(176, module);
    ASSERT_TRUE(d);
    const auto& c = d->controls;
    EXPECT_EQ(c[1].text, "Select \"Output\"");
    EXPECT_EQ(c[1].id, -1);
    EXPECT_EQ(c[1].style, DWORD(WS_CHILD | BS_GROUPBOX));  // NOT removed the default bit
    EXPECT_EQ(c[2].class_name, "msctls_trackbar32");
    EXPECT_EQ(c[2].style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS));
    EXPECT_EQ(c[2].y, 161);
    EXPECT_EQ(c[3].text_id, 129);
    EXPECT_EQ(c[3].text, "");
    EXPECT_EQ(c[3].style, DWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_SUNKEN));
    EXPECT_EQ(c[3].exstyle, DWORD(WS_EX_STATICEDGE));
    EXPECT_EQ(c[4].style, DWORD(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP | 0x100000));
    EXPECT_EQ(c[4].exstyle, 0u);
}

TEST_F(Sample, NamedDialogWithMenuAndDefaultStyle) {
    auto d = find_dialog(ResourceName("named"), module);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->x, 10);
    EXPECT_EQ(d->y, 20);
    EXPECT_EQ(d->menu, ResourceName(130));
    EXPECT_EQ(d->exstyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(d->style, DWORD(WS_POPUP | WS_BORDER | WS_SYSMENU));
    EXPECT_TRUE(d->controls.empty());
    EXPECT_FALSE(find_dialog(177, module));
}

TEST_F(Sample, MenuTree) {
    auto m = find_menu(130, module);
    ASSERT_TRUE(m);
    ASSERT_EQ(m->items.size(), 2u);
    const auto& file = m->items[0];
    EXPECT_EQ(file.text, "&File");
    ASSERT_EQ(file.children.size(), 4u);
    EXPECT_EQ(file.children[0].text, "&Open AVI File");
    EXPECT_EQ(file.children[0].id, 32771u);
    EXPECT_EQ(file.children[0].flags, 0u);
    EXPECT_TRUE(file.children[1].is_separator());
    const auto& recent = file.children[2];
    EXPECT_EQ(recent.flags, UINT(menu_flag::popup | menu_flag::grayed));
    ASSERT_EQ(recent.children.size(), 1u);
    EXPECT_EQ(recent.children[0].text, "one\ttwo");
    EXPECT_EQ(recent.children[0].flags, UINT(menu_flag::checked));
    EXPECT_EQ(file.children[3].id, 32774u);
    ASSERT_EQ(m->items[1].children.size(), 1u);
    EXPECT_EQ(m->items[1].children[0].flags, UINT(menu_flag::disabled));
}

TEST_F(Sample, StringsBitmapsAndIcons) {
    char buf[32];
    EXPECT_EQ(LoadStringA(module, 101, buf, sizeof buf), 17);
    EXPECT_STREQ(buf, "&About Korvane...");
    EXPECT_EQ(LoadStringA(module, 7, buf, sizeof buf), 8);
    EXPECT_STREQ(buf, "tab\there");

    const BlobEntry* by_number = find_bitmap_entry(129, module);
    ASSERT_NE(by_number, nullptr);
    auto q24 = decode_bmp(by_number->bytes);
    ASSERT_TRUE(q24.ok());
    EXPECT_EQ(q24.image.pixels,
              (std::vector<std::uint32_t>{0xff0000, 0x00ff00, 0x0000ff, 0xffffff}));

    const BlobEntry* by_name = find_bitmap_entry(ResourceName(std::string("St") + "U"), module);
    ASSERT_NE(by_name, nullptr);
    auto q8 = decode_bmp(by_name->bytes);
    ASSERT_TRUE(q8.ok());
    EXPECT_EQ(q8.image.bit_count, 8);
    EXPECT_EQ(q8.image.pixels, q24.image.pixels);

    const BlobEntry* icon = find_icon_entry(128, module);
    ASSERT_NE(icon, nullptr);
    auto ico = decode_icon(icon->bytes, 32);
    ASSERT_TRUE(ico.ok());
    EXPECT_EQ(ico.image.alpha, (std::vector<std::uint8_t>{0, 255, 255, 255}));
    EXPECT_EQ(ico.image.pixels, q24.image.pixels);
}

}  // namespace
