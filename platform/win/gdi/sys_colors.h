// The classic grey 3-D colour scheme and the classic system metrics.
#pragma once

#include "windef.h"

namespace win::gdi {

// COLORREF of a COLOR_ index; 0 for an unknown index.
COLORREF sys_color(int index);

// The backend reports the screen it runs on; SM_CXSCREEN / SM_CYSCREEN
// answer with it (1024 x 768 until it is set).
void set_screen_size(int width, int height);

}  // namespace win::gdi
