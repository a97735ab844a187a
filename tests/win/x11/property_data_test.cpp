#include "win/x11/property_data.h"

#include <gtest/gtest.h>

#include "win/gdi/icon.h"

using win::x11::net_wm_icon_data;
using win::x11::utf8_from_ansi;

namespace {

TEST(PropertyData, AnsiTitlesBecomeUtf8) {
    EXPECT_EQ(utf8_from_ansi("Korvane - clip.avi"), "Korvane - clip.avi");
    EXPECT_EQ(utf8_from_ansi("caf\xe9"), "caf\xc3\xa9");
    EXPECT_EQ(utf8_from_ansi("\x80"), "\xe2\x82\xac");  // the euro sign of Windows-1252
    EXPECT_EQ(utf8_from_ansi("\x96"), "\xe2\x80\x93");  // en dash
    EXPECT_EQ(utf8_from_ansi("a\x81z"), "a?z");         // unused code
    EXPECT_EQ(utf8_from_ansi(""), "");
}

TEST(PropertyData, IconsBecomeSizedArgbRuns) {
    win::gdi::Surface image(2, 1);
    image.row(0)[0] = 0x112233;
    image.row(0)[1] = 0x445566;
    HICON translucent = win::gdi::create_icon(image, {255, 0});
    win::gdi::Surface one(1, 1, 0xabcdef);
    HICON opaque = win::gdi::create_icon(one, {});
    ASSERT_NE(translucent, nullptr);
    ASSERT_NE(opaque, nullptr);

    std::vector<unsigned long> expected{2, 1, 0xff112233, 0x00445566, 1, 1, 0xffabcdef};
    EXPECT_EQ(net_wm_icon_data({translucent, opaque}), expected);

    // A missing or destroyed icon is left out, not written as garbage.
    ASSERT_TRUE(win::gdi::destroy_icon(translucent));
    EXPECT_EQ(net_wm_icon_data({nullptr, translucent, opaque}),
              (std::vector<unsigned long>{1, 1, 0xffabcdef}));
    EXPECT_TRUE(net_wm_icon_data({nullptr, translucent}).empty());
    ASSERT_TRUE(win::gdi::destroy_icon(opaque));
}

}  // namespace
