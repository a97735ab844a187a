// The program's own resource module: what the dialogs, menus and picture
// buttons will ask of it.
#include <gtest/gtest.h>

#include <string>

#include "res/korvane_resources.h"
#include "win/resources/dib_decoder.h"
#include "win/resources/icon_decoder.h"
#include "win/resources/registry.h"
#include "win/resources/templates.h"
#include "winuser.h"
#include "winuser_controls.h"
#include "winuser_resources.h"

using namespace win::res;

namespace {

class Korvane : public ::testing::Test {
  protected:
    void SetUp() override { module = install(korvane_resources()); }
    void TearDown() override { uninstall(module); }

    DibImage bitmap(const ResourceName& name) {
        const BlobEntry* e = find_bitmap_entry(name, module);
        if (!e) return {};
        DibResult r = decode_bmp(e->bytes);
        return r.ok() ? r.image : DibImage{};
    }

    HINSTANCE module = nullptr;
};

TEST_F(Korvane, MainDialogTemplate) {
    auto d = find_dialog(102, module);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->caption, "Korvane 1.0");
    EXPECT_EQ(d->style,
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE | DS_SETFONT));
    EXPECT_EQ(d->exstyle, DWORD(WS_EX_APPWINDOW));
    EXPECT_EQ(d->menu, ResourceName(130));
    EXPECT_EQ(d->font_name, "MS Sans Serif");
    EXPECT_EQ(d->point_size, 8);
    EXPECT_EQ(d->cx, 273);
    EXPECT_EQ(d->cy, 218);

    const int ids[] = {1002, 1003, 1004, 1000, 1001, 1005, 1006, 1007, 1008,
                       -1,   1009, 1010, 1011, -1,   1012, 1013, -1};
    ASSERT_EQ(d->controls.size(), std::size(ids));
    for (std::size_t i = 0; i < std::size(ids); ++i) EXPECT_EQ(d->controls[i].id, ids[i]) << i;

    const DialogControl& view = d->controls[0];
    EXPECT_EQ(view.style, DWORD(WS_CHILD | WS_VISIBLE | WS_DISABLED | SS_BLACKFRAME | SS_SUNKEN));
    const DialogControl& seek = d->controls[1];
    EXPECT_EQ(seek.class_name, "msctls_trackbar32");
    EXPECT_EQ(seek.text, "Slider1");
    EXPECT_EQ(seek.style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_BOTH | TBS_NOTICKS));
    EXPECT_EQ(d->controls[2].class_name, "msctls_progress32");
    EXPECT_EQ(d->controls[2].cy, 6);
    const DialogControl& st = d->controls[3];
    EXPECT_EQ(st.text, "St");
    EXPECT_EQ(st.style, DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW));
    EXPECT_EQ(st.x, 4);
    EXPECT_EQ(st.y, 191);
    EXPECT_EQ(st.cx, 22);
    EXPECT_EQ(st.cy, 20);
    EXPECT_EQ(d->controls[9].style, DWORD(WS_CHILD | WS_VISIBLE | SS_ETCHEDVERT));
    EXPECT_EQ(d->controls[13].y, 192);
    EXPECT_EQ(d->controls[16].style, DWORD(WS_CHILD | WS_VISIBLE | SS_ETCHEDHORZ));
}

TEST_F(Korvane, EveryPictureButtonFindsItsPicturesByCaption) {
    auto d = find_dialog(102, module);
    ASSERT_TRUE(d);
    int buttons = 0;
    for (const DialogControl& c : d->controls) {
        if ((c.style & BS_TYPEMASK) != DWORD(BS_OWNERDRAW) || c.class_name != "BUTTON") continue;
        ++buttons;
        DibImage up = bitmap(c.text + "U");
        DibImage down = bitmap(c.text + "D");
        ASSERT_EQ(up.width, 24) << c.text;
        EXPECT_EQ(up.height, 24) << c.text;
        EXPECT_EQ(up.bit_count, c.text == "Audio" ? 16 : 24) << c.text;
        ASSERT_EQ(down.width, 24) << c.text;
        EXPECT_EQ(down.bit_count, 24) << c.text;
        EXPECT_NE(up.pixels, down.pixels) << c.text;
        EXPECT_EQ(find_bitmap_entry(c.text + "F", module), nullptr) << c.text;
        if (c.text == "Open") {
            EXPECT_EQ(find_bitmap_entry(c.text + "X", module), nullptr);
            continue;
        }
        DibImage disabled = bitmap(c.text + "X");
        ASSERT_EQ(disabled.width, 24) << c.text;
        EXPECT_EQ(disabled.bit_count, 24) << c.text;
        EXPECT_NE(up.pixels, disabled.pixels) << c.text;
    }
    EXPECT_EQ(buttons, 11);
}

