#include "win/x11/display_scale.h"

#include <cstdlib>
#include <string_view>

namespace win::x11 {

namespace {

int given(const char* value) {
    std::string_view v = value ? value : "";
    return v == "1" ? 1 : v == "2" ? 2 : 0;
}

}  // namespace

int choose_scale(const char* korvane_scale, const char* gdk_scale, const char* xft_dpi) {
    if (int s = given(korvane_scale)) return s;
    if (int s = given(gdk_scale)) return s;
    if (xft_dpi && std::strtod(xft_dpi, nullptr) >= 192) return 2;
    return 1;
}

}  // namespace win::x11
