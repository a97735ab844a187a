// Reads device-independent bitmaps: .bmp files and the DIBs inside icons.
// Uncompressed only (BI_RGB, and BI_BITFIELDS for 16 and 32 bits), 1, 4, 8,
// 16, 24 and 32 bits per pixel, bottom-up or top-down. Nothing is trusted:
// every size is checked against the bytes that are really there.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace win::res {

enum class DibError {
    none,
    truncated,       // the data ends before what the headers promise
    not_bmp,         // no "BM" signature
    bad_header,      // unknown header size, planes not 1
    bad_dimensions,  // zero, negative width or absurdly large
    bad_bit_count,   // not 1, 4, 8, 16, 24 or 32
    compressed,      // RLE, JPEG, PNG or unknown compression
    bad_palette,     // more colours than the bit count allows
    bad_masks,       // empty or non-contiguous BI_BITFIELDS masks
};

std::string_view to_string(DibError error);

// Pixels are 0x00RRGGBB, rows top-down, stride == width: the layout of the
// GDI's surfaces.
struct DibImage {
    int width = 0;
    int height = 0;
    int bit_count = 0;  // of the source
    std::vector<std::uint32_t> pixels;
    // The fourth byte of each 32-bit source pixel, top-down; empty for
    // other bit counts. Icons read it as alpha.
    std::vector<std::uint8_t> alpha;
};

struct [[nodiscard]] DibResult {
    DibError error = DibError::none;
    DibImage image;
    bool ok() const { return error == DibError::none; }
};

// Largest width or height accepted, and largest pixel count.
inline constexpr std::int64_t max_dib_side = 16384;
inline constexpr std::int64_t max_dib_pixels = std::int64_t(1) << 26;

// A whole .bmp file (file header, info header, palette, bits).
DibResult decode_bmp(std::span<const std::uint8_t> file);

// A packed DIB: info header, palette, then bits. `height_divisor` is 2 for the
// image of an icon, whose header counts the colour rows and the mask rows;
// `mask_rows` then receives the 1-bit mask that follows the colour rows
// (0 = opaque), one byte per pixel, top-down.
DibResult decode_packed_dib(std::span<const std::uint8_t> dib, int height_divisor = 1,
                            std::vector<std::uint8_t>* mask_rows = nullptr);

}  // namespace win::res
