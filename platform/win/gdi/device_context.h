// Device contexts over surfaces: the window core makes one per BeginPaint /
// GetDC, pointing at the top-level window's surface.
#pragma once

#include <memory>

#include "win/gdi/surface.h"
#include "wingdi.h"

namespace win::gdi {

// origin: surface position of logical (0,0). clip: surface rectangle that
// drawing is limited to. The DC starts in the default state (WHITE_BRUSH,
// BLACK_PEN, the default GUI font, black text on white, OPAQUE) and holds the
// surface alive for as long as it exists.
HDC create_surface_dc(std::shared_ptr<Surface> surface, POINT origin, RECT clip, HWND window);
bool delete_surface_dc(HDC dc);
// The window a surface DC was made for; null for memory DCs and bad handles.
HWND dc_window(HDC dc);
// Moves a live DC (a window moved or its visible part changed); resets
// nothing else.
bool set_surface_dc_geometry(HDC dc, POINT origin, RECT clip);

}  // namespace win::gdi
