// Pictures drawn into windows kept at twice the size as well, so that a
// screen showing every window doubled shows them with all their detail.
#pragma once

#include "win/gdi/dib_scaler.h"

namespace win::gdi {

// Screen pixels per window pixel, as the backend shows windows: 1 (the
// default) or 2. Only at 2 are fine patches kept.
void set_window_scale(int scale);
int window_scale();

// After job has drawn into a window surface: remembers the picture at twice
// the size in place of older patches it overlaps.
void record_fine_patch(const ScaleJob& job);

}  // namespace win::gdi
