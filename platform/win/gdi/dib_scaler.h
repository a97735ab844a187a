// Scaling DIB pixels onto a surface: area averaging when shrinking, nearest
// pixel when enlarging, one row at a time with precomputed column tables.
#pragma once

#include "win/gdi/dib_format.h"
#include "win/gdi/surface.h"

namespace win::gdi {

struct ScaleJob {
    const DibFormat* format = nullptr;
    const void* bits = nullptr;
    // Source rectangle in picture coordinates (rows counted from the top);
    // it may reach outside the picture, whose edge pixels then repeat.
    int src_x = 0, src_y = 0, src_w = 0, src_h = 0;
    Surface* target = nullptr;
    RECT dst{};   // where the whole source rectangle lands (surface coordinates)
    RECT clip{};  // the part of it to write
};

void scale_dib(const ScaleJob& job);

}  // namespace win::gdi
