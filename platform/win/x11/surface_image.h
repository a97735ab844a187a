// A window surface's pixels on their way to the X server: an XImage in
// shared memory when the server offers MIT-SHM, an ordinary one otherwise.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "win/gdi/surface.h"

namespace win::x11 {

class SurfaceImage {
  public:
    // Null when the server cannot take images of this visual and depth.
    static std::unique_ptr<SurfaceImage> create(Display* d, Visual* visual, int depth, int width,
                                                int height, bool try_shm);
    ~SurfaceImage();
    SurfaceImage(const SurfaceImage&) = delete;
    SurfaceImage& operator=(const SurfaceImage&) = delete;

    int width() const { return image_->width; }
    int height() const { return image_->height; }
    bool shared() const { return shared_; }

    // Copies r (clipped to both sizes) of the surface to the same place in
    // the drawable. Returns when the server has read the pixels, so the
    // image may be written again at once.
    void put(Drawable target, GC gc, const gdi::Surface& surface, const RECT& r);

  private:
    SurfaceImage(Display* d, XImage* image) : display_(d), image_(image) {}
    bool attach_shared_memory();
    void copy_pixels(const gdi::Surface& surface, const RECT& r);

    Display* display_;
    XImage* image_;
    bool shared_ = false;
    bool same_layout_ = false;  // rows can be copied as they are
    XShmSegmentInfo shm_{};
    std::vector<char> own_data_;
};

}  // namespace win::x11
