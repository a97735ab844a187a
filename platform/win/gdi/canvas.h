// Pixel access through a DC: resolves the handle, maps logical to surface
// coordinates and keeps every write inside the DC's clip.
#pragma once

#include "win/gdi/objects.h"

namespace win::gdi {

class Canvas {
  public:
    // ok() is false for a stale or bogus DC.
    explicit Canvas(HDC hdc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool ok() const { return dc_ != nullptr; }
    DeviceContext& dc() { return *dc_; }
    Surface& surface() { return *surface_; }
    // Logical (0,0) in surface coordinates.
    POINT offset() const { return offset_; }
    // Surface rectangle drawing may touch (empty when nothing may be drawn).
    const RECT& clip() const { return clip_; }
    RECT to_surface(const RECT& logical) const;

    // Surface-coordinate operations, clipped.
    void fill(const RECT& r, std::uint32_t pixel);
    void invert(const RECT& r);
    void set(int x, int y, std::uint32_t pixel) {
        if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom) {
            surface_->row(y)[x] = pixel;
            written_ = true;
        }
    }
    void mark_written() { written_ = true; }

  private:
    DeviceContext* dc_ = nullptr;
    Surface* surface_ = nullptr;
    Bitmap* dib_ = nullptr;  // a DIB section whose own bits must be kept in step
    POINT offset_{0, 0};
    RECT clip_{0, 0, 0, 0};
    bool written_ = false;
};

RECT intersect(const RECT& a, const RECT& b);
inline bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// DIB sections with their own bits: load them into the surface, store back.
void load_dib_section(Bitmap& bitmap);
void store_dib_section(Bitmap& bitmap);

}  // namespace win::gdi
