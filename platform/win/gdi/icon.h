// Icons: a colour image with per-pixel transparency.
#pragma once

#include <cstdint>
#include <vector>

#include "win/gdi/surface.h"

namespace win::gdi {

// alpha_or_mask holds one byte per pixel, row-major, top-down: 0 is fully
// transparent, 255 opaque, values between blend. An empty vector means an
// opaque icon. Returns null when the sizes disagree or the image is empty.
HICON create_icon(const Surface& image, const std::vector<std::uint8_t>& alpha_or_mask);
bool destroy_icon(HICON icon);
// Size of the icon's image; {0,0} for a bad handle.
SIZE icon_size(HICON icon);

}  // namespace win::gdi
