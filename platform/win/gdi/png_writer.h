// PNG output for test pictures and the headless backend.
#pragma once

#include "win/gdi/surface.h"

namespace win::gdi {

// Writes an RGB PNG. On failure returns false and leaves no file behind.
[[nodiscard]] bool write_png(const Surface& surface, const char* path);

}  // namespace win::gdi
