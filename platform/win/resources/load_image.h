// Bitmap and icon resources as GDI objects.
#pragma once

#include "win/resources/resource_name.h"
#include "windef.h"

namespace win::res {

// A bitmap resource as a 32-bit DIB section; null when it is missing or its
// file is malformed.
[[nodiscard]] HBITMAP load_bitmap(const ResourceName& name, HINSTANCE instance = nullptr);

// The image of an icon resource closest to `size` pixels square (32 for the
// large icon, 16 for the small one); null when missing or malformed.
[[nodiscard]] HICON load_icon(const ResourceName& name, int size, HINSTANCE instance = nullptr);

}  // namespace win::res
