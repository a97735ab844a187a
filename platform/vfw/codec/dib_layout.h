// Layout of device-independent bitmaps and of a video stream's format record.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "vfw/codec/codec_result.h"
#include "wingdi.h"

namespace vfw::codec {

// Largest picture side we accept; anything above is treated as a hostile header.
inline constexpr std::int32_t kMaxPictureSide = 16384;

#ifndef KORVANE_MAX_FRAME_BYTES
#define KORVANE_MAX_FRAME_BYTES (256ull << 20)
#endif
// Largest frame any caller may ask for, compressed or not: a header claiming more
// is hostile, and a picture that size would not be shown anyway. Fuzzing builds
// set a smaller one.
inline constexpr std::uint64_t kMaxFrameBytes = KORVANE_MAX_FRAME_BYTES;

// Whether a frame of this size and depth stays within kMaxFrameBytes; checked
// before any product can overflow.
constexpr bool frame_fits(std::int64_t width, std::int64_t height, int bit_count) {
    if (width <= 0 || height <= 0 || bit_count <= 0) return false;
    const std::uint64_t stride = (std::uint64_t(width) * std::uint64_t(bit_count) + 31) / 32 * 4;
    return stride <= kMaxFrameBytes && stride * std::uint64_t(height) <= kMaxFrameBytes;
}

// Bytes per row of a DIB: rows are padded to four bytes.
constexpr std::uint32_t dib_stride(std::int32_t width, unsigned bit_count) {
    return ((std::uint32_t(width) * bit_count + 31u) / 32u) * 4u;
}

// A video stream's format record split into its parts.
struct VideoFormat {
    BITMAPINFOHEADER header{};
    std::vector<RGBQUAD> palette;     // only for <= 8 bits per pixel
    std::vector<std::uint8_t> extra;  // every byte after the 40-byte header (codec data)
};

// Checks a format record (BITMAPINFOHEADER plus what follows it) without trusting its fields.
Result<VideoFormat> parse_video_format(std::span<const std::uint8_t> bytes);

// Entries of the colour table that follows a header (0 above 8 bits per pixel).
std::uint32_t dib_color_count(const BITMAPINFOHEADER& header);

// An uncompressed output format this layer can produce: BI_RGB at 8, 16 (5-5-5), 24 or 32
// bits, bottom-up (positive height) or top-down (negative height).
Status check_output_format(const BITMAPINFOHEADER& header);

// A BI_RGB header with every derived field filled in.
BITMAPINFOHEADER make_rgb_header(std::int32_t width, std::int32_t height, std::uint16_t bit_count);

// The fixed colour table of 8-bit output made from full-colour sources: 3 bits of red,
// 3 of green and 2 of blue, the index being bbgggrrr.
const std::vector<RGBQUAD>& fixed_palette();

}  // namespace vfw::codec
