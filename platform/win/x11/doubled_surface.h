// A window surface at twice its size for screens that show every window
// doubled: pixels become 2 x 2 blocks, except where a picture still shows as
// it was drawn, which comes from its fine patch instead.
#pragma once

#include "win/gdi/surface.h"

namespace win::x11 {

// Writes the part r of `given` (clipped to it) into `doubled`, which is
// twice its size.
void put_doubled(const gdi::Surface& given, const RECT& r, gdi::Surface& doubled);

}  // namespace win::x11
