// A 32-bit pixel surface: what windows, memory bitmaps and icons draw into.
#pragma once

#include <cstdint>
#include <vector>

#include "windef.h"

namespace win::gdi {

// A picture drawn into a window surface while windows are shown at twice
// their size: the same picture drawn again at that size, for the screen.
struct FinePatch {
    RECT area{};                       // the surface pixels the picture covers
    std::vector<std::uint32_t> drawn;  // those pixels as the picture left them
    std::vector<std::uint32_t> fine;   // twice as wide and twice as high
};

struct Surface {
    int width = 0, height = 0;
    // 0x00RRGGBB, row-major, top-down, stride == width. In memory each pixel
    // reads B, G, R, 0: the layout of a top-down 32-bit DIB.
    std::vector<std::uint32_t> pixels;
    // Newest last; they do not overlap one another.
    std::vector<FinePatch> fine_patches;

    Surface() = default;
    Surface(int w, int h, std::uint32_t fill = 0) { resize(w, h, fill); }

    void resize(int w, int h, std::uint32_t fill = 0) {
        width = w > 0 ? w : 0;
        height = h > 0 ? h : 0;
        pixels.assign(std::size_t(width) * std::size_t(height), fill);
        fine_patches.clear();
    }
    std::uint32_t* row(int y) { return pixels.data() + std::size_t(y) * std::size_t(width); }
    const std::uint32_t* row(int y) const {
        return pixels.data() + std::size_t(y) * std::size_t(width);
    }
    std::uint32_t at(int x, int y) const { return row(y)[x]; }
};

// COLORREF is 0x00BBGGRR; a pixel is 0x00RRGGBB.
inline std::uint32_t to_pixel(COLORREF c) {
    return ((c & 0xff) << 16) | (c & 0xff00) | ((c >> 16) & 0xff);
}
inline COLORREF to_colorref(std::uint32_t p) {
    return ((p & 0xff) << 16) | (p & 0xff00) | ((p >> 16) & 0xff);
}

}  // namespace win::gdi
