#include "win/x11/surface_image.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "win/x11/display.h"

namespace win::x11 {

namespace {

// Places an 8-bit channel into a visual's mask.
unsigned long to_mask(std::uint32_t channel, unsigned long mask) {
    if (!mask) return 0;
    int shift = std::countr_zero(mask);
    int bits = std::popcount(mask);
    unsigned long v = bits >= 8 ? channel << (bits - 8) : channel >> (8 - bits);
    return (v << shift) & mask;
}

}  // namespace

std::unique_ptr<SurfaceImage> SurfaceImage::create(Display* d, Visual* visual, int depth, int width,
                                                   int height, bool try_shm) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    std::unique_ptr<SurfaceImage> out;
    if (try_shm && XShmQueryExtension(d)) {
        // The image keeps a pointer to the segment record: it must not move.
        out.reset(new SurfaceImage(d, nullptr));
        out->image_ = XShmCreateImage(d, visual, unsigned(depth), ZPixmap, nullptr, &out->shm_,
                                      unsigned(width), unsigned(height));
        if (!out->image_ || !out->attach_shared_memory()) out.reset();
    }
    if (!out) {
        XImage* image = XCreateImage(d, visual, unsigned(depth), ZPixmap, 0, nullptr,
                                     unsigned(width), unsigned(height), 32, 0);
        if (!image) return nullptr;
        out.reset(new SurfaceImage(d, image));
        out->own_data_.resize(std::size_t(image->bytes_per_line) * std::size_t(height));
        image->data = out->own_data_.data();
    }
    XImage* im = out->image_;
    out->same_layout_ =
        im->bits_per_pixel == 32 && im->red_mask == 0xff0000 && im->green_mask == 0xff00 &&
        im->blue_mask == 0xff &&
        (im->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    return out;
}

bool SurfaceImage::attach_shared_memory() {
    std::size_t bytes = std::size_t(image_->bytes_per_line) * std::size_t(image_->height);
    shm_.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (shm_.shmid < 0) return false;
    void* mem = shmat(shm_.shmid, nullptr, 0);
    if (mem == reinterpret_cast<void*>(-1)) {
        shmctl(shm_.shmid, IPC_RMID, nullptr);
        shm_.shmid = -1;
        return false;
    }
    shm_.shmaddr = image_->data = static_cast<char*>(mem);
    shm_.readOnly = False;
    bool attached = false;
    {
        // A server on another machine (or in another IPC namespace) refuses.
        ErrorTrap trap(display_);
        XShmAttach(display_, &shm_);
        attached = trap.check();
    }
    // Once both sides hold it, the segment goes away with the last of them.
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    if (!attached) {
        shmdt(shm_.shmaddr);
        shm_.shmaddr = nullptr;
        image_->data = nullptr;
        return false;
    }
    shared_ = true;
    return true;
}

SurfaceImage::~SurfaceImage() {
    if (shared_) {
        XShmDetach(display_, &shm_);
        XSync(display_, False);
        shmdt(shm_.shmaddr);
    }
    if (!image_) return;
    // The pixels are ours (shared memory or own_data_), not Xlib's to free.
    image_->data = nullptr;
    XDestroyImage(image_);
}

void SurfaceImage::copy_pixels(const gdi::Surface& surface, const RECT& r) {
    int w = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* src = surface.row(y) + r.left;
        char* dst = image_->data + std::size_t(y) * std::size_t(image_->bytes_per_line);
        if (same_layout_) {
            std::memcpy(dst + std::size_t(r.left) * 4, src, std::size_t(w) * 4);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            std::uint32_t p = src[x];
            unsigned long v = to_mask((p >> 16) & 0xff, image_->red_mask) |
                              to_mask((p >> 8) & 0xff, image_->green_mask) |
                              to_mask(p & 0xff, image_->blue_mask);
            XPutPixel(image_, r.left + x, y, v);
        }
    }
}

void SurfaceImage::put(Drawable target, GC gc, const gdi::Surface& surface, const RECT& dirty) {
    RECT r{std::max<LONG>(dirty.left, 0), std::max<LONG>(dirty.top, 0),
           std::min<LONG>({dirty.right, surface.width, image_->width}),
           std::min<LONG>({dirty.bottom, surface.height, image_->height})};
    if (r.right <= r.left || r.bottom <= r.top) return;
    copy_pixels(surface, r);
    unsigned w = unsigned(r.right - r.left), h = unsigned(r.bottom - r.top);
    if (shared_) {
        XShmPutImage(display_, target, gc, image_, r.left, r.top, r.left, r.top, w, h, False);
        // The next put writes the same memory: the server must be done with it.
        XSync(display_, False);
    } else {
        XPutImage(display_, target, gc, image_, r.left, r.top, r.left, r.top, w, h);
    }
}

}  // namespace win::x11
