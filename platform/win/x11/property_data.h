// Data for window properties, prepared without X: titles in UTF-8 and icons
// in the layout window managers read (_NET_WM_ICON).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "windef.h"

namespace win::x11 {

// Window texts are ANSI (Windows-1252); window managers read UTF-8.
std::string utf8_from_ansi(std::string_view text);

// For each icon that exists: width, height, then width * height pixels as
// 0xAARRGGBB, one per element (the format-32 property layout Xlib expects
// in longs). Bad handles are left out; no good icon gives an empty vector.
std::vector<unsigned long> net_wm_icon_data(const std::vector<HICON>& icons);

}  // namespace win::x11
