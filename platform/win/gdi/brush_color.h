// What a brush handle paints with, including the (HBRUSH)(COLOR_x + 1) idiom.
#pragma once

#include <cstdint>
#include <optional>

#include "win/gdi/objects.h"

namespace win::gdi {

// The pixel a brush paints; nullopt for a hollow brush or a bad handle.
std::optional<std::uint32_t> brush_pixel(HBRUSH brush);
// The pixel a pen draws; nullopt for PS_NULL or a bad handle.
std::optional<std::uint32_t> pen_pixel(HPEN pen);

class Canvas;
// A one-pixel line in surface coordinates, end point excluded, clipped.
void draw_line(Canvas& c, int x0, int y0, int x1, int y1, std::uint32_t pixel);

}  // namespace win::gdi