TEST_F(Korvane, MenuPicturesAboutPictureAndIcon) {
    for (int id : {131, 132, 133, 134, 135, 137, 138, 139, 140, 142, 185}) {
        DibImage b = bitmap(id);
        int side = id == 133 ? 15 : 16;
        EXPECT_EQ(b.width, side) << id;
        EXPECT_EQ(b.height, side) << id;
    }
    EXPECT_EQ(find_bitmap_entry(136, module), nullptr);

    DibImage about = bitmap(129);
    EXPECT_EQ(about.width, 380);
    EXPECT_EQ(about.height, 160);
    EXPECT_EQ(about.bit_count, 16);

    const BlobEntry* icon = find_icon_entry(128, module);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon_image_count(icon->bytes), 2);
    IconResult large = decode_icon(icon->bytes, 32), small = decode_icon(icon->bytes, 16);
    ASSERT_TRUE(large.ok());
    ASSERT_TRUE(small.ok());
    EXPECT_EQ(large.image.width, 32);
    EXPECT_EQ(small.image.width, 16);
    EXPECT_EQ(large.image.alpha[0], 0) << "the corner is transparent";
    EXPECT_EQ(large.image.alpha[16 * 32 + 16], 255) << "the middle is opaque";
}

TEST_F(Korvane, MenuAndString) {
    auto m = find_menu(130, module);
    ASSERT_TRUE(m);
    ASSERT_EQ(m->items.size(), 3u);
    EXPECT_EQ(m->items[0].text, "&File");
    EXPECT_EQ(m->items[1].text, "&Extract");
    EXPECT_EQ(m->items[2].text, "&Help");
    auto ids = [](const MenuTemplateItem& popup) {
        std::vector<UINT> out;
        for (const auto& i : popup.children) out.push_back(i.is_separator() ? 0 : i.id);
        return out;
    };
    EXPECT_EQ(ids(m->items[0]), (std::vector<UINT>{32771, 57602, 0, 32773, 0, 32774}));
    EXPECT_EQ(ids(m->items[1]), (std::vector<UINT>{32775, 32776, 32777, 0, 32781, 32782}));
    EXPECT_EQ(ids(m->items[2]), (std::vector<UINT>{32778, 0, 32783, 0, 32780}));
    EXPECT_EQ(m->items[1].children[0].text, "Extract Current &Frame");

    char text[64];
    EXPECT_EQ(LoadStringA(module, 101, text, sizeof text), 17);
    EXPECT_STREQ(text, "&About Korvane...");
}

TEST_F(Korvane, SecondaryDialogs) {
    auto about = find_dialog(100, module);
    ASSERT_TRUE(about);
    EXPECT_EQ(about->caption, "About Korvane 1.0");
    ASSERT_EQ(about->controls.size(), 3u);
    EXPECT_EQ(about->controls[0].text_id, 129);
    EXPECT_EQ(about->controls[0].style, DWORD(WS_CHILD | WS_VISIBLE | SS_BITMAP | SS_SUNKEN));
    EXPECT_EQ(about->controls[2].text, "&Continue");
    EXPECT_EQ(about->controls[2].id, 1000);

    auto select = find_dialog(176, module);
    ASSERT_TRUE(select);
    EXPECT_EQ(select->style,
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    ASSERT_EQ(select->controls.size(), 5u);
    EXPECT_EQ(select->controls[1].style, DWORD(WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON));
    EXPECT_EQ(select->controls[4].text, "&Cancel");
    EXPECT_EQ(select->controls[4].id, 1001);

    auto video = find_dialog(177, module), audio = find_dialog(178, module);
    ASSERT_TRUE(video && audio);
    EXPECT_EQ(video->caption, "Video Stream Information");
    EXPECT_EQ(audio->caption, "Audio Stream Information");
    EXPECT_EQ(video->cy, 190);
    EXPECT_EQ(audio->cy, 191);
    ASSERT_EQ(video->controls.size(), 24u);
    ASSERT_EQ(audio->controls.size(), 24u);
    for (std::size_t i = 0; i < video->controls.size(); ++i) {
        EXPECT_EQ(video->controls[i].id, audio->controls[i].id);
        EXPECT_EQ(video->controls[i].x, audio->controls[i].x);
        EXPECT_EQ(video->controls[i].y, audio->controls[i].y);
    }
    const DialogControl& scale = video->controls[8];
    EXPECT_EQ(scale.id, 1019);
    EXPECT_EQ(scale.style, DWORD(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL));
    EXPECT_EQ(video->controls[22].id, 1027);
    EXPECT_EQ(video->controls[22].cx, 175);
}

}  // namespace
