// Reading and writing the rows of device-independent bitmaps.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "wingdi.h"

namespace win::gdi {

struct DibFormat {
    int width = 0;
    int height = 0;  // always positive
    int bits = 0;    // 1, 4, 8, 16, 24 or 32
    bool top_down = false;
    std::size_t stride = 0;  // bytes per row, padded to 4
    // 16 and 32 bits: where each channel sits; masks of zero mean the plain
    // layouts (5-5-5 for 16 bits, B G R x for 32).
    std::uint32_t masks[3] = {0, 0, 0};
    bool plain = true;
    int palette_size = 0;
    std::array<std::uint32_t, 256> palette{};  // as pixels (0x00RRGGBB)

    std::size_t image_size() const { return stride * std::size_t(height); }
    // Row y counted from the top of the picture.
    const std::uint8_t* row(const void* bits, int y) const {
        int stored = top_down ? y : height - 1 - y;
        return static_cast<const std::uint8_t*>(bits) + stride * std::size_t(stored);
    }
    std::uint8_t* row(void* bits, int y) const {
        return const_cast<std::uint8_t*>(row(static_cast<const void*>(bits), y));
    }
};

// Accepts BI_RGB at 1/4/8/16/24/32 bits and BI_BITFIELDS at 16/32 bits with
// DIB_RGB_COLORS; anything else (RLE, palette indices, absurd sizes) is
// refused with nullopt.
std::optional<DibFormat> parse_dib(const BITMAPINFO* bmi, UINT usage);

// Decodes count pixels starting at column x0 of a row into 0x00RRGGBB.
void decode_row(const DibFormat& f, const std::uint8_t* row, int x0, int count, std::uint32_t* out);

// Encodes pixels into a row; 16 bits use the format's masks (5-5-5 when
// plain), 8 bits and below pick the nearest palette entry.
void encode_row(const DibFormat& f, const std::uint32_t* in, int count, std::uint8_t* row);

}  // namespace win::gdi
