#include "vfw/codec/dib_layout.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vfw::codec {

namespace {

bool side_ok(std::int64_t v) { return v > 0 && v <= kMaxPictureSide; }

}  // namespace

std::uint32_t dib_color_count(const BITMAPINFOHEADER& header) {
    if (header.biBitCount > 8) return 0;
    const std::uint32_t full = 1u << header.biBitCount;
    if (header.biClrUsed == 0 || header.biClrUsed > full) return full;
    return header.biClrUsed;
}

Result<VideoFormat> parse_video_format(std::span<const std::uint8_t> bytes) {
    VideoFormat format;
    if (bytes.size() < sizeof(BITMAPINFOHEADER))
        return make_error(ErrorCode::BadFormat, "video format shorter than BITMAPINFOHEADER");
    std::memcpy(&format.header, bytes.data(), sizeof format.header);
    const BITMAPINFOHEADER& h = format.header;
    if (h.biSize < sizeof(BITMAPINFOHEADER))
        return make_error(ErrorCode::BadFormat,
                          "biSize " + std::to_string(h.biSize) + " too small");
    if (!side_ok(h.biWidth) || !side_ok(std::abs(std::int64_t{h.biHeight})))
        return make_error(ErrorCode::BadFormat, "picture size " + std::to_string(h.biWidth) +
                                                    " x " + std::to_string(h.biHeight) +
                                                    " out of range");
    if (h.biBitCount > 64)
        return make_error(ErrorCode::BadFormat, "biBitCount " + std::to_string(h.biBitCount));
    format.extra.assign(bytes.begin() + sizeof(BITMAPINFOHEADER), bytes.end());
    if (h.biBitCount <= 8 && h.biBitCount > 0) {
        // The colour table follows the header as biSize says; a short record keeps
        // the entries it has.
        const std::size_t offset = std::min<std::size_t>(h.biSize, bytes.size());
        const std::size_t available = (bytes.size() - offset) / sizeof(RGBQUAD);
        const std::size_t count = std::min<std::size_t>(dib_color_count(h), available);
        format.palette.resize(count);
        if (count)
            std::memcpy(format.palette.data(), bytes.data() + offset, count * sizeof(RGBQUAD));
    }
    return format;
}

Status check_output_format(const BITMAPINFOHEADER& h) {
    if (h.biCompression != BI_RGB)
        return make_error(ErrorCode::Unsupported, "output must be BI_RGB");
    if (h.biBitCount != 8 && h.biBitCount != 16 && h.biBitCount != 24 && h.biBitCount != 32)
        return make_error(ErrorCode::Unsupported,
                          "output bit count " + std::to_string(h.biBitCount) + " not supported");
    if (!side_ok(h.biWidth) || !side_ok(std::abs(std::int64_t{h.biHeight})))
        return make_error(ErrorCode::BadFormat, "output size out of range");
    if (!frame_fits(h.biWidth, std::abs(std::int64_t{h.biHeight}), h.biBitCount))
        return make_error(ErrorCode::BadFormat, "output frame larger than the frame-size limit");
    return {};
}

BITMAPINFOHEADER make_rgb_header(std::int32_t width, std::int32_t height, std::uint16_t bit_count) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bit_count;
    h.biCompression = BI_RGB;
    h.biSizeImage = dib_stride(width, bit_count) * std::uint32_t(std::abs(height));
    h.biClrUsed = bit_count <= 8 ? (1u << bit_count) : 0;
    return h;
}

const std::vector<RGBQUAD>& fixed_palette() {
    static const std::vector<RGBQUAD> table = [] {
        std::vector<RGBQUAD> t(256);
        for (unsigned i = 0; i < 256; ++i) {
            t[i].rgbRed = BYTE((i & 7) * 255 / 7);
            t[i].rgbGreen = BYTE(((i >> 3) & 7) * 255 / 7);
            t[i].rgbBlue = BYTE((i >> 6) * 255 / 3);
            t[i].rgbReserved = 0;
        }
        return t;
    }();
    return table;
}

}  // namespace vfw::codec
