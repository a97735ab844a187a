// StretchDIBits, SetDIBitsToDevice and GetDIBits.
#include <algorithm>
#include <cstring>

#include "win/gdi/canvas.h"
#include "win/gdi/dib_format.h"
#include "win/gdi/dib_scaler.h"
#include "win/gdi/fine_patch.h"

using namespace win::gdi;

namespace {

// Coordinates beyond this are refused rather than risk overflowing sums.
constexpr int kMaxCoordinate = 1 << 26;

bool sane(std::initializer_list<std::int64_t> values) {
    for (std::int64_t v : values)
        if (v < -kMaxCoordinate || v > kMaxCoordinate) return false;
    return true;
}

}  // namespace

int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* bmi, UINT usage,
                  DWORD rop) {
    Canvas c(hdc);
    auto f = parse_dib(bmi, usage);
    // Mirroring (negative sizes) and raster operations other than a copy are
    // not needed by anything drawn here; they fail rather than draw wrongly.
    if (!c.ok() || !f || !bits || rop != SRCCOPY || destWidth < 0 || destHeight < 0 ||
        srcWidth <= 0 || srcHeight <= 0 ||
        !sane({xDest, yDest, destWidth, destHeight, xSrc, ySrc, srcWidth, srcHeight}))
        return 0;
    if (destWidth == 0 || destHeight == 0) return srcHeight;
    ScaleJob job;
    job.format = &*f;
    job.bits = bits;
    job.src_x = xSrc;
    job.src_w = srcWidth;
    job.src_h = srcHeight;
    // For bottom-up pictures the source origin is the lower-left corner.
    job.src_y = f->top_down ? ySrc : f->height - (ySrc + srcHeight);
    job.target = &c.surface();
    job.dst = c.to_surface(RECT{xDest, yDest, xDest + destWidth, yDest + destHeight});
    job.clip = c.clip();
    scale_dib(job);
    if (window_scale() == 2 && !c.dc().memory) record_fine_patch(job);
    c.mark_written();
    return srcHeight;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc,
                      UINT startScan, UINT lines, const void* bits, const BITMAPINFO* bmi,
                      UINT usage) {
    Canvas c(hdc);
    auto f = parse_dib(bmi, usage);
    if (!c.ok() || !f || !bits || !sane({xDest, yDest, w, h, xSrc, ySrc, startScan, lines}))
        return 0;
    // The bits hold scans [startScan, startScan + lines), counted from the
    // picture's first stored row: the bottom one for bottom-up pictures.
    const int band_lo = int(startScan),
              band_hi = int(std::min<std::int64_t>(std::int64_t(startScan) + lines, f->height));
    if (band_hi <= band_lo) return 0;
    DibFormat band = *f;
    band.height = band_hi - band_lo;
    const int x_lo = std::max(xSrc, 0),
              x_hi = int(std::min<std::int64_t>(std::int64_t(xSrc) + w, f->width));
    if (x_hi <= x_lo) return int(band.height);
    const POINT o = c.offset();
    const RECT clip = c.clip();
    std::vector<std::uint32_t> row(std::size_t(x_hi - x_lo));
    for (int scan = std::max(band_lo, ySrc);
         scan < std::min<std::int64_t>(band_hi, std::int64_t(ySrc) + h); ++scan) {
        // Source scan -> destination row: bottom-up scans grow upwards.
        const int dy = f->top_down ? yDest + (scan - ySrc) : yDest + int(h) - 1 - (scan - ySrc);
        const int sy = dy + o.y;
        if (sy < clip.top || sy >= clip.bottom) continue;
        const std::uint8_t* stored =
            static_cast<const std::uint8_t*>(bits) + band.stride * std::size_t(scan - band_lo);
        decode_row(band, stored, x_lo, x_hi - x_lo, row.data());
        const int sx0 = xDest + (x_lo - xSrc) + o.x;
        const int a = std::max(sx0, int(clip.left)),
                  b = std::min(sx0 + (x_hi - x_lo), int(clip.right));
        if (a < b)
            std::memcpy(c.surface().row(sy) + a, row.data() + (a - sx0), std::size_t(b - a) * 4);
    }
    c.mark_written();
    return band.height;
}

int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO bmi,
              UINT usage) {
    Bitmap* bm = find_bitmap(hbm);
    if (!find_dc(hdc) || !bm || !bmi || usage != DIB_RGB_COLORS) return 0;
    const Surface& s = *bm->surface;
    BITMAPINFOHEADER& h = bmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (!bits) {
        // Asked only for the format: describe the bitmap as a 32-bit picture.
        if (h.biBitCount == 0) {
            h.biWidth = s.width;
            h.biHeight = s.height;
            h.biPlanes = 1;
            h.biBitCount = 32;
            h.biCompression = BI_RGB;
            h.biSizeImage = DWORD(s.width) * 4 * DWORD(s.height);
            h.biClrUsed = h.biClrImportant = 0;
        }
        return 1;
    }
    if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB ||
        h.biWidth != s.width || h.biHeight == 0)
        return 0;
    auto f = parse_dib(bmi, DIB_RGB_COLORS);
    if (!f) return 0;
    load_dib_section(*bm);
    const int rows = int(std::min<std::int64_t>(
        std::min<std::int64_t>(f->height, s.height) - std::int64_t(start), lines));
    if (start >= UINT(s.height) || rows <= 0) return 0;
    // Scan `start` is the first stored row of the output: the bottom one for bottom-up pictures.
    for (int i = 0; i < rows; ++i) {
        const int scan = int(start) + i;
        const int y = f->top_down ? scan : s.height - 1 - scan;
        encode_row(*f, s.row(y), s.width,
                   static_cast<std::uint8_t*>(bits) + f->stride * std::size_t(i));
    }
    if (h.biSizeImage == 0) h.biSizeImage = DWORD(f->image_size());
    return rows;
}
