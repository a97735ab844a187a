// Which scale the display is used at, from the settings a desktop gives.
#include "win/x11/display_scale.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayScale, OwnSettingThenToolkitThenDpi) {
    struct Case {
        const char *korvane, *gdk, *dpi;
        int scale;
    };
    const Case cases[] = {
        {nullptr, nullptr, nullptr, 1},
        {nullptr, nullptr, "96", 1},
        {nullptr, nullptr, "191.9", 1},
        {nullptr, nullptr, "192", 2},
        {nullptr, nullptr, "288", 2},
        {nullptr, "2", nullptr, 2},
        {nullptr, "1", "192", 1},
        {"2", "1", "96", 2},
        {"1", "2", "192", 1},
        {"3", nullptr, "192", 2},
        {"", "x", "96", 1},
        {nullptr, nullptr, "junk", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win::x11::choose_scale(c.korvane, c.gdk, c.dpi), c.scale)
            << (c.korvane ? c.korvane : "-") << " " << (c.gdk ? c.gdk : "-") << " "
            << (c.dpi ? c.dpi : "-");
    }
}

}  // namespace
