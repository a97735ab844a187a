// Frames per second (per core: thread CPU time) of StretchDIBits for the
// video view's cases, beside libswscale doing the same downscale (area
// averaging, bgr24 -> bgra) in the same run.
extern "C" {
#include <libswscale/swscale.h>
}

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "bench/bench_timing.h"
#include "win/gdi/device_context.h"
#include "wingdi.h"

namespace {

// Thread CPU time: what one core can do is the figure that matters.
using bench::thread_seconds;

// Runs `frame` repeatedly for about `seconds` of CPU time and returns frames per second.
double measure(const std::function<void()>& frame, double seconds = 1.5) {
    for (int i = 0; i < 10; ++i) frame();  // warm caches and tables
    int frames = 0;
    const double start = thread_seconds();
    double elapsed = 0;
    do {
        for (int i = 0; i < 20; ++i) frame();
        frames += 20;
        elapsed = thread_seconds() - start;
    } while (elapsed < seconds);
    return frames / elapsed;
}

struct Picture {
    BITMAPINFO info{};
    std::vector<std::uint8_t> bits;
};

// A bottom-up 24-bit picture with gradients and fine detail, as a decoded
// video frame would be.
Picture make_picture(int w, int h) {
    Picture p;
    p.info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const std::size_t stride = (std::size_t(w) * 3 + 3) & ~std::size_t(3);
    p.bits.resize(stride * std::size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* px = p.bits.data() + stride * std::size_t(y) + 3 * std::size_t(x);
            px[0] = std::uint8_t(x * 255 / w);
            px[1] = std::uint8_t(y * 255 / h);
            px[2] = std::uint8_t((x ^ y) & 0xff);
        }
    return p;
}

struct SwsDeleter {
    void operator()(SwsContext* c) const { sws_freeContext(c); }
};

}  // namespace

int main() {
    using win::gdi::Surface;
    const Picture full = make_picture(1920, 1080);
    const Picture small = make_picture(640, 360);

    auto view = std::make_shared<Surface>(480, 270);
    HDC view_dc = win::gdi::create_surface_dc(view, {0, 0}, {0, 0, 480, 270}, nullptr);
    auto screen = std::make_shared<Surface>(1920, 1080);
    HDC screen_dc = win::gdi::create_surface_dc(screen, {0, 0}, {0, 0, 1920, 1080}, nullptr);

    const double down = measure([&] {
        StretchDIBits(view_dc, 0, 0, 480, 270, 0, 0, 1920, 1080, full.bits.data(), &full.info,
                      DIB_RGB_COLORS, SRCCOPY);
    });
    const double same = measure([&] {
        StretchDIBits(screen_dc, 0, 0, 1920, 1080, 0, 0, 1920, 1080, full.bits.data(), &full.info,
                      DIB_RGB_COLORS, SRCCOPY);
    });
    const double up = measure([&] {
        StretchDIBits(screen_dc, 0, 0, 1920, 1080, 0, 0, 640, 360, small.bits.data(), &small.info,
                      DIB_RGB_COLORS, SRCCOPY);
    });

    std::unique_ptr<SwsContext, SwsDeleter> sws(sws_getContext(1920, 1080, AV_PIX_FMT_BGR24, 480,
                                                               270, AV_PIX_FMT_BGRA, SWS_AREA,
                                                               nullptr, nullptr, nullptr));
    if (!sws) {
        std::fprintf(stderr, "libswscale could not set up the conversion\n");
        return 1;
    }
    // The same bottom-up rows: start at the last stored row with a negative stride.
    const int stride = 1920 * 3;
    const std::uint8_t* src[4] = {full.bits.data() + std::size_t(stride) * 1079, nullptr, nullptr,
                                  nullptr};
    const int src_stride[4] = {-stride, 0, 0, 0};
    std::vector<std::uint8_t> out(480 * 270 * 4);
    std::uint8_t* dst[4] = {out.data(), nullptr, nullptr, nullptr};
    const int dst_stride[4] = {480 * 4, 0, 0, 0};
    const double peer =
        measure([&] { sws_scale(sws.get(), src, src_stride, 0, 1080, dst, dst_stride); });

    std::printf("StretchDIBits 1920x1080 24-bit -> 480x270 (area average): %8.1f fps\n", down);
    std::printf("libswscale    1920x1080 bgr24  -> 480x270 bgra (SWS_AREA): %7.1f fps\n", peer);
    std::printf("ratio StretchDIBits / libswscale: %.2f\n", down / peer);
    std::printf("StretchDIBits 1920x1080 24-bit -> 1920x1080 (1:1):         %8.1f fps\n", same);
    std::printf("StretchDIBits  640x360  24-bit -> 1920x1080 (nearest):     %8.1f fps\n", up);
    // Keep the results observable so nothing is optimised away.
    std::printf("(check pixels: %06x %06x %02x)\n", view->at(240, 135), screen->at(960, 540),
                out[4 * 1000]);
    win::gdi::delete_surface_dc(view_dc);
    win::gdi::delete_surface_dc(screen_dc);
    return down > 0 ? 0 : 1;
}
