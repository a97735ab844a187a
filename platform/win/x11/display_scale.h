// How much bigger than its classic geometry every window is shown: 2 on
// high-density screens, else 1.
#pragma once

namespace win::x11 {

// KORVANE_SCALE first, then GDK_SCALE (each "1" or "2"; others ignored),
// then the Xft.dpi resource: 192 or more means 2. Null means unset.
int choose_scale(const char* korvane_scale, const char* gdk_scale, const char* xft_dpi);

}  // namespace win::x11
